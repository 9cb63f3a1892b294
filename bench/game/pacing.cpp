// Frame pacing on a real window: runs the game for ten seconds (or the number of
// seconds given) and reports the frames per second it held, counted over the buffer
// swaps, the late frames (more than half a period over 1/60 s apart), the longest gap
// between frames and the CPU time the process used per second. Run it on a display; the
// virtual one of the test command has no vertical blank, so the pacer's clock does the
// work there, as it does for a minimised or hidden window (tools/bench-drawing runs it
// that way). Further arguments choose the screen and the back end, or set faults going:
//   title       the title screen with its swarm (the default)
//   play        wave 1 and on, the scripted player at the controls
//   literal     the literal immediate-mode back end
//   batching    the batching back end (by default the one the game chooses)
//   hidden      the window is minimised and hidden after the first frame
//   audio-loss  the audio output is a device that fails at its first write, and fails
//               again each time the game opens it anew (every few seconds)
//   bare        frames present without drawing anything, so that the CPU time is the
//               frame loop's own and not that of a software OpenGL
//   pacing_bench [SECONDS] [title|play] [literal|batching] [hidden] [audio-loss] [bare]

#include <GL/glew.h>
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/autopilot.h"
#include "game/game.h"
#include "platform/sdl_platform.h"
#include "render/batching_gl.h"
#include "render/opengl_backend.h"
#include "render/opengl_gl.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// OpenAL Soft's wave writer, writing to /dev/full, stands in for a sound card that
// disappears. The mixer library reads this at its first use, in the game's start-up.
void MakeTheAudioOutputFail() {
  const auto conf = std::filesystem::temp_directory_path() / "velunka-pacing-alsoft.conf";
  std::ofstream(conf) << "[wave]\nfile = /dev/full\n";
  setenv("ALSOFT_DRIVERS", "wave", 1);
  setenv("ALSOFT_CONF", conf.c_str(), 1);
}

// The desktop platform with its input open to the scripted player.
class PilotedPlatform : public SdlPlatform {
 public:
  InputState& Input() { return input_; }
};

Game::GlFactory FactoryFor(bool literal, bool batching) {
  if (literal) return [] { return std::make_unique<OpenGlBackend>(); };
  if (batching) {
    return []() -> std::unique_ptr<Gl> {
      auto made = BatchingGlBackend::Create();
      if (made) return made;
      std::fprintf(stderr, "pacing_bench: the batching back end cannot run on this OpenGL\n");
      std::exit(1);
    };
  }
  return make_opengl_backend;
}

const char* GlString(GLenum name) {
  const auto* text = reinterpret_cast<const char*>(glGetString(name));
  return text ? text : "?";
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  auto asked = [argc, argv](const char* word) {
    return std::find_if(argv + std::min(argc, 2), argv + argc, [word](const char* arg) {
             return std::string(arg) == word;
           }) != argv + argc;
  };
  if (asked("audio-loss")) MakeTheAudioOutputFail();
  const bool play = asked("play");
  PilotedPlatform platform;
  Game game(platform, FactoryFor(asked("literal"), asked("batching")));
  if (!game.StartUp()) return 1;
  const bool batching = dynamic_cast<BatchingGlBackend*>(&game.gl()) != nullptr;
  std::printf("%s on %s, OpenGL %s; %s back end\n", play ? "play" : "title", GlString(GL_RENDERER),
              GlString(GL_VERSION), batching ? "batching" : "literal");
  Autopilot pilot;
  // The first frame grows a background; in play the scripted player first starts a game
  // and gets into it. The watch starts after that.
  for (int frame = 0; frame < (play ? 120 : 1); ++frame) {
    if (play) pilot.Play(game, platform.Input());
    game.RunFrame();
  }
  if (asked("hidden")) {
    SDL_MinimizeWindow(SDL_GL_GetCurrentWindow());
    SDL_HideWindow(SDL_GL_GetCurrentWindow());
  }
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const double cpu_start = CpuSeconds();
  auto last = start;
  long frames = 0, late = 0;
  double elapsed = 0.0, longest = 0.0;
  const bool bare = asked("bare");
  while (elapsed < seconds) {
    if (bare) {
      game.audio.driver->Upkeep(platform.ClockMillis());
      platform.PresentFrame(1);
    } else {
      if (play) pilot.Play(game, platform.Input());
      game.RunFrame();
    }
    const auto now = Clock::now();
    const double gap = std::chrono::duration<double>(now - last).count();
    last = now;
    longest = std::max(longest, gap);
    if (gap > 1.5 / 60.0) ++late;
    ++frames;
    elapsed = std::chrono::duration<double>(now - start).count();
  }
  const double rate = frames / elapsed;
  std::printf("%ld frames in %.3f s: %.2f frames per second (%+.2f %% from 60)%s\n", frames,
              elapsed, rate, (rate / 60.0 - 1.0) * 100.0,
              play && !game.state.playing ? "; the game had ended" : "");
  std::printf("late frames: %ld, longest gap %.1f ms, CPU %.3f s per second\n", late,
              longest * 1000.0, (CpuSeconds() - cpu_start) / elapsed);
  game.ShutDown();
  return 0;
}

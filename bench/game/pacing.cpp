// Frame pacing on a real window: runs the game for ten seconds (or the number of
// seconds given) and reports the frames per second it held, the late frames (more than
// half a period over 1/60 s apart), the longest gap between frames and the CPU time the
// process used per second. Run it on a display; the virtual one of the test command has
// no vertical blank, so the pacer's clock does the work there, as it does for a
// minimised or hidden window. Further arguments set faults going:
//   hidden      the window is minimised and hidden after the first frame
//   audio-loss  the audio output is a device that fails at its first write, and fails
//               again each time the game opens it anew (every few seconds)
//   bare        frames present without drawing anything, so that the CPU time is the
//               frame loop's own and not that of a software OpenGL
//   pacing_bench [SECONDS] [hidden] [audio-loss] [bare]

#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/game.h"
#include "platform/sdl_platform.h"
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

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  auto asked = [argc, argv](const char* fault) {
    return std::find_if(argv + std::min(argc, 2), argv + argc, [fault](const char* arg) {
             return std::string(arg) == fault;
           }) != argv + argc;
  };
  if (asked("audio-loss")) MakeTheAudioOutputFail();
  SdlPlatform platform;
  Game game(platform, [] { return std::make_unique<OpenGlBackend>(); });
  if (!game.StartUp()) return 1;
  game.RunFrame();  // the first frame grows a background: start the watch after it
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
  std::printf("%ld frames in %.3f s: %.2f frames per second (%+.2f %% from 60)\n", frames, elapsed,
              rate, (rate / 60.0 - 1.0) * 100.0);
  std::printf("late frames: %ld, longest gap %.1f ms, CPU %.3f s per second\n", late,
              longest * 1000.0, (CpuSeconds() - cpu_start) / elapsed);
  game.ShutDown();
  return 0;
}

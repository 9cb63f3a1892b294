// Frame pacing on a real window: runs the game for ten seconds (or the number of
// seconds given) and reports the frames per second it held, counted over the buffer
// swaps. Run it on a display; the virtual one of the test command has no vertical blank,
// so the pacer's clock does the work there (tools/bench-replay runs it that way).
//
//   pacing_bench [seconds] [title | play] [auto | literal | batching]
//
// title: the title screen with its swarm; play: wave 1 and on, the scripted player at
// the controls. The back end is the one the game chooses, or the one named.

#include <GL/glew.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/autopilot.h"
#include "game/game.h"
#include "platform/sdl_platform.h"
#include "render/batching_gl.h"
#include "render/opengl_backend.h"
#include "render/opengl_gl.h"

namespace {

// The desktop platform with its input open to the scripted player.
class PilotedPlatform : public SdlPlatform {
 public:
  InputState& Input() { return input_; }
};

Game::GlFactory FactoryFor(const std::string& backend) {
  if (backend == "literal") return [] { return std::make_unique<OpenGlBackend>(); };
  if (backend == "batching") {
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
  const std::string screen = argc > 2 ? argv[2] : "title";
  const std::string backend = argc > 3 ? argv[3] : "auto";
  PilotedPlatform platform;
  Game game(platform, FactoryFor(backend));
  if (!game.StartUp()) return 1;
  const bool batching = dynamic_cast<BatchingGlBackend*>(&game.gl()) != nullptr;
  std::printf("%s on %s, OpenGL %s; %s back end\n", screen.c_str(), GlString(GL_RENDERER),
              GlString(GL_VERSION), batching ? "batching" : "literal");
  Autopilot pilot;
  const bool play = screen == "play";
  // The first frame grows a background; in play the scripted player first starts a game
  // and gets into it.
  for (int frame = 0; frame < (play ? 120 : 1); ++frame) {
    if (play) pilot.Play(game, platform.Input());
    game.RunFrame();
  }
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  long frames = 0;
  double elapsed = 0.0;
  while (elapsed < seconds) {
    if (play) pilot.Play(game, platform.Input());
    game.RunFrame();
    ++frames;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  }
  const double rate = frames / elapsed;
  std::printf("%ld frames in %.3f s: %.2f frames per second (%+.2f %% from 60)%s\n", frames,
              elapsed, rate, (rate / 60.0 - 1.0) * 100.0,
              play && !game.state.playing ? "; the game had ended" : "");
  game.ShutDown();
  return 0;
}

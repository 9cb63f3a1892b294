// Frame pacing on a real window: runs the game for ten seconds (or the number of
// seconds given) and reports the frames per second it held. Run it on a display; the
// virtual one of the test command has no vertical blank, so the pacer's clock does the
// work there.

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "game/game.h"
#include "platform/sdl_platform.h"
#include "render/opengl_gl.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  SdlPlatform platform;
  Game game(platform, [] { return std::make_unique<OpenGlBackend>(); });
  if (!game.StartUp()) return 1;
  game.RunFrame();  // the first frame grows a background: start the watch after it
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  long frames = 0;
  double elapsed = 0.0;
  while (elapsed < seconds) {
    game.RunFrame();
    ++frames;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  }
  const double rate = frames / elapsed;
  std::printf("%ld frames in %.3f s: %.2f frames per second (%+.2f %% from 60)\n", frames, elapsed,
              rate, (rate / 60.0 - 1.0) * 100.0);
  game.ShutDown();
  return 0;
}

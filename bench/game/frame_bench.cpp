// One headless frame of the game: everything but the OpenGL calls themselves.

#include <benchmark/benchmark.h>

#include "game/game.h"
#include "platform/headless_platform.h"
#include "render/gl_recorder.h"

namespace {

void BM_HeadlessFrame(benchmark::State& state) {
  HeadlessPlatform platform;
  Game game(platform, [] { return std::make_unique<GlRecorder>(false); });
  game.StartUp();
  game.RunFrame();  // the first frame grows a background; the ones after it are ordinary
  for (auto _ : state) game.RunFrame();
}
BENCHMARK(BM_HeadlessFrame)->Unit(benchmark::kMicrosecond);

// The frame that starts a wave grows and uploads a new background.
void BM_WaveStartFrame(benchmark::State& state) {
  HeadlessPlatform platform;
  Game game(platform, [] { return std::make_unique<GlRecorder>(false); });
  game.StartUp();
  for (auto _ : state) {
    game.state.wave_phase = WavePhase::starting;
    game.RunFrame();
  }
}
BENCHMARK(BM_WaveStartFrame)->Unit(benchmark::kMillisecond);

}  // namespace

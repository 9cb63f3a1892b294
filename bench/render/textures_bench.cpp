// Budgets: a new background in at most 5 ms, the pause still (read-back, two blurs of the
// 700 x 700 frame and the row flip) in at most 10 ms, each on one core. The parts of a
// background are measured on their own too, to show where its time goes.

#include <benchmark/benchmark.h>

#include <vector>

#include "render/gl_recorder.h"
#include "render/textures.h"

namespace {

void BM_MakeBackground(benchmark::State& state) {
  Random random;
  TPixmap background = TPixmap::Create(600, 600);
  TPixmap scratch = TPixmap::Create(600, 600);
  int32_t clock = 1000;
  // Later backgrounds grow over earlier ones, as in play.
  for (auto _ : state) {
    make_background(background, scratch, random, clock);
    clock += 16667;
    benchmark::DoNotOptimize(background.PixelPtr(0, 0));
  }
}
BENCHMARK(BM_MakeBackground)->Unit(benchmark::kMillisecond);

void BM_PauseStill(benchmark::State& state) {
  // Recording off: the recorder then keeps no pixels, like a driver upload that is not
  // part of this budget.
  GlRecorder gl(false);
  std::vector<uint8_t> frame(700 * 700 * 4);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint8_t(i * 2654435761u >> 24);
  gl.SetFrameForReadPixels(frame);
  TPixmap snapshot = TPixmap::Create(700, 700);
  TPixmap scratch = TPixmap::Create(700, 700);
  for (auto _ : state) {
    const TextureName name = make_pause_texture(gl, snapshot, scratch);
    gl.DeleteTexture(name);
  }
}
BENCHMARK(BM_PauseStill)->Unit(benchmark::kMillisecond);

void BM_BoxBlur(benchmark::State& state) {
  const int size = int(state.range(0));
  const int radius = int(state.range(1));
  TPixmap image = TPixmap::Create(size, size);
  TPixmap scratch = TPixmap::Create(size, size);
  for (auto _ : state) {
    box_blur(radius, image, scratch, size, size);
    benchmark::DoNotOptimize(image.PixelPtr(0, 0));
  }
}
BENCHMARK(BM_BoxBlur)->Args({600, 2})->Args({700, 4})->Unit(benchmark::kMillisecond);

void BM_FadeBackground(benchmark::State& state) {
  TPixmap background = TPixmap::Create(600, 600);
  for (auto _ : state) {
    fade_background(background);
    benchmark::DoNotOptimize(background.PixelPtr(0, 0));
  }
}
BENCHMARK(BM_FadeBackground)->Unit(benchmark::kMillisecond);

// As many discs as one background's walk stamps, of the sizes it uses.
void BM_StampDiscs(benchmark::State& state) {
  TPixmap background = TPixmap::Create(600, 600);
  for (auto _ : state) {
    for (int i = 0; i < 15200; ++i) {
      stamp_disc(background, float(i % 500), float(i % 300), 2.0f + float(i % 11));
    }
    benchmark::DoNotOptimize(background.PixelPtr(0, 0));
  }
}
BENCHMARK(BM_StampDiscs)->Unit(benchmark::kMillisecond);

}  // namespace

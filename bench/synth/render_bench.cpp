// Start-up renders the four game sounds before the window opens; this measures each.

#include <benchmark/benchmark.h>

#include <string>

#include "synth/formant_table.h"
#include "synth/sound_loader.h"

namespace {

void RenderGameSound(benchmark::State& state, const char* name) {
  const EmbeddedFiles no_embedded_files;
  const std::string path = std::string(VELUNKA_ASSET_DIR) + "/" + name;
  auto sound = try_load_sound_definition(no_embedded_files, path);
  if (!sound) {
    state.SkipWithError(("cannot load " + path).c_str());
    return;
  }
  const FormantTable table = BuildFormantTable();
  for (auto _ : state) {
    sound->fill(table);
    benchmark::DoNotOptimize(sound->sample->frames());
  }
  state.SetItemsProcessed(state.iterations() * sound->length);
}

void RenderAllGameSounds(benchmark::State& state) {
  const EmbeddedFiles no_embedded_files;
  const FormantTable table = BuildFormantTable();
  for (auto _ : state) {
    for (const char* name : {"laser02.wkt", "pop01.wkt", "collect01.wkt", "drain.wkt"}) {
      auto sound =
          try_load_sound_definition(no_embedded_files, std::string(VELUNKA_ASSET_DIR) + "/" + name);
      sound->fill(table);
      benchmark::DoNotOptimize(sound->sample->frames());
    }
  }
}

BENCHMARK_CAPTURE(RenderGameSound, laser02, "laser02.wkt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderGameSound, pop01, "pop01.wkt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderGameSound, collect01, "collect01.wkt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderGameSound, drain, "drain.wkt")->Unit(benchmark::kMillisecond);
BENCHMARK(RenderAllGameSounds)->Unit(benchmark::kMillisecond);

}  // namespace

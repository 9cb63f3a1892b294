// The list operations of a frame: the quadtree and the entity lists append, walk and
// remove thousands of elements every frame.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/list.h"

namespace {

constexpr int kElements = 10000;

struct Ball {
  float x = 0.0f;
};

std::vector<std::shared_ptr<Ball>> MakeBalls() {
  std::vector<std::shared_ptr<Ball>> balls(kElements);
  for (auto& ball : balls) ball = std::make_shared<Ball>();
  return balls;
}

// Appending into a list that has held as many before: the links are reused.
void BM_AppendAndClear(benchmark::State& state) {
  const auto balls = MakeBalls();
  TList<std::shared_ptr<Ball>> list;
  for (auto _ : state) {
    for (const auto& ball : balls) list.AddLast(ball);
    list.Clear();
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_AppendAndClear);

void BM_Walk(benchmark::State& state) {
  const auto balls = MakeBalls();
  TList<std::shared_ptr<Ball>> list;
  for (const auto& ball : balls) list.AddLast(ball);
  for (auto _ : state) {
    float sum = 0.0f;
    for (auto link : list) sum += link.Value()->x;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_Walk);

// Every element removed during a walk, then appended again.
void BM_RemoveDuringWalk(benchmark::State& state) {
  const auto balls = MakeBalls();
  TList<std::shared_ptr<Ball>> list;
  for (auto _ : state) {
    for (const auto& ball : balls) list.AddLast(ball);
    for (auto link : list) link.Remove();
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_RemoveDuringWalk);

}  // namespace

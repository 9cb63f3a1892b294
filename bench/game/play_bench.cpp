// A full headless frame of play in wave 5: its items emitting, the ship thrusting and
// firing at weapon level 2, every drawing call going to a recorder that only counts.
// Reports the median and the slowest of 1200 frames, the peak resident memory, and the
// heap allocations per frame: those of the objects the frame created, and the others,
// which should be none.
//   play_bench            run it on one core: taskset -c 1 build/.../play_bench

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "../support/allocation_counter.h"
#include "game/game.h"
#include "platform/headless_platform.h"
#include "render/gl_recorder.h"

namespace {

// Allocations of the sizes of the objects a frame may create: a ball, a shot or a
// particle is one allocation each.
long BirthAllocations() {
  return g_allocations_of_size[sizeof(ball)].load() + g_allocations_of_size[sizeof(shot)].load() +
         g_allocations_of_size[sizeof(exhaust)].load();
}

// The ship is held in the top-left corner facing the centre, so it neither leaves the
// wave's items alone nor collects them; Z brings an item back should one be taken.
void HoldTheShip(Game& game, HeadlessPlatform& platform) {
  ship& s = game.world->player_ship;
  s.x = 60;
  s.y = 60;
  s.weapon = 2.5f;
  if (game.world->item_list.Count() < 5 && game.state.items_to_spawn == 0) {
    platform.Input().KeyDown(key::kZ);
    platform.Input().KeyUp(key::kZ);
  }
}

}  // namespace

int main() {
  HeadlessPlatform platform;
  Game game(platform, [] { return std::make_unique<GlRecorder>(false); });
  if (!game.StartUp()) return 1;
  platform.Input().ButtonDown(1);
  game.RunFrame();  // a new game: wave 1
  game.state.wave = 4;
  game.state.wave_phase = WavePhase::starting;
  game.world->item_list.Clear();
  platform.Input().PointerMoved(350, 350);
  platform.Input().KeyDown(key::kW);
  for (int frame = 0; frame < 400; ++frame) {  // items spawned and emitting
    HoldTheShip(game, platform);
    game.RunFrame();
  }

  std::vector<double> millis;
  const long allocations_before = g_allocations.load(), births_before = BirthAllocations();
  for (int frame = 0; frame < 1200; ++frame) {
    HoldTheShip(game, platform);
    const auto start = std::chrono::steady_clock::now();
    game.RunFrame();
    const auto end = std::chrono::steady_clock::now();
    millis.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  const long births = BirthAllocations() - births_before;
  const long others = g_allocations.load() - allocations_before - births;
  std::vector<double> sorted = millis;
  std::sort(sorted.begin(), sorted.end());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("wave %d, %d items, %d balls, %d shots, %d particles at the end\n", game.state.wave,
              game.world->item_list.Count(), game.world->ball_list.Count(),
              game.world->shot_list.Count(), game.world->exhaust_list.Count());
  std::printf("frame of play over 1200 frames: median %.3f ms, slowest %.3f ms\n",
              sorted[sorted.size() / 2], sorted.back());
  std::printf("peak resident memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  std::printf("heap allocations per frame: %.2f for objects born, %.2f others\n", births / 1200.0,
              others / 1200.0);
  return game.state.wave == 5 ? 0 : 1;
}

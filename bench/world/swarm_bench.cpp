// The swarm's frame over its first 600 frames from a fixed seed: 1500 balls (the title
// swarm), 6000 (four swarms spawned at once) and 15000. For each size it prints the
// median and the slowest frame of the simulation alone (everything ball::update does but
// its drawing calls) and of the whole ball::update with its drawing going to a back end
// that discards it, for the fast frame and for the plain one it must match. It also
// counts heap allocations during the frames after the first.
//
// Run it pinned to one core, e.g. `taskset -c 1 build/normal/bench/world/swarm_bench`.
// `swarm_bench fast 15000` measures the fast simulation of 15000 balls alone.
// On a machine shared with other work the wall clock also counts the time the program
// waits for the core, so every frame is timed by the thread's processor time too, and
// each measurement is run three times: the run with the lowest median is shown, with
// the spread of the three medians as a measure of the noise.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string_view>
#include <vector>

#include "../support/allocation_counter.h"
#include "tests/world/reference_swarm.h"
#include "world/world.h"

namespace {

// A drawing back end that drops everything, so only the drawing layer's own work counts.
class DiscardingGl : public Gl {
 protected:
  void OnBegin(Primitive) override {}
  void OnEnd() override {}
  void OnVertex(const GlVertex&) override {}
  void OnEnable(Capability, bool) override {}
  void OnBlendFunc(BlendFactor, BlendFactor) override {}
  void OnLineWidth(float) override {}
  void OnPixelProjection(int, int) override {}
  void OnAlphaTestNotZero() override {}
  void OnClear(const Colour&) override {}
  void OnActiveTexture0() override {}
  void OnBindTexture(TextureName) override {}
  TextureName OnGenTexture() override { return 0; }
  void OnTexImageRgba(int, int, const uint8_t*) override {}
  void OnDeleteTexture(TextureName) override {}
  void OnReadPixels(int, int, uint8_t*) override {}
};

class SilentSounds : public WorldSounds {
 public:
  void CuePop(int32_t, float) override {}
  void CueCollect(int32_t, float) override {}
  void SetDrainRate(float) override {}
  void SetDrainVolume(float) override {}
};

constexpr int kFrames = 600;
constexpr int32_t kSwarm = 1500;

double thread_ms() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

struct Spread {
  double median_ms, slowest_ms;
};

Spread spread_of(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back()};
}

struct Timing {
  Spread wall, processor;
  int balls_left;
  long allocations_after_first;
};

Timing run_once(int32_t balls, const std::function<void(World&)>& frame) {
  DiscardingGl gl;
  Random random;
  random.SeedRandom(199);
  SilentSounds sounds;
  World world(gl, random, sounds, SpriteTextures{.ship = 1, .shade = 2, .glow = 3, .ring = 4});
  for (int32_t made = 0; made < balls; made += kSwarm) spawn_ball_swarm(world, kSwarm);
  std::vector<double> wall, processor;
  wall.reserve(kFrames);
  processor.reserve(kFrames);
  long allocated_before = 0;
  for (int i = 0; i < kFrames; ++i) {
    if (i == 1) allocated_before = g_allocations.load();
    const auto start = std::chrono::steady_clock::now();
    const double start_processor = thread_ms();
    frame(world);
    processor.push_back(thread_ms() - start_processor);
    const auto end = std::chrono::steady_clock::now();
    wall.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  const long allocated = g_allocations.load() - allocated_before;
  return {spread_of(wall), spread_of(processor), world.ball_list.Count(), allocated};
}

void report(const char* what, int32_t balls, const std::function<void(World&)>& frame) {
  Timing best{};
  double lowest = 1e300, highest = 0;
  for (int run = 0; run < 3; ++run) {
    const Timing t = run_once(balls, frame);
    lowest = std::min(lowest, t.processor.median_ms);
    highest = std::max(highest, t.processor.median_ms);
    if (t.processor.median_ms == lowest) best = t;
  }
  std::printf(
      "%-24s %5d balls  wall: median %6.3f slowest %7.3f  processor: median %6.3f slowest "
      "%7.3f  (medians %.3f-%.3f; %d left, %ld allocations after frame 1)\n",
      what, balls, best.wall.median_ms, best.wall.slowest_ms, best.processor.median_ms,
      best.processor.slowest_ms, lowest, highest, best.balls_left, best.allocations_after_first);
  std::fflush(stdout);
}

}  // namespace

// `swarm_bench fast N...` measures only the fast simulation, of N balls: for profiling.
int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "fast") {
    for (int k = 2; k < argc; ++k) {
      report("fast, simulation", std::atoi(argv[k]), [](World& w) { ball::simulate(w); });
    }
    return 0;
  }
  for (int32_t balls : {1500, 6000, 15000}) {
    report("fast, simulation", balls, [](World& w) { ball::simulate(w); });
    report("fast, update + drawing", balls, [](World& w) { ball::update(w); });
    report("plain, simulation", balls, [](World& w) { reference::swarm_update(w, false); });
    report("plain, update + drawing", balls, [](World& w) { reference::swarm_update(w, true); });
  }
}

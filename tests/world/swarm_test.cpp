// The fast swarm frame of ball::update against the plain one: every field of every ball,
// bit for bit, frame after frame, and the same drawing.

#include <cstring>
#include <sstream>
#include <string>

#include "tests/world/reference_swarm.h"
#include "world_fixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kFrameDivisor = 10;  // the sanitized build runs far slower
#else
constexpr int kFrameDivisor = 1;
#endif

// A world of its own, seeded like the game's, its swarm reacting in eight lanes where the
// processor has them (`wide`) or in four.
struct Side {
  explicit Side(bool keep_draws, bool wide = true) : gl(keep_draws) {
    random.SeedRandom(199);
    world.swarm.use_wide_lanes(wide);
  }
  GlRecorder gl;
  Random random;
  RecordingSounds sounds;
  World world{gl, random, sounds, kSprites};
};

// Where in its world's item list an item stands, or -1 for none or one no longer listed.
int item_place(World& world, const item* wanted) {
  int place = 0;
  for (auto link : world.item_list) {
    if (link.Value().get() == wanted) return place;
    ++place;
  }
  return wanted ? -2 : -1;
}

// The first difference between the two worlds' balls and items, or "".
std::string difference(Side& fast, Side& plain) {
  std::ostringstream out;
  if (fast.world.ball_list.Count() != plain.world.ball_list.Count()) return "ball count";
  auto f = fast.world.ball_list.begin();
  auto p = plain.world.ball_list.begin();
  for (int i = 0; !(f == fast.world.ball_list.end()); ++f, ++p, ++i) {
    const ball& a = *(*f).Value();
    const ball& b = *(*p).Value();
    // x, y, vx, vy, xvx, xvy, nvx, nvy, size, c_radius, density, friction, infect
    if (std::memcmp(&a.x, &b.x, 13 * sizeof(float)) != 0) out << "fields of ball " << i;
    if (a.demo != b.demo) out << "demo of ball " << i;
    if (item_place(fast.world, a.bitem.get()) != item_place(plain.world, b.bitem.get())) {
      out << "item of ball " << i;
    }
    if (!out.str().empty()) return out.str();
  }
  auto fi = fast.world.item_list.begin();
  auto pi = plain.world.item_list.begin();
  for (; !(fi == fast.world.item_list.end()); ++fi, ++pi) {
    const item& a = *(*fi).Value();
    const item& b = *(*pi).Value();
    if (std::memcmp(&a.v, &b.v, sizeof(vec)) != 0 || a.ballleft != b.ballleft) return "item";
  }
  return "";
}

// The fast frame and the plain one, side by side for `frames` frames.
void ExpectSameFrames(Side& fast, Side& plain, int frames, bool drawing) {
  for (int frame = 0; frame < frames; ++frame) {
    if (drawing) {
      ball::update(fast.world);
    } else {
      ball::simulate(fast.world);
    }
    reference::swarm_update(plain.world, drawing);
    ASSERT_EQ(difference(fast, plain), "") << "frame " << frame;
    ASSERT_EQ(fast.gl.Primitives().size(), plain.gl.Primitives().size()) << "frame " << frame;
    for (size_t i = 0; i < fast.gl.Primitives().size(); ++i) {
      const auto& a = fast.gl.Primitives()[i].vertices;
      const auto& b = plain.gl.Primitives()[i].vertices;
      ASSERT_EQ(a.size(), b.size());
      ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(GlVertex)), 0)
          << "frame " << frame << ", primitive " << i;
    }
    fast.gl.ClearRecords();
    plain.gl.ClearRecords();
  }
}

// Balls, frames, and whether the fast frame may use eight lanes.
class SwarmSizeTest : public ::testing::TestWithParam<std::tuple<int32_t, int, bool>> {};

// Swarms spawned at once, as the Space key makes them.
TEST_P(SwarmSizeTest, TheFastFrameLeavesEveryBallAsThePlainOneDoes) {
  const auto [balls, frames, wide] = GetParam();
  Side fast(false, wide), plain(false);
  for (int32_t made = 0; made < balls; made += 1500) {
    spawn_ball_swarm(fast.world, 1500);
    spawn_ball_swarm(plain.world, 1500);
  }
  ExpectSameFrames(fast, plain, frames / kFrameDivisor, false);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SwarmSizeTest,
                         ::testing::Values(std::tuple{1500, 300, true}, std::tuple{6000, 300, true},
                                           std::tuple{15000, 200, true},
                                           std::tuple{1500, 300, false},
                                           std::tuple{6000, 300, false},
                                           std::tuple{15000, 200, false}));

TEST(SwarmLanesTest, EightLanesWhereTheProcessorHasThemAndFourOnRequest) {
  Side side(false);
  EXPECT_EQ(side.world.swarm.lane_count(), react::wide_lanes_supported() ? 8 : 4);
  side.world.swarm.use_wide_lanes(false);
  EXPECT_EQ(side.world.swarm.lane_count(), 4);
}

// Two items' balls mixing, balls freshly hit by a shot, balls at and beyond the walls and
// in the strips of the tree that belong to no child; halfway through, one item is
// collected and its balls go on without it.
void MakeMixedSwarm(World& world) {
  auto left = item::Create(world, 300, 350, 0);
  auto right = item::Create(world, 400, 350, 0);
  for (int i = 0; i < 900; ++i) {
    const float x = static_cast<float>(world.random.RandomRange(200, 500));
    const float y = static_cast<float>(world.random.RandomRange(250, 450));
    const float r = static_cast<float>(world.random.RandomRange(0.6, 1));
    const float v = static_cast<float>(world.random.RandomRange(-1.2, 1.2));
    ball& b = ball::Create(world, x, y, v, -v, 10 * cube(r), 20 * r,
                           i % 3 == 0 ? left : (i % 3 == 1 ? right : nullptr));
    if (i % 7 == 0) b.friction = -0.1f;
  }
  const float edges[][2] = {{1, 300},   {699.5f, 300}, {300, 699.9f},   {300, 0.5f}, {-3, 200},
                            {703, 200}, {200, 705},    {174.5f, 87.5f}, {350, 350},  {87.2f, 612}};
  for (const auto& [x, y] : edges) {
    for (int k = 0; k < 12; ++k) {
      ball::Create(world, x + k * 0.3f, y + k * 0.2f, -1.5f + k * 0.25f, 0.7f, 6, 12, nullptr);
    }
  }
}

class SwarmMixTest : public ::testing::TestWithParam<bool> {};

TEST_P(SwarmMixTest, ItemsHitBallsAndWallsGiveTheSameBallsAndTheSameDrawing) {
  Side fast(true, GetParam()), plain(true);
  MakeMixedSwarm(fast.world);
  MakeMixedSwarm(plain.world);
  const int frames = 240 / kFrameDivisor;
  ExpectSameFrames(fast, plain, frames / 2, true);
  fast.world.item_list.FirstLink().Remove();
  plain.world.item_list.FirstLink().Remove();
  ExpectSameFrames(fast, plain, frames / 2, true);
  EXPECT_GT(fast.world.ball_list.Count(), 100);  // the swarm lived through it
}

INSTANTIATE_TEST_SUITE_P(EightLanesAndFour, SwarmMixTest, ::testing::Bool());

}  // namespace

// Items appearing, emitting, repelling and being collected; the exhaust trail and the
// current of its grid.

#include <cmath>

#include "world_fixture.h"

namespace {

using ItemTest = WorldTest;
using ExhaustTest = WorldTest;

TEST_F(ItemTest, AnAppearingItemDrawsGuidesAcrossTheWholeWindow) {
  world.player_ship.x = world.player_ship.y = 10;
  item::Create(world, 350, 350, 0);
  item::update(world);
  const auto& guides = gl.Primitives();
  ASSERT_GE(guides.size(), 3u);
  EXPECT_EQ(guides[0].primitive, Primitive::LineStrip);
  const float ends[2][6] = {{350, 0, 350, 350, 350, 700}, {0, 350, 350, 350, 700, 350}};
  for (int line = 0; line < 2; ++line) {
    const auto& v = guides[line].vertices;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(v[i].x, ends[line][2 * i]);
      EXPECT_EQ(v[i].y, ends[line][2 * i + 1]);
    }
    EXPECT_EQ(v[0].colour.a, -0.5f);
    EXPECT_EQ(v[1].colour.a, 0.0f);
  }
  EXPECT_EQ(gl.CurrentLineWidth(), 3.0f);
  EXPECT_EQ(guides[2].texture, kSprites.ring);
}

TEST_F(ItemTest, TheFirstBallComesInThe151stActiveFrameThenOneEveryThird) {
  world.player_ship.x = world.player_ship.y = -1000;  // far away
  auto emitter = item::Create(world, 350, 350, 0);
  int frame = 0;
  while (emitter->appear >= 0) ++frame, item::update(world);
  EXPECT_EQ(frame, 20);  // 1 at creation, just below 0 after 20 steps of 0.05
  for (int active = 1; active <= 150; ++active) item::update(world);
  EXPECT_EQ(world.ball_list.Count(), 0);
  item::update(world);
  EXPECT_EQ(world.ball_list.Count(), 1);
  for (int active = 0; active < 3 * 79; ++active) item::update(world);
  EXPECT_EQ(world.ball_list.Count(), 80);
  EXPECT_EQ(emitter->ballcount, 80);
  // Once all 80 have died: one ball at once, then a pause of 240 frames.
  world.ball_list.Clear();
  emitter->ballleft = 0;
  for (int active = 0; active < 3; ++active) item::update(world);
  EXPECT_EQ(world.ball_list.Count(), 1);
  EXPECT_EQ(emitter->timer, 240);
}

TEST_F(ItemTest, CollectingScoresArmsAndShieldsButTheItemStillDrawsAndEmits) {
  ship& s = world.player_ship;
  s.x = 210;
  s.y = 200;
  s.weapon = 2.9f;
  s.shield = 0.5f;
  world.collect_next = 3;
  auto collected = ActiveItem(200, 200, 0);
  item::update(world);
  EXPECT_EQ(s.score, 10);
  EXPECT_EQ(s.weapon, 2.99f);
  EXPECT_FLOAT_EQ(s.shield, 0.525f);
  EXPECT_EQ(world.item_list.Count(), 0);
  ASSERT_EQ(sounds.Count("collect"), 1);
  EXPECT_EQ(sounds.cues[0].slot, 3);
  EXPECT_FLOAT_EQ(sounds.cues[0].value, -1 + 210.0f / 350);
  EXPECT_EQ(world.collect_next, 0);
  EXPECT_EQ(DrawnWith(kSprites.ring).size(), 1u);  // still drawn
  ASSERT_EQ(world.ball_list.Count(), 1);           // and still emitting
  ball& last = *world.ball_list.FirstLink().Value();
  last.move(world);
  EXPECT_EQ(last.bitem, nullptr);  // its item is gone

  s.weapon = 2.99f;
  s.shield = 1;
  ActiveItem(200, 200);
  item::update(world);
  EXPECT_EQ(s.weapon, 2.99f);
  EXPECT_EQ(s.shield, 1.0f);
}

TEST_F(ItemTest, AnItemExactlyOnTheShipIsNeitherPulledNorCollected) {
  world.player_ship.x = world.player_ship.y = 200;
  auto on_ship = ActiveItem(200, 200);
  item::update(world);
  EXPECT_EQ(world.item_list.Count(), 1);
  EXPECT_EQ(world.player_ship.score, 0);
}

TEST_F(ItemTest, ItemsCloserThanAHundredPixelsPushApartAndGlow) {
  world.player_ship.x = world.player_ship.y = -1000;
  auto a = ActiveItem(100, 100), b = ActiveItem(150, 100);
  auto c = ActiveItem(400, 100), d = ActiveItem(495, 100);
  for (auto& i : {a, b, c, d}) i->col(world);
  EXPECT_FLOAT_EQ(a->glow, 0.75f);
  EXPECT_FLOAT_EQ(a->v.x, -0.75f);
  EXPECT_FLOAT_EQ(b->v.x, 0.75f);
  EXPECT_EQ(c->glow, 0.0f);
  EXPECT_EQ(c->v.x, 0.0f);
}

TEST_F(ItemTest, AnActiveItemIsPulledTowardTheShipAndPinnedToSpeedOneEarlyInAWave) {
  world.player_ship.x = 300;
  world.player_ship.y = 200;
  auto i = ActiveItem(200, 200);
  i->v.set(3, 0);
  world.wave_clock = 0;
  i->move(world);
  EXPECT_FLOAT_EQ(i->p.x, 203.005f);
  EXPECT_NEAR(std::hypot(i->v.x, i->v.y), 1, 0.003);
}

TEST_F(ExhaustTest, CellsCoverEveryPointWithTheBorderColumnsTakingTheRest) {
  ExhaustGrid& grid = world.grid;
  EXPECT_EQ(grid.grid_offsets.size(), 2070u);
  auto column_of = [&](float x) { return &grid.cell(x, 100) - &grid.cell(-100, 100); };
  EXPECT_EQ(column_of(-20), 0);
  EXPECT_EQ(column_of(-40), 0);
  EXPECT_EQ(column_of(0), 1);
  EXPECT_EQ(column_of(699), 44);
  EXPECT_EQ(column_of(720), 44);
  EXPECT_EQ(&grid.cell(0, 16) - &grid.cell(0, 0), 45);
}

TEST_F(ExhaustTest, CellsRelaxTowardAQuarterInTheirOwnDirection) {
  for (vec& cell : world.grid.grid_offsets) cell.set(0, 0);
  world.grid.cell(100, 100).set(3, 4);
  grid_relax(world);
  EXPECT_FLOAT_EQ(world.grid.cell(100, 100).x, 0.4635f);
  EXPECT_FLOAT_EQ(world.grid.cell(100, 100).y, 0.618f);
  EXPECT_EQ(world.grid.cell(200, 200).x, 0.0f);
}

TEST_F(ExhaustTest, TheFloorIsASpringWithFriction) {
  exhaust& e = exhaust::Create(world, 300, 707, 0, 0, 4);
  e.v.set(2, 3);
  e.life = 10;
  e.move(world);  // y = 710 before the walls, v normalised toward 1 first
  vec expected(2, 3);
  expected.normalizep(0.4f);
  EXPECT_FLOAT_EQ(e.v.y, expected.y + (700 - 710));
  EXPECT_FLOAT_EQ(e.y, 710 + e.v.y);
  EXPECT_FLOAT_EQ(e.v.x, expected.x * 0.6f);
}

TEST_F(ExhaustTest, AParticleDiesInIts228thMoveAndIsStillDrawnInThatFrame) {
  exhaust::Create(world, 300, 300, 0, 0, 4);
  int moves = 0;
  while (!world.exhaust_list.IsEmpty()) {
    ++moves;
    for (auto link : world.exhaust_list) link.Value()->move(world);
  }
  EXPECT_EQ(moves, 228);

  exhaust& last = exhaust::Create(world, 300, 300, 1, 0, 4);
  last.life = 0.0101f;
  const vec cell_before = world.grid.cell(300, 300);
  exhaust::update(world);
  EXPECT_EQ(world.exhaust_list.Count(), 0);
  EXPECT_EQ(DrawnWith(kSprites.glow).size(), 1u);
  EXPECT_NE(world.grid.cell(300, 300).x, cell_before.x);  // entered, then relaxed
  exhaust::setdoom(world, 0.7f);                          // an empty trail
}

}  // namespace

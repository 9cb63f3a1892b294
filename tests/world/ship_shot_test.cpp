// The ship's flight, ball contact and drawing; shots flying, hitting and pushing items.

#include <cmath>

#include "world_fixture.h"

namespace {

using ShipTest = WorldTest;
using ShotTest = WorldTest;

TEST_F(ShipTest, StopBouncesOffTheLeftEdgeAndCoasts) {
  ship& s = world.player_ship;
  s.x = 2;
  s.vx = -5;
  s.stop(world);
  EXPECT_FLOAT_EQ(s.x, 2);  // -3 after the move, then back by the reversed velocity
  EXPECT_FLOAT_EQ(s.vx, 4.6f);
}

TEST_F(ShipTest, EveryTouchingBallSetsTheSpeedToOneDrawsAFlareAndRaisesTheDrain) {
  ship& s = world.player_ship;
  s.x = s.y = 300;
  s.vx = 3;
  s.shield = 1;
  world.drain_level = 0.75f;
  for (float dx : {5.0f, -10.0f, 20.0f}) Ball(300 + dx, 300, 4, 0.5f, 0.5f);
  Ball(300, 360, 4);  // too far to touch
  s.move(world);
  EXPECT_FLOAT_EQ(std::hypot(s.vx, s.vy), 1);
  EXPECT_EQ(world.drain_level, 1.0f);  // +0.3, held at 1
  EXPECT_FLOAT_EQ(s.shield, 1 - 3 * 0.00004f);
  const auto flares = DrawnWith(kSprites.shade);
  ASSERT_EQ(flares.size(), 3u);
  EXPECT_EQ(flares[0].vertices[0].colour, (Colour{1, 0, 0, 1}));
  // The touched balls are pushed away from the ship, the far one is not.
  const ball& near = *world.ball_list.FirstLink().Value();
  EXPECT_GT(near.vx, 0.5f);
  EXPECT_EQ(world.ball_list.LastLink().Value()->vy, 0.0f);
  ASSERT_EQ(sounds.cues.size(), 2u);
  EXPECT_FLOAT_EQ(sounds.cues[0].value, 0.2f + 0.8f * s.shield);
  EXPECT_EQ(sounds.cues[1].value, 1.0f);
}

TEST_F(ShipTest, ContactDrainsOnlyTheWeaponFraction) {
  ship& s = world.player_ship;
  s.x = s.y = 300;
  Ball(305, 300, 4);
  s.weapon = 2.3f;
  s.move(world);
  EXPECT_FLOAT_EQ(s.weapon, 2.299f);
  s.weapon = 2.0f;
  s.x = s.y = 300;
  s.move(world);
  EXPECT_EQ(s.weapon, 2.0f);
}

TEST_F(ShipTest, DrawFacesThePointerWithAGlowingBodyUnderABlackCore) {
  ship& s = world.player_ship;
  s.x = 100;
  s.y = 100;
  world.pointer_x = 100;
  world.pointer_y = 40;
  s.draw(world);
  EXPECT_EQ(s.sx, 0.0f);
  EXPECT_EQ(s.sy, -1.0f);
  const auto quads = DrawnWith(kSprites.ship);
  ASSERT_EQ(quads.size(), 2u);
  const auto& body = quads[0].vertices;
  EXPECT_FLOAT_EQ(body[0].y, 100 - 32.4f);  // the nose, 1.8 x 18 ahead
  EXPECT_EQ(body[0].colour, (Colour{1, 0.5f, 0, 1}));
  EXPECT_EQ(body[2].colour, (Colour{0, 1, 1, 1}));
  EXPECT_EQ(quads[1].vertices[0].colour, (Colour{0, 0, 0, 1}));
  EXPECT_FLOAT_EQ(quads[1].vertices[0].y, 70);
  EXPECT_EQ(gl.CurrentColour(), (Colour{1, 1, 1, 1}));

  world.pointer_x = 100;
  world.pointer_y = 100;
  s.draw(world);
  EXPECT_EQ(s.sx, 0.0f);
  EXPECT_EQ(s.sy, 0.0f);
}

TEST_F(ShotTest, TheFirstMoveTestsOnlyAroundTheStartingPoint) {
  shot::Create(world, 100, 100, 1, 0, 10, 35);
  ball& ahead = Ball(130, 100, 4);   // on the path, but nx = ny = 0 in the first move
  ball& beside = Ball(102, 101, 4);  // within its size of the starting point
  shot::update(world);
  EXPECT_EQ(world.player_ship.score, 1);
  EXPECT_EQ(beside.friction, -0.1f);
  EXPECT_EQ(ahead.friction, 1.0f);
}

TEST_F(ShotTest, AShotWithoutDirectionRestsUntilABallComesOverIt) {
  shot::Create(world, 350, 350, 0, 0, 10, 999);
  for (int frame = 0; frame < 3; ++frame) shot::update(world);
  ASSERT_EQ(world.shot_list.Count(), 1);
  Ball(353, 350, 4);
  shot::update(world);
  EXPECT_EQ(world.shot_list.Count(), 0);
  EXPECT_EQ(sounds.Count("pop"), 1);
}

TEST_F(ShotTest, OneShotHitsTwoOverlappingBallsAndGoesOnce) {
  const shot& s = shot::Create(world, 100, 100, 1, 0, 10, 35);
  shot::update(world);  // now heading right at (135, 100)
  EXPECT_EQ(s.nx, 1.0f);
  ball& first = Ball(170, 101, 4);
  ball& second = Ball(165, 99, 8);
  ball& behind = Ball(100, 100.5f, 4);  // on the line behind the shot, within reach
  shot::update(world);
  EXPECT_EQ(world.player_ship.score, 3);
  EXPECT_EQ(world.shot_list.Count(), 0);
  ASSERT_EQ(sounds.Count("pop"), 3);
  EXPECT_EQ(sounds.cues[1].slot, 1);
  EXPECT_FLOAT_EQ(sounds.cues[1].value, -1 + 170.0f / 350);
  EXPECT_FLOAT_EQ(first.size, 6);     // grown by half, below 10
  EXPECT_FLOAT_EQ(second.size, 12);   // 8 is below 10 too
  EXPECT_FLOAT_EQ(first.density, 1);  // halved
  EXPECT_FLOAT_EQ(first.vx, 17.5f);   // knocked by half the shot's velocity
  EXPECT_EQ(behind.friction, -0.1f);
}

TEST_F(ShotTest, AShotLeavingTheFieldStillHitsAndIsDrawnOnceMore) {
  shot::Create(world, 650, 300, 1, 0, 10, 35);
  shot::update(world);
  Ball(700, 300, 4);
  gl.ClearRecords();
  shot::update(world);  // out at x = 720, still hits on the way
  EXPECT_EQ(world.shot_list.Count(), 0);
  EXPECT_EQ(world.player_ship.score, 1);
  const auto& primitives = gl.Primitives();
  ASSERT_FALSE(primitives.empty());
  EXPECT_EQ(primitives.back().primitive, Primitive::Lines);
  EXPECT_FALSE(primitives.back().textured);
  EXPECT_TRUE(gl.IsEnabled(Capability::Texture2D));
  EXPECT_EQ(gl.CurrentBlend(), (std::array{BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha}));
}

TEST_F(ShotTest, ItemsJustAheadAreNudgedAway) {
  auto ahead = ActiveItem(130, 102);
  auto aside = ActiveItem(100, 130);
  shot::Create(world, 100, 100, 1, 0, 10, 35);
  shot::update(world);
  EXPECT_GT(ahead->v.x, 0.09f);
  EXPECT_EQ(aside->v.x, 0.0f);
  EXPECT_EQ(aside->v.y, 0.0f);
}

}  // namespace

// The swarm's balls: birth and death, the item link, the wall springs, colours and the
// reactions to neighbours.

#include <cmath>

#include "world_fixture.h"

namespace {

using BallTest = WorldTest;

TEST_F(BallTest, ABallBornTooSmallIsDrawnOnceAndNeverSeenByItsNeighbours) {
  auto emitter = ActiveItem(100, 100);
  ball::Create(world, 300, 300, 0, 0, 1.9f, 4, emitter);
  ball& neighbour = Ball(305, 300, 4);
  ball::update(world);
  EXPECT_EQ(world.ball_list.Count(), 1);
  EXPECT_EQ(emitter->ballleft, 79);
  EXPECT_EQ(DrawnWith(kSprites.shade).size(), 4u);  // halo and core of both balls
  EXPECT_EQ(neighbour.vx, 0.0f);                    // nothing pulled or pushed it
  EXPECT_EQ(neighbour.vy, 0.0f);
}

TEST_F(BallTest, ABallWhoseItemIsGoneLosesDensityAndSizeEveryFrame) {
  auto emitter = ActiveItem(100, 100);
  std::weak_ptr<item> watched = emitter;
  ball& orphan = ball::Create(world, 300, 300, 0, 0, 8, 16, emitter);
  ball& demo = Ball(500, 500, 8);
  emitter->link.Remove();  // collected
  emitter.reset();
  ActiveItem(100, 100);             // a new item, wherever it lives, is not the old one
  EXPECT_FALSE(watched.expired());  // the ball's reference keeps the old item alive
  orphan.move(world);
  EXPECT_TRUE(watched.expired());
  EXPECT_FLOAT_EQ(orphan.density, 2 * 0.5f * 0.8f);
  EXPECT_FLOAT_EQ(orphan.size, 8 * 0.99f);
  orphan.move(world);
  EXPECT_FLOAT_EQ(orphan.density, 2 * 0.4f * 0.4f);
  demo.move(world);
  EXPECT_FLOAT_EQ(demo.density, 1.6f);
  EXPECT_EQ(demo.size, 8.0f);
}

TEST_F(BallTest, ABallFollowsItsItemAndDragsItAlong) {
  auto emitter = ActiveItem(100, 300);
  ball& b = ball::Create(world, 300, 300, 0, 0, 8, 16, emitter);
  b.move(world);
  EXPECT_FLOAT_EQ(b.vx, -1);  // pulled by exactly 1 toward the item
  EXPECT_FLOAT_EQ(emitter->v.x, -0.00001f);
}

TEST_F(BallTest, TheWallsAreSpringsAndTheLeftOneSetsTheCoordinate) {
  ball& left = Ball(2, 300, 8, -5);
  ball& right = Ball(698, 300, 8, 5);
  left.move(world);
  right.move(world);
  EXPECT_FLOAT_EQ(left.x, -2);
  EXPECT_FLOAT_EQ(left.vx, -2 + 0.05f * (-1 + 2));
  EXPECT_FLOAT_EQ(right.x, 705);
  EXPECT_FLOAT_EQ(right.vx, 2 + 0.05f * (1 - 2));
}

TEST_F(BallTest, CalmBallsAreDrawnByDensityAndHitOnesShiftToBlue) {
  ball& calm = Ball(100, 100, 8);
  ball& hit = Ball(500, 500, 8);
  calm.density = hit.density = 2.5f;  // 2 once moved
  hit.friction = -0.1f;
  ball::update(world);
  const auto quads = DrawnWith(kSprites.shade);
  ASSERT_EQ(quads.size(), 4u);
  const Colour& calm_colour = quads[1].vertices[0].colour;
  const Colour& hit_colour = quads[3].vertices[0].colour;
  EXPECT_FLOAT_EQ(calm_colour.r, 0.2f);
  EXPECT_FLOAT_EQ(calm_colour.g, 0.4002f);
  EXPECT_FLOAT_EQ(calm_colour.b, 0.1f);
  EXPECT_FLOAT_EQ(calm_colour.a, 0.7f);
  EXPECT_FLOAT_EQ(hit_colour.r, -0.02f);
  EXPECT_FLOAT_EQ(hit_colour.b, 0.21f);
  // The halo is additive with the halo radius, the core normal with the size.
  EXPECT_FLOAT_EQ(quads[0].vertices[0].x, 100 + 16);
  EXPECT_FLOAT_EQ(quads[1].vertices[0].x, 100 + 8);
}

class ColTest : public WorldTest {
 protected:
  // The receiver at the origin of its neighbourhood, at rest; o 5 pixels to its right.
  void React(ball& a, std::initializer_list<ball*> neighbours) {
    TList<ball*> list;
    for (ball* o : neighbours) list.AddLast(o);
    a.col(16 * a.size * a.size, list);
  }
};

TEST_F(ColTest, BallsOfDifferentItemsRepelButDoNotAttract) {
  auto one = ActiveItem(100, 100), other = ActiveItem(600, 600);
  ball& a = ball::Create(world, 300, 300, 0, 0, 4, 8, one);
  ball& stranger = ball::Create(world, 305, 300, 0, 0, 4, 8, other);
  ball& b = ball::Create(world, 300, 400, 0, 0, 4, 8, one);
  ball& sibling = ball::Create(world, 305, 400, 0, 0, 4, 8, one);
  React(a, {&stranger});
  React(b, {&sibling});
  const float g = 5.0f / (16 + 2);
  const float push = std::pow(1 - g, 4.0f);
  const float pull = 0.07f * std::pow(1 - 5.0f / (30 * 4 + 2), 3.0f);
  EXPECT_NEAR(a.vx, -push, 1e-6);
  EXPECT_NEAR(b.vx, pull - push, 1e-6);
  EXPECT_FLOAT_EQ(a.density, 2 + g);
}

TEST_F(ColTest, ANeighbourListedTwiceActsTwiceAndTheBallItselfIsSkipped) {
  ball& a = Ball(300, 300, 4);
  ball& o = Ball(305, 300, 4);
  React(a, {&a, &o, nullptr, &o});
  const float g1 = 5.0f / 18, g2 = 5.0f / (16 + 2 + g1);
  EXPECT_FLOAT_EQ(a.density, 2 + g1 + g2);
}

TEST_F(ColTest, HeadOnNeighboursMatchVelocity) {
  ball& a = Ball(300, 300, 4, 1, 0);
  ball& o = Ball(305, 300, 4, -1, 0);
  a.nvx = 1;
  o.nvx = -1;
  React(a, {&o});
  const float g = 5.0f / 18, p = std::pow(1 - g, 4.0f);
  const float pull = 0.07f * std::pow(1 - 5.0f / 122, 3.0f);
  const float before = 1 + pull - p;
  EXPECT_NEAR(a.vx, before + (-1 - before) * p, 1e-6);
  EXPECT_FLOAT_EQ(a.friction, 1);
}

TEST_F(ColTest, ANeighbourMoreThanFourTimesLargerIsNeverConsidered) {
  ball& a = Ball(300, 300, 2);
  ball& giant = Ball(303, 300, 8.5f);
  React(a, {&giant});
  EXPECT_EQ(a.vx, 0.0f);
  EXPECT_EQ(a.density, 2.0f);
}

TEST_F(BallTest, ASwarmStaysInASquareAroundTheCentre) {
  spawn_ball_swarm(world, 300);
  ASSERT_EQ(world.ball_list.Count(), 300);
  for (auto link : world.ball_list) {
    const ball& b = *link.Value();
    EXPECT_GE(b.x, 150);
    EXPECT_LE(b.x, 550);
    EXPECT_LE(std::fabs(b.vx), 1.2f);
    EXPECT_GE(b.size, 0.64f);
    EXPECT_NEAR(b.c_radius, 20 * std::cbrt(b.size / 10), 1e-4);
    EXPECT_EQ(b.demo, 1);
  }
}

}  // namespace

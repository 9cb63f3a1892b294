#include "world/vec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Vec, StartsAtZero) {
  const vec v;
  EXPECT_EQ(v.x, 0.0f);
  EXPECT_EQ(v.y, 0.0f);
}

TEST(Vec, NormalizeGivesUnitLengthAndKeepsZero) {
  vec v(3.0f, 4.0f);
  EXPECT_EQ(v.normalize(), 0);
  EXPECT_EQ(v.x, 0.6f);
  EXPECT_EQ(v.y, 0.8f);

  vec zero;
  zero.normalize();
  EXPECT_EQ(zero.x, 0.0f);
  EXPECT_EQ(zero.y, 0.0f);
  EXPECT_FALSE(std::signbit(zero.x));
}

TEST(Vec, NormalizeKeepsTheReciprocalInDoublePrecision) {
  // python3 with float32 rounding by struct: the squared length in float, the
  // reciprocal of its root in double, each product rounded to float. A float
  // reciprocal would give -0.09001145511865616 for x.
  vec v(-0.9129825830459595f, -10.101786613464355f);
  v.normalize();
  EXPECT_EQ(v.x, -0.09001146256923676f);
  EXPECT_EQ(v.y, -0.9959407448768616f);
}

TEST(Vec, NormalizepBlendsTowardTheUnitVector) {
  vec partial(3.0f, 4.0f);
  partial.normalizep(0.4f);
  // 3 + (0.6 - 3) x 0.4 and 4 + (0.8 - 4) x 0.4
  EXPECT_FLOAT_EQ(partial.x, 2.04f);
  EXPECT_FLOAT_EQ(partial.y, 2.72f);

  vec full(3.0f, 4.0f);
  full.normalizep(1.0f);
  // x + (u.x - x) x 1 rounds twice in float, so only nearly the unit vector.
  EXPECT_FLOAT_EQ(full.x, 0.6f);
  EXPECT_FLOAT_EQ(full.y, 0.8f);

  vec none(3.0f, 4.0f);
  none.normalizep(0.0f);
  EXPECT_EQ(none.x, 3.0f);
  EXPECT_EQ(none.y, 4.0f);

  vec zero;
  zero.normalizep(0.7f);
  EXPECT_EQ(zero.x, 0.0f);
  EXPECT_EQ(zero.y, 0.0f);
}

TEST(Vec, DotIsTheSquaredLengthAndDistTheLength) {
  const vec v(3.0f, 4.0f);
  EXPECT_EQ(v.dot(), 25.0f);
  EXPECT_EQ(v.dist(), 5.0f);
  EXPECT_EQ(vec(-6.0f, 8.0f).dist(), 10.0f);
  EXPECT_EQ(vec().dist(), 0.0f);
}

TEST(Vec, DivByZeroFollowsFloatingPointRules) {
  vec v(1.0f, -1.0f);
  v.div(0.0f);
  EXPECT_EQ(v.x, std::numeric_limits<float>::infinity());
  EXPECT_EQ(v.y, -std::numeric_limits<float>::infinity());

  vec zero;
  zero.div(0.0f);
  EXPECT_TRUE(std::isnan(zero.x));
  EXPECT_TRUE(std::isnan(zero.y));

  vec halves(3.0f, -5.0f);
  halves.div(2.0f);
  EXPECT_EQ(halves.x, 1.5f);
  EXPECT_EQ(halves.y, -2.5f);
}

TEST(Vec, ArithmeticChangesTheReceiverInPlace) {
  vec v(2.0f, 3.0f);
  v.scalev(vec(4.0f, 5.0f));
  EXPECT_EQ(v.x, 8.0f);
  EXPECT_EQ(v.y, 15.0f);

  v.scale(0.5f);
  EXPECT_EQ(v.x, 4.0f);
  EXPECT_EQ(v.y, 7.5f);

  v.addv(vec(1.0f, -0.5f));
  EXPECT_EQ(v.x, 5.0f);
  EXPECT_EQ(v.y, 7.0f);

  const vec minus(2.0f, 10.0f);
  v.subv(&minus);
  EXPECT_EQ(v.x, 3.0f);
  EXPECT_EQ(v.y, -3.0f);

  v.set(-1.0f, 9.0f);
  EXPECT_EQ(v.x, -1.0f);
  EXPECT_EQ(v.y, 9.0f);

  v.setv(vec(6.0f, 7.0f));
  EXPECT_EQ(v.x, 6.0f);
  EXPECT_EQ(v.y, 7.0f);
}

TEST(Vec, SubvOfNullLeavesTheVector) {
  vec v(1.5f, -2.5f);
  EXPECT_EQ(v.subv(nullptr), 0);
  EXPECT_EQ(v.x, 1.5f);
  EXPECT_EQ(v.y, -2.5f);
}

}  // namespace

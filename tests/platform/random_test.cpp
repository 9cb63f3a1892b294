#include "platform/random.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Reference values: 4660 * 48271^k mod (2^31 - 1), computed with exact integers.
TEST(Random, RandomUnitCombinesTwoGeneratorSteps) {
  Random random;
  EXPECT_DOUBLE_EQ(random.RandomUnit(), 0.4189887270692887);
  EXPECT_EQ(random.State(), 539475828);
  random.RandomUnit();
  EXPECT_EQ(random.State(), 1951098782);
}

TEST(Random, SeedsThatWouldStallFallBackToTheInitialState) {
  for (int32_t seed : {0, 2147483647, int32_t(0x80000000u), -1}) {
    Random random;
    random.SeedRandom(seed);
    EXPECT_EQ(random.State(), 4660) << seed;
  }
  Random random;
  random.SeedRandom(int32_t(0x80000007u));  // bit 31 is dropped
  EXPECT_EQ(random.State(), 7);
}

TEST(Random, IntRangeIsInclusiveInBothOrders) {
  Random random;
  std::set<int32_t> forward, backward;
  for (int i = 0; i < 2000; ++i) {
    EXPECT_EQ(random.RandomIntRange(5, 5), 5);
    forward.insert(random.RandomIntRange(1, 3));
    backward.insert(random.RandomIntRange(3, 1));
  }
  EXPECT_EQ(forward, (std::set<int32_t>{1, 2, 3}));
  EXPECT_EQ(backward, (std::set<int32_t>{1, 2, 3}));
}

TEST(Random, RangeStaysWithinItsBoundsWhicheverComesFirst) {
  Random random;
  for (int i = 0; i < 2000; ++i) {
    const double forward = random.RandomRange(-20, 20);
    const double backward = random.RandomRange(0.00033, 0.00001);
    EXPECT_GE(forward, -20.0);
    EXPECT_LT(forward, 20.0);
    EXPECT_GE(backward, 0.00001);
    EXPECT_LT(backward, 0.00033);
  }
}

}  // namespace

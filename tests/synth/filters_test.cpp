#include "synth/filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "synth/formant_table.h"
#include "synth/sound.h"

namespace {

struct States {
  float s0 = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0;
};

const std::vector<float> kSignal = {0.5f, -0.25f, 0.75f, 0.125f, -1.0f, 0.0f, 0.375f};

TEST(LowpassFilter, ClosedCutoffSilences) {
  States s;
  for (float c : {0.0f, -0.5f, std::numeric_limits<float>::quiet_NaN()}) {
    for (float in : kSignal) {
      float x = in;
      lowpass_filter(x, s.s0, s.s1, s.s2, s.s3, s.s4, c, 0.0f);
      EXPECT_EQ(x, 0.0f);
    }
  }
}

TEST(LowpassFilter, OpenCutoffPassesScaledByTheResonanceGain) {
  States open, resonant;
  for (float in : kSignal) {
    float x = in, y = in;
    lowpass_filter(x, open.s0, open.s1, open.s2, open.s3, open.s4, 1.0f, 0.0f);
    lowpass_filter(y, resonant.s0, resonant.s1, resonant.s2, resonant.s3, resonant.s4, 1.0f, 5.0f);
    EXPECT_EQ(x, in);
    EXPECT_FLOAT_EQ(y, in * 0.2f);
  }
}

TEST(LowpassFilter, StepResponseRisesSlowlyToTheInput) {
  States s;
  float x = 1.0f;
  // c = 0.5: k = 0.1 × 0.125; the velocity loses a quarter each frame at r = 0.
  lowpass_filter(x, s.s0, s.s1, s.s2, s.s3, s.s4, 0.5f, 0.0f);
  EXPECT_NEAR(x, 0.0125 * 0.75, 1e-7);
  for (int i = 0; i < 5000; ++i) {
    x = 1.0f;
    lowpass_filter(x, s.s0, s.s1, s.s2, s.s3, s.s4, 0.5f, 0.0f);
  }
  EXPECT_NEAR(x, 1.0f, 1e-4);
}

TEST(LadderFilter, FirstStageNeverLeavesTheUnitRange) {
  States s;
  const float inputs[] = {
      1e6f, -1e6f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
      3.0f, -3.0f};
  for (uint8_t mode : {kLowPass, kBandPass, kHighPass}) {
    for (float in : inputs) {
      float x = in;
      ladder_filter(x, s.s0, s.s1, s.s2, s.s3, s.s4, 1.0f, 4.0f, mode);
      EXPECT_LE(s.s1, 1.0f);
      EXPECT_GE(s.s1, -1.0f);
    }
  }
}

TEST(CascadeFilter, OpenWithoutResonanceFollowsTheInput) {
  States low, band, high;
  for (float in : kSignal) {
    float x = in, y = in, z = in;
    cascade_filter(x, low.s0, low.s1, low.s2, low.s3, low.s4, 1.0f, 0.0f, kLowPass);
    cascade_filter(y, band.s0, band.s1, band.s2, band.s3, band.s4, 1.0f, 0.0f, kBandPass);
    cascade_filter(z, high.s0, high.s1, high.s2, high.s3, high.s4, 1.0f, 0.0f, kHighPass);
    EXPECT_EQ(x, in);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(z, 0.0f);
  }
}

TEST(CascadeFilter, FeedbackIsClippedAtOne) {
  States s;
  s.s1 = s.s2 = s.s3 = s.s4 = 1.0f;
  float x = 0.0f;
  // r × s4 = 4 is clipped to 1; with g = 0 the stages hold and band-pass gives s3 − s4.
  cascade_filter(x, s.s0, s.s1, s.s2, s.s3, s.s4, 0.0f, 4.0f, kHighPass);
  EXPECT_EQ(x, -1.0f - 1.0f);
}

TEST(AtanFilter, NoResonanceMeansNoFeedback) {
  States s;
  for (float in : kSignal) {
    float x = in;
    atan_filter(x, s.s0, s.s1, s.s2, s.s3, s.s4, 0.3f, 0.0f, kLowPass);
    EXPECT_EQ(s.s1, 0.0f);
  }
}

TEST(AtanFilter, FeedbackIsBoundedByNinetyDegrees) {
  States s;
  for (int i = 0; i < 100; ++i) {
    float x = (i % 2) ? 1e30f : -1e30f;
    atan_filter(x, s.s0, s.s1, s.s2, s.s3, s.s4, 0.5f, 5.0f, kBandPass);
    ASSERT_LE(std::fabs(s.s1), 90.0f);
  }
}

TEST(AtanFilter, OpenCutoffPassesTheInput) {
  States s;
  for (float in : kSignal) {
    float x = in;
    atan_filter(x, s.s0, s.s1, s.s2, s.s3, s.s4, 1.0f, 0.0f, kLowPass);
    EXPECT_NEAR(x, in, 1e-20);  // less the 1e-24 that keeps the stages out of denormals
  }
}

class FormantFilter : public ::testing::Test {
 protected:
  const FormantTable table = BuildFormantTable();
  std::array<double, 10> memory = {0.1, -0.2, 0.05, 0.3, -0.15, 0.02, 0.0, -0.07, 0.11, 0.04};
  const float in = 0.5f;

  // One row's filter output, summed in the row's order.
  double Row(int row) const {
    double y = table.rows[row][0] * in;
    for (int k = 1; k <= 10; ++k) y += table.rows[row][k] * memory[k - 1];
    return y;
  }
  static double Gain(double v) { return std::pow(0.95 - v / 7, 3.0); }
};

TEST_F(FormantFilter, TableHoldsTheVowelCoefficients) {
  EXPECT_EQ(table.rows[0][0], 3.11044e-06);
  EXPECT_EQ(table.rows[0][1], 8.943665402);
  EXPECT_EQ(table.rows[2][5], 179.4835618);
  EXPECT_EQ(table.rows[3][6], -154.3755513);
  EXPECT_EQ(table.rows[4][0], 4.09431e-07);
  EXPECT_EQ(table.rows[4][10], -0.910251753);
}

TEST_F(FormantFilter, HalfWayBetweenVowelsAveragesTheTwoFilters) {
  const double y = 0.5 * (Row(1) + Row(2));
  const auto before = memory;
  const float out = Sound::formant_filter(in, 1.5f, memory, table);
  EXPECT_NEAR(memory[0], y, 1e-12);
  for (int k = 1; k < 10; ++k) EXPECT_EQ(memory[k], before[k - 1]);
  EXPECT_NEAR(out, 0.5 * y * Gain(1.5), 1e-6 * std::fabs(0.5 * y));
}

TEST_F(FormantFilter, WholeVowelUsesItsRowAlone) {
  const double y = Row(2);
  EXPECT_NEAR(Sound::formant_filter(in, 2.0f, memory, table), 0.5 * y * Gain(2.0),
              1e-6 * std::fabs(y));
  EXPECT_EQ(memory[0], y);
}

TEST_F(FormantFilter, PositionsAboveTheLastVowelAreClampedWithBlendedCoefficients) {
  const double f = double(3.9999f - 3.0f);
  double y = table.rows[3][0] * in;
  for (int k = 1; k <= 10; ++k) {
    y += (table.rows[3][k] + f * (table.rows[4][k] - table.rows[3][k])) * memory[k - 1];
  }
  auto same_memory = memory;
  const float at_four = Sound::formant_filter(in, 4.0f, memory, table);
  const float far_above = Sound::formant_filter(in, 1000.0f, same_memory, table);
  EXPECT_EQ(at_four, far_above);
  EXPECT_NEAR(memory[0], y, 1e-9 * std::fabs(y));
  EXPECT_NEAR(at_four, 0.5 * y * Gain(3.9999), 1e-5 * std::fabs(y));
}

TEST_F(FormantFilter, NegativeOrMissingPositionActsAsTheFirstVowel) {
  const double y = Row(0);
  for (float v : {-2.0f, std::numeric_limits<float>::quiet_NaN(), 0.0f}) {
    auto state = memory;
    EXPECT_NEAR(Sound::formant_filter(in, v, state, table), 0.5 * y * Gain(0.0),
                1e-6 * std::fabs(y));
  }
}

}  // namespace

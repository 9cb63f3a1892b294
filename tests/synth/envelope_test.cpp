#include "synth/envelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// An envelope built from (position, value) pairs, linked as the renderer links it.
class Envelope {
 public:
  Envelope(std::initializer_list<std::pair<int32_t, float>> points) {
    for (auto [position, value] : points)
      nodes_.push_back(markers::Create(list_, 0, value, position));
    for (size_t i = 0; i < nodes_.size(); ++i) {
      nodes_[i]->prev_marker = nodes_[i == 0 ? 0 : i - 1].get();
      nodes_[i]->next_marker = nodes_[i + 1 == nodes_.size() ? i : i + 1].get();
    }
    current_ = nodes_.front().get();
  }

  markers& operator[](size_t i) { return *nodes_[i]; }
  markers* current() const { return current_; }

  // Steps every frame from `from` up to and including `to`; returns the value at `to`.
  float RunTo(int32_t from, int32_t to) {
    float value = 0.0f;
    for (int32_t j = from; j <= to; ++j) value = Step(j);
    return value;
  }
  float Step(int32_t j) {
    float value = 0.0f;
    current_ = envelope_step(value, j, current_, list_, vibpos, vibvel);
    return value;
  }

  float vibpos = 0.0f;
  float vibvel = 0.01f;

 private:
  MarkerList list_;
  std::vector<std::shared_ptr<markers>> nodes_;
  markers* current_ = nullptr;
};

TEST(Envelope, SingleMarkerHoldsItsValueEverywhere) {
  Envelope e{{50, 0.75f}};
  for (int32_t j = -400; j < 300; ++j) ASSERT_EQ(e.Step(j), 0.75f) << j;
  EXPECT_EQ(e.vibpos, 0.0f);
  EXPECT_EQ(e.vibvel, 0.01f);
}

TEST(Envelope, StraightSegmentIsLinear) {
  Envelope e{{0, 0.0f}, {100, 1.0f}};
  EXPECT_EQ(e.RunTo(-400, 25), 0.25f);
}

TEST(Envelope, FlatSlopeFactorsEaseInAndOut) {
  Envelope e{{0, 0.0f}, {100, 1.0f}};
  e[0].curve_in = 0.0f;
  e[1].curve_out = 0.0f;
  EXPECT_EQ(e.RunTo(-400, 25), 3 * 0.0625f - 2 * 0.015625f);  // 0.15625
}

TEST(Envelope, SlopeFactorsShapeTheCurveAsAHermiteCubic) {
  Envelope e{{0, 0.5f}, {100, 2.5f}};
  e[0].curve_in = 2.0f;
  e[1].curve_out = 0.5f;
  // Cubic Hermite with tangents 2 × (2.5 − 0.5) and 0.5 × (0.5 − 2.5), at t = 0.25.
  const double t = 0.25;
  const double expected = (2 * t * t * t - 3 * t * t + 1) * 0.5 +
                          (-2 * t * t * t + 3 * t * t) * 2.5 + (t * t * t - 2 * t * t + t) * 4.0 +
                          (t * t * t - t * t) * -1.0;
  EXPECT_NEAR(e.RunTo(-400, 25), expected, 1e-6);
}

TEST(Envelope, ValueBeforeTheFirstMarkerIsTheFirstValue) {
  Envelope e{{10, 0.3f}, {100, 1.0f}};
  EXPECT_EQ(e.RunTo(-400, 5), 0.3f);
}

TEST(Envelope, ReachingAMarkerGivesItsValueAndMovesOn) {
  Envelope e{{0, 0.0f}, {100, 1.0f}, {200, 3.0f}};
  EXPECT_EQ(e.RunTo(-400, 100), 1.0f);
  EXPECT_EQ(e.current(), &e[2]);
  EXPECT_EQ(e.Step(101), 1.02f);
  EXPECT_EQ(e.RunTo(102, 500), 3.0f);
  EXPECT_EQ(e.current(), &e[2]);
}

TEST(Envelope, MarkersSharingAPositionArePassedOnConsecutiveFrames) {
  Envelope e{{0, 0.0f}, {50, 1.0f}, {50, 2.0f}, {100, 3.0f}};
  EXPECT_EQ(e.RunTo(-400, 50), 1.0f);
  EXPECT_EQ(e.Step(51), 2.0f);
  EXPECT_EQ(e.current(), &e[3]);
  EXPECT_FLOAT_EQ(e.Step(52), 2.0f + 0.04f);
}

TEST(Envelope, VibratoSwingsWithTheExpectedDepthAndPeriod) {
  Envelope e{{0, 1.0f}};
  e[0].vib_amount = 1.0f;
  e[0].vib_speed = 0.5f;  // squared: the oscillator steps with 0.25
  // Amplitude 0.01 / sqrt(pi × 1e-5) ≈ 1.784; period 2pi / (0.25 × sqrt(pi × 1e-5)) ≈ 4484.
  const double amplitude = 0.01 / std::sqrt(std::numbers::pi * 1e-5);
  const double period = 2 * std::numbers::pi / (0.25 * std::sqrt(std::numbers::pi * 1e-5));
  float peak = 0.0f;
  std::vector<int32_t> upward_crossings;
  float before = e.Step(-400) - 1.0f;
  for (int32_t j = -399; j < 20000; ++j) {
    const float swing = e.Step(j) - 1.0f;
    peak = std::max(peak, std::fabs(swing));
    if (before < 0 && swing >= 0) upward_crossings.push_back(j);
    before = swing;
  }
  EXPECT_NEAR(peak, amplitude, amplitude * 0.01);
  ASSERT_GE(upward_crossings.size(), 3u);
  EXPECT_NEAR(upward_crossings[2] - upward_crossings[1], period, period * 0.01);
}

TEST(Envelope, VibratoFirstStepFollowsTheIntegrator) {
  Envelope e{{0, 1.0f}};
  e[0].vib_amount = 0.5f;
  e[0].vib_speed = 0.5f;
  // vibvel stays 0.01 (vibpos was 0); vibpos = 0.01 × 0.25; value = 1 + 0.5 × vibpos.
  EXPECT_EQ(e.Step(-400), 1.0f + 0.5f * (0.01f * 0.25f));
  EXPECT_EQ(e.vibvel, 0.01f);
}

TEST(Envelope, NegativeVibratoDepthKeepsTheUnsquaredSpeedBeforeAMarker) {
  Envelope e{{10, 1.0f}};
  e[0].vib_amount = -1.0f;
  e[0].vib_speed = 0.5f;
  EXPECT_EQ(e.Step(0), 1.0f - 0.01f * 0.5f);
}

TEST(Envelope, VibratoDepthAndSpeedAreInterpolatedBetweenMarkers) {
  Envelope e{{0, 0.0f}, {100, 0.0f}};
  e[1].vib_amount = 2.0f;
  e[1].vib_speed = 1.0f;
  EXPECT_EQ(e.RunTo(-400, 0), 0.0f);
  EXPECT_EQ(e.vibpos, 0.0f);  // no depth on marker 0: the oscillator has not moved
  // Frame 1: t = 0.01, depth 0.02, speed 0.01 squared; vibpos = 0.01 × 1e-4.
  EXPECT_NEAR(e.Step(1), 0.02 * (0.01 * 1e-4), 1e-12);
  EXPECT_NEAR(e.vibpos, 0.01 * 1e-4, 1e-10);
}

}  // namespace

#include "synth/phaser.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>
#include <vector>

namespace {

Phaser FreshPhaser(int32_t stages, float feedback, float depth) {
  Phaser phaser = Phaser::Create();
  phaser.init();
  phaser._delay_count = stages;
  phaser._fb = feedback;
  phaser._depth = depth;
  return phaser;
}

TEST(AllpassDelay, StepsThroughItsDifferenceEquation) {
  AllpassDelay stage = AllpassDelay::Create();
  stage.dDelay(1.0f / 3.0f);  // (1 − 1/3) / (1 + 1/3) = 0.5
  EXPECT_FLOAT_EQ(stage._a1, 0.5f);
  stage._a1 = 0.5f;
  EXPECT_EQ(stage.update(1.0f), -0.5f);
  EXPECT_EQ(stage.update(0.0f), 0.75f);
  EXPECT_EQ(stage.update(0.0f), 0.375f);
}

TEST(Phaser, InitSetsTheUnusedSweepOscillator) {
  Phaser phaser = Phaser::Create();
  phaser.init();
  EXPECT_NEAR(phaser._dmin, 440.0 / 22050, 1e-7);
  EXPECT_NEAR(phaser._dmax, 1600.0 / 22050, 1e-7);
  EXPECT_NEAR(phaser._lfoInc, 2 * std::numbers::pi * 4.5 / 44100, 1e-9);
  EXPECT_EQ(phaser._lfoPhase, 0.0f);
}

TEST(Phaser, FullSweepWithoutFeedbackDelaysByItsStageCount) {
  Phaser phaser = FreshPhaser(6, 0.0f, 1.0f);
  std::vector<float> response;
  for (int i = 0; i < 10; ++i) response.push_back(phaser.Update(i == 0 ? 1.0f : 0.0f, 1.0f));
  EXPECT_EQ(response, (std::vector<float>{0.5f, 0, 0, 0, 0, 0, 0.5f, 0, 0, 0}));
}

TEST(Phaser, StageCountsOutsideOneToTenBypassTheChain) {
  for (int32_t count : {0, -1, 11, 1000}) {
    SCOPED_TRACE(count);
    Phaser phaser = FreshPhaser(count, 0.7f, 0.5f);
    EXPECT_EQ(phaser.Update(0.8f, 0.5f), (1 - 0.5f * 0.5f) * 0.8f);
    EXPECT_EQ(phaser._zm1, 0.0f);
    const float expected_a1 = count > 10 ? (1 - 0.25f) / (1 + 0.25f) : 0.0f;
    for (const AllpassDelay& stage : phaser._alps) {
      EXPECT_EQ(stage._a1, expected_a1);
      EXPECT_EQ(stage._zm1, 0.0f);
    }
  }
}

TEST(Phaser, TinyAndNegativeSweepsShareOneCoefficient) {
  Phaser a = FreshPhaser(4, 0.5f, 1.0f), b = a, c = a, d = a;
  for (int i = 0; i < 50; ++i) {
    const float in = (i % 7) * 0.1f - 0.3f;
    const float out = a.Update(in, 0.0f);
    EXPECT_EQ(b.Update(in, -3.0f), out);
    EXPECT_EQ(c.Update(in, 0.0001f), out);
    EXPECT_EQ(d.Update(in, std::numeric_limits<float>::quiet_NaN()), out);
  }
}

TEST(Phaser, ZeroDepthPassesTheDryFrameWhileTheChainRuns) {
  Phaser phaser = FreshPhaser(3, 0.5f, 0.0f);
  EXPECT_EQ(phaser.Update(0.25f, 1.0f), 0.25f);
  EXPECT_EQ(phaser.Update(0.0f, 1.0f), 0.0f);
  EXPECT_NE(phaser._alps[0]._zm1 + phaser._alps[1]._zm1 + phaser._alps[2]._zm1, 0.0f);
}

TEST(Phaser, SweepOscillatorSettingsDoNotChangeTheOutput) {
  Phaser a = FreshPhaser(6, 0.7f, 1.0f), b = a;
  b._dmin = 5.0f;
  b._dmax = -5.0f;
  b._lfoInc = 3.0f;
  for (int i = 0; i < 30; ++i) EXPECT_EQ(a.Update(i * 0.01f, 0.3f), b.Update(i * 0.01f, 0.3f));
}

}  // namespace

#include "synth/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

double SinDegrees(double degrees) {
  return std::sin(degrees * std::numbers::pi / 180.0);
}

// Runs an oscillator for frames frames at constant pitch and pulse, as the renderer
// drives it: the phase accumulator grows by pitch after every call.
std::vector<float> RunOscillator(int32_t waveform, float pitch, float puls, int frames) {
  OscillatorState state;
  OscillatorInput in;
  in.pitch = pitch;
  in.puls = puls;
  in.P = float(std::pow(double(puls), 3.0) * 5.0);
  std::vector<float> out;
  for (int i = 0; i < frames; ++i) {
    out.push_back(oscillator(waveform, state, in));
    in.phase = in.phase + pitch;
  }
  return out;
}

TEST(Oscillators, PlainSineHasOneCyclePerHundredPhaseUnits) {
  OscillatorInput in;
  for (float phase : {0.0f, 25.0f, 412.5f, 1000.0f}) {
    in.phase = phase;
    EXPECT_NEAR(osc_sine_series(in), SinDegrees(3.6 * phase), 1e-6) << phase;
  }
  in.phase = 25.0f;
  in.sine_phase_factor = 2.0f;  // the mix value scales the phase
  EXPECT_NEAR(osc_sine_series(in), 0.0, 1e-6);
}

TEST(Oscillators, HarmonicSeriesSettlesToItsClosedForm) {
  OscillatorInput in;
  in.P = 1.0f;         // a = sqrt(0.25) = 0.5
  in.phase = 5025.0f;  // 18090 degrees: sin 1, cos 0; the fading terms are long gone
  EXPECT_NEAR(osc_sine_series(in), (1 - 0.5) * 1.0 / (1 - 0 + 0.25), 1e-6);
  in.P = -1.0f;  // the denominator takes sin(2.5 θ) = sin(45225°) = −sqrt(0.5) instead
  EXPECT_NEAR(osc_sine_series(in), 0.5 / (1 + std::sqrt(0.5) + 0.25), 1e-6);
}

TEST(Oscillators, HarmonicSeriesDepthStopsAtPointNineNine) {
  OscillatorInput strong, stronger;
  strong.P = 3.93f;
  stronger.P = 50.0f;
  for (float phase : {0.3f, 1.0f, 17.0f, 250.0f}) {
    strong.phase = stronger.phase = phase;
    EXPECT_EQ(osc_sine_series(strong), osc_sine_series(stronger)) << phase;
  }
  OscillatorInput weaker = strong;
  weaker.P = 3.9f;
  weaker.phase = 17.0f;
  strong.phase = 17.0f;
  EXPECT_NE(osc_sine_series(weaker), osc_sine_series(strong));
}

TEST(Oscillators, SawtoothRepeatsEveryHundredOverPitchAndStaysInRange) {
  const std::vector<float> out = RunOscillator(kWaveSaw, 2.0f, 0.0f, 1000);
  for (int i = 400; i < 950; ++i) {
    ASSERT_NEAR(out[i], out[i + 50], 1e-3) << i;
    ASSERT_LE(std::fabs(out[i]), 1.05f) << i;
  }
  // It ramps upward between the jumps: most steps rise by about 2 / 50.
  int rising = 0;
  for (int i = 400; i < 450; ++i) rising += out[i + 1] > out[i];
  EXPECT_GE(rising, 45);
}

TEST(Oscillators, SawtoothWithAStandingPhaseIsSilentNotUndefined) {
  OscillatorState state;
  for (int i = 0; i < 10; ++i) osc_saw(state, 1.0f);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(osc_saw(state, 0.0f), 0.0f);
  EXPECT_FALSE(std::isnan(osc_saw(state, 1.0f)));
}

TEST(Oscillators, PulseRepeatsEveryHundredOverPitch) {
  const std::vector<float> out = RunOscillator(kWavePulse, 4.0f, 0.3f, 1000);
  for (int i = 400; i < 975; ++i) {
    ASSERT_NEAR(out[i], out[i + 25], 1e-3) << i;
    ASSERT_TRUE(std::isfinite(out[i]));
  }
}

TEST(Oscillators, NoiseIsHeldForOneOverPitchFrames) {
  const std::vector<float> slow = RunOscillator(kWaveNoise, 0.25f, 0.0f, 40);
  for (int i = 0; i < 40; ++i) {
    if (i == 0) continue;
    if (i % 4 == 0) {
      EXPECT_NE(slow[i], slow[i - 1]) << i;
    } else {
      EXPECT_EQ(slow[i], slow[i - 1]) << i;
    }
  }
  const std::vector<float> fast = RunOscillator(kWaveNoise, 2.0f, 0.0f, 20);
  for (int i = 1; i < 20; ++i) EXPECT_NE(fast[i], fast[i - 1]) << i;
}

TEST(Oscillators, NoiseStartsFromItsSeed) {
  const double seed = double(19.191919f);
  double next = (seed + double(19.3f)) * (seed + double(19.3f));
  next = next + double(0.33f) * (seed - next);
  next = next - std::trunc(next);
  EXPECT_EQ(RunOscillator(kWaveNoise, 0.5f, 0.0f, 1)[0], float(2 * next - 1));
  for (float value : RunOscillator(kWaveNoise, 0.1f, 0.0f, 5000)) {
    ASSERT_GE(value, -1.0f);
    ASSERT_LE(value, 1.0f);
  }
}

TEST(Oscillators, TriangleBlendsIntoTheRoundedWave) {
  OscillatorState triangle_state, rounded_state;
  double x = 0.0;
  for (int i = 0; i < 300; ++i) {
    x += double(0.7f * 0.02f);
    if (x > 1) x -= 2;
    const double y = std::fabs(x);
    ASSERT_NEAR(osc_triangle(triangle_state, 0.7f, 0.0f), 2 * y - 1, 1e-6) << i;
    ASSERT_NEAR(osc_triangle(rounded_state, 0.7f, 1.0f), -1 + 4 * y * y - 2 * y * y * y * y, 1e-6)
        << i;
  }
}

TEST(Oscillators, KindFiveAndUnknownKindsAreSilent) {
  for (int32_t waveform : {5, 6, -1, 1000}) {
    for (float value : RunOscillator(waveform, 1.0f, 0.5f, 50)) ASSERT_EQ(value, 0.0f) << waveform;
  }
}

}  // namespace

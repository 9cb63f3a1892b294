#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "synth/filters.h"
#include "synth/formant_table.h"
#include "synth/oscillators.h"
#include "synth/sound.h"

namespace {

constexpr int kPreRoll = 400;

// A sound whose six envelopes are single markers: vol, pitch, lowp, reso, phaz, puls.
// The defaults make an unfiltered (open low-pass, no resonance) sine at pitch 1.
std::shared_ptr<Sound> SteadySound(int32_t length, int32_t waveform,
                                   std::array<float, 6> values = {1, 1, 1, 0, 1, 0}) {
  auto sound = Sound::Create(length, 44100, waveform, 1);
  for (int k = 0; k < kEnvelopeCount; ++k) {
    sound->current_marker(k) = markers::Create(sound->envelope_list(k), 0, values[k], 0);
  }
  return sound;
}

std::vector<int16_t> Frames(const Sound& sound) {
  const int16_t* frames = sound.sample->frames();
  return {frames, frames + sound.sample->length()};
}

// The plain sine as the renderer's main pass computes it, from frame -400 on: the phase
// accumulates the pitch after every frame.
std::vector<float> RawSine(float pitch, int32_t length) {
  std::vector<float> values;
  float phase = 0.0f;
  for (int32_t j = -kPreRoll; j < length; ++j) {
    values.push_back(float(std::sin(double(3.6f * phase) * std::numbers::pi / 180.0)));
    phase = phase + pitch;
  }
  return values;
}

int16_t Quantise(float x) {
  if (x > 1.0f) x = 1.0f;
  if (!(x >= -1.0f)) x = -1.0f;
  return int16_t(std::trunc(x * 32767.0f));
}

float Read(int16_t frame) {
  return float(frame) / 32767.0f;
}

// Both 21-frame edge fades, tail first, skipping frames a short sound does not have.
void Fade(std::vector<int16_t>& frames) {
  const int n = int(frames.size());
  for (int i = 0; i <= 20; ++i) {
    const float g = float(1.0 - std::pow(1.0 - double(0.05f * float(i)), 2.0));
    if (n - 1 - i >= 0) frames[n - 1 - i] = Quantise(Read(frames[n - 1 - i]) * g);
    if (i < n) frames[i] = Quantise(Read(frames[i]) * g);
  }
}

// Stored frames of a main pass whose values are given from frame -400 on.
std::vector<int16_t> Store(const std::vector<float>& values) {
  std::vector<int16_t> frames;
  for (size_t i = kPreRoll; i < values.size(); ++i) frames.push_back(Quantise(values[i]));
  return frames;
}

// Frame-by-frame comparison that tolerates one step of the 16-bit scale, for models
// whose sine may round differently in the last bit.
void ExpectFramesNear(const std::vector<int16_t>& actual, const std::vector<int16_t>& expected,
                      int from, int to) {
  ASSERT_EQ(actual.size(), expected.size());
  for (int i = from; i < to; ++i) ASSERT_NEAR(actual[i], expected[i], 1) << "frame " << i;
}

class Renderer : public ::testing::Test {
 protected:
  const FormantTable table = BuildFormantTable();
};

TEST_F(Renderer, SteadyToneStartsAfterThePreRollAndFadesAtTheEdges) {
  auto sound = SteadySound(1000, kWaveSine, {1, 0.7f, 1, 0, 1, 0});
  EXPECT_EQ(sound->fill(table), 0);
  std::vector<int16_t> expected = Store(RawSine(0.7f, 1000));
  const int16_t before_fade = expected[10];
  Fade(expected);
  ExpectFramesNear(Frames(*sound), expected, 0, 1000);
  EXPECT_EQ(Frames(*sound)[0], 0);
  EXPECT_EQ(Frames(*sound)[999], 0);
  EXPECT_NEAR(Frames(*sound)[10], std::trunc(Read(before_fade) * 0.75f * 32767.0f), 1);
  // Frame 0 already sits 400 × 0.7 phase units in, not at phase 0.
  EXPECT_NE(expected[21], Quantise(float(std::sin(3.6 * 0.7 * 21 * std::numbers::pi / 180))));
  for (int j = 0; j < 1000; ++j) {
    ASSERT_EQ(sound->vib_table.at(kEnvVol, j), 1.0f);
    ASSERT_EQ(sound->vib_table.at(kEnvPitch, j), 0.7f);
  }
}

TEST_F(Renderer, RenderingAgainGivesTheSameFrames) {
  auto sound = SteadySound(3000, kWaveNoise, {0.8f, 0.3f, 0.4f, 0.5f, 0.6f, 0.2f});
  sound->filtertype = 9;
  sound->phaze = 2;
  sound->bipolar = 1;
  sound->FX_DELAY = 1;
  sound->FX_DELAY_interval = 700;
  sound->fill(table);
  const std::vector<int16_t> first = Frames(*sound);
  sound->fill(table);
  EXPECT_EQ(Frames(*sound), first);
}

TEST_F(Renderer, ShortSoundsFadeOnlyWithinTheirFrames) {
  for (int32_t length : {1, 5, 20, 21, 30, 41}) {
    SCOPED_TRACE(length);
    auto sound = SteadySound(length, kWaveSine, {1, 3.0f, 1, 0, 1, 0});
    sound->fill(table);
    std::vector<int16_t> expected = Store(RawSine(3.0f, length));
    Fade(expected);  // overlapping fades scale the middle frames twice
    ExpectFramesNear(Frames(*sound), expected, 0, length);
  }
}

TEST_F(Renderer, CombAveragesWithTheValueItsDelayAgo) {
  // phaz 0: one frame back; -0.05: trunc(5) → six frames back; 1: d = -100 → 413 back.
  const std::array<std::pair<float, int>, 3> cases = {{{0.0f, 1}, {-0.05f, 6}, {1.0f, 413}}};
  for (auto [phaz, delay] : cases) {
    SCOPED_TRACE(delay);
    auto sound = SteadySound(1200, kWaveSine, {1, 1.3f, 1, 0, phaz, 0});
    sound->phaze = 1;
    sound->fill(table);
    const std::vector<float> raw = RawSine(1.3f, 1200);
    std::vector<float> combed(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
      const float earlier = i >= size_t(delay) ? raw[i - delay] : 0.0f;
      combed[i] = (raw[i] + earlier) * 0.5f;
    }
    ExpectFramesNear(Frames(*sound), Store(combed), 21, 1200 - 21);
  }
}

TEST_F(Renderer, PhaserWithFullSweepAndNoFeedbackIsAnAveragedDelay) {
  auto sound = SteadySound(800, kWaveSine, {1, 0.9f, 1, 0, 1, 0});
  sound->phaze = 2;
  sound->phaser_feedback = 0.0f;
  sound->phaser_delaycount = 6;
  sound->fill(table);
  const std::vector<float> raw = RawSine(0.9f, 800);
  std::vector<float> phased(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) phased[i] = 0.5f * (raw[i] + (i >= 6 ? raw[i - 6] : 0));
  ExpectFramesNear(Frames(*sound), Store(phased), 21, 800 - 21);
}

TEST_F(Renderer, EchoAddsTheDecayedOutputOneIntervalBack) {
  constexpr int kInterval = 100;
  auto sound = SteadySound(1000, kWaveSine, {0.6f, 1.7f, 1, 0, 1, 0});
  sound->FX_DELAY = 1;
  sound->FX_DELAY_interval = kInterval;
  sound->FX_DELAY_decay = 0.5f;
  sound->fill(table);
  std::vector<float> raw = RawSine(1.7f, 1000);
  for (float& value : raw) value = value * 0.6f;
  std::vector<int16_t> expected = Store(raw);
  std::vector<float> fed_back(expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    float x = Read(expected[i]);
    if (i > size_t(kInterval)) x = x + fed_back[i - kInterval] * 0.5f;
    fed_back[i] = x;
    expected[i] = Quantise(x);
  }
  Fade(expected);
  ExpectFramesNear(Frames(*sound), expected, 0, 1000);
  // Frames up to the interval itself carry no echo.
  std::vector<int16_t> dry = Store(raw);
  Fade(dry);
  ExpectFramesNear(Frames(*sound), dry, 0, kInterval + 1);
  EXPECT_NE(Frames(*sound)[kInterval + 1], dry[kInterval + 1]);
}

TEST_F(Renderer, EchoIntervalsBelowOneAreSkipped) {
  auto plain = SteadySound(500, kWaveSine);
  plain->fill(table);
  for (int32_t interval : {0, -5, std::numeric_limits<int32_t>::min()}) {
    auto sound = SteadySound(500, kWaveSine);
    sound->FX_DELAY = 1;
    sound->FX_DELAY_interval = interval;
    sound->fill(table);
    EXPECT_EQ(Frames(*sound), Frames(*plain));
  }
  auto long_echo = SteadySound(500, kWaveSine);  // an interval past the end changes nothing
  long_echo->FX_DELAY = 1;
  long_echo->FX_DELAY_interval = std::numeric_limits<int32_t>::max();
  long_echo->fill(table);
  EXPECT_EQ(Frames(*long_echo), Frames(*plain));
}

TEST_F(Renderer, ValuesAreClampedAndNotANumberIsTheBottom) {
  auto loud = SteadySound(400, kWaveSine, {10, 1, 1, 0, 1, 0});
  loud->fill(table);
  int at_top = 0;
  for (int16_t frame : Frames(*loud)) {
    ASSERT_GE(frame, -32767);
    at_top += frame == 32767;
  }
  EXPECT_GT(at_top, 100);
  auto broken =
      SteadySound(400, kWaveSine, {std::numeric_limits<float>::quiet_NaN(), 1, 1, 0, 1, 0});
  broken->fill(table);
  const std::vector<int16_t> frames = Frames(*broken);
  for (int i = 21; i < 379; ++i) ASSERT_EQ(frames[i], -32767) << i;
  EXPECT_EQ(frames[10], std::trunc(-1.0f * 0.75f * 32767.0f));
}

TEST_F(Renderer, SawtoothAtStandingPitchIsSilent) {
  auto sound = SteadySound(300, kWaveSaw, {1, 0, 1, 0, 1, 0});
  sound->fill(table);
  for (int16_t frame : Frames(*sound)) ASSERT_EQ(frame, 0);
}

TEST_F(Renderer, EmptyEnvelopesGetTheirFlatDefaults) {
  auto bare = Sound::Create(600, 44100, kWaveSine, 1);
  bare->fill(table);
  auto flat = SteadySound(600, kWaveSine);
  flat->fill(table);
  EXPECT_EQ(Frames(*bare), Frames(*flat));
  EXPECT_EQ(bare->volList.Count(), 1);
  EXPECT_EQ(bare->resoList.FirstLink().Value()->value, 0.0f);
}

TEST_F(Renderer, NothingToRenderIsNoFault) {
  for (int32_t length : {0, -10}) {
    auto sound = SteadySound(length, kWaveSine);
    EXPECT_EQ(sound->fill(table), 0);
    EXPECT_EQ(sound->sample->length(), 0);
  }
}

TEST_F(Renderer, MultiplyingBySilenceMutesOnlyWhereTheMixSoundExists) {
  auto silent = SteadySound(300, kWaveSilence);
  silent->fill(table);
  auto plain = SteadySound(1000, kWaveSine);
  plain->fill(table);
  auto mixed = SteadySound(1000, kWaveSine);
  mixed->mixflag = 1;
  mixed->mixtyp = 1;
  mixed->mixsnd = silent;
  mixed->fill(table);
  const std::vector<int16_t> frames = Frames(*mixed), reference = Frames(*plain);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(frames[i], 0) << i;
  for (int i = 300; i < 1000; ++i) ASSERT_EQ(frames[i], reference[i]) << i;
}

TEST_F(Renderer, MixingWithoutAMixSoundLeavesTheSoundAsItIs) {
  auto plain = SteadySound(500, kWaveSine);
  plain->fill(table);
  auto orphan = SteadySound(500, kWaveSine);
  orphan->mixflag = 1;
  orphan->mixtyp = 3;
  orphan->fill(table);
  EXPECT_EQ(Frames(*orphan), Frames(*plain));
}

TEST_F(Renderer, PulseMixWithoutMixFlagSilencesThePulseControl) {
  auto plain = SteadySound(500, kWaveSine);
  plain->fill(table);
  auto pulsed = SteadySound(500, kWaveSine, {1, 1, 1, 0, 1, 0.8f});
  pulsed->mixtyp = 5;  // P × mix value, which is 0 without a mix sound
  pulsed->fill(table);
  EXPECT_EQ(Frames(*pulsed), Frames(*plain));
}

TEST_F(Renderer, BipolarFiltersAgainBackwardsWithTheRecordedEnvelopes) {
  constexpr int kLength = 2000;
  auto make = [&](uint8_t bipolar) {
    auto sound = SteadySound(kLength, kWaveSine, {1, 2.3f, 0.2f, 0.2f, 1, 0});
    // Silent last 60 frames, so the tail fade cannot differ between the two renders.
    markers::Create(sound->volList, 0, 1.0f, kLength - 61);
    markers::Create(sound->volList, 0, 0.0f, kLength - 60);
    markers::Create(sound->lowpList, 0, 0.9f, kLength);  // cutoff rises from 0.2 to 0.9
    sound->filtertype = 8;                               // cascade high-pass
    sound->bipolar = bipolar;
    sound->fill(table);
    return sound;
  };
  auto once = make(0);
  auto twice = make(1);
  std::vector<int16_t> expected = Frames(*once);
  float s0 = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0;
  for (int idx = kLength - 1; idx >= 0; --idx) {
    const float t = float(idx) / float(kLength);
    const float cutoff = idx == 0 ? 0.2f : (1.0f - t) * 0.2f + t * 0.9f;
    float x = Read(expected[idx]);
    cascade_filter(x, s0, s1, s2, s3, s4, cutoff, 0.2f * 5.0f, kHighPass);
    expected[idx] = Quantise(x);
  }
  const std::vector<int16_t> actual = Frames(*twice);
  for (int i = 21; i < kLength - 21; ++i) ASSERT_EQ(actual[i], expected[i]) << i;
  EXPECT_NE(actual, Frames(*once));
}

TEST_F(Renderer, EveryFilterKindKeepsFramesInRange) {
  for (uint8_t filtertype = 0; filtertype <= 11; ++filtertype) {
    SCOPED_TRACE(int(filtertype));
    auto sound = SteadySound(2000, kWaveSaw, {1.5f, 0.8f, 0.6f, 0.9f, 0.5f, 0.4f});
    sound->filtertype = filtertype;
    sound->bipolar = 1;
    sound->fill(table);
    int silent = 0;
    for (int16_t frame : Frames(*sound)) {
      ASSERT_GE(frame, -32767);
      silent += frame == 0;
    }
    EXPECT_LT(silent, 1000);
  }
}

}  // namespace

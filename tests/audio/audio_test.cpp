// Mixer behaviour, checked on the loopback driver, which renders the mixed output offline
// and so needs no sound card.
#include "platform/audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr int kHertz = TAudioDriver::kLoopbackHertz;
constexpr double kAmplitude = 10000.0;
// A sine at full amplitude has an RMS of amplitude / sqrt(2).
const double kFullRms = kAmplitude / std::numbers::sqrt2;
// Output dither and rounding leave a couple of LSB even when nothing plays.
constexpr double kQuietRms = 8.0;

std::shared_ptr<TAudioSample> Sine(int frames, int hertz, double frequency) {
  auto sample = TAudioSample::Create(frames, hertz, kSampleFormatMono16);
  for (int i = 0; i < frames; ++i)
    sample->frames()[i] = static_cast<int16_t>(
        std::lround(kAmplitude * std::sin(2.0 * std::numbers::pi * frequency * i / hertz)));
  return sample;
}

struct Stereo {
  std::vector<double> left, right;
};

Stereo Split(const std::vector<int16_t>& interleaved) {
  Stereo out;
  for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
    out.left.push_back(interleaved[i]);
    out.right.push_back(interleaved[i + 1]);
  }
  return out;
}

double Rms(const std::vector<double>& signal, size_t from, size_t to) {
  double sum = 0.0;
  for (size_t i = from; i < to; ++i) sum += signal[i] * signal[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}
double Rms(const std::vector<double>& signal) {
  return Rms(signal, 0, signal.size());
}

int ZeroCrossings(const std::vector<double>& signal, size_t from, size_t to) {
  int count = 0;
  for (size_t i = from + 1; i < to; ++i)
    if ((signal[i - 1] < 0.0) != (signal[i] < 0.0)) ++count;
  return count;
}

// Index just past the last frame louder than the dither floor, or 0 when all is quiet.
size_t SoundingEnd(const std::vector<double>& signal) {
  for (size_t i = signal.size(); i > 0; --i)
    if (std::abs(signal[i - 1]) > 50.0) return i;
  return 0;
}

class LoopbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = SelectAudioDriver("Loopback");
    ASSERT_FALSE(driver_->Silent());
  }
  Stereo Render(int frames) { return Split(driver_->RenderLoopback(frames)); }

  std::unique_ptr<TAudioDriver> driver_;
};

TEST(AudioDriverNamesTest, OfferFourDriversWithTheDefaultOutputFourth) {
  const auto names = AudioDriverNames();
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names[3], "Default output");
  EXPECT_EQ(SelectAudioDriver(names[1])->Name(), names[1]);
}

TEST_F(LoopbackTest, RendersInterleavedStereoOfTheRequestedLength) {
  EXPECT_EQ(driver_->RenderLoopback(123).size(), 246u);
  EXPECT_TRUE(driver_->RenderLoopback(0).empty());
}

TEST_F(LoopbackTest, CuedChannelIsSilentUntilStartedAndPauseHolds) {
  auto sound = driver_->LoadSound(*Sine(kHertz, kHertz, 441.0), kSoundHardware);
  auto channel = sound->Cue(nullptr);
  ASSERT_NE(channel, nullptr);
  EXPECT_FALSE(channel->Playing());
  EXPECT_LT(Rms(Render(4410).left), kQuietRms);

  channel->SetPaused(0);
  EXPECT_TRUE(channel->Playing());
  const Stereo playing = Render(4410);
  EXPECT_GT(Rms(playing.left), 0.3 * kFullRms);
  EXPECT_GT(Rms(playing.right), 0.3 * kFullRms);

  channel->SetPaused(1);
  EXPECT_FALSE(channel->Playing());
  Render(256);  // the output trails by about a millisecond (the limiter looks ahead)
  EXPECT_LT(Rms(Render(4410).left), kQuietRms);
}

// Per-frame upkeep starts every channel again and again: that must neither restart a
// playing sound nor revive one that has ended.
TEST_F(LoopbackTest, StartingAgainNeitherRestartsNorRevives) {
  constexpr int kFrames = 4410;
  auto sound = driver_->LoadSound(*Sine(kFrames, kHertz, 441.0), kSoundHardware);
  auto channel = sound->Cue(nullptr);
  channel->SetPaused(0);
  Render(kFrames / 2);
  channel->SetPaused(0);
  // Restarting would have made the sound run a full length from here.
  const Stereo rest = Render(kFrames);
  EXPECT_NEAR(static_cast<double>(SoundingEnd(rest.left)), kFrames / 2.0, 64.0);

  EXPECT_FALSE(channel->Playing());
  channel->SetPaused(0);
  EXPECT_LT(Rms(Render(kFrames).left), kQuietRms);
}

TEST_F(LoopbackTest, RateScalesTheSpeedAndTheSampleKeepsItsOwnFrameRate) {
  constexpr int kFrames = 4410;
  // 441 Hz at 44100 Hz is 100 frames a cycle, so 2 crossings per 100 frames at rate 1.
  auto sound = driver_->LoadSound(*Sine(kFrames, kHertz, 441.0), kSoundHardware);
  auto normal = sound->Cue(nullptr);
  normal->SetPaused(0);
  const Stereo at_one = Render(2 * kFrames);
  EXPECT_NEAR(static_cast<double>(SoundingEnd(at_one.left)), kFrames, 64.0);
  EXPECT_NEAR(ZeroCrossings(at_one.left, 200, 2000), 36, 1);

  auto fast = sound->Cue(nullptr);
  fast->SetRate(2.0f);
  fast->SetPaused(0);
  const Stereo at_two = Render(2 * kFrames);
  EXPECT_NEAR(static_cast<double>(SoundingEnd(at_two.left)), kFrames / 2.0, 64.0);
  EXPECT_NEAR(ZeroCrossings(at_two.left, 200, 2000), 72, 1);

  // Frames written at 22050 Hz last twice as long at rate 1.
  auto slow_sound = driver_->LoadSound(*Sine(kFrames, kHertz / 2, 441.0), kSoundHardware);
  auto slow = slow_sound->Cue(nullptr);
  slow->SetPaused(0);
  const Stereo at_half = Render(3 * kFrames);
  EXPECT_NEAR(static_cast<double>(SoundingEnd(at_half.left)), 2.0 * kFrames, 64.0);
  EXPECT_NEAR(ZeroCrossings(at_half.left, 200, 2000), 36, 1);
}

TEST_F(LoopbackTest, ExtremeRatesAreAcceptedWithoutHarm) {
  auto sound = driver_->LoadSound(*Sine(4410, kHertz, 441.0), kSoundHardware);
  auto channel = sound->Cue(nullptr);
  for (float rate : {0.0f, -3.0f, NAN, INFINITY, 1e9f}) {
    channel->SetRate(rate);
    channel->SetPaused(0);
    const Stereo out = Render(1024);
    EXPECT_LE(Rms(out.left), kFullRms) << rate;
  }
  // Rate 0 crawls: after a 0.25 s render at most a tiny fraction of one frame has passed,
  // so the sound is still going.
  auto frozen = sound->Cue(nullptr);
  frozen->SetRate(0.0f);
  frozen->SetPaused(0);
  Render(kHertz / 4);
  EXPECT_TRUE(frozen->Playing());
}

TEST_F(LoopbackTest, LoopingSoundKeepsSoundingUntilStopped) {
  constexpr int kFrames = 4410;
  auto sound = driver_->LoadSound(*Sine(kFrames, kHertz, 441.0), kSoundLoop | kSoundHardware);
  auto channel = sound->Cue(nullptr);
  channel->SetPaused(0);
  Render(5 * kFrames);
  EXPECT_TRUE(channel->Playing());
  EXPECT_GT(Rms(Render(kFrames).left), 0.3 * kFullRms);

  channel->Stop();
  EXPECT_FALSE(channel->Playing());
  Render(256);
  EXPECT_LT(Rms(Render(kFrames).left), kQuietRms);
  channel->SetPaused(0);  // a stopped channel stays stopped
  EXPECT_LT(Rms(Render(kFrames).left), kQuietRms);
}

TEST_F(LoopbackTest, PanMovesTheEnergyBetweenLeftAndRight) {
  auto sound = driver_->LoadSound(*Sine(kHertz, kHertz, 441.0), kSoundHardware);
  auto MeasureAt = [&](float pan) {
    auto channel = sound->Cue(nullptr);
    channel->SetPan(pan);
    channel->SetPaused(0);
    const Stereo out = Render(4410);
    channel->Stop();
    Render(256);
    return std::pair(Rms(out.left, 256, 4410), Rms(out.right, 256, 4410));
  };
  const auto [left_l, left_r] = MeasureAt(-1.0f);
  const auto [right_l, right_r] = MeasureAt(1.0f);
  const auto [centre_l, centre_r] = MeasureAt(0.0f);
  const auto [half_l, half_r] = MeasureAt(-0.5f);

  // Fully to one side: the other side gets less than 1% of the amplitude (-40 dB).
  EXPECT_LT(left_r, 0.01 * left_l);
  EXPECT_LT(right_l, 0.01 * right_r);
  EXPECT_NEAR(left_l, right_r, 0.01 * left_l);
  // Centre: equal on both sides, and neither louder than a full side.
  EXPECT_NEAR(centre_l, centre_r, 0.01 * centre_l);
  EXPECT_LT(centre_l, left_l);
  EXPECT_GT(centre_l, 0.3 * left_l);
  // Half way to the left leans left without being fully there.
  EXPECT_GT(half_l, centre_l);
  EXPECT_LT(half_r, centre_r);
  EXPECT_GT(half_r, left_r);
}

TEST_F(LoopbackTest, VolumeScalesTheAmplitude) {
  auto sound = driver_->LoadSound(*Sine(kHertz, kHertz, 441.0), kSoundHardware);
  auto MeasureAt = [&](float volume) {
    auto channel = sound->Cue(nullptr);
    channel->SetVolume(volume);
    channel->SetPaused(0);
    const double rms = Rms(Render(4410).left, 256, 4410);
    channel->Stop();
    Render(256);
    return rms;
  };
  const double full = MeasureAt(1.0f);
  EXPECT_NEAR(MeasureAt(0.5f) / full, 0.5, 0.01);
  EXPECT_NEAR(MeasureAt(0.05f) / full, 0.05, 0.002);
  EXPECT_LT(MeasureAt(0.0f), kQuietRms);
  EXPECT_LT(MeasureAt(-1.0f), kQuietRms);  // negative is treated as silent
}

// The pools of the game cue new sounds on channels that were set up once at start-up.
TEST_F(LoopbackTest, CueOnAChannelCutsItOffAndKeepsItsSettings) {
  auto low = driver_->LoadSound(*Sine(kHertz, kHertz, 441.0), kSoundLoop);
  auto high = driver_->LoadSound(*Sine(kHertz, kHertz, 882.0), kSoundHardware);

  // Reference: the high sound at volume 1, fully right, rate 1.
  auto reference = high->Cue(nullptr);
  reference->SetPan(1.0f);
  reference->SetPaused(0);
  const double reference_rms = Rms(Render(4410).right, 256, 4410);
  reference->Stop();
  Render(256);

  auto channel = driver_->AllocChannel();
  channel->SetVolume(0.5f);
  channel->SetPan(1.0f);
  channel->SetRate(2.0f);
  EXPECT_EQ(low->Cue(channel), channel);
  channel->SetPaused(0);
  Render(4410);
  EXPECT_EQ(high->Cue(channel), channel);
  EXPECT_FALSE(channel->Playing());
  Render(256);
  EXPECT_LT(Rms(Render(4410).right), kQuietRms);  // the looping sound was cut off

  channel->SetPaused(0);
  const Stereo out = Render(4410);
  EXPECT_LT(Rms(out.left, 256, 4410), 0.01 * reference_rms);
  EXPECT_NEAR(Rms(out.right, 256, 2000) / reference_rms, 0.5, 0.01);
  // 882 Hz at rate 2 is 1764 Hz: 40 crossings per 1000 frames.
  EXPECT_NEAR(ZeroCrossings(out.right, 500, 1500), 80, 1);
  // One second of sound at rate 2 ends after half a second: it no longer loops.
  Render(kHertz / 2);
  EXPECT_FALSE(channel->Playing());
}

TEST_F(LoopbackTest, SoundKeepsTheFramesItWasMadeFrom) {
  auto sample = Sine(4410, kHertz, 441.0);
  auto sound = driver_->LoadSound(*sample, kSoundHardware);
  std::fill(sample->frames(), sample->frames() + sample->length(), int16_t{0});
  sound->Cue(nullptr)->SetPaused(0);
  EXPECT_GT(Rms(Render(4410).left), 0.3 * kFullRms);
}

TEST_F(LoopbackTest, DroppedChannelFinishesAOneShotButNotALoop) {
  auto one_shot = driver_->LoadSound(*Sine(4410, kHertz, 441.0), kSoundHardware);
  auto loop = driver_->LoadSound(*Sine(4410, kHertz, 441.0), kSoundLoop);
  auto channel = one_shot->Cue(nullptr);
  channel->SetPaused(0);
  Render(1000);
  channel.reset();
  EXPECT_NEAR(static_cast<double>(SoundingEnd(Render(8820).left)), 3410.0, 64.0);

  channel = loop->Cue(nullptr);
  channel->SetPaused(0);
  Render(1000);
  channel.reset();
  Render(256);
  EXPECT_LT(Rms(Render(8820).left), kQuietRms);
}

TEST_F(LoopbackTest, UnplayableSamplesGiveSilentSounds) {
  auto empty = driver_->LoadSound(*TAudioSample::Create(0, kHertz, kSampleFormatMono16), 0);
  auto other_format = driver_->LoadSound(*TAudioSample::Create(100, kHertz, 1), 0);
  for (TSound* sound : {empty.get(), other_format.get()}) {
    auto channel = sound->Cue(nullptr);
    channel->SetPaused(0);
    EXPECT_LT(Rms(Render(1024).left), kQuietRms);
  }
}

TEST_F(LoopbackTest, ChannelOutlivesItsSoundHarmlessly) {
  auto sound = driver_->LoadSound(*Sine(4410, kHertz, 441.0), kSoundLoop);
  auto channel = sound->Cue(nullptr);
  channel->SetPaused(0);
  Render(1000);
  sound.reset();
  EXPECT_FALSE(channel->Playing());
  channel->SetPaused(0);
  channel->SetVolume(0.3f);
  Render(256);
  EXPECT_LT(Rms(Render(4410).left), kQuietRms);
}

TEST_F(LoopbackTest, TwoDriversMixIndependently) {
  auto other = SelectAudioDriver("Loopback");
  auto sound = other->LoadSound(*Sine(4410, kHertz, 441.0), kSoundHardware);
  auto mine = driver_->LoadSound(*Sine(4410, kHertz, 441.0), kSoundHardware);
  sound->Cue(nullptr)->SetPaused(0);
  auto quiet = mine->Cue(nullptr);  // cued on this driver, never started
  EXPECT_LT(Rms(Render(4410).left), kQuietRms);
  EXPECT_GT(Rms(Split(other->RenderLoopback(4410)).left), 0.3 * kFullRms);
}

// A channel of another driver cannot carry this driver's sound: it is stopped and a
// channel of this driver takes over its settings.
TEST_F(LoopbackTest, CueOnAnotherDriversChannelMovesItsSettingsOver) {
  auto other = SelectAudioDriver("Loopback");
  auto other_sound = other->LoadSound(*Sine(kHertz, kHertz, 441.0), kSoundLoop);
  auto foreign = other_sound->Cue(nullptr);
  foreign->SetVolume(0.5f);
  foreign->SetPan(-1.0f);
  foreign->SetPaused(0);
  auto sound = driver_->LoadSound(*Sine(kHertz, kHertz, 441.0), kSoundLoop);
  auto reference = sound->Cue(nullptr);
  reference->SetPan(-1.0f);
  reference->SetPaused(0);
  const double reference_rms = Rms(Render(4410).left, 256, 4410);
  reference->Stop();
  Render(256);

  auto moved = sound->Cue(foreign);
  EXPECT_NE(moved, foreign);
  EXPECT_FALSE(foreign->Playing());
  moved->SetPaused(0);
  const Stereo out = Render(4410);
  EXPECT_NEAR(Rms(out.left, 256, 4410) / reference_rms, 0.5, 0.01);
  EXPECT_LT(Rms(out.right, 256, 4410), 0.01 * reference_rms);
}

TEST_F(LoopbackTest, RunningOutOfVoicesGivesSilentChannels) {
  auto sound = driver_->LoadSound(*Sine(kHertz, kHertz, 441.0), kSoundLoop);
  std::vector<std::shared_ptr<TChannel>> held;
  for (int i = 0; i < 300; ++i) held.push_back(driver_->AllocChannel());
  for (const auto& channel : held) ASSERT_NE(channel, nullptr);

  // Every voice is held by a channel that plays nothing, so a further cue has no voice.
  auto extra = sound->Cue(nullptr);
  extra->SetVolume(0.5f);
  extra->SetPan(0.5f);
  extra->SetRate(1.5f);
  extra->SetPaused(0);
  EXPECT_FALSE(extra->Playing());
  EXPECT_LT(Rms(Render(4410).left), kQuietRms);
  extra->Stop();

  // Once a voice is free again, cueing on the silent channel gives it one.
  held.clear();
  EXPECT_EQ(sound->Cue(extra), extra);
  extra->SetPaused(0);
  EXPECT_TRUE(extra->Playing());
  EXPECT_GT(Rms(Render(4410).left), 0.1 * kFullRms);
}

TEST(SilentDriverTest, EveryOperationIsHarmless) {
  auto driver = SelectAudioDriver("Silent");
  EXPECT_TRUE(driver->Silent());
  EXPECT_EQ(driver->Name(), "Silent");
  auto sound = driver->LoadSound(*Sine(4410, kHertz, 441.0), kSoundLoop | kSoundHardware);
  auto channel = driver->AllocChannel();
  EXPECT_EQ(sound->Cue(channel), channel);
  auto other = sound->Cue(nullptr);
  ASSERT_NE(other, nullptr);
  for (auto& c : {channel, other}) {
    c->SetVolume(0.5f);
    c->SetPan(-1.0f);
    c->SetRate(0.0f);
    c->SetPaused(0);
    EXPECT_FALSE(c->Playing());
    c->SetPaused(1);
    c->Stop();
  }
  EXPECT_TRUE(driver->RenderLoopback(100).empty());
}

int CountLines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(SilentDriverTest, UnknownDriverRunsSilentAndSaysSoInOneLine) {
  ::testing::internal::CaptureStderr();
  auto driver = SelectAudioDriver("No such driver");
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(driver->Silent());
  EXPECT_EQ(CountLines(said), 1) << said;
}

// On a machine without a sound card (as in CI) the default output cannot open: the game
// must then run silent with exactly one line on stderr, and with a card it says nothing.
TEST(SilentDriverTest, DefaultOutputSaysOneLineExactlyWhenItRunsSilent) {
  ::testing::internal::CaptureStderr();
  auto driver = SelectAudioDriver(AudioDriverNames()[3]);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(CountLines(said), driver->Silent() ? 1 : 0) << said;
  auto sound = driver->LoadSound(*Sine(441, kHertz, 441.0), kSoundHardware);
  auto channel = sound->Cue(nullptr);
  channel->SetVolume(0.0f);
  channel->SetPaused(0);
  channel->Stop();
}

}  // namespace

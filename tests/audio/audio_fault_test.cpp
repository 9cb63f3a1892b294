// The output device disappearing while the game runs. OpenAL Soft's wave writer stands
// in for the sound card: its output file is a link that the test points at /dev/full,
// where the first write fails and the device reports itself disconnected, or at a
// plain file, where it plays on.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/audio.h"

namespace {

namespace fs = std::filesystem;

class LostDevice : public ::testing::Test {
 protected:
  // The mixer library reads its settings once, at its first use in the process.
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/velunka-audio-XXXXXX";
    directory_ = mkdtemp(pattern);
    std::ofstream(directory_ / "alsoft.conf")
        << "[general]\nsample-type = float32\n[wave]\nfile = " << (directory_ / "out").string()
        << "\n";
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", (directory_ / "alsoft.conf").c_str(), 1);
  }
  static void TearDownTestSuite() { fs::remove_all(directory_); }

  // Where the device writes from its next opening on.
  static void OutputTo(const fs::path& target) {
    fs::remove(directory_ / "out");
    fs::create_symlink(target, directory_ / "out");
  }
  static fs::path Recording() { return directory_ / "recording.wav"; }

  // Runs the driver's upkeep at clock_millis (as frames do) until done() holds, for up
  // to two seconds of real time.
  template <class Done>
  bool UpkeepUntil(TAudioDriver& driver, int32_t clock_millis, Done done) {
    for (int tries = 0; tries < 200; ++tries) {
      driver.Upkeep(clock_millis);
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  static size_t SoundingBytes() {
    std::ifstream file(Recording(), std::ios::binary);
    file.ignore(100);  // the header
    size_t count = 0;
    for (char byte; file.get(byte);) count += byte != 0;
    return count;
  }

  static inline fs::path directory_;
};

std::shared_ptr<TAudioSample> Tone(int frames) {
  auto sample = TAudioSample::Create(frames, 44100, kSampleFormatMono16);
  for (int i = 0; i < frames; ++i) sample->frames()[i] = int16_t(8000.0 * std::sin(i * 0.0628));
  return sample;
}

TEST_F(LostDevice, PlaysOnSilentlySaysSoOnceAndTakesTheDeviceBackWithoutWaiting) {
  OutputTo("/dev/full");
  ::testing::internal::CaptureStderr();
  auto driver = SelectAudioDriver(AudioDriverNames()[3]);
  ASSERT_FALSE(driver->Silent());
  auto hum = driver->LoadSound(*Tone(4410), kSoundLoop);
  auto blip = driver->LoadSound(*Tone(44100), kSoundHardware);
  auto humming = hum->Cue(nullptr);
  humming->SetPaused(0);
  auto blipping = driver->AllocChannel();

  // The first write fails: the next upkeep notices and the driver goes on silent.
  ASSERT_TRUE(UpkeepUntil(*driver, 0, [&] { return driver->Silent(); }));
  blipping = blip->Cue(blipping);
  blipping->SetPaused(0);
  EXPECT_FALSE(blipping->Playing());

  // Nothing is tried before a few seconds have passed, and the try does not hold up
  // the upkeep that starts it.
  OutputTo(Recording());
  driver->Upkeep(TAudioDriver::kReopenMillis - 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  driver->Upkeep(TAudioDriver::kReopenMillis - 1);
  EXPECT_TRUE(driver->Silent());
  EXPECT_FALSE(fs::exists(Recording()));
  ASSERT_TRUE(UpkeepUntil(*driver, TAudioDriver::kReopenMillis, [&] { return !driver->Silent(); }));

  // The hum carries on; the blip cued while silent is dropped, not played late.
  humming->SetPaused(0);
  blipping->SetPaused(0);
  EXPECT_TRUE(humming->Playing());
  EXPECT_FALSE(blipping->Playing());
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_GT(SoundingBytes(), 1000u);
  blipping = blip->Cue(blipping);
  blipping->SetPaused(0);
  EXPECT_TRUE(blipping->Playing());

  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("velunka: the audio output has gone"), std::string::npos) << said;
}

// A device that is missing from the start is looked for in the same way.
TEST_F(LostDevice, ADeviceMissingAtStartIsFoundLater) {
  OutputTo(directory_ / "no-such-directory" / "out");
  ::testing::internal::CaptureStderr();
  auto driver = SelectAudioDriver(AudioDriverNames()[3]);
  const std::string said = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(driver->Silent()) << said;
  auto hum = driver->LoadSound(*Tone(4410), kSoundLoop);
  auto humming = hum->Cue(nullptr);
  humming->SetPaused(0);

  // Around the moment the platform clock wraps, as it does after 24.8 days.
  OutputTo(Recording());
  const int32_t start = INT32_MAX - 1000;
  driver->Upkeep(start);
  driver->Upkeep(INT32_MAX);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  driver->Upkeep(INT32_MAX);
  EXPECT_TRUE(driver->Silent());
  ASSERT_TRUE(UpkeepUntil(*driver, INT32_MIN + 2000, [&] { return !driver->Silent(); }));
  humming->SetPaused(0);
  EXPECT_TRUE(humming->Playing());
}

}  // namespace

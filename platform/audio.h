#pragma once
// Audio output: playable sounds made from audio samples, and channels (mixer voices)
// with volume, pan, rate and a paused flag. Backed by OpenAL Soft; with no usable
// device the driver runs silent and every operation still succeeds. A device driver
// whose device disappears goes on silent and opens it again when it can (Upkeep).

#include <cstdint>
#include <future>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio_sample.h"

class TAudioDriver;
class TChannel;
class TSound;
struct AudioBackend;
struct AudioOutput;
struct SoundData;

// Flags of LoadSound: bit 0 loops every play; bit 1 asks for hardware mixing (a hint).
constexpr int kSoundLoop = 1;
constexpr int kSoundHardware = 2;

class TChannel {
 public:
  ~TChannel();
  TChannel(const TChannel&) = delete;
  TChannel& operator=(const TChannel&) = delete;

  void SetVolume(float volume);  // linear gain, 0 silent, 1 full
  void SetPan(float pan);        // -1 full left, 0 centre, +1 full right
  void SetRate(float rate);      // multiplier on the sound's own frame rate
  void SetPaused(int paused);    // 0 starts or resumes playing
  void Stop();
  bool Playing() const;  // true while the voice is sounding (not cued, paused or finished)

  float Volume() const { return volume_; }
  float Pan() const { return pan_; }
  float Rate() const { return rate_; }

 private:
  friend class TAudioDriver;
  friend class TSound;
  // What the channel was last asked to do, kept across a change of device: a looping
  // sound carries on on the new device, a one-shot sound is dropped.
  enum class Intent { idle, cued, playing, paused };

  explicit TChannel(std::shared_ptr<AudioOutput> output);
  unsigned Voice();  // the channel's voice on the current device, 0 when it has none
  void MoveToCurrentDevice();
  void Load(SoundData& sound);
  void ApplySettings();

  std::shared_ptr<AudioOutput> output_;
  unsigned source_ = 0;
  uint32_t generation_ = 0;  // of the device source_ belongs to
  std::weak_ptr<SoundData> sound_;
  Intent intent_ = Intent::idle;
  float volume_ = 1.0f, pan_ = 0.0f, rate_ = 1.0f;
};

class TSound {
 public:
  ~TSound();
  TSound(const TSound&) = delete;
  TSound& operator=(const TSound&) = delete;

  // A channel loaded with this sound and paused, ready for settings. A channel passed in
  // is stopped first and reused with its volume, pan and rate; with none a free channel
  // is taken (a silent one when the mixer has no voice left).
  std::shared_ptr<TChannel> Cue(std::shared_ptr<TChannel> channel);

  // The frames the sound plays (empty for an unplayable sample), kept to load them
  // again onto a device that is opened later.
  std::span<const int16_t> Frames() const;

 private:
  friend class TAudioDriver;
  explicit TSound(std::shared_ptr<SoundData> data);
  std::shared_ptr<TChannel> ChannelFor(std::shared_ptr<TChannel> channel);

  std::shared_ptr<SoundData> data_;
};

class TAudioDriver {
 public:
  ~TAudioDriver();
  TAudioDriver(const TAudioDriver&) = delete;
  TAudioDriver& operator=(const TAudioDriver&) = delete;

  // The sample's frames are copied: later changes to the sample are not heard.
  std::unique_ptr<TSound> LoadSound(const TAudioSample& sample, int flags);
  // A free channel, reserved while the caller holds it.
  std::shared_ptr<TChannel> AllocChannel();

  bool Silent() const;
  std::string_view Name() const { return name_; }

  // Once a frame, with the platform clock. A device driver notices here that its device
  // has gone (it says so in one line and goes on silent) and looks for the device again
  // every few seconds, off the caller's thread, so a frame never waits for it. Sounds
  // cued while silent are dropped; looping ones carry on once the device is back.
  void Upkeep(int32_t clock_millis);
  static constexpr int32_t kReopenMillis = 3000;

  // Loopback driver only: mixes the next frames offline, as interleaved stereo
  // 16-bit at the loopback rate. Empty for other drivers.
  std::vector<int16_t> RenderLoopback(int frames);
  static constexpr int kLoopbackHertz = 44100;

 private:
  friend std::unique_ptr<TAudioDriver> SelectAudioDriver(std::string_view name);
  TAudioDriver(std::string name, std::shared_ptr<AudioBackend> backend);
  void UseDevice(std::shared_ptr<AudioBackend> backend);
  void LookForDevice(int32_t clock_millis);

  std::string name_;
  std::shared_ptr<AudioOutput> output_;
  bool reopens_;  // a device driver, which looks for its device while it has none
  bool next_look_set_ = false;
  int32_t next_look_ = 0;
  std::future<std::shared_ptr<AudioBackend>> opening_;
};

// The drivers on offer; the fourth entry is the system's default output.
std::vector<std::string> AudioDriverNames();
// Opens the named driver. A driver whose device cannot be opened runs silent and says so
// in one line on stderr; an unknown name gives a silent driver.
std::unique_ptr<TAudioDriver> SelectAudioDriver(std::string_view name);

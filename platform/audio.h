#pragma once
// Audio output: playable sounds made from audio samples, and channels (mixer voices)
// with volume, pan, rate and a paused flag. Backed by OpenAL Soft; with no usable
// device the driver runs silent and every operation still succeeds.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio_sample.h"

class TAudioDriver;
class TChannel;
class TSound;
struct AudioBackend;

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
  TChannel(std::shared_ptr<AudioBackend> backend, unsigned source);
  void ApplySettings();

  std::shared_ptr<AudioBackend> backend_;  // null for a channel of the silent driver
  unsigned source_;                        // 0 when silent
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

 private:
  friend class TAudioDriver;
  TSound(std::shared_ptr<AudioBackend> backend, unsigned buffer, bool loop);
  std::shared_ptr<TChannel> ChannelFor(std::shared_ptr<TChannel> channel);

  std::shared_ptr<AudioBackend> backend_;  // null for a sound of the silent driver
  unsigned buffer_;                        // 0 when silent
  bool loop_;
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

  // Loopback driver only: mixes the next frames offline, as interleaved stereo
  // 16-bit at the loopback rate. Empty for other drivers.
  std::vector<int16_t> RenderLoopback(int frames);
  static constexpr int kLoopbackHertz = 44100;

 private:
  friend std::unique_ptr<TAudioDriver> SelectAudioDriver(std::string_view name);
  friend std::unique_ptr<TAudioDriver> OpenAudioDriver(std::string_view name);
  TAudioDriver(std::string name, std::shared_ptr<AudioBackend> backend);

  std::string name_;
  std::shared_ptr<AudioBackend> backend_;
};

// The drivers on offer; the fourth entry is the system's default output.
std::vector<std::string> AudioDriverNames();
// Opens the named driver. A driver whose device cannot be opened runs silent and says so
// in one line on stderr; an unknown name gives a silent driver.
std::unique_ptr<TAudioDriver> SelectAudioDriver(std::string_view name);
// Opens the named driver only if its device can be opened, quietly; nothing otherwise.
std::unique_ptr<TAudioDriver> OpenAudioDriver(std::string_view name);

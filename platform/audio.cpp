#include "platform/audio.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr const char* kSilentDriver = "Silent";
constexpr const char* kLoopbackDriver = "Loopback";
constexpr const char* kFirstDeviceDriver = "First output device";
constexpr const char* kDefaultDriver = "Default output";

// The mixer advances a voice by at least 1/16384 of a frame and at most 255 frames per
// output frame; rates outside that would only be clamped again by it, and a zero or
// negative pitch is an error. A rate of 0 therefore becomes the slowest crawl it offers.
constexpr float kMinRate = 1.0f / 16384.0f;
constexpr float kMaxRate = 255.0f;

// The device probe of the system's sound libraries reports every failed attempt on
// stderr in several lines of its own. The game promises a single line when it has to
// run silent, so that chatter is sent to /dev/null while a device is opened. Devices
// are also looked for off the game's thread, so one muffle at a time holds stderr.
class StderrMuffle {
 public:
  StderrMuffle() : hold_(Lock()) {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (saved_ >= 0 && null_fd >= 0) dup2(null_fd, STDERR_FILENO);
    if (null_fd >= 0) close(null_fd);
  }
  ~StderrMuffle() {
    std::fflush(stderr);
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  StderrMuffle(const StderrMuffle&) = delete;
  StderrMuffle& operator=(const StderrMuffle&) = delete;

 private:
  static std::mutex& Lock() {
    static std::mutex lock;
    return lock;
  }
  std::lock_guard<std::mutex> hold_;
  int saved_;
};

float FiniteOr(float value, float fallback) {
  return std::isfinite(value) ? value : fallback;
}

// Which way the listener hears a voice is all the mixer knows about pan, so pan becomes
// a place on the half circle in front of the listener, one unit away (no distance
// attenuation): x = pan, z = -sqrt(1 - pan^2). Using pan as the sideways component is
// the stereophonic sine law: for an ideal pair-wise panner (L - R) / (L + R) follows pan
// linearly, and the extremes sit at 90 degrees, fully in one speaker whatever the layout.
// The stereo panner of OpenAL Soft 1.19 then gives about -4.5 dB per side at the centre
// (-1.5 dB of power), moves roughly linearly in amplitude, and is fully on one side from
// |pan| = 0.8 on. It is left that way rather than bent to one mixer version's curve.
void PlaceForPan(ALuint source, float pan) {
  const float depth = std::sqrt(std::max(0.0f, 1.0f - pan * pan));
  alSource3f(source, AL_POSITION, pan, 0.0f, -depth);
}

ALint SourceState(ALuint source) {
  ALint state = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}

ALint SourceBuffer(ALuint source) {
  ALint buffer = 0;
  alGetSourcei(source, AL_BUFFER, &buffer);
  return buffer;
}

}  // namespace

// One open device with its context, and the voices made on it. Shared by the driver, its
// sounds and its channels, so the device closes only when the last of them is gone.
struct AudioBackend {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  LPALCRENDERSAMPLESSOFT render_samples = nullptr;  // loopback devices only
  bool spatialize_extension = false;
  std::vector<ALuint> sources;       // every voice ever made, for cleanup
  std::vector<ALuint> free_sources;  // voices no channel holds; some may still be sounding

  AudioBackend() = default;
  AudioBackend(const AudioBackend&) = delete;
  AudioBackend& operator=(const AudioBackend&) = delete;

  ~AudioBackend() {
    if (context) {
      Use();
      if (!sources.empty()) alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
      alcMakeContextCurrent(nullptr);
      alcDestroyContext(context);
    }
    if (device) alcCloseDevice(device);
  }

  // Several drivers may be open at once (tests do this), each with its own context.
  void Use() const {
    if (alcGetCurrentContext() != context) alcMakeContextCurrent(context);
  }

  // False once the device has gone (unplugged, or its server stopped): the mixer then
  // plays nothing, and never will again.
  bool Connected() const {
    ALCint connected = ALC_TRUE;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != ALC_FALSE;
  }

  // 0 when the mixer takes no more buffers.
  ALuint MakeBuffer(const std::vector<int16_t>& frames, int hertz) {
    Use();
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) return 0;
    alBufferData(buffer, AL_FORMAT_MONO16, frames.data(),
                 static_cast<ALsizei>(frames.size() * sizeof(int16_t)), hertz);
    if (alGetError() == AL_NO_ERROR) return buffer;
    alDeleteBuffers(1, &buffer);
    return 0;
  }

  ALuint TakeSource() {
    Use();
    ALuint source = TakeFinishedFreeSource();
    if (!source) source = MakeSource();
    if (!source) source = StealFreeSource();
    if (source) ResetSource(source);
    return source;
  }

  // A dropped voice that is still playing a one-shot sound is left to finish it: a new cue
  // that replaces a channel must not cut off the previous sound. Anything else is silenced.
  void ReturnSource(ALuint source) {
    Use();
    ALint looping = AL_FALSE;
    alGetSourcei(source, AL_LOOPING, &looping);
    if (SourceState(source) != AL_PLAYING || looping) DetachSource(source);
    free_sources.push_back(source);
  }

  void DeleteBuffer(ALuint buffer) {
    Use();
    for (ALuint source : sources)
      if (SourceBuffer(source) == static_cast<ALint>(buffer)) DetachSource(source);
    alDeleteBuffers(1, &buffer);
  }

 private:
  ALuint TakeFinishedFreeSource() {
    auto it = std::find_if(free_sources.begin(), free_sources.end(),
                           [](ALuint source) { return SourceState(source) != AL_PLAYING; });
    if (it == free_sources.end()) return 0;
    const ALuint source = *it;
    free_sources.erase(it);
    return source;
  }

  ALuint StealFreeSource() {
    if (free_sources.empty()) return 0;
    const ALuint source = free_sources.front();
    free_sources.erase(free_sources.begin());
    return source;
  }

  // Returns 0 once the mixer has no voice left.
  ALuint MakeSource() {
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) return 0;
    sources.push_back(source);
    return source;
  }

  static void DetachSource(ALuint source) {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
  }

  void ResetSource(ALuint source) const {
    DetachSource(source);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcei(source, AL_LOOPING, AL_FALSE);
    // A mono voice is only placed between the speakers when the mixer spatializes it;
    // ask for it outright rather than rely on the mixer's default for mono data.
    if (spatialize_extension) alSourcei(source, AL_SOURCE_SPATIALIZE_SOFT, AL_TRUE);
  }
};

namespace {

// HRTF would pan by filtering for headphones, so a full-left sound would still reach the
// right ear; the game wants plain left and right.
constexpr ALCint kNoHrtf[] = {ALC_HRTF_SOFT, ALC_FALSE};

std::shared_ptr<AudioBackend> AttachContext(ALCdevice* device, std::vector<ALCint> attributes) {
  auto backend = std::make_shared<AudioBackend>();
  backend->device = device;
  attributes.insert(attributes.end(), std::begin(kNoHrtf), std::end(kNoHrtf));
  attributes.push_back(0);
  backend->context = alcCreateContext(device, attributes.data());
  if (!backend->context) {
    backend->device = nullptr;  // the caller closes it
    return nullptr;
  }
  return backend;
}

std::shared_ptr<AudioBackend> OpenPlayback(const char* device_name) {
  ALCdevice* device = alcOpenDevice(device_name);
  if (!device) return nullptr;
  auto backend = AttachContext(device, {});
  if (!backend) {
    alcCloseDevice(device);
    return nullptr;
  }
  return backend;
}

std::shared_ptr<AudioBackend> OpenLoopback() {
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return nullptr;
  auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto render =
      reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!open || !render) return nullptr;
  ALCdevice* device = open(nullptr);
  if (!device) return nullptr;
  auto backend =
      AttachContext(device, {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                             ALC_SHORT_SOFT, ALC_FREQUENCY, TAudioDriver::kLoopbackHertz});
  if (!backend) {
    alcCloseDevice(device);
    return nullptr;
  }
  backend->render_samples = render;
  return backend;
}

// The first name of the device list, which is a sequence of strings ended by an empty one.
std::string FirstDeviceName() {
  const ALCenum list = alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT")
                           ? ALC_ALL_DEVICES_SPECIFIER
                           : ALC_DEVICE_SPECIFIER;
  const char* names = alcGetString(nullptr, list);
  return names ? std::string(names) : std::string();
}

// Makes no context current, so that it can run beside the game's thread.
std::shared_ptr<AudioBackend> OpenNamedDriver(std::string_view name) {
  StderrMuffle muffle;
  if (name == kLoopbackDriver) return OpenLoopback();
  if (name == kDefaultDriver) return OpenPlayback(nullptr);
  if (name == kFirstDeviceDriver) {
    const std::string device = FirstDeviceName();
    return device.empty() ? nullptr : OpenPlayback(device.c_str());
  }
  return nullptr;
}

bool ReachesADevice(std::string_view name) {
  return name == kDefaultDriver || name == kFirstDeviceDriver;
}

// Moments on the platform clock, which wraps.
int32_t Later(int32_t now, int32_t millis) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) + static_cast<uint32_t>(millis));
}
bool Reached(int32_t now, int32_t moment) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(moment)) >= 0;
}

}  // namespace

// The device a driver plays through, shared by the driver, its sounds and its channels.
// It is dropped when it disconnects and replaced when it is found again; generation
// counts those changes, so that sounds and channels can tell that their buffers and
// voices went with an earlier device.
struct AudioOutput {
  std::shared_ptr<AudioBackend> backend;  // null while silent
  uint32_t generation = 1;
};

// A sound's frames, and their buffer on the current device (made again after a change).
struct SoundData {
  std::shared_ptr<AudioOutput> output;
  std::vector<int16_t> frames;  // empty when the sample cannot be played
  int hertz = 0;
  bool loop = false;
  ALuint buffer = 0;
  uint32_t generation = 0;  // of the device buffer belongs to

  SoundData() = default;
  SoundData(const SoundData&) = delete;
  SoundData& operator=(const SoundData&) = delete;

  ~SoundData() {
    if (buffer && generation == output->generation) output->backend->DeleteBuffer(buffer);
  }

  ALuint Buffer() {
    if (generation != output->generation) {
      generation = output->generation;
      buffer = 0;
      if (output->backend && !frames.empty()) buffer = output->backend->MakeBuffer(frames, hertz);
    }
    return buffer;
  }
};

// ---- TChannel ----

TChannel::TChannel(std::shared_ptr<AudioOutput> output) : output_(std::move(output)) {
  MoveToCurrentDevice();
}

TChannel::~TChannel() {
  if (source_ && generation_ == output_->generation) output_->backend->ReturnSource(source_);
}

unsigned TChannel::Voice() {
  if (generation_ != output_->generation) MoveToCurrentDevice();
  if (source_) output_->backend->Use();
  return source_;
}

// The voice of an earlier device went with it. A looping sound is put back as it was
// (cued, paused or playing); anything else is forgotten, so nothing cued while the
// output was silent starts late.
void TChannel::MoveToCurrentDevice() {
  generation_ = output_->generation;
  source_ = 0;
  auto sound = sound_.lock();
  const bool carry_on = sound && sound->loop && intent_ != Intent::idle;
  if (!carry_on) intent_ = Intent::idle;
  if (!output_->backend) return;
  source_ = output_->backend->TakeSource();
  if (!source_) return;
  ApplySettings();
  if (!carry_on) return;
  Load(*sound);
  if (intent_ == Intent::playing) alSourcePlay(source_);
}

// Puts the sound on the voice, paused at its first frame.
void TChannel::Load(SoundData& sound) {
  const ALuint buffer = sound.Buffer();
  output_->backend->Use();
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffer));
  alSourcei(source_, AL_LOOPING, sound.loop ? AL_TRUE : AL_FALSE);
  alSourceRewind(source_);
}

void TChannel::ApplySettings() {
  if (!source_) return;
  output_->backend->Use();
  alSourcef(source_, AL_GAIN, volume_);
  alSourcef(source_, AL_PITCH, rate_);
  PlaceForPan(source_, pan_);
}

void TChannel::SetVolume(float volume) {
  volume_ = std::max(0.0f, FiniteOr(volume, 0.0f));
  if (Voice()) alSourcef(source_, AL_GAIN, volume_);
}

void TChannel::SetPan(float pan) {
  pan_ = std::clamp(FiniteOr(pan, 0.0f), -1.0f, 1.0f);
  if (Voice()) PlaceForPan(source_, pan_);
}

void TChannel::SetRate(float rate) {
  rate_ = std::clamp(FiniteOr(rate, kMinRate), kMinRate, kMaxRate);
  if (Voice()) alSourcef(source_, AL_PITCH, rate_);
}

// Only a cued (initial) or paused voice is started: playing one again would restart it,
// and one that has finished or was stopped stays quiet. The mixer never moves a voice
// out of those two states by itself, so the test cannot race with it.
void TChannel::SetPaused(int paused) {
  const bool source = Voice() != 0;
  if (paused) {
    if (intent_ == Intent::playing) intent_ = Intent::paused;
    if (source && SourceState(source_) == AL_PLAYING) alSourcePause(source_);
    return;
  }
  if (intent_ == Intent::cued || intent_ == Intent::paused) intent_ = Intent::playing;
  if (!source) return;
  const ALint state = SourceState(source_);
  if (state == AL_INITIAL || state == AL_PAUSED) alSourcePlay(source_);
}

void TChannel::Stop() {
  intent_ = Intent::idle;
  if (Voice()) alSourceStop(source_);
}

bool TChannel::Playing() const {
  if (!source_ || generation_ != output_->generation) return false;
  output_->backend->Use();
  return SourceState(source_) == AL_PLAYING;
}

// ---- TSound ----

TSound::TSound(std::shared_ptr<SoundData> data) : data_(std::move(data)) {}

TSound::~TSound() = default;

std::span<const int16_t> TSound::Frames() const {
  return data_->frames;
}

// The channel to load: the one passed in when it belongs to this sound's driver (given
// a voice if it had none, say after the voices ran out), else a free one that takes
// over the passed channel's settings.
std::shared_ptr<TChannel> TSound::ChannelFor(std::shared_ptr<TChannel> channel) {
  if (channel && channel->output_ == data_->output) {
    if (!channel->Voice() && data_->output->backend) {
      channel->source_ = data_->output->backend->TakeSource();
    }
    return channel;
  }
  std::shared_ptr<TChannel> fresh(new TChannel(data_->output));
  if (channel) {
    channel->Stop();
    fresh->volume_ = channel->volume_;
    fresh->pan_ = channel->pan_;
    fresh->rate_ = channel->rate_;
  }
  return fresh;
}

std::shared_ptr<TChannel> TSound::Cue(std::shared_ptr<TChannel> channel) {
  channel = ChannelFor(std::move(channel));
  channel->sound_ = data_;
  channel->intent_ = TChannel::Intent::cued;
  if (!channel->source_) return channel;
  channel->Load(*data_);
  channel->ApplySettings();
  return channel;
}

// ---- TAudioDriver ----

TAudioDriver::TAudioDriver(std::string name, std::shared_ptr<AudioBackend> backend)
    : name_(std::move(name)),
      output_(std::make_shared<AudioOutput>()),
      reopens_(ReachesADevice(name_)) {
  UseDevice(std::move(backend));
}

TAudioDriver::~TAudioDriver() = default;

bool TAudioDriver::Silent() const {
  return !output_->backend;
}

void TAudioDriver::UseDevice(std::shared_ptr<AudioBackend> backend) {
  if (backend) {
    backend->Use();
    backend->spatialize_extension = alIsExtensionPresent("AL_SOFT_source_spatialize");
  }
  output_->backend = std::move(backend);
  ++output_->generation;
}

void TAudioDriver::Upkeep(int32_t clock_millis) {
  if (!reopens_) return;
  if (output_->backend) {
    if (output_->backend->Connected()) return;
    std::fprintf(stderr, "velunka: the audio output has gone; playing silent until it is back\n");
    UseDevice(nullptr);
    next_look_ = Later(clock_millis, kReopenMillis);
    next_look_set_ = true;
    return;
  }
  LookForDevice(clock_millis);
}

// Opening a device can take long (a sound server being started, a device probed), so it
// runs on a thread of its own and is taken up at a later frame.
void TAudioDriver::LookForDevice(int32_t clock_millis) {
  if (opening_.valid()) {
    if (opening_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    auto backend = opening_.get();
    next_look_ = Later(clock_millis, kReopenMillis);
    if (backend && backend->Connected()) UseDevice(std::move(backend));
    return;
  }
  if (!next_look_set_) {
    next_look_ = Later(clock_millis, kReopenMillis);
    next_look_set_ = true;
  }
  if (!Reached(clock_millis, next_look_)) return;
  opening_ = std::async(std::launch::async, [name = name_] { return OpenNamedDriver(name); });
}

std::unique_ptr<TSound> TAudioDriver::LoadSound(const TAudioSample& sample, int flags) {
  auto data = std::make_shared<SoundData>();
  data->output = output_;
  data->loop = (flags & kSoundLoop) != 0;
  data->hertz = sample.hertz();
  // Bit 1 (hardware mixing) changes nothing here: every voice is mixed the same way.
  if (sample.format() == kSampleFormatMono16 && sample.length() > 0 && sample.hertz() > 0) {
    data->frames.assign(sample.frames(), sample.frames() + sample.length());
  }
  data->Buffer();
  return std::unique_ptr<TSound>(new TSound(std::move(data)));
}

std::shared_ptr<TChannel> TAudioDriver::AllocChannel() {
  return std::shared_ptr<TChannel>(new TChannel(output_));
}

std::vector<int16_t> TAudioDriver::RenderLoopback(int frames) {
  const auto& backend = output_->backend;
  if (!backend || !backend->render_samples || frames <= 0) return {};
  backend->Use();
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  backend->render_samples(backend->device, out.data(), frames);
  return out;
}

std::vector<std::string> AudioDriverNames() {
  return {kSilentDriver, kLoopbackDriver, kFirstDeviceDriver, kDefaultDriver};
}

std::unique_ptr<TAudioDriver> SelectAudioDriver(std::string_view name) {
  // The mixer library reports its own errors on stderr, a lost device among them, which
  // would break the game's promise of one line. It reads this at its first use; anyone
  // who sets it beforehand keeps the library's messages.
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  std::shared_ptr<AudioBackend> backend;
  if (name != kSilentDriver) {
    backend = OpenNamedDriver(name);
    if (!backend)
      std::fprintf(stderr, "velunka: audio driver \"%.*s\" unavailable, running silent\n",
                   static_cast<int>(name.size()), name.data());
  }
  return std::unique_ptr<TAudioDriver>(new TAudioDriver(std::string(name), std::move(backend)));
}

#include "game/game_audio.h"

#include "synth/formant_table.h"
#include "synth/sound.h"
#include "synth/sound_loader.h"

namespace {

struct SoundToMake {
  const char* url;
  std::unique_ptr<TSound> GameAudio::*sound;
  int flags;
};

constexpr SoundToMake kSoundsToMake[] = {
    {"Incbin::assets\\laser02.wkt", &GameAudio::laser_sound, kSoundHardware},
    {"Incbin::assets\\pop01.wkt", &GameAudio::pop_sound, kSoundHardware},
    {"Incbin::assets\\collect01.wkt", &GameAudio::collect_sound, kSoundHardware},
    {"Incbin::assets\\drain.wkt", &GameAudio::drain_sound, kSoundHardware | kSoundLoop},
};

}  // namespace

// Each definition replaces the current sound, which is rendered and handed to the mixer.
// A definition that does not load leaves the sound before it in place, and that one is
// rendered and played under the failed name.
void GameAudio::MakeSounds(const EmbeddedFiles& files) {
  auto current_sound = Sound::Create(22050, 44100, 0, 1);
  Sound::CreateMarkers(*current_sound);
  const FormantTable formant_table = BuildFormantTable();
  for (const SoundToMake& entry : kSoundsToMake) {
    current_sound = load_sound_definition(files, current_sound, entry.url);
    current_sound->fill(formant_table);
    this->*entry.sound = driver->LoadSound(*current_sound->sample, entry.flags);
  }
}

// The pop and collect sounds are cued on these very channels later and play at the
// volumes they get here.
void GameAudio::AllocateChannels() {
  laser_channel = driver->AllocChannel();
  drain_channel = drain_sound->Cue(nullptr);
  drain_channel->SetVolume(0.0f);
  for (auto& channel : pop_channels) {
    channel = driver->AllocChannel();
    channel->SetVolume(0.05f);
  }
  for (auto& channel : collect_channels) {
    channel = driver->AllocChannel();
    channel->SetVolume(0.2f);
  }
}

void GameAudio::ChannelUpkeep(int32_t clock_millis) {
  driver->Upkeep(clock_millis);
  laser_channel->SetPaused(0);
  drain_channel->SetPaused(0);
  for (auto& channel : pop_channels) channel->SetPaused(0);
  for (auto& channel : collect_channels) channel->SetPaused(0);
}

// A pop or collect sound still playing on the pool channel is cut off.
void GameAudio::CuePop(int32_t slot, float pan) {
  auto& channel = pop_channels[slot];
  channel = pop_sound->Cue(channel);
  channel->SetPan(pan);
}

void GameAudio::CueCollect(int32_t slot, float pan) {
  auto& channel = collect_channels[slot];
  channel = collect_sound->Cue(channel);
  channel->SetPan(pan);
}

void GameAudio::SetDrainRate(float rate) {
  drain_channel->SetRate(rate);
}
void GameAudio::SetDrainVolume(float volume) {
  drain_channel->SetVolume(volume);
}

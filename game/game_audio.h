#pragma once
// The game's four synthesized sounds and the mixer channels they play on. Whoever sets
// a sound off cues it paused and sets its pan, volume and rate; the frame's channel
// upkeep starts every channel together.

#include <array>
#include <memory>

#include "platform/audio.h"
#include "platform/stream.h"
#include "world/world.h"

class GameAudio final : public WorldSounds {
 public:
  // Renders the four sounds from their embedded definitions and hands them to the mixer.
  void MakeSounds(const EmbeddedFiles& files);
  // The laser and drain channels and the two pools, at their fixed volumes.
  void AllocateChannels();
  // Once a frame: looks after the output device, then starts (or resumes) every channel
  // the game plays on.
  void ChannelUpkeep(int32_t clock_millis);

  void CuePop(int32_t slot, float pan) override;
  void CueCollect(int32_t slot, float pan) override;
  void SetDrainRate(float rate) override;
  void SetDrainVolume(float volume) override;

  std::unique_ptr<TAudioDriver> driver;
  std::unique_ptr<TSound> laser_sound, pop_sound, collect_sound, drain_sound;
  std::shared_ptr<TChannel> laser_channel;
  std::shared_ptr<TChannel> drain_channel;  // the looping drain sound
  std::array<std::shared_ptr<TChannel>, 8> pop_channels;
  std::array<std::shared_ptr<TChannel>, 4> collect_channels;
};

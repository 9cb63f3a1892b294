// Start-up of the embedded files and the four synthesized sound effects.

#include "assets/embedded_assets.h"
#include "game/game.h"
#include "synth/formant_table.h"
#include "synth/sound.h"
#include "synth/sound_loader.h"

namespace {

struct SoundToMake {
  const char* url;
  std::unique_ptr<TSound> GameSounds::*sound;
  int flags;
};

constexpr SoundToMake kSoundsToMake[] = {
    {"Incbin::assets\\laser02.wkt", &GameSounds::laser_sound, kSoundHardware},
    {"Incbin::assets\\pop01.wkt", &GameSounds::pop_sound, kSoundHardware},
    {"Incbin::assets\\collect01.wkt", &GameSounds::collect_sound, kSoundHardware},
    {"Incbin::assets\\drain.wkt", &GameSounds::drain_sound, kSoundHardware | kSoundLoop},
};

}  // namespace

void Game::RegisterFiles() {
  register_embedded_assets(files);
}

// Each definition replaces the current sound, which is rendered and handed to the mixer.
// A definition that does not load leaves the sound before it in place, and that one is
// rendered and played under the failed name.
void Game::MakeSounds() {
  auto current_sound = Sound::Create(22050, 44100, 0, 1);
  Sound::CreateMarkers(*current_sound);
  const FormantTable formant_table = BuildFormantTable();
  for (const SoundToMake& entry : kSoundsToMake) {
    current_sound = load_sound_definition(files, current_sound, entry.url);
    current_sound->fill(formant_table);
    sounds.*entry.sound = audio->LoadSound(*current_sound->sample, entry.flags);
  }
}

// Feeds arbitrary bytes to the sound-definition loader and renders whatever it accepts,
// also as a mix partner, so that no file can crash, hang or exhaust the game at start-up.

#include <cstddef>
#include <cstdint>

#include "platform/stream.h"
#include "synth/formant_table.h"
#include "synth/sound.h"
#include "synth/sound_loader.h"

namespace {

// Longer sounds are rendered cut to this length: the renderer does the same work per
// frame whatever the length, and full renders would make each run slow.
constexpr int32_t kLongestRender = 1 << 13;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const FormantTable table = BuildFormantTable();
  EmbeddedFiles files;
  files.RegisterEmbeddedFile("fuzz.wkt", data, size);
  auto previous = Sound::Create(64, 44100, 0, 1);
  Sound::CreateMarkers(*previous);
  auto sound = load_sound_definition(files, previous, "incbin::fuzz.wkt");
  if (sound == previous) return 0;
  if (sound->length > kLongestRender) Sound::NewLength(*sound, kLongestRender);
  sound->fill(table);
  // Files cannot ask for mixing; let the note byte do it here to reach that code too.
  if (sound->note & 0x80) {
    previous->fill(table);
    sound->mixflag = 1;
    sound->mixtyp = sound->note & 0x07;
    sound->mixsnd = previous;
    sound->fill(table);
  }
  return 0;
}

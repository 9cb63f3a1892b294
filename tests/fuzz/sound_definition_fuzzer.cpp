// Feeds arbitrary bytes to the sound-definition reader, of every version and with every
// list count, and renders whatever it accepts, cut short: no file can crash or hang the
// game at start-up. Full-length renders are sound_render_fuzzer's job.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "synth/formant_table.h"
#include "synth/sound.h"
#include "synth/sound_loader.h"
#include "tests/fuzz/subnormals.h"

namespace {

// The renderer does the same work per frame whatever the length, so a short render
// reaches the paths a longer one would. With the renderer's fixed pre-roll of 400
// frames this is about 900 frames an input, which keeps the fuzzer near 10 000 inputs a
// second.
constexpr int32_t kLongestRender = 512;

// A short rendered sound to mix in: files cannot ask for mixing, so the note byte does.
std::shared_ptr<Sound> MixPartner(const FormantTable& table) {
  auto partner = Sound::Create(300, 44100, 1, 1);
  Sound::CreateMarkers(*partner);
  partner->fill(table);
  return partner;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const FormantTable table = BuildFormantTable();
  static const std::shared_ptr<Sound> partner = MixPartner(table);
  FlushSubnormals();
  TStream stream({data, size});
  auto definition = read_sound_definition(stream);
  if (!definition) return 0;
  definition->length = std::min(definition->length, kLongestRender);
  auto sound = build_sound(*definition);
  if (sound->note & 0x80) {
    sound->mixflag = 1;
    sound->mixtyp = sound->note & 0x07;
    sound->mixsnd = partner;
  }
  sound->fill(table);
  return 0;
}

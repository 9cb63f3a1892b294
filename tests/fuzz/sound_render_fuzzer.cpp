// Renders small but valid sound definitions over their full length: every setting and
// every marker field takes any value a file could hold (not-a-number and infinities
// included), so the echo, the edge fades and the envelope ends are reached as the game
// reaches them.

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "synth/formant_table.h"
#include "synth/sound.h"
#include "synth/sound_loader.h"
#include "tests/fuzz/subnormals.h"

namespace {

// Long enough for an echo and both edge fades. Every render runs 400 frames before the
// sound's first, so a longer sound would buy little more reach for much more time: at
// this length the target makes about 12 000 runs a second on one core.
constexpr int32_t kLongestSound = 128;
constexpr int kMostMarkers = 6;

float AnyFloat(FuzzedDataProvider& bytes) {
  return std::bit_cast<float>(bytes.ConsumeIntegral<uint32_t>());
}

// Mostly a frame of the sound or near it, sometimes any position a file can hold.
int32_t Position(FuzzedDataProvider& bytes, int32_t length) {
  if (bytes.ConsumeBool()) return bytes.ConsumeIntegral<int32_t>();
  return bytes.ConsumeIntegralInRange<int32_t>(-2, length + 2);
}

std::vector<MarkerRecord> Envelope(FuzzedDataProvider& bytes, int32_t length) {
  std::vector<MarkerRecord> records(bytes.ConsumeIntegralInRange(0, kMostMarkers));
  for (MarkerRecord& record : records) {
    record.typ = bytes.ConsumeIntegral<uint8_t>();
    record.value = AnyFloat(bytes);
    record.position = Position(bytes, length);
    // Most markers of real files keep the straight line and no vibrato; those make
    // the renderer's cheap paths, and the others its costly ones.
    if (bytes.ConsumeBool()) {
      record.vib_amount = AnyFloat(bytes);
      record.vib_speed = AnyFloat(bytes);
    }
    if (bytes.ConsumeBool()) {
      record.curve_in = AnyFloat(bytes);
      record.curve_out = AnyFloat(bytes);
    }
  }
  return records;
}

SoundDefinition Definition(FuzzedDataProvider& bytes) {
  SoundDefinition definition;
  definition.version = 9;
  definition.length = bytes.ConsumeIntegralInRange<int32_t>(1, kLongestSound);
  definition.hertz = bytes.ConsumeIntegralInRange<int32_t>(1, INT32_MAX);
  definition.note = bytes.ConsumeIntegral<uint8_t>();
  definition.waveform = bytes.ConsumeIntegral<int32_t>();
  definition.filtertype = bytes.ConsumeIntegral<uint8_t>();
  definition.bipolar = bytes.ConsumeIntegral<uint8_t>();
  definition.phaze = bytes.ConsumeIntegral<uint8_t>();
  definition.phaser_depth = AnyFloat(bytes);
  definition.phaser_feedback = AnyFloat(bytes);
  definition.phaser_delaycount = bytes.ConsumeIntegral<int32_t>();
  definition.FX_DELAY = bytes.ConsumeIntegral<uint8_t>();
  definition.FX_DELAY_interval = Position(bytes, definition.length);
  definition.FX_DELAY_decay = AnyFloat(bytes);
  for (auto& envelope : definition.envelopes) envelope = Envelope(bytes, definition.length);
  return definition;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const FormantTable table = BuildFormantTable();
  FlushSubnormals();
  FuzzedDataProvider bytes(data, size);
  auto sound = build_sound(Definition(bytes));
  sound->fill(table);
  if (sound->sample->length() != sound->length) __builtin_trap();
  return 0;
}

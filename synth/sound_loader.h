#pragma once
// Reader of sound-definition files (".wkt"): a versioned head of fixed-width settings
// followed by six envelope lists. Older versions lack some fields, which then take
// defaults, so files of every tool version still load.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stream.h"
#include "synth/sound.h"

// Renders need about 26 bytes a frame (the envelope table and the sample), so this
// keeps a render within roughly 220 MB.
constexpr int32_t kMaxSoundLength = 1 << 23;

struct MarkerRecord {
  uint8_t typ = 0;
  float value = 0.0f;
  int32_t position = 0;
  float vib_amount = 0.0f;
  float vib_speed = 0.0f;
  float curve_in = 1.0f;
  float curve_out = -1.0f;
};

// Everything a file holds, before it becomes a Sound. Envelopes that the file's version
// lacks already hold their single default marker.
struct SoundDefinition {
  uint8_t version = 0;
  uint8_t note = 0;
  int32_t hertz = 0;
  int32_t length = 0;
  int32_t waveform = 0;
  float legacy_resonance = 0.0f;
  uint8_t filtertype = 0;
  uint8_t bipolar = 0;
  uint8_t phaze = 0;
  float phaser_depth = 1.0f;
  float phaser_feedback = 0.7f;
  int32_t phaser_delaycount = 6;
  uint8_t FX_DELAY = 0;
  int32_t FX_DELAY_interval = 16536;
  float FX_DELAY_decay = 0.2f;
  std::array<std::vector<MarkerRecord>, kEnvelopeCount> envelopes;
};

// Reads a whole definition from stream. Nothing when the stream is not a usable
// definition; then *why (if given) says what is wrong.
std::optional<SoundDefinition> read_sound_definition(TStream& stream, std::string* why = nullptr);

// A new Sound holding the definition's settings and its envelopes sorted by position;
// each envelope's current marker is the one read last.
std::shared_ptr<Sound> build_sound(const SoundDefinition& definition);

// The Sound of the definition at url ("incbin::NAME" or a file path), or null when it
// cannot be opened or read; then *why (if given) says why.
std::shared_ptr<Sound> try_load_sound_definition(const EmbeddedFiles& files, std::string_view url,
                                                 std::string* why = nullptr);

// The game's loader: the Sound of the definition at url, or previous itself when the
// definition cannot be used. On success previous loses its markers.
std::shared_ptr<Sound> load_sound_definition(const EmbeddedFiles& files,
                                             std::shared_ptr<Sound> previous, std::string_view url);

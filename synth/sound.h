#pragma once
// A synthesized sound effect: its synthesis settings, six breakpoint envelopes and the
// 16-bit mono sample that rendering produces.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio_sample.h"
#include "synth/formant_table.h"
#include "synth/markers.h"

// A rows × columns table of floats, row-major.
class FloatTable {
 public:
  FloatTable(int rows, int columns);
  int rows() const { return rows_; }
  int columns() const { return columns_; }
  float& at(int row, int column) { return cells_[size_t(row) * size_t(columns_) + size_t(column)]; }
  float at(int row, int column) const {
    return cells_[size_t(row) * size_t(columns_) + size_t(column)];
  }

 private:
  int rows_;
  int columns_;
  std::vector<float> cells_;
};

// Envelope rows of vib_table, in the order every pass handles the envelopes.
enum EnvelopeIndex { kEnvVol, kEnvPitch, kEnvLowp, kEnvReso, kEnvPhaz, kEnvPuls, kEnvelopeCount };

class Sound {
 public:
  Sound() = default;
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  std::shared_ptr<TAudioSample> sample;
  FloatTable vib_table{3, 1};  // envelope k at frame j in row k, column j, after fill
  uint8_t note = 0;
  int32_t hertz = 0;
  int32_t length = 0;
  int32_t waveform = 0;
  float resonance = 0.0f;  // kept for the record; the reso envelope sets the resonance
  uint8_t filtertype = 0;
  uint8_t bipolar = 0;
  uint8_t phaze = 0;
  uint8_t FX_DELAY = 0;
  int32_t FX_DELAY_interval = 16536;
  float FX_DELAY_decay = 0.2f;
  std::shared_ptr<markers> vol;
  MarkerList volList;
  std::shared_ptr<markers> pitch;
  MarkerList pitchList;
  std::shared_ptr<markers> lowp;
  MarkerList lowpList;
  std::shared_ptr<markers> reso;
  MarkerList resoList;
  std::shared_ptr<markers> phaz;
  MarkerList phazList;
  std::shared_ptr<markers> puls;
  MarkerList pulsList;
  float phaser_depth = 1.0f;
  float phaser_feedback = 0.7f;
  int32_t phaser_delaycount = 6;
  uint8_t mixflag = 0;
  uint8_t mixtyp = 0;
  std::shared_ptr<Sound> mixsnd;    // must be rendered before this sound
  std::array<double, 10> memory{};  // formant filter outputs, newest first

  // The vowel filter: in filtered at vowel position v (0-4, clamped) with state memory.
  static float formant_filter(float in, float v, std::array<double, 10>& memory,
                              const FormantTable& table);

  // Renders sample (and vib_table) from the settings and envelopes; returns 0.
  int fill(const FormantTable& table);

  // A sound with default settings, empty envelopes, a zeroed 6 × length table and a
  // length-frame 16-bit mono sample at hertz.
  static std::shared_ptr<Sound> Create(int32_t length, int32_t hertz, int32_t waveform, int note);
  // Gives every empty envelope one flat marker at position 0 and makes it current.
  static void CreateMarkers(Sound& sound);
  // Resizes the sound to n frames: new table and new sample at the same rate.
  static void NewLength(Sound& sound, int32_t n);

  MarkerList& envelope_list(int k);
  std::shared_ptr<markers>& current_marker(int k);
};

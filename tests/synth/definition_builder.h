#pragma once
// Writes sound-definition bytes of any version, field by field, for the loader tests.

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "synth/sound_loader.h"

// One marker record's fields, with a new marker's defaults.
using RecordSpec = MarkerRecord;

class DefinitionBuilder {
 public:
  explicit DefinitionBuilder(uint8_t version) : version_(version) {}

  DefinitionBuilder& Text(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  DefinitionBuilder& Byte(uint8_t value) {
    bytes_.push_back(value);
    return *this;
  }
  DefinitionBuilder& Int(int32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t(uint32_t(value) >> shift));
    return *this;
  }
  DefinitionBuilder& Float(float value) { return Int(std::bit_cast<int32_t>(value)); }

  // The fixed head: text, version, tag, note, hertz, length, waveform.
  DefinitionBuilder& Head(int32_t hertz = 44100, int32_t length = 1000, int32_t waveform = 0,
                          uint8_t note = 1) {
    Text("welkator version ").Byte(version_).Text("snd").Byte(note);
    return Int(hertz).Int(length).Int(waveform);
  }

  // One list as this version stores it.
  DefinitionBuilder& List(const std::vector<RecordSpec>& records) {
    Int(int32_t(records.size()));
    for (const RecordSpec& r : records) {
      Byte(r.typ).Float(r.value).Int(r.position);
      if (version_ > 2) Float(r.vib_amount).Float(r.vib_speed);
      if (version_ > 7) Float(r.curve_in).Float(r.curve_out);
    }
    return *this;
  }

  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  uint8_t version_;
  std::vector<uint8_t> bytes_;
};

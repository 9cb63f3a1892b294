#pragma once
// A buffer of sample frames that the synthesizer writes and the audio driver plays.

#include <cstdint>
#include <memory>
#include <vector>

// Format code 2: signed 16-bit, mono, little-endian.
constexpr int kSampleFormatMono16 = 2;

class TAudioSample {
 public:
  // A sample of length frames at hertz frames per second, all frames zero.
  static std::shared_ptr<TAudioSample> Create(int32_t length, int32_t hertz, int format);

  int32_t length() const { return length_; }
  int32_t hertz() const { return hertz_; }
  int format() const { return format_; }
  int16_t* frames() { return frames_.data(); }
  const int16_t* frames() const { return frames_.data(); }

 private:
  TAudioSample(int32_t length, int32_t hertz, int format);

  int32_t length_;
  int32_t hertz_;
  int format_;
  std::vector<int16_t> frames_;
};

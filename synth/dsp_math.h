#pragma once
// Arithmetic shared by the synthesizer: angles in degrees, the exactly rounded square,
// the pipeline's clamp and the conversions between pipeline values and 16-bit frames.

#include <cmath>
#include <cstdint>

namespace dsp {

constexpr double kPi = 3.141592653589793;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 180.0 / kPi;

inline double SinDeg(double degrees) {
  return std::sin(degrees * kDegToRad);
}
inline double CosDeg(double degrees) {
  return std::cos(degrees * kDegToRad);
}
inline double AtanDeg(double x) {
  return std::atan(x) * kRadToDeg;
}

// x raised to 2.0: the product is rounded once, as an exact power would be.
inline double Squared(double x) {
  return x * x;
}

// Pipeline values leave [-1, 1] only through overflow or bad input; not-a-number counts
// as the bottom.
inline float Clamp(float x) {
  if (x > 1.0f) return 1.0f;
  if (!(x >= -1.0f)) return -1.0f;
  return x;
}

// Truncation toward zero to a 32-bit integer; values outside its range and not-a-number
// give INT32_MIN, as the processor's own conversion does, instead of undefined behaviour.
inline int32_t TruncToInt(float x) {
  if (!(x > -2147483648.0f && x < 2147483648.0f)) return INT32_MIN;
  return static_cast<int32_t>(x);
}

inline float FrameToValue(int16_t frame) {
  return float(frame) / 32767.0f;
}

// Stores the low 16 bits of trunc(x × 32767); callers pass values in [-1, 1].
inline int16_t ValueToFrame(float x) {
  return static_cast<int16_t>(static_cast<uint16_t>(uint32_t(TruncToInt(x * 32767.0f)) & 0xFFFFu));
}

}  // namespace dsp

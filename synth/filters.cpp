#include "synth/filters.h"

#include <cmath>

#include "synth/dsp_math.h"
#include "synth/sound.h"

namespace {

float SelectMode(uint8_t mode, float x, float s3, float s4) {
  switch (mode) {
    case kLowPass:
      return s4;
    case kBandPass:
      return s3 - s4;
    case kHighPass:
      return x - s4;
    default:
      return x;
  }
}

}  // namespace

int lowpass_filter(float& x, float& s0, float& s1, float&, float&, float&, float c, float r) {
  if (!(c > 0.0f)) {
    x = 0.0f;
    return 0;
  }
  if (c == 1.0f) {
    s0 = x;
    s1 = 0.0f;
  } else {
    double k = 0.1f * std::pow(double(c), 3.0);
    if (!(k >= 0.00009f)) k = 0.00009f;
    if (k > 0.1f) k = 0.1f;
    s1 = float(s1 + k * (x - s0));
    s1 = float(s1 - s1 * 5 / ((1 + dsp::Squared(r)) * 20));
    s0 = s0 + s1;
  }
  // Resonance costs loudness: the gain falls from 1 at r = 0 to 0.2 at r = 5.
  x = float(s0 * (0.2f + 0.8f * dsp::Squared(1 - r / 5)));
  return 0;
}

int ladder_filter(float& x, float& s0, float& s1, float& s2, float& s3, float& s4, float c, float r,
                  uint8_t mode) {
  const float in = x;
  const double g = std::pow(double(c), 3.0);
  for (int run = 0; run < 2; ++run) {
    const float t = s0 > 1.0f ? 1.0f : s0;
    s0 = 0.418f * s0 + 0.582f * r * s4;
    x = in - (0.36f * s0 + 0.64f * t);
    s1 = float(g * x + (1 - g) * s1);
    if (s1 > 1.0f) s1 = 1.0f;
    if (!(s1 >= -1.0f)) s1 = -1.0f;
    s2 = float(g * s1 + (1 - g) * s2);
    s3 = float(g * s2 + (1 - g) * s3);
    s4 = float(g * s3 + (1 - g) * s4);
  }
  x = SelectMode(mode, x, s3, s4);
  return 0;
}

int cascade_filter(float& x, float&, float& s1, float& s2, float& s3, float& s4, float c, float r,
                   uint8_t mode) {
  float fb = r * s4;
  if (fb > 1.0f) fb = 1.0f;
  x = x - fb;
  const double g = std::pow(double(c), 3.0);
  s1 = float(s1 + g * (x - s1));
  s2 = float(s2 + g * (s1 - s2));
  s3 = float(s3 + g * (s2 - s3));
  s4 = float(s4 + g * (s3 - s4));
  x = SelectMode(mode, x, s3, s4);
  return 0;
}

int atan_filter(float& x, float&, float& s1, float&, float& s3, float& s4, float c, float r,
                uint8_t mode) {
  x = x - 1.0e-24f;
  float g = float(dsp::Squared((dsp::Squared(c) + 2 * c * (1 - c)) / (c + 2 * (1 - c))));
  if (g > 1.0f) g = 1.0f;
  if (!(g >= 0.0f)) g = 0.0f;
  x = x + s1;
  s3 = (g * x + 2 * (1 - g) * s3) / (g + 2 * (1 - g));
  s4 = (g * s3 + 2 * (1 - g) * s4) / (g + 2 * (1 - g));
  x = SelectMode(mode, x, s3, s4);
  // The feedback is an angle, so it can never exceed ±90 whatever the resonance.
  s1 = float(dsp::AtanDeg(0.005f * r * (s3 - s4) * (1 + 0.5f * g)));
  return 0;
}

float Sound::formant_filter(float in, float v, std::array<double, 10>& memory,
                            const FormantTable& table) {
  if (!(v >= 0.0f)) v = 0.0f;
  if (v > 3.9999f) v = 3.9999f;
  // Higher vowels ring louder; the gain evens them out.
  const double gain = 0.95f - v / 7;
  const float f = v - std::floor(v);
  const auto& lo = table.rows[size_t(std::floor(v))];
  const auto& hi = table.rows[size_t(std::ceil(v))];
  double y;
  if (v < 3.0f) {
    // Below the top vowels the two rows' outputs are blended.
    double a = lo[0] * in;
    double b = hi[0] * in;
    for (int k = 1; k <= 10; ++k) a = a + lo[k] * memory[k - 1];
    for (int k = 1; k <= 10; ++k) b = b + hi[k] * memory[k - 1];
    y = a + f * (b - a);
  } else {
    // Between the top vowels the coefficients themselves are blended.
    y = lo[0] * in;
    for (int k = 1; k <= 10; ++k) y = y + (lo[k] + f * (hi[k] - lo[k])) * memory[k - 1];
  }
  for (int k = 9; k > 0; --k) memory[k] = memory[k - 1];
  memory[0] = y;
  const float half = float(0.5 * y);
  return float(half * std::pow(gain, 3.0));
}

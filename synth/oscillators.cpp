#include "synth/oscillators.h"

#include <cmath>

#include "synth/dsp_math.h"

namespace {

// Steps a normalised phase that spans 2 per cycle, wrapping only upward.
double AdvanceWrapped(double x, double inc) {
  x = x + inc;
  if (x > 1) x = x - 2;
  return x;
}

// Moves q half a cycle on and brings it back into (-1, 1].
double ShiftHalfCycle(double q) {
  if (q > 1) q = q - 2;
  const bool below = q < -1;
  q = q + 1;
  if (below) q = q + 2;
  if (q > 1) q = q - 2;
  return q;
}

}  // namespace

float osc_sine_series(const OscillatorInput& in) {
  if (in.P == 0.0f) return float(dsp::SinDeg(3.6f * (in.phase * in.sine_phase_factor)));
  const double theta = 3.6f * in.phase;
  double a = std::pow(double(std::fabs(0.25f * in.P)), 0.5);
  if (a > 0.99f) a = 0.99f;
  const double n = 2 * theta;
  const double x1 = std::pow(a, n + 1) * dsp::SinDeg((n - 1) * theta);
  const double x2 = std::pow(a, n) * dsp::SinDeg(n * theta);
  const double x3 = a * dsp::SinDeg(theta);
  const double slope = in.P > 0 ? dsp::CosDeg(theta) : dsp::SinDeg(2.5 * theta);
  const double denominator = 1 - 2 * a * slope + dsp::Squared(a);
  if (denominator == 0) return 0.0f;
  return float((dsp::SinDeg(theta) - x3 - x2 + x1) / denominator);
}

float osc_saw(OscillatorState& s, float pitch) {
  const float inc = pitch * 0.02f;
  s.x = AdvanceWrapped(s.x, inc);
  const double x2 = s.x * s.x;
  const double poly =
      s.x * (double(0.019444445f) + x2 * (double(-0.027777778f) + x2 * double(0.0083333338f)));
  const double d1 = s.a0 - poly;
  const double d2 = s.a1 - d1;
  const double d3 = s.a2 - d2;
  const double d4 = s.a3 - d3;
  s.a0 = poly;
  s.a1 = d1;
  s.a2 = d2;
  s.a3 = d3;
  // A standing phase would divide by zero; it is silent instead.
  if (inc == 0.0f) return 0.0f;
  return float(d4 * (1 / std::pow(double(inc), 4.0)));
}

float osc_pulse(OscillatorState& s, float pitch, float puls) {
  const float inc = pitch * 0.02f;
  const float k = 0.5f - inc;
  s.x = AdvanceWrapped(s.x, inc);
  double q1 = s.x + k * s.f1;
  if (puls > 0) {
    q1 = q1 * (1 + puls);
  } else {
    q1 = puls + q1 * (1 - puls);
  }
  double q2 = s.x + k * s.f2;
  if (q1 > 1) q1 = q1 - 2;
  if (q1 < -1) q1 = q1 + 2;
  q2 = ShiftHalfCycle(q2);
  q1 = (2 * dsp::Squared(q1) - 4) * dsp::Squared(q1);
  q2 = (2 * dsp::Squared(q2) - 4) * dsp::Squared(q2);
  const float out = float(q1 - q2);
  s.f1 = 0.5 * (1 + q1 + s.f1);
  s.f2 = 0.5 * (1 + q2 + s.f2);
  return out;
}

float osc_noise(OscillatorState& s, float phase, float pitch) {
  const float r = std::fmod(phase, 1.0f);
  const float steps = std::floor(r / pitch);
  if (steps == 0.0f || std::isnan(steps)) {
    const double prev = s.seed;
    s.seed = dsp::Squared(s.seed + 19.3f);
    s.seed = s.seed + 0.33f * (prev - s.seed);
    s.seed = s.seed - std::trunc(s.seed);
  }
  return float(2 * s.seed - 1);
}

float osc_triangle(OscillatorState& s, float pitch, float P) {
  s.x = AdvanceWrapped(s.x, pitch * 0.02f);
  double y = std::fabs(s.x) - 1;
  y = ShiftHalfCycle(y);
  const double tri = 2 * y - 1;
  double shape = -1 - dsp::Squared(y) * (2 * dsp::Squared(y) - 4);
  if (P > 1) shape = shape / P;
  return float(P * shape + (1 - P) * tri);
}

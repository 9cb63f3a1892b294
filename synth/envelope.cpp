#include "synth/envelope.h"

#include <cmath>

#include "synth/dsp_math.h"

float curve_interp(float p0, float p1, float t, float c0, float c1) {
  if (c0 == 1.0f && c1 == -1.0f) return (1.0f - t) * p0 + t * p1;
  const float m0 = c0 * (p1 - p0);
  const float m1 = c1 * (p0 - p1);
  const double t2 = dsp::Squared(t);
  const double t3 = std::pow(double(t), 3.0);
  const float h00 = float(2 * t3 - 3 * t2 + 1);
  const float h01 = float(-2 * t3 + 3 * t2);
  const float h10 = float(t3 - 2 * t2 + t);
  const double h11 = t3 - t2;
  const float hermite_head = h00 * p0 + h01 * p1 + h10 * m0;
  return float(hermite_head + h11 * m1);
}

namespace {

// Fraction of the way from a to m at frame j; 0 when both sit at one position. Spans
// are taken in 64 bits so that positions far apart cannot overflow.
float SegmentFraction(int32_t j, const markers& a, const markers& m) {
  const int64_t span = int64_t{m.position} - a.position;
  if (span == 0) return 0.0f;
  return float(int64_t{j} - a.position) / float(span);
}

}  // namespace

markers* envelope_step(float& value, int32_t j, markers* current, MarkerList& list, float& vibpos,
                       float& vibvel) {
  markers* m = current;
  float amount = m->vib_amount;
  float speed = m->vib_speed;
  if (j < m->position) {
    const markers& a = *m->prev_marker;
    const markers& n = *m->next_marker;
    const float t = SegmentFraction(j, a, *m);
    value = curve_interp(a.value, m->value, t, a.curve_in, m->curve_out);
    if (m->vib_amount > 0.0f || a.vib_amount > 0.0f) {
      amount = curve_interp(a.vib_amount, m->vib_amount, t, a.curve_in, m->curve_out);
      // The speed curve leaves with the next marker's slope factor, unlike the others.
      speed = curve_interp(a.vib_speed, m->vib_speed, t, n.curve_in, m->curve_out);
      speed = speed * speed;
    }
  } else if (m == list.LastLink().Value().get()) {
    value = m->value;
    amount = m->vib_amount;
    speed = float(dsp::Squared(m->vib_speed));
  } else {
    const markers& passed = *m;
    m = m->next_marker;
    value = passed.value;
    amount = passed.vib_amount;
    speed = float(dsp::Squared(passed.vib_speed));
  }
  if (amount != 0.0f) {
    vibvel = float(vibvel - vibpos * 0.00001f * dsp::kPi * speed);
    vibpos = vibpos + vibvel * speed;
    value = value + amount * vibpos;
  }
  return m;
}

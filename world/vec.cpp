#include "world/vec.h"

#include <cmath>

int vec::set(float x_value, float y_value) {
  x = x_value;
  y = y_value;
  return 0;
}

int vec::setv(const vec& v) {
  return set(v.x, v.y);
}

int vec::normalize() {
  const float squared = x * x + y * y;
  if (squared != 0.0f) {
    // The reciprocal stays in double precision; only the products are rounded to float.
    const double reciprocal = 1.0 / std::sqrt(double{squared});
    x = static_cast<float>(x * reciprocal);
    y = static_cast<float>(y * reciprocal);
  }
  return 0;
}

int vec::normalizep(float p) {
  vec unit = *this;
  unit.normalize();
  x = x + (unit.x - x) * p;
  y = y + (unit.y - y) * p;
  return 0;
}

int vec::scale(float f) {
  x = x * f;
  y = y * f;
  return 0;
}

int vec::scalev(const vec& v) {
  x = x * v.x;
  y = y * v.y;
  return 0;
}

int vec::div(float f) {
  x = x / f;
  y = y / f;
  return 0;
}

int vec::addv(const vec& v) {
  x = x + v.x;
  y = y + v.y;
  return 0;
}

int vec::subv(const vec* v) {
  if (v == nullptr) return 0;
  x = x - v->x;
  y = y - v->y;
  return 0;
}

float vec::dot() const {
  return x * x + y * y;
}

float vec::dist() const {
  const float squared = dot();
  if (squared == 0.0f) return 0.0f;
  return static_cast<float>(std::sqrt(double{squared}));
}

#pragma once
// The game's mutable 2D vector. Every operation except the two length queries changes
// the receiver in place and returns 0, which callers ignore.

class vec {
 public:
  float x = 0.0f;
  float y = 0.0f;

  vec() = default;
  vec(float x_value, float y_value) : x(x_value), y(y_value) {}

  int set(float x_value, float y_value);
  int setv(const vec& v);
  // Scales to length 1; the zero vector stays zero.
  int normalize();
  // Moves the fraction p of the way toward the vector's own unit vector: a speed is
  // pulled toward 1 while the direction is kept.
  int normalizep(float p);
  int scale(float f);
  // Component-wise product.
  int scalev(const vec& v);
  // No guard against f = 0: the components become infinities or NaNs.
  int div(float f);
  int addv(const vec& v);
  // A null argument leaves the vector as it is.
  int subv(const vec* v);
  // The squared length (there is no second operand).
  float dot() const;
  // The length.
  float dist() const;
};

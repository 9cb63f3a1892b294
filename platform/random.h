#pragma once
// The game's one random generator: a minimal-standard multiplicative congruential
// generator (multiplier 48271, modulus 2^31 - 1), stepped with Schrage's method so no
// intermediate leaves 32 bits. Every draw of the game comes from one instance, owned by
// the game and passed by reference, so a run is reproducible from its seeds.

#include <cstdint>

class Random {
 public:
  static constexpr int32_t kInitialState = 4660;

  // Bit 31 is dropped; the two seeds that would stall the generator fall back to 4660.
  void SeedRandom(int32_t seed);
  // A double in [0, 1) built from two steps.
  double RandomUnit();
  // A double between a and b, whichever is larger.
  double RandomRange(double a, double b);
  // An integer between a and b, both inclusive, whichever is larger.
  int32_t RandomIntRange(int32_t a, int32_t b);

  int32_t State() const { return state_; }

 private:
  int32_t Step();

  int32_t state_ = kInitialState;
};

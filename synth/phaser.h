#pragma once
// The phaser: a chain of first-order allpass stages with feedback, whose common
// coefficient the caller sweeps frame by frame, mixed back with the dry signal.

#include <array>
#include <cstdint>

class AllpassDelay {
 public:
  float _a1 = 0.0f;   // allpass coefficient; 0 makes the stage a one-frame delay
  float _zm1 = 0.0f;  // one-frame memory

  static AllpassDelay Create();
  void init();
  void dDelay(float d);
  float update(float x);
};

class Phaser {
 public:
  static constexpr int kMaxStages = 10;

  std::array<AllpassDelay, kMaxStages> _alps{};
  float _depth = 1.0f;
  float _fb = 0.7f;
  int32_t _delay_count = 6;  // stages in use; outside 1-10 the chain is bypassed
  // A free-running sweep oscillator is configured but not used: the sweep comes from
  // the sound's phaser envelope instead.
  float _lfoPhase = 0.0f;
  float _lfoInc = 0.0f;
  float _dmin = 0.0f;
  float _dmax = 0.0f;
  float _zm1 = 0.0f;  // the chain's output of the previous frame, fed back
  float _outSamp = 0.0f;

  static Phaser Create();
  void init();
  void range(float fMin, float fMax);
  void Rate(float r);
  void Feedback(float fb);
  void Depth(float d);
  float Update(float inSamp, float sweep);
};

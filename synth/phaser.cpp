#include "synth/phaser.h"

#include <algorithm>

AllpassDelay AllpassDelay::Create() {
  AllpassDelay stage;
  stage.init();
  return stage;
}

void AllpassDelay::init() {
  _a1 = 0.0f;
  _zm1 = 0.0f;
}

void AllpassDelay::dDelay(float d) {
  _a1 = (1 - d) / (1 + d);
}

float AllpassDelay::update(float x) {
  const float y = x * -_a1 + _zm1;
  _zm1 = y * _a1 + x;
  return y;
}

Phaser Phaser::Create() {
  return Phaser();
}

void Phaser::init() {
  for (AllpassDelay& stage : _alps) stage = AllpassDelay::Create();
  _lfoPhase = 0.0f;
  _zm1 = 0.0f;
  range(440, 1600);
  Rate(4.5f);
}

void Phaser::range(float fMin, float fMax) {
  _dmin = fMin / 22050;
  _dmax = fMax / 22050;
}

void Phaser::Rate(float r) {
  _lfoInc = float(6.283185307179586 * (r / 44100));
}

void Phaser::Feedback(float fb) {
  _fb = fb;
}

void Phaser::Depth(float d) {
  _depth = d;
}

float Phaser::Update(float inSamp, float sweep) {
  // Below a tiny sweep (and for negative or missing ones) the coefficient stays near 1.
  const float s = sweep >= 0.0001f ? sweep : 0.0001f;
  const float d = s * s;
  const int stages_to_set = std::clamp(_delay_count, 0, kMaxStages);
  for (int i = 0; i < stages_to_set; ++i) _alps[size_t(i)].dDelay(d);
  const float x = inSamp + _zm1 * _fb;
  float y = 0.0f;
  if (_delay_count >= 1 && _delay_count <= kMaxStages) {
    y = x;
    for (int i = _delay_count - 1; i >= 0; --i) y = _alps[size_t(i)].update(y);
  }
  _zm1 = y;
  return (1 - 0.5f * _depth) * (inSamp + y * _depth);
}

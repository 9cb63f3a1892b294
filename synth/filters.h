#pragma once
// The resonant filter kernels. Each updates one audio value x in place with memory that
// the caller owns (s0-s4), a cutoff c (nominally 0-1) and a resonance r (0-5); the
// multi-mode kernels also take a FilterMode. All return 0.

#include <cstdint>

enum FilterMode : uint8_t { kLowPass = 0, kBandPass = 1, kHighPass = 2 };

// Two-state resonant low-pass; uses s0 (level) and s1 (velocity).
int lowpass_filter(float& x, float& s0, float& s1, float& s2, float& s3, float& s4, float c,
                   float r);
// Four-stage ladder run twice per value; s0 feedback, s1-s4 the stages.
int ladder_filter(float& x, float& s0, float& s1, float& s2, float& s3, float& s4, float c, float r,
                  uint8_t mode);
// Four one-pole stages with clipped feedback; uses s1-s4.
int cascade_filter(float& x, float& s0, float& s1, float& s2, float& s3, float& s4, float c,
                   float r, uint8_t mode);
// Two stages with arc-tangent feedback; s1 feedback, s3 and s4 the stages.
int atan_filter(float& x, float& s0, float& s1, float& s2, float& s3, float& s4, float c, float r,
                uint8_t mode);

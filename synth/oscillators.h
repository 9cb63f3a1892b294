#pragma once
// The six tone sources of the renderer. Each turns the frame's phase, pitch and pulse
// control into one raw value nominally in [-1, 1]; the ones that need memory keep it in
// an OscillatorState that lives for one render. 100 phase units make one cycle.

#include <cstdint>

struct OscillatorState {
  double x = 0.0;  // normalised phase of kinds 1, 2 and 4; one cycle spans 2
  double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;  // polynomial value and differences, kind 1
  double f1 = 0.0, f2 = 0.0;                      // feedback of the two parabolas, kind 2
  double seed = double(19.191919f);               // noise state, kind 3
};

// The per-frame inputs of an oscillator.
struct OscillatorInput {
  float phase = 0.0f;              // the never-wrapped phase accumulator
  float pitch = 0.0f;              // phase advance per frame
  float P = 0.0f;                  // pulse control: puls³ × 5, possibly scaled by the mix value
  float puls = 0.0f;               // the raw pulse envelope value
  float sine_phase_factor = 1.0f;  // scales the plain sine's phase (mix type 4)
};

enum Waveform {
  kWaveSine = 0,
  kWaveSaw = 1,
  kWavePulse = 2,
  kWaveNoise = 3,
  kWaveTriangle = 4,
  kWaveSilence = 5,
};

// Kind 0: a sine, or for a non-zero pulse control a closed-form series of harmonics
// whose amplitudes fall geometrically.
float osc_sine_series(const OscillatorInput& in);
// Kind 1: a sawtooth whose jump is smoothed by differencing a fifth-degree polynomial.
float osc_saw(OscillatorState& state, float pitch);
// Kind 2: a pulse made of two parabolic waves half a cycle apart.
float osc_pulse(OscillatorState& state, float pitch, float puls);
// Kind 3: noise drawn about once every 1 / pitch frames and held in between.
float osc_noise(OscillatorState& state, float phase, float pitch);
// Kind 4: a triangle blended with a rounded wave by the pulse control.
float osc_triangle(OscillatorState& state, float pitch, float P);

// The oscillator of the given kind; kinds outside 0-4 are silent.
inline float oscillator(int32_t waveform, OscillatorState& state, const OscillatorInput& in) {
  switch (waveform) {
    case kWaveSine:
      return osc_sine_series(in);
    case kWaveSaw:
      return osc_saw(state, in.pitch);
    case kWavePulse:
      return osc_pulse(state, in.pitch, in.puls);
    case kWaveNoise:
      return osc_noise(state, in.phase, in.pitch);
    case kWaveTriangle:
      return osc_triangle(state, in.pitch, in.P);
    default:
      return 0.0f;
  }
}

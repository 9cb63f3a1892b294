#pragma once
// Evaluation of a breakpoint envelope frame by frame: a forward-moving cursor over the
// sorted markers, a cubic curve between neighbours and a vibrato whose depth and speed
// are themselves interpolated.

#include <cstdint>

#include "synth/markers.h"

// Vibrato state of one envelope for one render.
struct VibratoState {
  float position = 0.0f;
  float velocity = 0.01f;
};

// The curve from p0 (t = 0) to p1 (t = 1): c0 scales the leaving slope and c1 the
// arriving slope relative to the straight line; (1, -1) is the straight line itself.
float curve_interp(float p0, float p1, float t, float c0, float c1);

// Stores the envelope's value at frame j in value and returns the new current marker.
// The markers' prev_marker/next_marker links must be set (ends point at themselves);
// list is the envelope the markers belong to. Frames must come in increasing order.
markers* envelope_step(float& value, int32_t j, markers* current, MarkerList& list, float& vibpos,
                       float& vibvel);

#pragma once
// One breakpoint of a sound's envelope, and the list type that holds an envelope.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/list.h"

class markers;
using MarkerList = TList<std::shared_ptr<markers>>;

class markers {
 public:
  uint8_t typ = 0;  // every marker the game loads has kind 0; nothing tells kinds apart
  float value = 0.0f;
  int32_t position = 0;     // frame index, 0-based
  float curve_in = 1.0f;    // slope factor leaving this breakpoint (1 with -1 below: straight)
  float curve_out = -1.0f;  // slope factor arriving at this breakpoint
  float vib_speed = 0.0f;
  float vib_amount = 0.0f;
  // Working fields kept with the record; nothing reads them.
  float prev_vib = 0.0f;
  float prev_vibspeed = 0.0f;
  int32_t prev_pos = 0;
  float prev_value = 0.0f;
  float prev_curve_out = 0.0f;
  // Neighbours in the same list, linked by the renderer before each pass. They form
  // cycles (the ends point at themselves), so they must not own.
  markers* prev_marker = nullptr;
  markers* next_marker = nullptr;
  float vivel = 0.0f;
  float vinew = 0.0f;
  std::string freqname;

  // A new marker (typ keeps the low 8 bits) appended at the end of list.
  static std::shared_ptr<markers> Create(MarkerList& list, int typ, float value, int32_t position);

  // Orders markers by ascending position: negative when a comes first. The difference
  // saturates instead of overflowing for positions of opposite sign far apart.
  static int32_t CompareFunc(const std::shared_ptr<markers>& a, const std::shared_ptr<markers>& b);
};

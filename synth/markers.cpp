#include "synth/markers.h"

#include <algorithm>
#include <limits>

std::shared_ptr<markers> markers::Create(MarkerList& list, int typ, float value, int32_t position) {
  auto marker = std::make_shared<markers>();
  marker->typ = static_cast<uint8_t>(typ & 0xFF);
  marker->value = value;
  marker->position = position;
  marker->vib_amount = 0.0f;
  marker->vib_speed = 0.0f;
  list.AddLast(marker);
  return marker;
}

int32_t markers::CompareFunc(const std::shared_ptr<markers>& a, const std::shared_ptr<markers>& b) {
  const int64_t difference = int64_t{a->position} - int64_t{b->position};
  return static_cast<int32_t>(std::clamp<int64_t>(difference, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

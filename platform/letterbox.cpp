#include "platform/letterbox.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// a * b / c rounded to the nearest integer, without overflow for any window size.
int ScaleRounded(int a, int b, int c) {
  return int((int64_t(a) * b + c / 2) / c);
}

int FrameCoordinate(int window_coordinate, int offset, int extent, int frame_extent, bool clamp) {
  // The frame pixel whose scaled area holds the centre of the window pixel.
  const double scaled = (window_coordinate - offset + 0.5) * frame_extent / extent;
  const int frame_coordinate = int(std::floor(scaled));
  return clamp ? std::clamp(frame_coordinate, 0, frame_extent - 1) : frame_coordinate;
}

}  // namespace

Letterbox FitFrame(int frame_width, int frame_height, int window_width, int window_height) {
  Letterbox box;
  box.frame_width = std::max(frame_width, 1);
  box.frame_height = std::max(frame_height, 1);
  // A minimised window may report no area at all; one pixel keeps the mapping defined.
  box.window_width = std::max(window_width, 1);
  box.window_height = std::max(window_height, 1);
  const bool window_is_narrower =
      int64_t(box.window_width) * box.frame_height <= int64_t(box.window_height) * box.frame_width;
  if (window_is_narrower) {
    box.width = box.window_width;
    box.height = ScaleRounded(box.window_width, box.frame_height, box.frame_width);
  } else {
    box.height = box.window_height;
    box.width = ScaleRounded(box.window_height, box.frame_width, box.frame_height);
  }
  box.width = std::clamp(box.width, 1, box.window_width);
  box.height = std::clamp(box.height, 1, box.window_height);
  box.x = (box.window_width - box.width) / 2;
  box.y = (box.window_height - box.height) / 2;
  return box;
}

FramePoint WindowToFrame(const Letterbox& box, int x, int y) {
  return {FrameCoordinate(x, box.x, box.width, box.frame_width, box.BarsLeftAndRight()),
          FrameCoordinate(y, box.y, box.height, box.frame_height, box.BarsAboveAndBelow())};
}

#pragma once
// A slow box blur written straight from the rule (each output byte is the integer mean of
// the 2 x radius samples from position - radius + 1 to position + radius, mirrored at the
// first pixel, wrapped one pixel in past the last), to check the running-sum version.

#include <cstdint>
#include <vector>

namespace reference {

// Bytes of a width x height RGBA image, rows top to bottom.
using Image = std::vector<uint8_t>;

inline int edge(int k, int n) {
  if (k < 0) return -k;
  if (k > n - 1) return k - (n - 1);
  return k;
}

// One pass along x (horizontal) or along y.
inline Image blur_pass(const Image& in, int width, int height, int radius, bool horizontal) {
  Image out(in.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 4; ++c) {
        int sum = 0;
        const int centre = horizontal ? x : y;
        for (int k = centre - radius + 1; k <= centre + radius; ++k) {
          const int sx = horizontal ? edge(k, width) : x;
          const int sy = horizontal ? y : edge(k, height);
          sum += in[(size_t(sy) * width + sx) * 4 + c];
        }
        out[(size_t(y) * width + x) * 4 + c] = uint8_t(sum / (2 * radius));
      }
    }
  }
  return out;
}

inline Image blur(const Image& in, int width, int height, int radius) {
  return blur_pass(blur_pass(in, width, height, radius, true), width, height, radius, false);
}

}  // namespace reference

#include "render/textures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "world/vec.h"

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr float kMirrorAxis = 300.0f;
constexpr float kPatternEdge = 600.0f;
constexpr int kWalkSteps = 7600;
constexpr int kBackgroundBlurRadius = 2;
constexpr int kPauseBlurRadius = 4;

double sin_degrees(double degrees) {
  return std::sin(degrees * (std::numbers::pi / 180.0));
}

uint32_t white_with_alpha(int alpha) {
  return uint32_t(alpha) << 24 | kWhite;
}

// Truncates a pixel coordinate toward zero; values no pixmap can hold (and NaN) become
// -1, which every pixel access treats as outside.
int pixel_coordinate(float value) {
  constexpr float kLimit = 1.0e9f;
  return (value > -kLimit && value < kLimit) ? int(value) : -1;
}

// Fills a 64 x 64 pixmap column by column with pixel_of(x, y, radius).
template <typename PixelOf>
TPixmap make_sprite(PixelOf pixel_of) {
  TPixmap pixmap = TPixmap::Create(kSpriteSize, kSpriteSize);
  const float size = float(kSpriteSize);
  const float radius = size * 0.5f;
  for (float x = 0.0f; x < size; x += 1.0f) {
    for (float y = 0.0f; y < size; y += 1.0f) {
      pixmap.WritePixel(int(x), int(y), pixel_of(x, y, radius));
    }
  }
  return pixmap;
}

// 1 at the centre of the sprite, 0 on the inscribed circle, negative outside it.
float disc_falloff(float x, float y, float radius) {
  const float a = (x - radius) / radius;
  const float b = (y - radius) / radius;
  return 1.0f - (a * a + b * b);
}

}  // namespace

TextureName make_texture(Gl& gl, const TPixmap& pixmap) {
  const TextureName name = gl.GenTexture();
  gl.BindTexture(name);
  gl.TexImageRgba(pixmap.Width(), pixmap.Height(), pixmap.PixelPtr(0, 0));
  return name;
}

void replace_texture(Gl& gl, TextureName& slot, const TPixmap& pixmap) {
  if (slot != 0) gl.DeleteTexture(slot);
  slot = make_texture(gl, pixmap);
}

TPixmap make_ship_pixmap() {
  return make_sprite([](float x, float y, float radius) -> uint32_t {
    // The drop's half-width grows with y from nothing, so row 0 is empty.
    if (y == 0.0f) return 0;
    const float b = (y - radius) / radius;
    const float c = (x - radius) / (0.75f * y);
    const float f = 1.0f - (c * c + b * b);
    if (!(f > 0.0f)) return 0;
    return white_with_alpha(int(255.0f * (1.0f - (1.0f - f) * (1.0f - f))));
  });
}

TPixmap make_shade_pixmap() {
  return make_sprite([](float x, float y, float radius) -> uint32_t {
    const float f = disc_falloff(x, y, radius);
    if (!(f > 0.0f)) return 0;
    return uint32_t(int(255.0f * f)) << 24 | 0x202020;
  });
}

TPixmap make_glow_pixmap() {
  return make_sprite([](float x, float y, float radius) -> uint32_t {
    const float f = disc_falloff(x, y, radius);
    if (!(f > 0.0f)) return 0;
    return white_with_alpha(int(255.0f * f));
  });
}

TPixmap make_ring_pixmap() {
  return make_sprite([](float x, float y, float radius) -> uint32_t {
    const float f = disc_falloff(x, y, radius);
    if (!(f > 0.0f)) return 0;
    if (f >= 0.5f) return kWhite;
    const int alpha = int(255.0 * sin_degrees(f * 2.0f * 180.0f)) & 0xFF;
    return white_with_alpha(alpha);
  });
}

SpriteTextures make_sprite_textures(Gl& gl) {
  SpriteTextures textures;
  textures.ship = make_texture(gl, make_ship_pixmap());
  textures.shade = make_texture(gl, make_shade_pixmap());
  textures.glow = make_texture(gl, make_glow_pixmap());
  textures.ring = make_texture(gl, make_ring_pixmap());
  return textures;
}

namespace {

// Past 2^24 a float counter stops growing, so a larger stamp could never finish.
constexpr float kMaxStampExtent = 16777216.0f;

// A short array on the stack that spills to the heap only for unusually large stamps.
template <typename T>
class StampBuffer {
 public:
  explicit StampBuffer(size_t count) {
    if (count > inline_.size()) spill_.resize(count);
    data_ = spill_.empty() ? inline_.data() : spill_.data();
  }
  StampBuffer(const StampBuffer&) = delete;
  StampBuffer& operator=(const StampBuffer&) = delete;

  T& operator[](size_t index) { return data_[index]; }
  const T& operator[](size_t index) const { return data_[index]; }

 private:
  std::array<T, 128> inline_;
  std::vector<T> spill_;
  T* data_;
};

// A column (or row) of a stamp that lies on the pattern: its pixel index and the squared
// offset ((k - r) / r)^2 of its place k in the stamp's square.
struct StampLine {
  int pixel;
  float square;
};

// The number of counter values 0, 1, 2, ... below extent (extent < 2^24).
size_t stamp_line_count(float extent) {
  return extent > 0.0f ? size_t(std::ceil(extent)) : 0;
}

// The lines of a stamp from `origin` on, in visiting order: negative positions are
// skipped and the first at or past `edge` ends the list. Returns their number.
size_t list_stamp_lines(float origin, float extent, float r, float edge,
                        StampBuffer<StampLine>& lines) {
  size_t count = 0;
  for (float k = 0.0f; k < extent; k += 1.0f) {
    const float position = origin + k;
    if (!(position < edge)) break;
    if (position < 0.0f) continue;
    const float offset = (k - r) / r;
    lines[count++] = {int(position), offset * offset};
  }
  return count;
}

// A pixel's alpha as a fraction, alpha / 255.
constexpr std::array<float, 256> kAlphaFractions = [] {
  std::array<float, 256> table{};
  for (int a = 0; a < 256; ++a) table[a] = float(a) / 255.0f;
  return table;
}();

float alpha_fraction(uint8_t alpha) {
  return kAlphaFractions[alpha];
}

// Makes the pixel white with the given alpha fraction (truncated to 0-255).
void write_white(uint8_t* pixel, float a) {
  pixel[0] = 0xFF;
  pixel[1] = 0xFF;
  pixel[2] = 0xFF;
  pixel[3] = uint8_t(int(255.0f * a));
}

// Both stamps visit the square of side `extent` from (cx - r, cy - r) column by column,
// each column downward, and hand each pixel inside the disc to paint(pixel, f) with its
// falloff f. Positions at or past the pattern's edge (600, or the pixmap's own edge if
// it is smaller) end the loops, negative ones are skipped. The columns and rows are
// listed once per stamp, which visits the pixels in the same order as walking them.
template <typename Paint>
void visit_disc(TPixmap& pixmap, float cx, float cy, float extent, Paint paint) {
  if (!(extent < kMaxStampExtent)) return;
  const float r = extent * 0.5f;
  const size_t count = stamp_line_count(extent);
  StampBuffer<StampLine> columns(count);
  StampBuffer<StampLine> rows(count);
  const float right = std::min(kPatternEdge, float(pixmap.Width()));
  const float bottom = std::min(kPatternEdge, float(pixmap.Height()));
  const size_t column_count = list_stamp_lines(cx - r, extent, r, right, columns);
  const size_t row_count = list_stamp_lines(cy - r, extent, r, bottom, rows);
  for (size_t c = 0; c < column_count; ++c) {
    const StampLine column = columns[c];
    for (size_t w = 0; w < row_count; ++w) {
      const float f = 1.0f - (column.square + rows[w].square);
      if (!(f > 0.0f)) continue;
      paint(pixmap.PixelPtr(column.pixel, rows[w].pixel), f);
    }
  }
}

}  // namespace

void stamp_disc(TPixmap& pixmap, float cx, float cy, float size) {
  visit_disc(pixmap, cx, cy, size, [](uint8_t* pixel, float f) {
    float a = alpha_fraction(pixel[3]) + 0.1f * f;
    if (a > 1.0f) a = 1.0f;
    write_white(pixel, a);
  });
}

void stamp_ring(TPixmap& pixmap, float cx, float cy, float d, float size) {
  const float w = size * 0.05f;
  visit_disc(pixmap, cx, cy, d, [w](uint8_t* pixel, float f) {
    const float rim = f < w ? float(sin_degrees(f / w * 180.0f)) : 0.0f;
    float a = alpha_fraction(pixel[3]);
    if (f > 0.5f * w) a = a * (1.0f - 8.0f * f);
    if (a < 0.0f) a = 0.0f;
    a = a + rim;
    if (a > 1.0f) a = 1.0f;
    write_white(pixel, a);
  });
}

namespace {

// Sample index along a line of n pixels: mirrored at the first pixel, wrapped to the
// start of the line one pixel in past the last. The clamp only matters for a radius as
// long as the line, which would otherwise leave it.
int blur_edge(int k, int n) {
  if (k < 0) {
    k = -k;
  } else if (k > n - 1) {
    k = k - (n - 1);
  }
  return std::clamp(k, 0, n - 1);
}

// Turns a channel sum over 2 x radius samples into their average.
std::vector<uint8_t> blur_average_table(int radius) {
  std::vector<uint8_t> table(size_t(radius) * 512 + 1);
  for (size_t s = 0; s < table.size(); ++s) table[s] = uint8_t(s / (2 * size_t(radius)));
  return table;
}

// The same average without the table, so the passes can run on vector lanes:
// with d = 2 x radius and m = ceil(2^24 / d), (s x m) >> 24 equals s div d for every sum
// s <= 255 x d as long as 255 x d^2 < 2^24, and s x m stays within 32 bits.
constexpr int kMaxShiftRadius = 127;
constexpr int kAverageShift = 24;

uint32_t average_multiplier(int radius) {
  const uint32_t d = 2 * uint32_t(radius);
  return ((uint32_t{1} << kAverageShift) + d - 1) / d;
}

// Byte offsets of the samples that enter and leave the window at each position of a line
// of n pixels; `step` is the distance between neighbouring pixels in bytes.
struct WindowSteps {
  std::vector<size_t> first;  // the samples of the window before position 0
  std::vector<size_t> entering;
  std::vector<size_t> leaving;
};

WindowSteps window_steps(int radius, int n, size_t step) {
  WindowSteps steps;
  for (int k = -radius; k < radius; ++k) steps.first.push_back(blur_edge(k, n) * step);
  for (int i = 0; i < n; ++i) {
    steps.entering.push_back(blur_edge(i + radius, n) * step);
    steps.leaving.push_back(blur_edge(i - radius, n) * step);
  }
  return steps;
}

// Along a row the window sums come from running totals: with total[t] the sum of the
// first t samples of the row extended by the edge rule (from -radius on), output x has
// the window total[x + 2 radius + 1] - total[x + 1]. These are the integers a sliding
// window gives, but every output stands alone, so the averaging runs on vector lanes.
void blur_rows(int radius, const std::vector<uint8_t>& average, const TPixmap& source,
               TPixmap& target, int width, int height) {
  std::vector<size_t> samples;
  for (int k = -radius; k < width + radius; ++k) samples.push_back(size_t(blur_edge(k, width)) * 4);
  const size_t bytes = size_t(width) * 4;
  std::vector<uint32_t> total((samples.size() + 1) * 4, 0);
  const uint32_t* upper = total.data() + (2 * size_t(radius) + 1) * 4;
  const uint32_t* lower = total.data() + 4;
  const bool by_shift = radius <= kMaxShiftRadius;
  const uint32_t multiplier = average_multiplier(std::min(radius, kMaxShiftRadius));
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = source.PixelPtr(0, y);
    uint8_t* out = target.PixelPtr(0, y);
    uint32_t running[4] = {0, 0, 0, 0};
    for (size_t t = 0; t < samples.size(); ++t) {
      const uint8_t* pixel = in + samples[t];
      for (int c = 0; c < 4; ++c) {
        running[c] += pixel[c];
        total[(t + 1) * 4 + c] = running[c];
      }
    }
    if (by_shift) {
      for (size_t b = 0; b < bytes; ++b)
        out[b] = uint8_t((upper[b] - lower[b]) * multiplier >> kAverageShift);
    } else {
      for (size_t b = 0; b < bytes; ++b) out[b] = average[upper[b] - lower[b]];
    }
  }
}

// The vertical pass keeps one running sum per byte of a row and walks the rows in order,
// which gives the same sums as walking each column on its own.
void blur_columns(int radius, const std::vector<uint8_t>& average, const TPixmap& source,
                  TPixmap& target, int width, int height) {
  const size_t bytes = size_t(width) * 4;
  const uint8_t* top = source.PixelPtr(0, 0);
  const WindowSteps steps = window_steps(radius, height, size_t(source.Pitch()));
  std::vector<uint32_t> sum(bytes, 0);
  for (const size_t offset : steps.first) {
    for (size_t b = 0; b < bytes; ++b) sum[b] += top[offset + b];
  }
  const bool by_shift = radius <= kMaxShiftRadius;
  const uint32_t multiplier = average_multiplier(std::min(radius, kMaxShiftRadius));
  for (int y = 0; y < height; ++y) {
    const uint8_t* entering = top + steps.entering[y];
    const uint8_t* leaving = top + steps.leaving[y];
    uint8_t* out = target.PixelPtr(0, y);
    if (by_shift) {
      for (size_t b = 0; b < bytes; ++b) {
        sum[b] = sum[b] + entering[b] - leaving[b];
        out[b] = uint8_t(sum[b] * multiplier >> kAverageShift);
      }
    } else {
      for (size_t b = 0; b < bytes; ++b) {
        sum[b] = sum[b] + entering[b] - leaving[b];
        out[b] = average[sum[b]];
      }
    }
  }
}

}  // namespace

void box_blur(int radius, TPixmap& image, TPixmap& scratch, int width, int height) {
  width = std::min({width, image.Width(), scratch.Width()});
  height = std::min({height, image.Height(), scratch.Height()});
  if (radius < 1 || width < 1 || height < 1) return;
  const std::vector<uint8_t> average = blur_average_table(radius);
  blur_rows(radius, average, image, scratch, width, height);
  blur_columns(radius, average, scratch, image, width, height);
}

// Halves the alpha of the old pattern and folds its lower half upside down onto the
// upper half. The work is in place and each column runs downward, so rows 300 to 598
// read partners that were already halved and end with a quarter of their alpha. Column
// 599 and row 599 stay as they were. Columns do not touch one another, so walking them
// side by side row by row gives the same result.
void fade_background(TPixmap& pattern) {
  if (pattern.Width() < kBackgroundSize || pattern.Height() < kBackgroundSize) return;
  uint8_t halved[256];
  for (int a = 0; a < 256; ++a) halved[a] = uint8_t(int(float(a) / 255.0f * 0.5f * 255.0f));
  const int last = kBackgroundSize - 1;
  for (int y = 0; y < last; ++y) {
    const uint8_t* partner = pattern.PixelPtr(0, last - y);
    uint8_t* out = pattern.PixelPtr(0, y);
    for (int x = 0; x < last; ++x) {
      const uint8_t alpha = halved[partner[x * 4 + 3]];
      out[x * 4 + 0] = 0xFF;
      out[x * 4 + 1] = 0xFF;
      out[x * 4 + 2] = 0xFF;
      out[x * 4 + 3] = alpha;
    }
  }
}

namespace {

// The walking brush. Its x runs from the mirror axis; every stamp lands twice, once on
// each side of the axis.
struct Walker {
  vec p{0.0f, 500.0f};    // position
  vec t{300.0f, 100.0f};  // target it steers toward
  vec h{1.0f, 0.0f};      // heading, length 1
  float k = 0.0001f;      // steering gain
  float s = 8.0f;         // brush size
  float ds = 0.0f;        // brush size change per step
  int j = 0;              // pending jump length
  int n = 0;              // steps left in the current plan
};

void quarter_turn(Walker& w) {
  w.h.set(-w.h.y, w.h.x);
  w.n = 0;
}

void jump_if_due(Walker& w, TPixmap& pattern) {
  if (!(w.j > 0 && w.j == w.n && w.p.x > float(w.j))) return;
  stamp_ring(pattern, kMirrorAxis - w.p.x, w.p.y, float(w.j), w.s);
  stamp_ring(pattern, kMirrorAxis + w.p.x, w.p.y, float(w.j), w.s);
  vec leap = w.h;
  leap.scale(float(w.j));
  w.p.addv(leap);
  w.j = 0;
}

// Only the right half is tested; the left one is its mirror image.
void turn_at_walls(Walker& w) {
  if (kMirrorAxis + w.p.x > kPatternEdge - w.s || w.p.y > kPatternEdge - w.s || w.p.y < w.s) {
    quarter_turn(w);
  }
}

// The walker veers off its own trail, but only where the alpha ahead is 0x61 to 0x7F:
// the pixel is compared as a signed number, so denser trails read as negative.
void turn_at_trails(Walker& w, const TPixmap& pattern) {
  const float ahead_x = kMirrorAxis + w.p.x + w.h.x;
  const float ahead_y = w.p.y + w.h.y;
  if (!(ahead_x < kPatternEdge - w.s && ahead_y < kPatternEdge - w.s && ahead_y > w.s)) return;
  const uint32_t ahead = pattern.ReadPixel(pixel_coordinate(ahead_x), pixel_coordinate(ahead_y));
  if (int32_t(ahead) > 0x60FFFFFF) quarter_turn(w);
}

void plan_next_stretch(Walker& w, Random& random) {
  w.n = random.RandomIntRange(2, 400);
  w.ds = float((random.RandomRange(2.0, 12.0) - w.s) / w.n);
  const int32_t target_x = random.RandomIntRange(0, 300);
  const int32_t target_y = random.RandomIntRange(0, 600);
  w.t.set(float(target_x), float(target_y));
  w.k = float(random.RandomRange(0.00033, 0.00001));
  if (w.n > 50 && random.RandomIntRange(0, 20) < 1) w.j = int(float(w.n) * 0.25f);
}

void walk_step(Walker& w, TPixmap& pattern, Random& random) {
  stamp_disc(pattern, kMirrorAxis - w.p.x, w.p.y, w.s);
  stamp_disc(pattern, kMirrorAxis + w.p.x, w.p.y, w.s);
  w.p.addv(w.h);
  w.h.x = w.h.x + (w.t.x - w.p.x) * w.k;
  w.h.y = w.h.y + (w.t.y - w.p.y) * w.k;
  w.h.normalize();
  w.n = w.n - 1;
  jump_if_due(w, pattern);
  turn_at_walls(w);
  turn_at_trails(w, pattern);
  if (w.n == 0) plan_next_stretch(w, random);
  w.s = w.s + w.ds;
}

void grow_pattern(TPixmap& pattern, Random& random, int32_t clock_millis) {
  random.SeedRandom(clock_millis);
  Walker walker;
  walker.n = random.RandomIntRange(30, 300);
  for (float step = 0.0f; step < float(kWalkSteps); step += 1.0f) {
    walk_step(walker, pattern, random);
  }
}

}  // namespace

void make_background(TPixmap& background, TPixmap& scratch, Random& random, int32_t clock_millis) {
  fade_background(background);
  box_blur(kBackgroundBlurRadius, background, scratch, kBackgroundSize, kBackgroundSize);
  grow_pattern(background, random, clock_millis);
}

TextureName make_pause_texture(Gl& gl, TPixmap& snapshot, TPixmap& scratch) {
  const int width = snapshot.Width();
  const int height = snapshot.Height();
  if (width > 0 && height > 0) gl.ReadPixels(width, height, snapshot.PixelPtr(0, 0));
  box_blur(kPauseBlurRadius, snapshot, scratch, width, height);
  box_blur(kPauseBlurRadius, snapshot, scratch, width, height);
  // The frame comes back bottom row first.
  snapshot = FlipPixmapRows(snapshot);
  return make_texture(gl, snapshot);
}

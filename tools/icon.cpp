#include "tools/icon.h"

#include <algorithm>
#include <cmath>

#include "render/textures.h"

namespace {

// Colours with premultiplied alpha, so that layers compose by a plain "over".
struct Paint {
  float r = 0, g = 0, b = 0, a = 0;
};

Paint Over(const Paint& top, const Paint& bottom) {
  const float rest = 1.0f - top.a;
  return {top.r + bottom.r * rest, top.g + bottom.g * rest, top.b + bottom.b * rest,
          top.a + bottom.a * rest};
}

// The sprite's bilinear sample at (x, y) of its own pixels, tinted, premultiplied.
Paint Sample(const TPixmap& sprite, float x, float y, float tint_r, float tint_g, float tint_b,
             float opacity) {
  const float fx = x - 0.5f, fy = y - 0.5f;
  const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
  const float tx = fx - float(x0), ty = fy - float(y0);
  Paint sum;
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      const float weight = (dx ? tx : 1.0f - tx) * (dy ? ty : 1.0f - ty);
      const uint32_t argb = sprite.ReadPixel(x0 + dx, y0 + dy);  // 0 outside
      const float alpha = float(argb >> 24) / 255.0f * weight;
      sum.r += float((argb >> 16) & 0xFF) / 255.0f * alpha;
      sum.g += float((argb >> 8) & 0xFF) / 255.0f * alpha;
      sum.b += float(argb & 0xFF) / 255.0f * alpha;
      sum.a += alpha;
    }
  }
  return {sum.r * tint_r * opacity, sum.g * tint_g * opacity, sum.b * tint_b * opacity,
          sum.a * opacity};
}

// A sprite placed on the icon, in icon units (0 to 1): its centre, the direction its top
// edge faces (degrees clockwise from up), how far its top and bottom edges lie ahead of and
// behind the centre, and half its width. The game stretches the ship's sprite this way.
struct Placement {
  float centre_x, centre_y, degrees, ahead, behind, half_width;
};

constexpr Placement Disc(float centre_x, float centre_y, float diameter) {
  return {centre_x, centre_y, 0.0f, diameter * 0.5f, diameter * 0.5f, diameter * 0.5f};
}

// Where icon point (u, v) falls in the sprite's pixels; along is 0 at its top, 1 at its
// bottom edge.
void ToSprite(const Placement& place, float u, float v, float& x, float& y, float& along) {
  const float radians = place.degrees * 3.14159265f / 180.0f;
  const float facing_x = std::sin(radians), facing_y = -std::cos(radians);
  const float du = u - place.centre_x, dv = v - place.centre_y;
  const float forward = du * facing_x + dv * facing_y;
  const float leftward = du * facing_y - dv * facing_x;
  along = (place.ahead - forward) / (place.ahead + place.behind);
  x = (place.half_width - leftward) / (2.0f * place.half_width) * float(kSpriteSize);
  y = along * float(kSpriteSize);
}

void ToSprite(const Placement& place, float u, float v, float& x, float& y) {
  float along;
  ToSprite(place, u, v, x, y, along);
}

struct Sprites {
  TPixmap ship = make_ship_pixmap();
  TPixmap shade = make_shade_pixmap();
  TPixmap glow = make_glow_pixmap();
  TPixmap ring = make_ring_pixmap();
};

constexpr float kDiscRadius = 0.47f;
constexpr Placement kGlow = Disc(0.5f, 0.5f, 0.95f);
constexpr Placement kRing = Disc(0.72f, 0.28f, 0.3f);
constexpr Placement kBalls[] = {Disc(0.58f, 0.2f, 0.11f),  Disc(0.63f, 0.14f, 0.09f),
                                Disc(0.83f, 0.4f, 0.1f),   Disc(0.86f, 0.31f, 0.08f),
                                Disc(0.76f, 0.47f, 0.09f), Disc(0.52f, 0.29f, 0.07f)};
// The ship as the game draws it: a glowing body, orange at the nose and cyan at the tail,
// with a black core laid over it that leaves a coloured rim.
constexpr float kShipUnit = 0.16f;
constexpr float kShipX = 0.4f, kShipY = 0.62f, kShipDegrees = 45.0f;
constexpr Placement kShipBody{kShipX, kShipY, kShipDegrees, 1.8f * kShipUnit, kShipUnit, kShipUnit};
constexpr Placement kShipCore{
    kShipX, kShipY, kShipDegrees, 2.0f * 0.83f * kShipUnit, 0.83f * kShipUnit, 0.83f * kShipUnit};

Paint Add(const Paint& light, const Paint& below) {
  return {below.r + light.r, below.g + light.g, below.b + light.b, below.a};
}

// The icon's paint at (u, v), in icon units.
Paint PaintAt(const Sprites& sprites, float u, float v) {
  const float du = u - 0.5f, dv = v - 0.5f;
  const float from_centre = std::sqrt(du * du + dv * dv) / kDiscRadius;
  if (from_centre > 1.0f) return {};
  // The backdrop: the start colour in the middle fading to the play colour at the rim.
  const float t = from_centre * from_centre;
  Paint paint{0.21f + (0.11f - 0.21f) * t, 0.35f + (0.25f - 0.35f) * t, 0.30f + (0.20f - 0.30f) * t,
              1.0f};
  float x, y, along;
  ToSprite(kGlow, u, v, x, y);
  paint = Over(Sample(sprites.glow, x, y, 0.6f, 1.0f, 0.9f, 0.3f), paint);
  for (const Placement& ball : kBalls) {
    ToSprite(ball, u, v, x, y);
    paint = Over(Sample(sprites.shade, x, y, 0.6f, 1.0f, 0.5f, 0.8f), paint);
  }
  ToSprite(kRing, u, v, x, y);
  paint = Add(Sample(sprites.ring, x, y, 1.0f, 0.85f, 0.5f, 0.9f), paint);
  ToSprite(kShipBody, u, v, x, y, along);
  const float nose = 1.0f - std::clamp(along, 0.0f, 1.0f);
  paint =
      Add(Sample(sprites.ship, x, y, nose, 0.5f * nose + (1.0f - nose), 1.0f - nose, 1.0f), paint);
  ToSprite(kShipCore, u, v, x, y);
  return Over(Sample(sprites.ship, x, y, 0.0f, 0.0f, 0.0f, 1.0f), paint);
}

uint8_t Byte(float value) {
  return uint8_t(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

}  // namespace

TPixmap MakeIcon(int size) {
  const Sprites sprites;
  TPixmap icon = TPixmap::Create(size, size);
  constexpr int kSamples = 4;  // per axis and pixel, for smooth edges at small sizes
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      Paint sum;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const float u = (float(px) + (float(sx) + 0.5f) / kSamples) / float(size);
          const float v = (float(py) + (float(sy) + 0.5f) / kSamples) / float(size);
          const Paint p = PaintAt(sprites, u, v);
          sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
        }
      }
      const float alpha = sum.a / float(kSamples * kSamples);
      uint8_t* pixel = icon.PixelPtr(px, py);
      // Stored straight, as PNG wants it.
      const float unpremultiply = sum.a > 0.0f ? 1.0f / sum.a : 0.0f;
      pixel[0] = Byte(sum.r * unpremultiply);
      pixel[1] = Byte(sum.g * unpremultiply);
      pixel[2] = Byte(sum.b * unpremultiply);
      pixel[3] = Byte(alpha);
    }
  }
  return icon;
}

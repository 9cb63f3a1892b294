#include <gtest/gtest.h>

#include <cmath>

#include "render/textures.h"

// Expected values come from the formulas worked through by hand or with a short python3
// script that rounds every step to float32 (struct.pack('f', ...)).
namespace {

uint32_t alpha_at(const TPixmap& pixmap, int x, int y) {
  return pixmap.ReadPixel(x, y) >> 24;
}

TEST(Sprites, AreSixtyFourPixelsSquare) {
  for (const TPixmap& sprite :
       {make_ship_pixmap(), make_shade_pixmap(), make_glow_pixmap(), make_ring_pixmap()}) {
    EXPECT_EQ(sprite.Width(), 64);
    EXPECT_EQ(sprite.Height(), 64);
  }
}

TEST(Sprites, ShipIsADropPointingUp) {
  const TPixmap ship = make_ship_pixmap();
  for (int x = 0; x < 64; ++x) EXPECT_EQ(ship.ReadPixel(x, 0), 0u) << x;
  EXPECT_EQ(ship.ReadPixel(32, 32), 0xFFFFFFFFu);
  // f = 1 - (31/32)^2; 255 x (1 - (1 - f)^2) = 30.4
  EXPECT_EQ(ship.ReadPixel(32, 63), 0x1EFFFFFFu);
  // Row 16: half-width 0.75 x 16 x sqrt(1 - 0.25) = 10.4, so ink runs from 22 to 42.
  EXPECT_EQ(ship.ReadPixel(21, 16), 0u);
  EXPECT_EQ(ship.ReadPixel(22, 16), 0x1BFFFFFFu);
  EXPECT_EQ(ship.ReadPixel(32, 16), 0xEFFFFFFFu);
  EXPECT_EQ(ship.ReadPixel(42, 16), 0x1BFFFFFFu);
  EXPECT_EQ(ship.ReadPixel(43, 16), 0u);
  // Narrow near the tip, wide near the base.
  EXPECT_EQ(ship.ReadPixel(36, 4), 0u);
  EXPECT_GT(alpha_at(ship, 52, 48), 0u);
}

TEST(Sprites, ShadeAndGlowAreSoftDiscs) {
  const TPixmap shade = make_shade_pixmap();
  const TPixmap glow = make_glow_pixmap();
  EXPECT_EQ(shade.ReadPixel(32, 32), 0xFF202020u);
  EXPECT_EQ(glow.ReadPixel(32, 32), 0xFFFFFFFFu);
  // Half way out: f = 0.75, 255 x 0.75 = 191.25.
  EXPECT_EQ(shade.ReadPixel(48, 32), 0xBF202020u);
  EXPECT_EQ(glow.ReadPixel(32, 48), 0xBFFFFFFFu);
  // On the inscribed circle and in the corners nothing is written.
  EXPECT_EQ(shade.ReadPixel(32, 0), 0u);
  EXPECT_EQ(glow.ReadPixel(0, 32), 0u);
  EXPECT_EQ(shade.ReadPixel(0, 0), 0u);
  EXPECT_EQ(glow.ReadPixel(0, 0), 0u);
  EXPECT_EQ(glow.ReadPixel(63, 63), 0u);
}

TEST(Sprites, RingIsBrightNearItsRimAndClearInside) {
  const TPixmap ring = make_ring_pixmap();
  EXPECT_EQ(ring.ReadPixel(32, 32), 0x00FFFFFFu);
  EXPECT_EQ(ring.ReadPixel(48, 32), 0x00FFFFFFu);  // f = 0.75
  EXPECT_EQ(ring.ReadPixel(0, 0), 0u);
  // f = 1 - (28/32)^2 = 0.234375; 255 x sin(84.375 degrees) = 253.8
  EXPECT_EQ(ring.ReadPixel(60, 32), 0xFDFFFFFFu);

  uint32_t most = 0;
  for (int x = 0; x < 64; ++x) {
    for (int y = 0; y < 64; ++y) most = std::max(most, alpha_at(ring, x, y));
  }
  EXPECT_EQ(most, 254u);
  // f = 0.25 lies sqrt(0.75) x 32 = 27.7 pixels out.
  for (int x = 0; x < 64; ++x) {
    for (int y = 0; y < 64; ++y) {
      if (alpha_at(ring, x, y) != most) continue;
      EXPECT_NEAR(std::hypot(x - 32.0, y - 32.0), 27.7, 0.5) << x << "," << y;
    }
  }
}

}  // namespace

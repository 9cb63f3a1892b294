#include <gtest/gtest.h>

#include "render/textures.h"

// Expected alphas are worked out with python3, rounding each step to float32.
namespace {

uint32_t alpha_at(const TPixmap& pixmap, int x, int y) {
  return pixmap.ReadPixel(x, y) >> 24;
}

uint32_t white(uint32_t alpha) {
  return alpha << 24 | 0xFFFFFF;
}

// Counts the pixels that are not 0 in columns or rows from `from` on.
int written_from(const TPixmap& pixmap, int from) {
  int count = 0;
  for (int y = 0; y < pixmap.Height(); ++y) {
    for (int x = 0; x < pixmap.Width(); ++x) {
      if ((x >= from || y >= from) && pixmap.ReadPixel(x, y) != 0) ++count;
    }
  }
  return count;
}

int written(const TPixmap& pixmap) {
  return written_from(pixmap, 0);
}

TEST(StampDisc, AddsASoftDiscToTheAlpha) {
  TPixmap pixmap = TPixmap::Create(600, 600);
  stamp_disc(pixmap, 100.0f, 100.0f, 8.0f);
  // r = 4, the square runs from 96 to 103; the centre gets 0.1 x 255 = 25.5.
  EXPECT_EQ(pixmap.ReadPixel(100, 100), white(25));
  EXPECT_EQ(pixmap.ReadPixel(97, 100), white(11));  // u = -0.75
  EXPECT_EQ(pixmap.ReadPixel(99, 100), white(23));  // u = -0.25
  EXPECT_EQ(pixmap.ReadPixel(96, 100), 0u);         // f = 0: left alone
  EXPECT_EQ(pixmap.ReadPixel(104, 100), 0u);
  EXPECT_EQ(pixmap.ReadPixel(96, 96), 0u);
}

TEST(StampDisc, SaturatesAtFullAlpha) {
  TPixmap pixmap = TPixmap::Create(600, 600);
  const uint32_t expected[12] = {25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255, 255};
  for (const uint32_t alpha : expected) {
    stamp_disc(pixmap, 300.0f, 300.0f, 8.0f);
    EXPECT_EQ(pixmap.ReadPixel(300, 300), white(alpha));
  }
}

TEST(StampDisc, IsCutAtThePatternEdges) {
  // One larger pixmap shows that nothing lands at 600 or beyond.
  TPixmap pixmap = TPixmap::Create(610, 610);
  stamp_disc(pixmap, 598.0f, 598.0f, 8.0f);
  EXPECT_EQ(pixmap.ReadPixel(598, 598), white(25));
  EXPECT_EQ(alpha_at(pixmap, 599, 599), 22u);  // u = v = 0.25
  EXPECT_EQ(written_from(pixmap, 600), 0);

  TPixmap corner = TPixmap::Create(600, 600);
  stamp_disc(corner, 1.0f, 1.0f, 8.0f);
  // x0 = -3: the columns -3 to -1 are skipped, the rest keep their place in the disc.
  EXPECT_EQ(corner.ReadPixel(1, 1), white(25));
  EXPECT_EQ(corner.ReadPixel(0, 1), white(23));
  EXPECT_EQ(corner.ReadPixel(2, 1), white(23));
  EXPECT_EQ(corner.ReadPixel(1, 0), white(23));
}

TEST(StampDisc, EntirelyOutsideWritesNothing) {
  TPixmap pixmap = TPixmap::Create(610, 610);
  stamp_disc(pixmap, -20.0f, 300.0f, 12.0f);
  stamp_disc(pixmap, 300.0f, -20.0f, 12.0f);
  stamp_disc(pixmap, 606.0f, 300.0f, 12.0f);
  stamp_disc(pixmap, 300.0f, 700.0f, 12.0f);
  stamp_disc(pixmap, 300.0f, 300.0f, 0.0f);
  EXPECT_EQ(written(pixmap), 0);
}

TEST(StampRing, ClearsTheInsideAndDrawsARim) {
  TPixmap full = TPixmap::Create(600, 600);
  for (int y = 250; y < 350; ++y) {
    for (int x = 250; x < 350; ++x) full.WritePixel(x, y, white(255));
  }
  TPixmap empty = TPixmap::Create(600, 600);
  stamp_ring(full, 300.0f, 300.0f, 40.0f, 8.0f);
  stamp_ring(empty, 300.0f, 300.0f, 40.0f, 8.0f);
  // r = 20, w = 0.4. Centre: a x (1 - 8) < 0 and no rim.
  EXPECT_EQ(full.ReadPixel(300, 300), white(0));
  EXPECT_EQ(full.ReadPixel(310, 300), white(0));
  // u = 0.9, f = 0.19: below w / 2 the old alpha stays, the rim sin(85.5) adds to it.
  EXPECT_EQ(full.ReadPixel(318, 300), white(255));
  EXPECT_EQ(empty.ReadPixel(318, 300), white(254));
  // u = 0.8, f = 0.36: the old alpha is cleared, the rim sin(162) = 0.309 remains.
  EXPECT_EQ(full.ReadPixel(316, 300), white(78));
  EXPECT_EQ(empty.ReadPixel(316, 300), white(78));
  // Outside the disc the pattern is kept.
  EXPECT_EQ(full.ReadPixel(280, 300), white(255));
  EXPECT_EQ(full.ReadPixel(283, 283), white(255));
  EXPECT_EQ(empty.ReadPixel(280, 300), 0u);
}

TEST(StampRing, IsCutAtThePatternEdges) {
  TPixmap pixmap = TPixmap::Create(640, 640);
  stamp_ring(pixmap, 595.0f, 5.0f, 30.0f, 10.0f);
  stamp_ring(pixmap, 5.0f, 595.0f, 30.0f, 10.0f);
  EXPECT_EQ(written_from(pixmap, 600), 0);
  EXPECT_GT(written(pixmap), 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "render/textures.h"

namespace {

int alpha_at(const TPixmap& pixmap, int x, int y) {
  return int(pixmap.ReadPixel(x, y) >> 24);
}

bool same_pixels(const TPixmap& a, const TPixmap& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(a.PixelPtr(0, 0), b.PixelPtr(0, 0), size_t(a.Pitch()) * a.Height()) == 0;
}

TPixmap grown(int32_t clock_millis, int32_t seed_before = 1) {
  Random random;
  random.SeedRandom(seed_before);
  TPixmap background = TPixmap::Create(600, 600);
  TPixmap scratch = TPixmap::Create(600, 600);
  make_background(background, scratch, random, clock_millis);
  return background;
}

TEST(FadeBackground, HalvesAndFoldsInPlace) {
  TPixmap pattern = TPixmap::Create(600, 600);
  const auto old_pixel = [](int x, int y) {
    return uint32_t((x * 7 + y * 13) % 256) << 24 | uint32_t(x * 31 + y) % 0x1000000;
  };
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 600; ++x) pattern.WritePixel(x, y, old_pixel(x, y));
  }
  fade_background(pattern);
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 600; ++x) {
      uint32_t expected;
      if (x == 599 || y == 599) {
        expected = old_pixel(x, y);  // never touched
      } else if (y < 300) {
        expected = (old_pixel(x, 599 - y) >> 24) / 2 << 24 | 0xFFFFFF;
      } else {
        // Its partner was already rewritten: a quarter of its own alpha.
        expected = (old_pixel(x, y) >> 24) / 2 / 2 << 24 | 0xFFFFFF;
      }
      ASSERT_EQ(pattern.ReadPixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST(MakeBackground, FirstPatternIsMirroredAboutTheMiddle) {
  for (const int32_t clock : {1, 999, 123456789}) {
    const TPixmap background = grown(clock);
    long inked = 0;
    long mismatched = 0;
    for (int y = 0; y < 600; ++y) {
      long left = 0;
      long right = 0;
      for (int x = 0; x < 600; ++x) {
        const int a = alpha_at(background, x, y);
        (x < 300 ? left : right) += a;
        if (a != 0) ++inked;
        // The mirrored stamps may land one pixel off after truncation.
        int closest = 256;
        for (int d = -1; d <= 1; ++d) {
          closest = std::min(closest, std::abs(a - alpha_at(background, 599 - x + d, y)));
        }
        if (closest > 20) ++mismatched;
      }
      if (left + right > 2000) {
        EXPECT_LT(std::labs(left - right), (left + right) / 20) << "row " << y;
      }
    }
    EXPECT_GT(inked, 1000) << clock;
    EXPECT_LT(mismatched, inked / 50) << clock;
  }
}

TEST(MakeBackground, StaysInsideTheSixHundredSquare) {
  Random random;
  TPixmap background = TPixmap::Create(640, 640);
  TPixmap scratch = TPixmap::Create(640, 640);
  for (const int32_t clock : {7, 8, 9}) {
    make_background(background, scratch, random, clock);
    for (int y = 0; y < 640; ++y) {
      for (int x = 600; x < 640; ++x) {
        ASSERT_EQ(background.ReadPixel(x, y), 0u);
        ASSERT_EQ(background.ReadPixel(y, x), 0u);
      }
    }
  }
}

TEST(MakeBackground, OneClockReadingGrowsOnePattern) {
  // The generator's earlier state does not matter: the walk reseeds from the clock.
  EXPECT_TRUE(same_pixels(grown(4242, 1), grown(4242, 99)));
  EXPECT_FALSE(same_pixels(grown(4242), grown(4243)));
}

}  // namespace

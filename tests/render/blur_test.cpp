#include <gtest/gtest.h>

#include <cstring>

#include "platform/random.h"
#include "render/textures.h"
#include "tests/render/reference_blur.h"

namespace {

TPixmap filled(int width, int height, uint32_t argb) {
  TPixmap pixmap = TPixmap::Create(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixmap.WritePixel(x, y, argb);
  }
  return pixmap;
}

reference::Image bytes_of(const TPixmap& pixmap) {
  const uint8_t* begin = pixmap.PixelPtr(0, 0);
  return reference::Image(begin, begin + size_t(pixmap.Width()) * pixmap.Height() * 4);
}

TEST(BoxBlur, LeavesZeroAndConstantImagesAlone) {
  for (const uint32_t word : {0x00000000u, 0x80FF4001u, 0xFFFFFFFFu}) {
    for (int radius = 1; radius <= 4; ++radius) {
      TPixmap image = filled(13, 9, word);
      TPixmap scratch = TPixmap::Create(13, 9);
      box_blur(radius, image, scratch, 13, 9);
      EXPECT_EQ(bytes_of(image), bytes_of(filled(13, 9, word))) << std::hex << word << radius;
    }
  }
}

TEST(BoxBlur, SpreadsOnePixelOverTheWindowRightOfCentre) {
  TPixmap image = TPixmap::Create(16, 16);
  TPixmap scratch = TPixmap::Create(16, 16);
  image.WritePixel(8, 8, 0xC8C8C8C8);  // 200 in every byte
  box_blur(2, image, scratch, 16, 16);
  // Output x covers x - 1 ... x + 2, so pixel 8 reaches 6 ... 9 with 200 / 4 = 50 per
  // pass; after both passes 50 / 4 = 12 over the 4 x 4 block.
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool inside = x >= 6 && x <= 9 && y >= 6 && y <= 9;
      EXPECT_EQ(image.ReadPixel(x, y), inside ? 0x0C0C0C0Cu : 0u) << x << "," << y;
    }
  }
  // The scratch keeps the horizontal pass: row 8 only.
  EXPECT_EQ(scratch.ReadPixel(6, 8), 0x32323232u);
  EXPECT_EQ(scratch.ReadPixel(5, 8), 0u);
  EXPECT_EQ(scratch.ReadPixel(8, 7), 0u);
}

TEST(BoxBlur, MirrorsAtTheStartAndWrapsPastTheEnd) {
  // A bright column at x = 1 in a 16-wide image; columns stay constant vertically.
  TPixmap image = TPixmap::Create(16, 6);
  TPixmap scratch = TPixmap::Create(16, 6);
  for (int y = 0; y < 6; ++y) image.WritePixel(1, y, 0xC8C8C8C8);
  box_blur(2, image, scratch, 16, 6);
  // x = 0 samples 1, 0, 1, 2 (mirrored): pixel 1 twice, 400 / 4 = 100.
  // x = 14 samples 13, 14, 15, 1 and x = 15 samples 14, 15, 1, 2 (wrapped): 50 each.
  const uint32_t expected[16] = {100, 50, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50, 50};
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(image.ReadPixel(x, y), expected[x] * 0x01010101u) << x << "," << y;
    }
  }
}

TEST(BoxBlur, MatchesTheDirectWindowSum) {
  struct Case {
    int radius, width, height;
  };
  // Small radii as the game uses them, and the largest and first radius past the range
  // where the averages are formed by multiplication rather than looked up.
  const Case cases[] = {{1, 23, 17}, {2, 23, 17},     {3, 23, 17},
                        {4, 23, 17}, {127, 260, 130}, {130, 265, 135}};
  Random random;
  random.SeedRandom(77);
  for (const Case& c : cases) {
    TPixmap image = TPixmap::Create(c.width, c.height);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        image.WritePixel(x, y, uint32_t(random.RandomIntRange(0, 0x7FFFFFFF)) * 2u + 1u);
      }
    }
    const reference::Image expected = reference::blur(bytes_of(image), c.width, c.height, c.radius);
    TPixmap scratch = TPixmap::Create(c.width, c.height);
    box_blur(c.radius, image, scratch, c.width, c.height);
    EXPECT_EQ(bytes_of(image), expected) << "radius " << c.radius;
  }
}

TEST(BoxBlur, StaysInsideItsPixmaps) {
  // A radius longer than the lines and a size larger than the pixmaps.
  TPixmap image = filled(6, 5, 0x40404040);
  TPixmap scratch = TPixmap::Create(6, 5);
  box_blur(20, image, scratch, 6, 5);
  EXPECT_EQ(bytes_of(image), bytes_of(filled(6, 5, 0x40404040)));
  box_blur(2, image, scratch, 600, 600);
  EXPECT_EQ(bytes_of(image), bytes_of(filled(6, 5, 0x40404040)));
  box_blur(0, image, scratch, 6, 5);
  EXPECT_EQ(bytes_of(image), bytes_of(filled(6, 5, 0x40404040)));
}

}  // namespace

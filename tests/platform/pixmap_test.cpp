#include "platform/pixmap.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

#include "platform/stream.h"

namespace {

TEST(Pixmap, StoresArgbIntegersAsRedGreenBlueAlphaBytes) {
  TPixmap pixmap = TPixmap::Create(3, 2);
  EXPECT_EQ(pixmap.Pitch(), 12);
  pixmap.WritePixel(1, 1, 0x80112233u);
  const uint8_t* bytes = pixmap.PixelPtr(1, 1);
  EXPECT_EQ(bytes - pixmap.PixelPtr(0, 0), 16);
  EXPECT_EQ(bytes[0], 0x11);
  EXPECT_EQ(bytes[1], 0x22);
  EXPECT_EQ(bytes[2], 0x33);
  EXPECT_EQ(bytes[3], 0x80);
  EXPECT_EQ(pixmap.ReadPixel(1, 1), 0x80112233u);
  EXPECT_EQ(pixmap.ReadPixel(0, 0), 0u);
}

TEST(Pixmap, AccessOutsideTheImageIsHarmless) {
  TPixmap pixmap = TPixmap::Create(2, 2);
  pixmap.WritePixel(-1, 0, 0xffffffffu);
  pixmap.WritePixel(2, 1, 0xffffffffu);
  EXPECT_EQ(pixmap.ReadPixel(-1, 0), 0u);
  EXPECT_EQ(pixmap.ReadPixel(0, 2), 0u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(pixmap.ReadPixel(x, y), 0u);
}

TEST(Pixmap, RowAlignmentPadsThePitch) {
  EXPECT_EQ(TPixmap::Create(3, 1, PixelFormat::RGBA8888, 16).Pitch(), 16);
}

TEST(Pixmap, FlipTurnsTheRowsUpsideDown) {
  TPixmap pixmap = TPixmap::Create(2, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) pixmap.WritePixel(x, y, 0xff000000u | (y << 8) | x);
  const TPixmap flipped = FlipPixmapRows(pixmap);
  ASSERT_EQ(flipped.Width(), 2);
  ASSERT_EQ(flipped.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(flipped.ReadPixel(x, y), pixmap.ReadPixel(x, 2 - y));
}

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgba) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
  std::vector<uint8_t> png(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr));
  png.resize(size);
  return png;
}

TEST(Pixmap, PngRoundTripKeepsEveryByte) {
  std::vector<uint8_t> rgba(5 * 3 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 37 + 1);
  const std::vector<uint8_t> png = EncodePng(5, 3, rgba);
  EmbeddedFiles files;
  files.RegisterEmbeddedFile("picture.png", png.data(), png.size());
  const auto pixmap = LoadPixmapFile(files, "incbin::picture.png");
  ASSERT_TRUE(pixmap);
  ASSERT_EQ(pixmap->Width(), 5);
  ASSERT_EQ(pixmap->Height(), 3);
  EXPECT_EQ(std::vector<uint8_t>(pixmap->PixelPtr(0, 0), pixmap->PixelPtr(0, 0) + rgba.size()),
            rgba);
}

TEST(Pixmap, CorruptOrMissingPngGivesNothing) {
  std::vector<uint8_t> rgba(4 * 4 * 4, 200);
  std::vector<uint8_t> png = EncodePng(4, 4, rgba);
  EmbeddedFiles files;
  std::vector<uint8_t> truncated(png.begin(), png.begin() + png.size() / 2);
  std::vector<uint8_t> garbled = png;
  for (size_t i = 40; i < garbled.size(); i += 3) garbled[i] ^= 0x5a;
  const uint8_t text[] = "not a png at all";
  files.RegisterEmbeddedFile("truncated.png", truncated.data(), truncated.size());
  files.RegisterEmbeddedFile("garbled.png", garbled.data(), garbled.size());
  files.RegisterEmbeddedFile("text.png", text, sizeof text);
  EXPECT_FALSE(LoadPixmapFile(files, "incbin::truncated.png"));
  EXPECT_FALSE(LoadPixmapFile(files, "incbin::garbled.png"));
  EXPECT_FALSE(LoadPixmapFile(files, "incbin::text.png"));
  EXPECT_FALSE(LoadPixmapFile(files, "incbin::missing.png"));
}

}  // namespace

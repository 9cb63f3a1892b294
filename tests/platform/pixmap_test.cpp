#include "platform/pixmap.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <zlib.h>

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

long PeakMemoryKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  auto put = [&png](uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(uint8_t(value >> shift));
  };
  put(uint32_t(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  put(uint32_t(crc32(0, png.data() + start, uInt(png.size() - start))));
}

// A black one-bit picture, squeezed as hard as zlib can: the most pixels a byte of PNG
// can hold in practice. claimed_side forges the size its header states.
std::vector<uint8_t> BlackPng(uint32_t side, uint32_t claimed_side) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<uint8_t> header(13, 0);
  for (int i = 0; i < 4; ++i) header[i] = header[4 + i] = uint8_t(claimed_side >> (24 - 8 * i));
  header[8] = 1;  // bit depth 1, greyscale, no interlace
  PutChunk(png, "IHDR", header);
  const std::vector<uint8_t> rows(side * (1 + (side + 7) / 8), 0);
  uLongf packed_size = compressBound(uLong(rows.size()));
  std::vector<uint8_t> packed(packed_size);
  EXPECT_EQ(compress2(packed.data(), &packed_size, rows.data(), uLong(rows.size()), 9), Z_OK);
  packed.resize(packed_size);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return png;
}

// No file can hold more than 8256 pixels per byte, so a header that claims more is
// refused before its picture is allocated, while the most compressible genuine picture
// still loads.
TEST(Pixmap, AHeaderClaimingMorePixelsThanTheFileCanHoldIsRefused) {
  const std::vector<uint8_t> forged = BlackPng(8, 16000);
  const long peak_kib = PeakMemoryKib();
  EXPECT_FALSE(DecodePng(forged.data(), forged.size()));
  EXPECT_LT(PeakMemoryKib() - peak_kib, 64 << 10);  // its claim is a gigabyte

  const uint32_t side = 3000;
  const std::vector<uint8_t> black = BlackPng(side, side);
  ASSERT_GT(uint64_t{side} * side, black.size() * 5000) << "not compressed enough to tell";
  const auto pixmap = DecodePng(black.data(), black.size());
  ASSERT_TRUE(pixmap);
  EXPECT_EQ(pixmap->Width(), int(side));
  EXPECT_EQ(pixmap->ReadPixel(side - 1, side - 1), 0xff000000u);
}

}  // namespace

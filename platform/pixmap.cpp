#include "platform/pixmap.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "platform/stream.h"

namespace {
// Guards decoding against absurd header sizes (a corrupt or hostile PNG).
constexpr png_uint_32 kMaxPngSide = 16384;
// Deflate packs at most 1032 bytes into one, and a PNG row stores at least one bit a
// pixel, so no file holds more than 8 x 1032 pixels per byte of its own. A header that
// claims more belongs to a truncated or forged file, which would otherwise get its whole
// picture allocated before the missing data is noticed.
constexpr uint64_t kMostPixelsPerFileByte = 8 * 1032;

bool PlausibleSize(const png_image& image, size_t file_size) {
  if (image.width == 0 || image.height == 0) return false;
  if (image.width > kMaxPngSide || image.height > kMaxPngSide) return false;
  return uint64_t{image.width} * image.height <= kMostPixelsPerFileByte * file_size;
}
}  // namespace

TPixmap::TPixmap(int width, int height, int pitch, PixelFormat format)
    : width_(width),
      height_(height),
      pitch_(pitch),
      format_(format),
      pixels_(size_t(pitch) * size_t(height)) {}

TPixmap TPixmap::Create(int width, int height, PixelFormat format, int align) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  align = std::max(align, 1);
  const int row = width * kBytesPerPixel;
  const int pitch = (row + align - 1) / align * align;
  return TPixmap(width, height, pitch, format);
}

uint32_t TPixmap::ReadPixel(int x, int y) const {
  if (!Contains(x, y)) return 0;
  const uint8_t* p = PixelPtr(x, y);
  return uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

void TPixmap::WritePixel(int x, int y, uint32_t argb) {
  if (!Contains(x, y)) return;
  uint8_t* p = PixelPtr(x, y);
  p[0] = uint8_t(argb >> 16);
  p[1] = uint8_t(argb >> 8);
  p[2] = uint8_t(argb);
  p[3] = uint8_t(argb >> 24);
}

TPixmap FlipPixmapRows(const TPixmap& source) {
  TPixmap flipped = TPixmap::Create(source.Width(), source.Height(), source.Format());
  const size_t row_bytes = size_t(source.Width()) * TPixmap::kBytesPerPixel;
  for (int y = 0; y < source.Height(); ++y) {
    std::memcpy(flipped.PixelPtr(0, y), source.PixelPtr(0, source.Height() - 1 - y), row_bytes);
  }
  return flipped;
}

std::optional<TPixmap> DecodePng(const uint8_t* bytes, size_t size) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes, size)) return std::nullopt;
  if (!PlausibleSize(image, size)) {
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_RGBA;
  TPixmap pixmap = TPixmap::Create(int(image.width), int(image.height));
  if (!png_image_finish_read(&image, nullptr, pixmap.PixelPtr(0, 0), pixmap.Pitch(), nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return pixmap;
}

std::optional<TPixmap> LoadPixmapFile(const EmbeddedFiles& files, std::string_view url) {
  auto stream = OpenReadStream(files, url);
  if (!stream) return std::nullopt;
  const auto bytes = stream->Bytes();
  return DecodePng(bytes.data(), bytes.size());
}

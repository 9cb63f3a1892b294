#pragma once
// CPU-side images. Pixel memory holds red, green, blue, alpha bytes in that order,
// rows top to bottom, so it can go to OpenGL as RGBA unsigned bytes unchanged.
// ReadPixel and WritePixel speak 0xAARRGGBB integers whatever the memory order.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class EmbeddedFiles;

enum class PixelFormat { RGBA8888 };

class TPixmap {
 public:
  static constexpr int kBytesPerPixel = 4;

  // A width x height image with rows padded to a multiple of align bytes, all zero.
  static TPixmap Create(int width, int height, PixelFormat format = PixelFormat::RGBA8888,
                        int align = 4);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Pitch() const { return pitch_; }
  PixelFormat Format() const { return format_; }

  // Outside the image a read gives 0 and a write does nothing.
  uint32_t ReadPixel(int x, int y) const;
  void WritePixel(int x, int y, uint32_t argb);
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  uint8_t* PixelPtr(int x, int y) { return pixels_.data() + Offset(x, y); }
  const uint8_t* PixelPtr(int x, int y) const { return pixels_.data() + Offset(x, y); }

 private:
  TPixmap(int width, int height, int pitch, PixelFormat format);
  size_t Offset(int x, int y) const { return size_t(y) * pitch_ + size_t(x) * kBytesPerPixel; }

  int width_ = 0;
  int height_ = 0;
  int pitch_ = 0;
  PixelFormat format_ = PixelFormat::RGBA8888;
  std::vector<uint8_t> pixels_;
};

// A new pixmap whose row i is row (height - 1 - i) of the source.
TPixmap FlipPixmapRows(const TPixmap& source);

// Decodes a PNG opened from url (see OpenReadStream); nothing for a missing or corrupt file.
std::optional<TPixmap> LoadPixmapFile(const EmbeddedFiles& files, std::string_view url);
// Decodes a PNG held in memory; nothing when it is not a readable PNG.
std::optional<TPixmap> DecodePng(const uint8_t* bytes, size_t size);

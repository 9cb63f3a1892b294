#include "tools/png_file.h"

#include <png.h>

bool WritePngFile(const TPixmap& pixmap, const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(pixmap.Width());
  image.height = png_uint_32(pixmap.Height());
  image.format = PNG_FORMAT_RGBA;
  const int written = png_image_write_to_file(&image, path.c_str(), 0, pixmap.PixelPtr(0, 0),
                                              pixmap.Pitch(), nullptr);
  png_image_free(&image);
  return written != 0;
}

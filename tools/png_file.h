#pragma once
// Writing pixmaps as PNG files, for the tools that make the desktop icons and the
// screenshot. The game itself writes no files.

#include <string>

#include "platform/pixmap.h"

// Writes the pixmap as an 8-bit RGBA PNG; false when the file cannot be written.
bool WritePngFile(const TPixmap& pixmap, const std::string& path);

#pragma once
// Screenshots of a window as the X server shows it. Kept apart from the tests because
// the X11 headers define macros that clash with GoogleTest's names.

#include <cstddef>
#include <cstdint>
#include <vector>

struct SDL_Window;

struct Screenshot {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, rows top to bottom
  uint32_t At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Empty when the window is not on an X server.
Screenshot TakeScreenshot(SDL_Window* window);

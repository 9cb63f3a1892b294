#include "tests/game/screenshot.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

Screenshot TakeScreenshot(SDL_Window* window) {
  Screenshot shot;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return shot;
  Display* display = info.info.x11.display;
  const Window handle = info.info.x11.window;
  XSync(display, False);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, handle, &attributes)) return shot;
  XImage* image =
      XGetImage(display, handle, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (!image) return shot;
  shot.width = attributes.width;
  shot.height = attributes.height;
  shot.pixels.reserve(size_t(shot.width) * shot.height);
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      shot.pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF);
  XDestroyImage(image);
  return shot;
}

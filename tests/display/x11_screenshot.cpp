// x11_screenshot.cpp — XGetImage of an SDL window, converted to RGB.
#include "tests/display/x11_screenshot.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

Screenshot GrabWindow(SDL_Window* window) {
  Screenshot shot;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return shot;
  Display* display = info.info.x11.display;
  XSync(display, False);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, info.info.x11.window, &attributes);
  XImage* image = XGetImage(display, info.info.x11.window, 0, 0, attributes.width,
                            attributes.height, AllPlanes, ZPixmap);
  if (!image) return shot;
  auto channel = [](unsigned long pixel, unsigned long mask) {
    if (mask == 0) return uint8_t{0};
    int shift = __builtin_ctzl(mask);
    unsigned long max = mask >> shift;
    return uint8_t(((pixel & mask) >> shift) * 255 / max);
  };
  shot.width = attributes.width;
  shot.height = attributes.height;
  shot.rgb.resize(size_t(shot.width) * shot.height * 3);
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      unsigned long p = XGetPixel(image, x, y);
      uint8_t* out = &shot.rgb[(size_t(y) * shot.width + x) * 3];
      out[0] = channel(p, image->red_mask);
      out[1] = channel(p, image->green_mask);
      out[2] = channel(p, image->blue_mask);
    }
  XDestroyImage(image);
  return shot;
}


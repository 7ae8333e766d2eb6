// x11_screenshot.h — reads back what an SDL window shows on its X server.
// Kept apart from the display headers: Xlib's `Display` type would clash
// with the display device's process-wide `Display`.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <vector>

struct Screenshot {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // 3 bytes per pixel
  const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// The window's pixels as the X server holds them; width 0 when the window
// is not an X11 window or cannot be read.
Screenshot GrabWindow(SDL_Window* window);

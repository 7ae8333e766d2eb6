// The real SDL2 display in a window on an X server (run by CTest on a virtual
// X server of several sizes, with and without a window manager, once per
// presentation path through QM7_PRESENT): the window is opened as the host
// opens it, a known frame is presented through the display device and read
// back from the window with XGetImage, to show that the window covers the
// screen, the colours arrive unchanged and the picture fills the largest 4:3
// rectangle with black bars. The screenshot is also written to
// display_sdl_window-<path>-<width>x<height>.png in the build folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "display/display_device.h"
#include "kit/frame.h"
#include "platform/popup.h"
#include "platform/window.h"
#include "tests/display/surface_rules.h"
#include "tests/display/x11_screenshot.h"
#include "tools/common/png_writer.h"

// Popups are recorded instead of shown: a modal box on a virtual screen
// would wait forever. (Defined here, the library's version is not linked.)
static std::vector<std::string> Popups;
void ShowModalMessage(const char* text, WindowHandle) { Popups.emplace_back(text); }

// Leak checking is off in this program under the sanitizer build: the system's
// graphics and bus libraries keep allocations to the end even in a clean
// SDL program, and a renderer whose window was destroyed cannot be freed
// safely. Every other check of the sanitizers stays on.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

uint32_t FramePixel(int x, int y) {
  uint32_t red = uint32_t(x) & 0xFF;
  uint32_t green = uint32_t(y) & 0xFF;
  uint32_t blue = (uint32_t(x >> 8) << 7) | (((x / 8 + y / 8) & 1) ? 0x40 : 0x10);
  return (red << 16) | (green << 8) | blue;
}

bool Near(const uint8_t* rgb, uint32_t colour, int tolerance) {
  int expected[3] = {int(colour >> 16 & 0xFF), int(colour >> 8 & 0xFF), int(colour & 0xFF)};
  for (int i = 0; i < 3; ++i)
    if (std::abs(int(rgb[i]) - expected[i]) > tolerance) return false;
  return true;
}

// Pixels of the screenshot that are not where the picture belongs: each
// frame pixel an even block (mixed only at its edges) in the largest 4:3
// rectangle, centred, black around it (a pixel of slack at the rectangle's
// edges).
int WrongPixels(const Screenshot& shot) {
  int rw = shot.width, rh = shot.width * 3 / 4;
  if (rh > shot.height) rh = shot.height, rw = shot.height * 4 / 3;
  int rx = (shot.width - rw) / 2, ry = (shot.height - rh) / 2;

  int wrong = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      bool inside = x >= rx + 1 && x < rx + rw - 1 && y >= ry + 1 && y < ry + rh - 1;
      bool outside = x < rx - 1 || x >= rx + rw + 1 || y < ry - 1 || y >= ry + rh + 1;
      if (outside && !Near(shot.At(x, y), 0, 0)) ++wrong;
      if (!inside) continue;
      // Each frame pixel covers an even block; check the middle of each block.
      double fx = (x - rx + 0.5) * kFrameWidth / rw, fy = (y - ry + 0.5) * kFrameHeight / rh;
      int sx = int(fx), sy = int(fy);
      double ex = fx - sx, ey = fy - sy;
      if (ex < 0.3 || ex > 0.7 || ey < 0.3 || ey > 0.7) continue;
      if (!Near(shot.At(x, y), FramePixel(sx, sy), 3)) {
        if (wrong < 5)
          ADD_FAILURE() << "screen " << x << "," << y << " frame " << sx << "," << sy << " got "
                        << int(shot.At(x, y)[0]) << "," << int(shot.At(x, y)[1]) << ","
                        << int(shot.At(x, y)[2]);
        ++wrong;
      }
    }
  return wrong;
}


intptr_t IgnoreMessages(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

TEST(SdlDisplayTest, FrameArrivesInItsColoursIn4By3WithBlackBars) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (run under xvfb-run)";
  // Made as the host makes it.
  SDL_Window* window = static_cast<SDL_Window*>(OpenDemoWindow("qm7 display test", IgnoreMessages));
  ASSERT_NE(window, nullptr) << SDL_GetError();

  // The surface rules first, the same walk the in-memory display is given.
  ExpectWrongOrderRefused(window);
  DisplayDevice device;
  ASSERT_TRUE(device.InitDisplay(window));
  ASSERT_EQ(device.ChooseMode(320, 240, 32), 1);
  EXPECT_EQ(device.SetSourceFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF), 1);
  ASSERT_EQ(device.CreateSurfaces(), 1);
  ExpectMisuseRefused(device.directDraw, device.primary, device.backBuffer);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

  std::vector<uint32_t> frame(kFrameWidth * kFrameHeight);
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x) frame[y * kFrameWidth + x] = FramePixel(x, y) | 0xFF000000u;
  for (int i = 0; i < 4; ++i) {
    SDL_PumpEvents();
    ASSERT_TRUE(device.PresentPlain(frame.data(), 0, 240));
    SDL_Delay(50);
  }

  SDL_Rect bounds;
  SDL_GetDisplayBounds(0, &bounds);
  Screenshot shot = GrabWindow(window);
  ASSERT_GT(shot.width, 0) << "no X11 window to read back";
  SDL_Renderer* renderer = SDL_GetRenderer(window);
  SDL_RendererInfo info = {};
  if (renderer) SDL_GetRendererInfo(renderer, &info);
  const char* path = renderer ? "gpu" : "cpu";
  const char* forced = std::getenv("QM7_PRESENT");
  if (forced) {
    EXPECT_STREQ(path, forced) << "the presentation path asked for was not taken";
  }
  std::string png = std::string(QM7_BUILD_DIR "/display_sdl_window-") + path + "-" +
                    std::to_string(bounds.w) + "x" + std::to_string(bounds.h) + ".png";
  WriteRgbPng(png.c_str(), shot.rgb.data(), shot.width, shot.height, shot.width * 3);
  std::printf("path %s (renderer %s), window %dx%d, screen %dx%d\n", path,
              renderer ? info.name : "none", shot.width, shot.height, bounds.w, bounds.h);
  EXPECT_EQ(shot.width, bounds.w);  // full screen at the desktop's resolution
  EXPECT_EQ(shot.height, bounds.h);

  EXPECT_EQ(WrongPixels(shot), 0);

  // The window shrinks to a size of another shape (a window manager or the
  // user may do that): the picture follows it, with new bars.
  SDL_SetWindowFullscreen(window, 0);
  SDL_SetWindowSize(window, 700, 480);  // 640x480 picture: twice, bars at the sides
  for (int i = 0; i < 6; ++i) {
    SDL_PumpEvents();
    ASSERT_TRUE(device.PresentPlain(frame.data(), 0, 240));
    SDL_Delay(50);
  }
  Screenshot smaller = GrabWindow(window);
  std::printf("after the resize: window %dx%d\n", smaller.width, smaller.height);
  if (smaller.width == bounds.w && smaller.height == bounds.h) {
    std::printf("the window manager kept the window full screen\n");
  } else {
    EXPECT_EQ(WrongPixels(smaller), 0);
  }

  // The window goes away: presenting fails quietly, without touching it.
  SDL_DestroyWindow(window);
  EXPECT_FALSE(device.PresentPlain(frame.data(), 0, 240));
  EXPECT_FALSE(device.PresentConverted(frame.data(), 0, 240));
  EXPECT_TRUE(Popups.empty());
  EndPlatform();
}

}  // namespace

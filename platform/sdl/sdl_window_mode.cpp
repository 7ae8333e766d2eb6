// sdl_window_mode.cpp — full screen or a window, and the switch between them.
//
// A window is 2x, 3x or 4x the frame, the largest that fits the screen's
// usable area with room for a title bar, centred and resizable; the display
// draws the picture into whatever size it has, 4:3 with bars. Alt+Enter and
// F11 switch at any time. A switch only moves and resizes the window: the
// host sees no message, so the timeline, the frame clock and the music run on
// untouched. Full screen goes through a plain window of the screen's size
// first, because an X server without a window manager ignores the request
// itself (the same reason as the display's first full-screen set-up).
#include <SDL.h>

#include "platform/frame_shape.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_x11_window.h"
#include "platform/window.h"

namespace {

constexpr int kTitleBarAllowance = 48;  // pixels kept free above a window for its frame

struct SdlWindowMode {
  bool startWindowed;  // asked for by main (--window)
  bool windowed;       // what the demo window is now
  bool haveRect;       // `rect` holds the window's last place and size
  SDL_Rect rect;
};

SdlWindowMode Mode = {false, false, false, {0, 0, 0, 0}};

int DisplayOf(SDL_Window* window) {
  int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
  return display < 0 ? 0 : display;
}

// The window for `display`: the largest of 4x, 3x, 2x the frame that fits,
// centred in the usable area; 2x when even that does not fit.
SDL_Rect StartRect(int display) {
  SDL_Rect usable = {0, 0, 2 * kFrameWidth, 2 * kFrameHeight + kTitleBarAllowance};
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) SDL_GetDisplayBounds(display, &usable);
  int factor = 2;
  for (int f = 4; f > 2; --f)
    if (f * kFrameWidth <= usable.w && f * kFrameHeight + kTitleBarAllowance <= usable.h) {
      factor = f;
      break;
    }
  SDL_Rect r = {0, 0, factor * kFrameWidth, factor * kFrameHeight};
  r.x = usable.x + (usable.w - r.w) / 2;
  // Centred with its title bar: a window manager puts the frame's corner
  // where the window is asked to be.
  r.y = usable.y + (usable.h - r.h - kTitleBarAllowance) / 2;
  if (r.y < usable.y) r.y = usable.y;
  if (r.x < usable.x) r.x = usable.x;
  return r;
}

void ToWindow(SDL_Window* window) {
  SDL_Rect r = Mode.haveRect ? Mode.rect : StartRect(DisplayOf(window));
  UnmarkFullScreen(window);
  SDL_SetWindowFullscreen(window, 0);
  SDL_SetWindowSize(window, r.w, r.h);
  SDL_SetWindowPosition(window, r.x, r.y);
  SDL_SetWindowBordered(window, SDL_TRUE);
  SDL_SetWindowResizable(window, SDL_TRUE);
  Mode.windowed = true;
}

void ToFullScreen(SDL_Window* window) {
  // The place is kept as the frame's corner: that is where a window manager
  // puts a window that is moved, so the way back lands where it was.
  int top = 0, left = 0;
  if (SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) != 0) top = left = 0;
  SDL_GetWindowPosition(window, &Mode.rect.x, &Mode.rect.y);
  Mode.rect.x -= left;
  Mode.rect.y -= top;
  SDL_GetWindowSize(window, &Mode.rect.w, &Mode.rect.h);
  Mode.haveRect = true;
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(DisplayOf(window), &bounds) == 0) {
    SDL_SetWindowResizable(window, SDL_FALSE);
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
  }
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  Mode.windowed = false;
}

}  // namespace

void StartInWindow(int windowed) { Mode.startWindowed = windowed != 0; }

bool WindowedStart() { return Mode.startWindowed; }

bool WindowedNow() { return Mode.windowed; }

SDL_Window* CreateWindowedDemoWindow(const char* title, uint32_t extraFlags) {
  SDL_Rect r = StartRect(0);
  SDL_Window* window =
      SDL_CreateWindow(title, r.x, r.y, r.w, r.h, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN | extraFlags);
  if (!window) return nullptr;
  SDL_SetWindowMinimumSize(window, kFrameWidth, kFrameHeight);
  Mode.windowed = true;
  Mode.haveRect = false;
  return window;
}

bool SwitchWindowModeKey(SDL_Window* window, const SDL_KeyboardEvent& key) {
  SDL_Keycode sym = key.keysym.sym;
  bool altEnter = (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT);
  if (!altEnter && sym != SDLK_F11) return false;
  if (key.repeat || !window) return true;  // a held key switches once
  if (Mode.windowed)
    ToFullScreen(window);
  else
    ToWindow(window);
  return true;
}

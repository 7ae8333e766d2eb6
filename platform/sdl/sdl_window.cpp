// sdl_window.cpp — the demo window and its message queue on SDL2.
//
// SDL events are turned into window messages (see platform/window.h) and
// queued for the window procedure (platform/queued_window.h): focus gained
// or restored is activation, focus lost or minimised its loss.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/frame_shape.h"
#include "platform/queued_window.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_present.h"
#include "platform/sdl/sdl_x11_window.h"
#include "platform/window.h"

namespace {

// The SDL window behind the handle, from OpenDemoWindow on (also once destroyed).
SDL_Window* DemoWindow() { return static_cast<SDL_Window*>(QueuedWindow.window); }

struct SdlWindowIcon {
  const uint32_t* argb;
  int size;
};
SdlWindowIcon Icon = {nullptr, 0};

void ShowIcon(SDL_Window* window) {
  if (!Icon.argb || Icon.size <= 0) return;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(Icon.argb), Icon.size, Icon.size, 32, Icon.size * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return;
  SDL_SetWindowIcon(window, surface);  // SDL keeps its own copy
  SDL_FreeSurface(surface);
}

uintptr_t KeyCode(SDL_Keycode key) {
  if (key == SDLK_ESCAPE) return VK_ESCAPE;
  if (key >= 'a' && key <= 'z') return static_cast<uintptr_t>(key - 'a' + 'A');
  if (key >= 32 && key < 127) return static_cast<uintptr_t>(key);
  return 0;
}

void Translate(const SDL_Event& e) {
  if (!QueuedWindow.open) return;
  switch (e.type) {
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_RESTORED:
          QueuedWindow.Activate(1);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
          QueuedWindow.Activate(0);
          break;
        case SDL_WINDOWEVENT_CLOSE:
          QueuedWindow.Post(WM_CLOSE, 0);
          break;
      }
      break;
    case SDL_QUIT:  // also Ctrl+C and termination signals
      QueuedWindow.Post(WM_CLOSE, 0);
      break;
    case SDL_KEYDOWN:
      if (SwitchWindowModeKey(DemoWindow(), e.key)) break;
      QueuedWindow.Post(WM_KEYDOWN, KeyCode(e.key.keysym.sym));
      break;
  }
}

void PumpWithoutWaiting() {
  SDL_Event e;
  while (QueuedWindow.queue.count == 0 && SDL_PollEvent(&e)) Translate(e);
}

void PumpUntilMessage() {
  SDL_Event e;
  while (!QueuedWindow.queue.HasMessage()) {
    if (!SDL_WaitEvent(&e)) {
      SDL_Delay(10);
      continue;
    }
    Translate(e);
  }
}

}  // namespace

WindowHandle OpenDemoWindow(const char* title, WindowProcedure procedure) {
  // Losing the focus only pauses the pictures; the window stays where it is.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "window: %s\n", SDL_GetError());
    return nullptr;
  }
  // A window for the GPU path is made for OpenGL at once, which spares SDL
  // remaking it for the renderer. Either kind is made hidden, so that it
  // shows with its icon.
  const char* renderDriver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  bool openGl = PreferredPresentPath() == PresentPath::kGpu &&
                (!renderDriver || SDL_strncasecmp(renderDriver, "opengl", 6) == 0);
  SDL_Window* window = nullptr;
  if (WindowedStart()) {
    if (openGl) window = CreateWindowedDemoWindow(title, SDL_WINDOW_OPENGL);
    if (!window) window = CreateWindowedDemoWindow(title, 0);
    if (window) {
      ShowIcon(window);
      SDL_ShowWindow(window);
    }
  } else {
    // Made in one step at its final place and size, covering the screen even
    // where no window manager acts on the full-screen request; every later
    // move or resize could wait on the window manager. On X11 the window is
    // marked full screen before it is first shown, which spares SDL's wait for
    // the window manager after showing it.
    SDL_Rect bounds = {0, 0, kFrameWidth, kFrameHeight};
    SDL_GetDisplayBounds(0, &bounds);
    for (int attempt = openGl ? 0 : 1; attempt < 2 && !window; ++attempt) {
      Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | (attempt == 0 ? SDL_WINDOW_OPENGL : 0);
      window = SDL_CreateWindow(title, bounds.x, bounds.y, bounds.w, bounds.h, flags);
    }
    if (window) {
      ShowIcon(window);
      if (!MarkFullScreenBeforeMapping(window))
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
      SDL_ShowWindow(window);
    }
  }
  if (!window) {
    std::fprintf(stderr, "window: %s\n", SDL_GetError());
    return nullptr;
  }
  QueuedWindow.Open(window, procedure);
  // Active once shown: without a window manager no focus event ever comes.
  QueuedWindow.Activate(1);
  return window;
}

int PeekMessage(WindowMessage* message) {
  PumpWithoutWaiting();
  return QueuedWindow.queue.Peek(message) ? 1 : 0;
}

int GetMessage(WindowMessage* message) {
  PumpUntilMessage();
  return QueuedWindow.queue.Take(message);
}

void WaitMessage() { PumpUntilMessage(); }

void DestroyWindow(WindowHandle window) {
  // The display may still hold a renderer on it: hide it now, free it at exit.
  if (QueuedWindow.Close(window)) SDL_HideWindow(DemoWindow());
}

void SetCursor(CursorShape shape) {
  SDL_ShowCursor(shape == CursorShape::kArrow ? SDL_ENABLE : SDL_DISABLE);
}

WindowHandle GetForegroundWindow() {
  SDL_Window* focus = DemoWindow() ? SDL_GetKeyboardFocus() : nullptr;
  return focus;
}

void SetWindowIcon(const uint32_t* argb, int size) { Icon = {argb, size}; }

void EndPlatform() {
  if (std::getenv("QM7_STATS")) ReportPresentation();
  CloseMusicDevice();
  SDL_Quit();
}

// sdl_x11_window.h — what the SDL window does through Xlib on an X server.
#pragma once

struct SDL_Window;

// Called by OpenDemoWindow on a window made hidden, borderless and at the
// display's size: marks it for the window manager as full screen, so that
// showing it needs no further change. False where the window is not an X11
// window (the caller then asks SDL for full screen instead).
bool MarkFullScreenBeforeMapping(SDL_Window* window);

// Called by the switch to a window (sdl_window_mode.cpp) before it asks SDL
// for a plain window: SDL does not know that a marked window is full screen,
// so the mark is taken off here. Does nothing for a window never marked.
void UnmarkFullScreen(SDL_Window* window);

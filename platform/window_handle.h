// window_handle.h — the one window of the program, as the platform sees it.
//
// What it points at is the twin's own business: the SDL_Window* on sdl/,
// the HWND on win32/, and an opaque token on web/ (the page's canvas) and
// virtual/. The host creates it (OpenDemoWindow) and hands it to the display
// device, MusicInit and ShowModalMessage; the window procedure receives it.
// Nothing outside the twin looks inside it.
#pragma once

using WindowHandle = void*;

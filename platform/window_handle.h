// window_handle.h — the one window of the program, as the platform sees it.
//
// On the real platform this is the SDL_Window*; on the virtual one an opaque
// token. The host creates it; the display device is handed it.
#pragma once

using WindowHandle = void*;

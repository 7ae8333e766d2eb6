// sdl_x11_window.cpp — asks an X11 window manager for full screen before the
// window is mapped.
//
// SDL's own full-screen switch on X11 waits up to 100 ms after the window
// appears for the window manager to move and resize it (and waits the whole
// time where there is no window manager, or where the window was already
// full screen). A window that carries _NET_WM_STATE_FULLSCREEN when it is
// first mapped is put full screen by the window manager at once, and without
// a window manager a borderless window at the display's size covers it.
#include "platform/sdl/sdl_x11_window.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace {

// The window marked by MarkFullScreenBeforeMapping, until it is unmarked.
SDL_Window* Marked = nullptr;

}  // namespace

bool MarkFullScreenBeforeMapping(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11) && defined(QM7_HAVE_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  ::Display* display = info.info.x11.display;
  Atom state = XInternAtom(display, "_NET_WM_STATE", False);
  Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
  if (state == None || fullScreen == None) return false;
  XChangeProperty(display, info.info.x11.window, state, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&fullScreen), 1);
  Marked = window;
  return true;
#else
  (void)window;
  return false;
#endif
}

void UnmarkFullScreen(SDL_Window* window) {
  if (!window || window != Marked) return;
  Marked = nullptr;
#if defined(SDL_VIDEO_DRIVER_X11) && defined(QM7_HAVE_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  ::Display* display = info.info.x11.display;
  // A shown window's state is changed by asking the window manager (the
  // root window's client message); with none, nothing else is needed.
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.window = info.info.x11.window;
  e.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = 0;  // _NET_WM_STATE_REMOVE
  e.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
  e.xclient.data.l[3] = 1;  // a normal application
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureNotifyMask | SubstructureRedirectMask, &e);
  XFlush(display);
#endif
}

// popup.h — a modal message for the user.
//
//   ShowModalMessage("Access to the surface is refused ... ", window);
//
// Called by the display's error reporter (display/error_reporter.cpp) when a
// display call fails with a known code. Shows `text` in a modal box with one
// OK button (id 1) over `owner` (may be null) and returns once it is dismissed.
// Also called by the host for a start-up failure, after it has written the
// reason on standard error. Real: platform/sdl/sdl_popup.cpp (an SDL message
// box; standard error when a box fails over a running display, nothing when
// there is no display). Virtual: platform/virtual/virtual_popup.cpp (records
// the text for tests, see platform/virtual/virtual_display.h).
#pragma once

#include "platform/window_handle.h"

//
// On Win32, once the box is dismissed the owner's client area is marked for
// repainting (InvalidateRect), so nothing of the box stays on screen; the
// other platforms redraw their whole window anyway.
void ShowModalMessage(const char* text, WindowHandle owner = nullptr);

// Program start (host/main.cpp, before anything else is shown): --help,
// --version and a command-line error. `text` goes to standard output, or to
// standard error when `error`. Win32: a windowed program has neither unless
// redirected, so it writes to the console it was started from, and shows a
// message box when there is none. Real: sdl_popup.cpp, win32_popup.cpp (the
// page and the capture tool have starts of their own).
void ShowProgramText(const char* text, bool error);

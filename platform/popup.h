// popup.h — a message for the user that the program shows on failure.
//
//   ShowModalMessage("Access to the surface is refused ... ", window);
//
// Called by the display's error reporter (display/error_reporter.cpp) when a
// display call fails with a known code, and by the host for a start-up
// failure (host/host.cpp, host/main.cpp), after it has written the reason on
// standard error. Hands `text` on for the user to read, with one OK button
// where there is a screen, over `owner` (may be null; only the sdl/ and
// win32/ boxes are placed by it).
//
// Implemented by each platform twin (sdl/, win32/, web/, virtual/), one
// chosen at link time; the build says which files. Whether the call waits
// for the user depends on the twin, so callers must not rely on either: they
// only know the text has been handed on when it returns. The desktop twins
// block until the box is dismissed; the page and the virtual twin cannot
// block and return at once:
//   sdl/      an SDL message box; returns once it is dismissed. When no box
//             can be shown over a running display the text goes to standard
//             error; without a display nothing is shown.
//   win32/    a MessageBoxA over the owner; returns once it is dismissed,
//             then marks the owner's client area for repainting
//             (InvalidateRect), so nothing of the box stays on screen.
//   web/      an overlay in the page with the text and an OK button, and the
//             text on standard error (the browser's console). A page cannot
//             block, so it returns at once; the overlay stays until the
//             button is pressed.
//   virtual/  records the text for tests (VirtualPopups in
//             platform/virtual/virtual_display.h) and returns at once.
#pragma once

#include "platform/window_handle.h"

// Display failures and start-up failures, see above. The twins other than
// win32/ redraw their whole window each frame, so they need no repaint.
void ShowModalMessage(const char* text, WindowHandle owner = nullptr);

// Program start (host/main.cpp, before anything else is shown): --help,
// --version and a command-line error. `text` goes to standard output, or to
// standard error when `error`. Win32: a windowed program has neither unless
// redirected, so it writes to the console it was started from, and shows a
// message box when there is none. Only the sdl/ and win32/ twins have it:
// the page and the capture tool have starts of their own.
void ShowProgramText(const char* text, bool error);

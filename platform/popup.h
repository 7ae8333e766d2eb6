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

void ShowModalMessage(const char* text, WindowHandle owner = nullptr);

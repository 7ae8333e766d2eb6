// sdl_platform.h — what the SDL window and music share among themselves.
#pragma once
#include <cstdint>

struct SDL_Window;
struct SDL_KeyboardEvent;

// Stops the audio callback, closes the device and frees the module; safe to
// call when nothing is open.
void CloseMusicDevice();

// EndPlatform, with QM7_STATS set: one line on standard error saying how
// the display showed the last frame (sdl_ddraw.cpp), and where the even-pixel
// look could not be had. Nothing when no frame was shown.
void ReportPresentation();

// After each present (sdl_ddraw.cpp Flip): PacePresent (platform/present_pacing.h)
// at the display's refresh rate, so a renderer without vsync does not spin.
void PaceSdlPresent(SDL_Window* window);

// The position after the newest rendered slice, ahead of MusicGetPosition by
// half to one and a half device buffers (tests compare the two).
uint32_t MusicMixedPosition();

// ---- window or full screen (sdl_window_mode.cpp)
// OpenDemoWindow: true when main asked for a window (StartInWindow).
bool WindowedStart();
// OpenDemoWindow: a hidden resizable window of 2x-4x the frame, centred,
// with SDL window flags `extraFlags` added; nullptr when SDL cannot make it.
SDL_Window* CreateWindowedDemoWindow(const char* title, uint32_t extraFlags);
// The display (SetCooperativeLevel): true while the demo is in a window, so
// it is not put in full screen.
bool WindowedNow();
// The window's event translation, on every key press: true when the key is
// Alt+Enter or F11, which switches between window and full screen (once per
// press); the key then goes no further.
bool SwitchWindowModeKey(SDL_Window* window, const SDL_KeyboardEvent& key);

// sdl_platform.h — what the SDL window and music share among themselves.
#pragma once
#include <cstdint>

struct SDL_Window;

// Stops the audio callback, closes the device and frees the module; safe to
// call when nothing is open.
void CloseMusicDevice();

// After each present (sdl_ddraw.cpp Flip): waits out the rest of the display's
// refresh period, so a renderer without vsync does not spin.
void PacePresent(SDL_Window* window);

// The position after the newest rendered slice, ahead of MusicGetPosition by
// about one device buffer (tests compare the two).
uint32_t MusicMixedPosition();

// sdl_platform.h — what the SDL window and music share among themselves.
#pragma once

// Stops the audio callback, closes the device and frees the module; safe to
// call when nothing is open.
void CloseMusicDevice();

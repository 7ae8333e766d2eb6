// win32_platform.h — what the win32 window and music share among themselves.
#pragma once

// Program end (EndPlatform): stops the audio thread, closes the wave device
// and frees the module; safe to call when nothing is open.
void CloseMusicDevice();

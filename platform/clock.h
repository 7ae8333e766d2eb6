// clock.h — the high-resolution performance counter behind the frame clock.
//
// Implemented by each platform twin (sdl/, win32/, web/, virtual/), one
// chosen at link time; the build says which files. The units
// differ, so callers always divide by the frequency:
//   sdl/      the system's monotonic clock, at the frequency SDL reports
//   win32/    the system's performance counter, at its own frequency
//   web/      the page's performance.now(), in microseconds (1 000 000/s)
//   virtual/  a counter that only moves when the test or capture driver
//             advances it, 10 000 000 units per second
#pragma once
#include <cstdint>

// Host start-up: counts per second into *frequency; 1 on success, 0 on
// failure (*frequency then unchanged).
int QueryPerformanceFrequency(int64_t* frequency);
// Host start-up, every active frame and the end-of-run report: the counter
// now into *count; 1 on success, 0 on failure (only the win32/ twin can fail).
int QueryPerformanceCounter(int64_t* count);

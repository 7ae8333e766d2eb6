// clock.h — the high-resolution performance counter behind the frame clock.
//
// Real: a monotonic clock (platform/sdl/sdl_clock.cpp). Virtual: a counter
// that only moves when the test or capture driver advances it
// (platform/virtual/virtual_clock.cpp), 10 000 000 units per second.
#pragma once
#include <cstdint>

// Host start-up: counts per second into *frequency; 1 on success, 0 on failure.
int QueryPerformanceFrequency(int64_t* frequency);
// Host start-up and every active frame: the counter now into *count; 1 / 0.
int QueryPerformanceCounter(int64_t* count);

// sdl_clock.cpp — the performance counter from the system's monotonic clock.
#include <SDL.h>

#include "platform/clock.h"

int QueryPerformanceFrequency(int64_t* frequency) {
  Uint64 f = SDL_GetPerformanceFrequency();
  if (f == 0) return 0;
  *frequency = static_cast<int64_t>(f);
  return 1;
}

int QueryPerformanceCounter(int64_t* count) {
  *count = static_cast<int64_t>(SDL_GetPerformanceCounter());
  return 1;
}

// web_clock.cpp — the performance counter from the page's high-resolution
// clock (performance.now(), in milliseconds), counted in microseconds.
#include <emscripten.h>

#include <cmath>

#include "platform/clock.h"

int QueryPerformanceFrequency(int64_t* frequency) {
  *frequency = 1000000;
  return 1;
}

int QueryPerformanceCounter(int64_t* count) {
  *count = std::llrint(emscripten_get_now() * 1000.0);
  return 1;
}

// win32_clock_api.cpp — the system's performance counter.
#include <windows.h>

#include "platform/win32/win32_api.h"

namespace win32 {

bool CounterFrequency(int64_t* frequency) {
  LARGE_INTEGER f;
  if (!QueryPerformanceFrequency(&f) || f.QuadPart <= 0) return false;
  *frequency = f.QuadPart;
  return true;
}

bool CounterNow(int64_t* count) {
  LARGE_INTEGER c;
  if (!QueryPerformanceCounter(&c)) return false;
  *count = c.QuadPart;
  return true;
}

}  // namespace win32

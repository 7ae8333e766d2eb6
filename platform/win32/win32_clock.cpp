// win32_clock.cpp — the performance counter of platform/clock.h on Win32.
#include "platform/clock.h"
#include "platform/win32/win32_api.h"

int QueryPerformanceFrequency(int64_t* frequency) { return win32::CounterFrequency(frequency) ? 1 : 0; }

int QueryPerformanceCounter(int64_t* count) { return win32::CounterNow(count) ? 1 : 0; }

// virtual_clock.cpp — a performance counter that moves only when the driver
// advances it, so every frame's tick count is exact and repeatable.
#include "platform/clock.h"
#include "platform/virtual/virtual_internal.h"
#include "platform/virtual/virtual_platform.h"

static int64_t ClockCount;
static bool FrequencyFails;

void ResetVirtualClock() {
  ClockCount = 0;
  FrequencyFails = false;
}

int QueryPerformanceFrequency(int64_t* frequency) {
  if (FrequencyFails) return 0;
  *frequency = kVirtualClockFrequency;
  return 1;
}

int QueryPerformanceCounter(int64_t* count) {
  *count = ClockCount;
  return 1;
}

int64_t VirtualClockNow() { return ClockCount; }
void VirtualClockAdvance(int64_t counts) { ClockCount += counts; }
void VirtualClockFailFrequency(bool fail) { FrequencyFails = fail; }

// Audio follows the clock: after the advance the music has rendered exactly
// the frames that belong to the elapsed time, so rounding never accumulates.
void VirtualAdvance(int64_t counts) {
  ClockCount += counts;
  // 128-bit product: the clock may run for hours at 10^7 counts per second.
  __int128 scaled = static_cast<__int128>(ClockCount) * 44100;
  int64_t whole = static_cast<int64_t>(scaled / kVirtualClockFrequency);
  int64_t rest = static_cast<int64_t>(scaled % kVirtualClockFrequency);
  int64_t target = whole;
  if (rest * 2 > kVirtualClockFrequency || (rest * 2 == kVirtualClockFrequency && (whole & 1)))
    ++target;
  int64_t due = target - VirtualMusicFramesRendered();
  if (due > 0) VirtualMusicRender(due);
}

// frame_clock.cpp — 70 Hz tick measurement (see frame_clock.h).
#include "host/frame_clock.h"

#include <cmath>
#include <cstdint>

#include "host/scene_state.h"

FrameClockState FrameClock;

bool StartFrameClock(int64_t frequency) {
  FrameClock.countsPerTick = frequency / 70;
  return FrameClock.countsPerTick > 0;
}

int32_t MeasureFrameTicks(int64_t now) {
  double elapsed = static_cast<double>(now - FrameClock.lastCount) /
                   static_cast<double>(FrameClock.countsPerTick) + FrameClock.carry;
  double whole = std::floor(elapsed);
  FrameClock.elapsedTicks = elapsed;
  FrameClock.carry = elapsed - whole;
  FrameClock.lastCount = now;
  // A pause of more than a year of ticks is clamped rather than overflowing.
  int32_t ticks = whole >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(whole);
  SceneState.pendingTicks = ticks;
  return ticks;
}

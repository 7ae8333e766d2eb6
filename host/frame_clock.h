// frame_clock.h — counts the 70 Hz ticks that pass between frames.
//
// Effects advance by whole ticks whatever the frame rate; the fraction of a
// tick left over is carried into the next measurement.
//   StartFrameClock(frequency);       // start-up: counter units per second
//   FrameClock.lastCount = now;       // start-up, just before the main loop
//   MeasureFrameTicks(now);           // every active frame, after rendering
// MeasureFrameTicks stores the whole ticks in SceneState.pendingTicks.
#pragma once
#include <cstdint>

struct FrameClockState {
  int64_t countsPerTick = 0;  // counter units per 70 Hz tick (frequency / 70)
  int64_t lastCount = 0;      // counter at the previous measurement
  double elapsedTicks = 0.0;  // ticks since then, plus the carried fraction
  double carry = 0.0;         // fraction of elapsedTicks carried over, 0 <= carry < 1
};

extern FrameClockState FrameClock;

// Start-up: countsPerTick from the counter's frequency; false when the
// counter is too coarse for a 70 Hz tick (frequency below 70).
bool StartFrameClock(int64_t frequency);

// Every active frame: ticks since lastCount (plus carry) into elapsedTicks,
// their whole number into SceneState.pendingTicks, the rest into carry;
// lastCount = now. Returns pendingTicks.
int32_t MeasureFrameTicks(int64_t now);

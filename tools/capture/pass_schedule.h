// pass_schedule.h — decides what each pass of the host's main loop sees:
// how much virtual time passes (clock and audio together), when the
// application loses and regains focus, and when Escape arrives.
//
//   PassSchedule schedule;
//   StartSchedule(&schedule, options);
//   VirtualSetPassHook(SchedulePassHook, &schedule);
//   ... in the FrameObserver: ++schedule.activePasses ...
//   RunDemo();
//
// Time is counted in units of 1/(1000 x fps) second, so one frame interval
// is exactly 1000 units and jittered intervals (500..2500 units) stay exact.
// The performance counter and the audio are both derived from the unit
// count by rounding to nearest, so neither drifts from the other: after a
// pass at time T the music has rendered exactly round(T x 44100 / units per
// second) frames.
//
// Only passes that run a frame advance the clock: a pass that dispatches a
// message takes no time. While the application is inactive the wait hook
// moves time on in frame-sized steps until the pause is over.
//
// A stop (tools/capture/stop_request.h) sends Escape at the next pass, as
// the frame limit does.
//
// With renderAhead, a pass that runs a frame also starts the music of the
// next one on the music thread (VirtualMusicRenderAhead), so it is rendered
// while the frame is drawn. That is done only where the next advance is
// certain: no Escape, frame limit or pause due before it.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/virtual/virtual_platform.h"
#include "tools/capture/options.h"

struct PassSchedule {
  int fps;
  int64_t unitsPerSecond;   // 1000 x fps
  bool jitter;
  uint64_t jitterState;
  struct Pause {
    int64_t at;
    int64_t duration;
  };
  std::vector<Pause> pauses;  // in units, sorted
  std::size_t nextPause;
  int64_t escapeAt;           // units; < 0: none
  int64_t frameLimit;         // active passes; < 0: none
  int64_t timeLimit;          // units; without --frames/--escape the run is stopped here
  bool renderAhead;           // --threads 2

  int64_t now;                // virtual time in units
  int64_t pauseEnd;           // units; < 0 while no pause runs
  bool escapeSent;
  bool stoppedByTimeLimit;
  int64_t activePasses;       // counted by the frame observer
  bool inHook;

  // Called at the start and the end of every hook call (bench timing); may be null.
  void (*hookEntered)(void* user);
  void (*hookLeft)(void* user);
  void* timingUser;
};

// Longest run without --frames or --escape before the tool gives up on a
// timeline that never reaches its end (besides the pauses).
constexpr int64_t kMaxRunSeconds = 3600;

void StartSchedule(PassSchedule* schedule, const CaptureOptions& options);

// The virtual platform's pass hook; `user` is the PassSchedule.
void SchedulePassHook(VirtualPass kind, void* user);

// Virtual time of `units` in seconds.
double ScheduleSeconds(const PassSchedule& schedule, int64_t units);

// round(value x num / den), ties to even; value, num >= 0, den > 0.
int64_t RoundedRatio(int64_t value, int64_t num, int64_t den);

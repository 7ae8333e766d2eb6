// present_pacing.cpp — the refresh-rate schedule of present_pacing.h.
#include "platform/present_pacing.h"

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point NextPresent;

}  // namespace

void PacePresent(int refreshHz) {
  int hz = refreshHz >= 30 ? refreshHz : 60;
  auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hz));
  Clock::time_point now = Clock::now();
  if (NextPresent == Clock::time_point{} || now > NextPresent + period)
    NextPresent = now;  // first frame, or a slow one: start the schedule afresh
  else if (now < NextPresent)
    std::this_thread::sleep_until(NextPresent);
  NextPresent += period;
}

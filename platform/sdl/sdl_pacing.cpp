// sdl_pacing.cpp — keeps presents at most at the display's refresh rate.
//
// Where the renderer has no working vsync (a virtual X server, a driver that
// ignores the swap interval) presenting returns at once and the main loop
// would spin; waiting out the rest of the refresh period keeps it at the
// refresh rate (60 Hz when the display does not say). With working vsync the
// present itself already waits that long and this adds nothing.
#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/sdl/sdl_platform.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point NextPresent;
Clock::duration Period;

}  // namespace

void PacePresent(SDL_Window* window) {
  if (Period == Clock::duration::zero()) {
    SDL_DisplayMode mode;
    int hz = 60;
    if (window && SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window), &mode) == 0 &&
        mode.refresh_rate >= 30)
      hz = mode.refresh_rate;
    Period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hz));
  }
  Clock::time_point now = Clock::now();
  if (NextPresent == Clock::time_point{} || now > NextPresent + Period)
    NextPresent = now;  // first frame, or a slow one: start the schedule afresh
  else if (now < NextPresent)
    std::this_thread::sleep_until(NextPresent);
  NextPresent += Period;
}

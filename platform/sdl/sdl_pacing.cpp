// sdl_pacing.cpp — the SDL display's refresh rate for platform/present_pacing.
#include <SDL.h>

#include "platform/present_pacing.h"
#include "platform/sdl/sdl_platform.h"

namespace {

int RefreshHz = 0;  // read once, at the first present

}  // namespace

void PaceSdlPresent(SDL_Window* window) {
  if (RefreshHz == 0) {
    SDL_DisplayMode mode;
    RefreshHz = 60;
    if (window && SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window), &mode) == 0 &&
        mode.refresh_rate >= 30)
      RefreshHz = mode.refresh_rate;
  }
  PacePresent(RefreshHz);
}

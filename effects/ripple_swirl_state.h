// ripple_swirl_state.h — the ripple swirl's one field of its own (tests).
//
// Everything else it moves or draws from lives in LensWarpState.
#pragma once

struct RippleSwirlStateRecord {
  float SwirlAmplitude;   // radians, 10*sin(theta/3) after every tick
};

extern RippleSwirlStateRecord RippleSwirlState;

// Fills the shared grids from LensPoints and SwirlAmplitude; the first step of
// renderRippleSwirl.
void fillSwirlGrid();

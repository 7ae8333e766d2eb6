// ripple_swirl.h — the swirling texture that alternates with the tunnel.
//
// Shares the lens warp's angle, lens points, lattice and grids.
// initRippleSwirl: once at start-up, after initLensWarp.
// resetRippleSwirl: start action of each of its scenes (zeroes the points).
#pragma once
#include <cstdint>

void initRippleSwirl();
void renderRippleSwirl(uint8_t* target);
void updateRippleSwirl();
void resetRippleSwirl();

// ripple_swirl.h — the swirling texture that alternates with the tunnel.
//
// Shares the lens warp's angle, lens points, lattice and grids (LensWarp).
// initRippleSwirl: once at start-up, after initLensWarp.
// resetRippleSwirl: start action of each of its scenes (zeroes the points).
// renderRippleSwirl(target) / updateRippleSwirl(ticks): through the scene adapters.
#pragma once
#include <cstdint>

void initRippleSwirl();
void renderRippleSwirl(uint8_t* target);
void updateRippleSwirl(int32_t ticks);
void resetRippleSwirl();

// --- state and stages, visible so tests and benchmarks can drive them ---

// The ripple swirl's one field of its own.
struct RippleSwirlState {
  float swirlAmplitude = 0.0f;   // radians, 10*sin(theta/3) after every tick
};

extern RippleSwirlState RippleSwirl;

// Fills the shared grids from lensPoints and swirlAmplitude; the first step of
// renderRippleSwirl.
void fillSwirlGrid();

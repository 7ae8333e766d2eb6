// ripple_swirl.h — the swirling texture that alternates with the tunnel.
//
// initRippleSwirl: once at start-up, after initKit; starts the effect afresh.
// resetRippleSwirl: start action of each of its scenes: places the points and
//   the amplitude for the current WarpAngle, as its first tick will, without
//   stepping the angle.
// renderRippleSwirl(target) / updateRippleSwirl(ticks): through the scene
//   adapters; the update advances the shared WarpAngle (kit/warp_lattice.h),
//   so each ripple scene turns on from where the last warp left it.
#pragma once
#include <cstdint>

#include "kit/texture_grid.h"
#include "kit/warp_lattice.h"

void initRippleSwirl();
void renderRippleSwirl(uint8_t* target);
void updateRippleSwirl(int32_t ticks);
void resetRippleSwirl();

// --- state and stages, visible so tests and benchmarks can drive them ---

struct RippleSwirlState {
  float swirlAmplitude = 0.0f;             // radians, 10*sin(theta/3) of the last tick's angle
  LensPoint lensPoints[3] = {};            // lattice units, of the same angle
  TexCoord texCoords[kGridVertices] = {};  // written every frame
  int32_t shades[kGridVertices] = {};      // written every frame (all 255)
};

// The effect's whole state; initRippleSwirl starts it afresh.
extern RippleSwirlState RippleSwirl;

// Fills the grids from lensPoints and swirlAmplitude; the first step of
// renderRippleSwirl.
void fillSwirlGrid();

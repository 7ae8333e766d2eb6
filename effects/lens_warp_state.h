// lens_warp_state.h — the lens warp's state, shared with the ripple swirl.
//
// LensWarpState holds everything the two effects move or draw from: the angle,
// the three lens points, the untransformed lattice, the one texture-coordinate
// and shade grid pair, the glow and logo selection, and the shared table
// addresses kept by initLensWarp. Included by lens_warp.cpp, ripple_swirl.cpp
// and the tests, which start the effect afresh with resetLensWarpState().
#pragma once
#include <cstdint>

#include "kit/logo_glow.h"
#include "kit/texture_grid.h"

constexpr int kGridVertices = kGridRows * kGridColumns;   // 1000

struct LensPoint {
  float x, y;
};

// One lattice vertex before any warp: r goes with the screen row, c with the column.
struct LatticePoint {
  float r, c;
};

struct LensWarpStateRecord {
  float WarpAngle;              // radians, +2*pi/1024 per tick, never reset
  LensPoint LensPoints[3];      // pixels here, lattice units in the ripple swirl
  LatticePoint BaseGrid[kGridVertices];   // row-major, built by initLensWarp
  TexCoord texCoords[kGridVertices];      // written every frame
  int32_t shades[kGridVertices];          // written every frame
  LogoGlow glow;                // level, step and row of LogoTable
  LogoEntry LogoTable[3];
  const uint8_t* texture;       // GridTexture, GridPalette, ShadeTable
  const uint8_t* palette;
  const uint8_t* shadeTable;
};

extern LensWarpStateRecord LensWarpState;

// The three lens paths at angle theta, shared by the lens warp (in pixels)
// and the ripple swirl (in lattice units): centre (cx, cy), reach (rx, ry).
// Called by updateLensWarp and updateRippleSwirl once per tick.
void placeLensPoints(float theta, float cx, float rx, float cy, float ry);

// Logo pictures built once by initLensWarp, and the per-frame mix buffer.
extern uint8_t OpenerLogoBlur[kOpenerBlurBytes];
extern uint8_t BriskLogoBlur[kBriskBlurBytes];
extern uint8_t LensWarpMixBuffer[kLogoMixBytes];

// Puts every moving field back to its program-start value (tests). The
// lattice and the table addresses are left for initLensWarp.
void resetLensWarpState();

// Fills the grids from LensPoints and WarpAngle; the first step of renderLensWarp.
void fillLensGrid();

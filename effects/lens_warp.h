// lens_warp.h — the opening scene: a lens-warped texture with two glowing logos.
//
// initLensWarp: once at start-up, first of the initialisers, with the 64x64
//   texture, the 256-entry 6-bit palette and the two title logos (280x52 and
//   240x59, intensities 0..63). Starts the effect afresh, builds the kit's
//   shared tables (texture grid, blob map, glow) and runs initTunnel.
// renderLensWarp(target): every frame of its scene but the first (scene
//   adapter); draws the 320x200 target.
// updateLensWarp(ticks): every frame of its scene with the ticks elapsed.
// showNextLogo / fadeOutLogo: event callbacks of the opening scene.
#pragma once
#include <cstdint>

#include "kit/logo_glow.h"
#include "kit/texture_grid.h"

void initLensWarp(const uint8_t* texture, const uint8_t* palette, const uint8_t* openerLogo,
                  const uint8_t* briskLogo);
void renderLensWarp(uint8_t* target);
void updateLensWarp(int32_t ticks);
void showNextLogo();
void fadeOutLogo();

// --- state and stages, visible so tests, benchmarks and the ripple swirl can use them ---

constexpr int kGridVertices = kGridRows * kGridColumns;   // 1000

struct LensPoint {
  float x, y;
};

// One lattice vertex before any warp: r goes with the screen row, c with the column.
struct LatticePoint {
  float r, c;
};

// Everything the lens warp and the ripple swirl move or draw from.
struct LensWarpState {
  float warpAngle = 0.0f;                      // radians, +2*pi/1024 per tick
  LensPoint lensPoints[3] = {};                // pixels here, lattice units in the ripple swirl
  LatticePoint baseGrid[kGridVertices] = {};   // row-major, built by initLensWarp
  TexCoord texCoords[kGridVertices] = {};      // written every frame
  int32_t shades[kGridVertices] = {};          // written every frame
  LogoGlow glow;                               // level, step and row of logoTable
  LogoEntry logoTable[3] = {};
  const uint8_t* texture = nullptr;            // GridTexture, GridPalette, ShadeTable
  const uint8_t* palette = nullptr;
  const uint8_t* shadeTable = nullptr;
};

// The effects' shared state; initLensWarp starts it afresh.
extern LensWarpState LensWarp;

// The three lens paths at angle theta, shared by the lens warp (in pixels)
// and the ripple swirl (in lattice units): centre (cx, cy), reach (rx, ry).
// Called by updateLensWarp and updateRippleSwirl once per tick.
void placeLensPoints(float theta, float cx, float rx, float cy, float ry);

// Logo pictures built once by initLensWarp (the frame cube reads them too),
// and the per-frame mix buffer.
extern uint8_t OpenerLogoBlur[kOpenerBlurBytes];
extern uint8_t BriskLogoBlur[kBriskBlurBytes];
extern uint8_t LensWarpMixBuffer[kLogoMixBytes];

// Fills the grids from lensPoints and warpAngle; the first step of renderLensWarp.
void fillLensGrid();

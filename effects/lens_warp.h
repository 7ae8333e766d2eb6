// lens_warp.h — the opening scene: a lens-warped texture with two glowing logos.
//
// initLensWarp: once at start-up, after initKit (it draws from the kit's
//   texture grid tables, warp lattice and title logos); starts the effect afresh.
// renderLensWarp(target): every frame of its scene but the first (scene
//   adapter); draws the 320x200 target.
// updateLensWarp(ticks): every frame of its scene with the ticks elapsed;
//   advances the shared WarpAngle (kit/warp_lattice.h).
// onLensWarpLogoIn / onLensWarpLogoOut: event callbacks of the opening scene.
#pragma once
#include <cstdint>

#include "kit/logo_glow.h"
#include "kit/texture_grid.h"
#include "kit/warp_lattice.h"

void initLensWarp();
void renderLensWarp(uint8_t* target);
void updateLensWarp(int32_t ticks);
void onLensWarpLogoIn();
void onLensWarpLogoOut();

// --- state and stages, visible so tests and benchmarks can drive them ---

struct LensWarpState {
  LensPoint lensPoints[3] = {};            // pixels, at the last tick's angle (init: WarpAngle)
  TexCoord texCoords[kGridVertices] = {};  // written every frame
  int32_t shades[kGridVertices] = {};      // written every frame
  LogoGlow glow;                           // level, step and row of TitleLogoTable
};

// The effect's whole state; initLensWarp starts it afresh.
extern LensWarpState LensWarp;

// Fills the grids from lensPoints and WarpAngle; the first step of renderLensWarp.
void fillLensGrid();

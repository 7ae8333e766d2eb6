// lens_warp.h — the opening scene: a lens-warped texture with two glowing logos.
//
// initLensWarp: once at start-up, first of the initialisers; also builds the
//   kit's shared tables (texture grid, blob map, glow) and runs initTunnel.
// renderLensWarp / updateLensWarp: through the scene adapters.
// showNextLogo / fadeOutLogo: event callbacks of the opening scene.
#pragma once
#include <cstdint>

void initLensWarp();
void renderLensWarp(uint8_t* target);
void updateLensWarp();
void showNextLogo();
void fadeOutLogo();

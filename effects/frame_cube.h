// frame_cube.h — the cube of frames circled by the camera over a split horizon.
//
// initFrameCube: once at start-up, after initKit (it draws the kit's title
//   logos and blobs); starts the effect afresh.
// renderFrameCube(target) / updateFrameCube(ticks): through the scene adapters.
// onFrameCubeBurst, onFrameCubeLogoIn, onFrameCubeLogoOut, onFrameCubeFadeOut:
//   event callbacks.
#pragma once
#include <cstdint>

#include "kit/logo_glow.h"
#include "kit/vector_math.h"

void initFrameCube();
void renderFrameCube(uint8_t* target);
void updateFrameCube(int32_t ticks);
void onFrameCubeBurst();
void onFrameCubeLogoIn();
void onFrameCubeLogoOut();
void onFrameCubeFadeOut();

// --- state and stages, visible so tests and benchmarks can drive them ---

struct FrameCubeState {
  float orbitTime = 0.0f;                 // radians, +2*pi/1024 per tick
  CameraSpec camera = {{0.0f, 256.0f, 0.0f}, {0.0f, 256.0f, 256.0f}, 0.0f, {0.0f, 0.0f}};
  Matrix3 view = {};                      // rows right, up, forward; rebuilt per frame
  Vec3 lightDirection = {0.0f, 0.0f, 0.0f};
  Vec3 centre = {0.0f, 1024.0f, 0.0f};
  int32_t rayPulse = 0;                   // 0..99
  bool burstActive = false;
  int32_t burstRadius = 0;                // 0..4875
  bool fadeOutActive = false;
  int32_t fadeOutLevel = 63;              // 0..63, in 64ths
  LogoGlow glow;                          // level, step and row of TitleLogoTable
};

// The effect's whole state; initFrameCube starts it afresh.
extern FrameCubeState FrameCube;

// DimTable[i * 256 + j] = (i * j) >> 6.
extern uint8_t DimTable[64 * 256];

// Scales every colour byte of the 320x200 target by FrameCube.fadeOutLevel / 64.
void dimFrame(uint8_t* target);

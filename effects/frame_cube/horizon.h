// horizon.h — the frame cube's background: the 320x200 target split along one
// straight line into two flat colours that move and tilt with the camera.
//
// Horizon = HorizonState{}: from initFrameCube, which starts the effect afresh.
// analyseHorizon then fillHorizon: every frame of the frame cube, before
//   anything else is drawn; fillHorizon paints every pixel of the target.
#pragma once
#include <cstdint>

#include "kit/vector_math.h"

struct CornerSample {
  int32_t side = 0;    // 0 or 1
  float value = 0.0f;  // -100 x the transformed corner's y
};

struct HorizonCrossing {
  bool crossed = false;
  int32_t x = 0;  // column, kept in 0..320
  int32_t y = 0;  // row, kept in 0..200
};

struct SplitRow {
  int32_t side = 0;   // colour of the first `split` pixels
  int32_t split = 0;  // 0..320
};

enum HorizonEdge { kEdgeTop = 0, kEdgeLeft = 1, kEdgeRight = 2, kEdgeBottom = 3 };

constexpr uint32_t kHorizonColours[2] = {0x00001020u, 0x00003F2Fu};

struct HorizonState {
  Vec3 offset = {};                  // the corners' translation
  Vec3 corners[4] = {};              // this frame's transformed corners
  CornerSample samples[4];
  HorizonCrossing crossings[4];      // top, left, right, bottom
  SplitRow rows[200];                // one split per target row
};

extern HorizonState Horizon;

// Classifies the four screen corners against the ground plane and finds where
// the dividing line crosses the screen edges.
void analyseHorizon(const Matrix3& view, const CameraSpec& camera);
// Turns the crossings into one split per row and paints the target.
void fillHorizon(uint8_t* target);
// Paints all 200 rows from Horizon.rows.
void fillSplitRows(uint8_t* target);

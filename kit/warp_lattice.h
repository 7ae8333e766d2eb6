// warp_lattice.h — what the lens warp and the ripple swirl both move and draw
// from: the 40x25 lattice before any warp, the three lens paths, and the
// warp angle they share.
//
// initWarpLattice: once at start-up (initKit); builds WarpLattice and puts
//   WarpAngle back to 0.
// Each tick of either effect:
//   const float theta = WarpAngle;
//   placeLensPoints(points, theta, cx, rx, cy, ry);   // its own three points
//   WarpAngle = theta + kTickAngle;
// The angle is shared on purpose: the ripple scenes pick it up where the
// opening scene left it, and each ripple scene where the one before left it.
#pragma once
#include <cstdint>

#include "kit/texture_grid.h"

constexpr int kGridVertices = kGridRows * kGridColumns;   // 1000

// One lattice vertex before any warp, in texels about the texture centre:
// r goes with the screen row, c with the column.
struct LatticePoint {
  float r, c;
};

struct LensPoint {
  float x, y;
};

extern LatticePoint WarpLattice[kGridVertices];   // row-major, -128 .. 127
extern float WarpAngle;                           // radians, +2*pi/1024 per tick

void initWarpLattice();

// The three lens paths at angle theta: centre (cx, cy), reach (rx, ry). The
// lens warp places them in pixels, the ripple swirl in lattice units.
void placeLensPoints(LensPoint points[3], float theta, float cx, float rx, float cy, float ry);

// warp_lattice.cpp — the undistorted lattice, the lens paths and the shared
// warp angle (see warp_lattice.h).
#include "kit/warp_lattice.h"

#include "kit/trig.h"

LatticePoint WarpLattice[kGridVertices];
float WarpAngle = 0.0f;

void initWarpLattice() {
  // Each coordinate is reached by repeated single-precision addition.
  const float rowStep = 255.0f / 25.0f;
  const float columnStep = 255.0f / 40.0f;
  float r = -128.0f;
  for (int j = 0; j < kGridRows; ++j) {
    float c = -128.0f;
    for (int i = 0; i < kGridColumns; ++i) {
      WarpLattice[j * kGridColumns + i] = LatticePoint{r, c};
      c += columnStep;
    }
    r += rowStep;
  }
  WarpAngle = 0.0f;
}

void placeLensPoints(LensPoint points[3], float theta, float cx, float rx, float cy, float ry) {
  points[0] = LensPoint{cx + rx * trigSin(2.0f * theta), cy + ry * trigCos(theta / 2.0f)};
  points[1] = LensPoint{cx + rx * trigCos(2.0f * theta), cy + ry * trigSin(4.0f * theta)};
  points[2] = LensPoint{cx + rx * trigCos(3.0f * theta), cy + ry * trigSin(theta / 3.0f)};
}

// ripple_swirl.cpp — the texture at full brightness and twice the lens warp's
// scale, each vertex turned by three circular ripples spreading from the lens
// points (here in lattice units), about the points' mean.
//
// Turns on the warp angle the lens warp leaves, over the same lattice.
#include "effects/ripple_swirl.h"

#include <cmath>

#include "kit/numbers.h"
#include "kit/trig.h"

RippleSwirlState RippleSwirl;

namespace {

// What a tick derives from the angle before stepping it: the points and the
// ripples' amplitude.
void placeSwirl(float theta) {
  placeLensPoints(RippleSwirl.lensPoints, theta, 18.0f, 18.0f, 10.0f, 10.0f);
  RippleSwirl.swirlAmplitude = 10.0f * trigSin(theta / 3.0f);
}

}  // namespace

void initRippleSwirl() {
  RippleSwirl = RippleSwirlState{};
  resetRippleSwirl();
}

// The values the scene's first tick will derive, without stepping the angle:
// a frame that draws before any tick shows the swirl where it stands.
void resetRippleSwirl() { placeSwirl(WarpAngle); }

void fillSwirlGrid() {
  RippleSwirlState& s = RippleSwirl;
  const LensPoint* p = s.lensPoints;
  const float amplitude = s.swirlAmplitude;

  // Lattice units to WarpLattice units: 256/40 across, 256/25 down. The points' x
  // feeds the row component of the centre, their y the column component.
  const float sx = 256.0f / 40.0f;
  const float sy = 256.0f / 25.0f;
  float qx[3], qy[3];
  for (int k = 0; k < 3; ++k) {
    qx[k] = p[k].x * sx - 128.0f;
    qy[k] = p[k].y * sy - 128.0f;
  }
  const float centreRow = (qx[0] + qx[1] + qx[2]) / 3.0f;
  const float centreColumn = (qy[0] + qy[1] + qy[2]) / 3.0f;

  for (int j = 0; j < kGridRows; ++j) {
    const float py = static_cast<float>(j);
    for (int i = 0; i < kGridColumns; ++i) {
      const float px = static_cast<float>(i);
      const int v = j * kGridColumns + i;

      float d[3];
      for (int k = 0; k < 3; ++k) {
        const float dx = p[k].x - px;
        const float dy = p[k].y - py;
        d[k] = std::sqrt(dx * dx + dy * dy);
      }
      // The third ripple has no factor pi: its rings are pi times wider.
      const float e0 = amplitude * trigSin(kPi * d[0] / 20.0f);
      const float e1 = amplitude * trigCos(kPi * d[1] / 20.0f);
      const float e2 = amplitude * trigSin(-d[2] / 20.0f);
      const float rho = (e0 + e1 + e2) / 3.0f;
      const float cr = trigCos(rho);
      const float sr = trigSin(rho);

      const LatticePoint base = WarpLattice[v];
      const float r = base.r - centreRow;
      const float c = base.c - centreColumn;
      const float x = (r * cr - c * sr) / 512.0f;
      const float y = (r * sr + c * cr) / 512.0f;

      s.texCoords[v].row = x * 256.0f * 65536.0f;
      s.texCoords[v].column = y * 256.0f * 65536.0f;
      s.shades[v] = 255;
    }
  }
}

void renderRippleSwirl(uint8_t* target) {
  const RippleSwirlState& s = RippleSwirl;
  fillSwirlGrid();
  renderTextureGrid(target, s.texCoords, s.shades, GridTexture, GridPalette, ShadeTable);
}

void updateRippleSwirl(int32_t ticks) {
  for (int32_t tick = 0; tick < ticks; ++tick) {
    const float theta = WarpAngle;
    placeSwirl(theta);
    WarpAngle = theta + kTickAngle;
  }
}

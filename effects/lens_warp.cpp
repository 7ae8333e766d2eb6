// lens_warp.cpp — the opening scene: the texture warped by three wandering
// lenses, turned and twisted by WarpAngle, with two logos glowing over it.
//
// The warp is evaluated only at the 1000 grid vertices; renderTextureGrid does
// the per-pixel work. All state values are 32-bit floats or int32.
#include "effects/lens_warp.h"

#include <cmath>

#include "kit/numbers.h"
#include "kit/trig.h"

LensWarpState LensWarp;

namespace {

void placeWarpLenses(float theta) { placeLensPoints(LensWarp.lensPoints, theta, 160.0f, 180.0f, 100.0f, 120.0f); }

}  // namespace

// The lenses start where the first tick will put them, so a frame drawn
// before any tick shows them on their paths.
void initLensWarp() {
  LensWarp = LensWarpState{};
  placeWarpLenses(WarpAngle);
}

void fillLensGrid() {
  LensWarpState& s = LensWarp;
  const float theta = WarpAngle;
  const float sa = trigSin(theta / 2.0f);
  const float ca = trigCos(theta / 2.0f);
  const float sinTheta = trigSin(theta);

  for (int j = 0; j < kGridRows; ++j) {
    const float py = static_cast<float>(8 * j);
    for (int i = 0; i < kGridColumns; ++i) {
      const float px = static_cast<float>(8 * i);
      const int v = j * kGridColumns + i;

      // Each lens within reach (nearest distance below 180) adds 180 - d.
      float f = 0.0f;
      for (const LensPoint& p : s.lensPoints) {
        const float dx = p.x - px;
        const float dy = p.y - py;
        const float d = std::sqrt(dx * dx + dy * dy);
        if (nearest(d) < 180) f += 180.0f - d;
      }
      if (nearest(f) >= 300) f = 300.0f;
      const float w = 1.0f - 0.75f * trigSin(f * kPi / 600.0f);

      // Turn by theta/2 about the texture centre and scale by w/128.
      const LatticePoint base = WarpLattice[v];
      const float x = (base.r * ca - base.c * sa) * 4.0f * w / 512.0f;
      const float y = (base.r * sa + base.c * ca) * 4.0f * w / 512.0f;
      // Twist, stronger where w is large (away from the lenses).
      const float phi = 2.0f * w * sinTheta;
      const float cp = trigCos(phi);
      const float sp = trigSin(phi);
      const float xt = x * cp - y * sp;
      const float yt = x * sp + y * cp;

      s.texCoords[v].row = (xt * 128.0f + 127.0f) * 65536.0f;
      s.texCoords[v].column = (yt * 128.0f + 127.0f) * 65536.0f;
      const int32_t shade = nearest(255.0f - 175.0f * w);
      s.shades[v] = shade < 0 ? 0 : shade;
    }
  }
}

void renderLensWarp(uint8_t* target) {
  LensWarpState& s = LensWarp;
  fillLensGrid();
  renderTextureGrid(target, s.texCoords, s.shades, GridTexture, GridPalette, ShadeTable);
  drawTitleLogo(target, s.glow);
}

void updateLensWarp(int32_t ticks) {
  LensWarpState& s = LensWarp;
  for (int32_t tick = 0; tick < ticks; ++tick) {
    const float theta = WarpAngle;
    placeWarpLenses(theta);
    WarpAngle = theta + kTickAngle;
    stepLogoGlow(s.glow);
  }
}

void onLensWarpLogoIn() { showNextTitleLogo(LensWarp.glow); }

void onLensWarpLogoOut() { fadeTitleLogo(LensWarp.glow); }

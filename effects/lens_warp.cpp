// lens_warp.cpp — the opening scene: the texture warped by three wandering
// lenses, turned and twisted by warpAngle, with two logos glowing over it.
//
// The warp is evaluated only at the 1000 grid vertices; renderTextureGrid does
// the per-pixel work. All state values are 32-bit floats or int32.
#include "effects/lens_warp.h"

#include <cmath>

#include "effects/tunnel.h"
#include "kit/blob_map.h"
#include "kit/trig.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;
constexpr float kTickAngle = float(2.0 * 3.14159265358979323846 / 1024.0);

inline int32_t nearest(float v) { return static_cast<int32_t>(std::lrintf(v)); }

}  // namespace

LensWarpState LensWarp;
uint8_t OpenerLogoBlur[kOpenerBlurBytes];
uint8_t BriskLogoBlur[kBriskBlurBytes];
uint8_t LensWarpMixBuffer[kLogoMixBytes];

void initLensWarp(const uint8_t* texture, const uint8_t* palette, const uint8_t* openerLogo,
                  const uint8_t* briskLogo) {
  LensWarp = LensWarpState{};
  LensWarpState& s = LensWarp;
  for (int32_t& shade : s.shades) shade = 255;
  buildGridTexture(texture);
  buildGridPalette(palette);
  buildShadeTable();
  s.texture = GridTexture;
  s.palette = GridPalette;
  s.shadeTable = ShadeTable;

  // Each coordinate is reached by repeated single-precision addition.
  const float rowStep = 255.0f / 25.0f;
  const float columnStep = 255.0f / 40.0f;
  float r = -128.0f;
  for (int j = 0; j < kGridRows; ++j) {
    float c = -128.0f;
    for (int i = 0; i < kGridColumns; ++i) {
      s.baseGrid[j * kGridColumns + i] = LatticePoint{r, c};
      c += columnStep;
    }
    r += rowStep;
  }

  blurLogo(openerLogo, 280, 52, OpenerLogoBlur);
  blurLogo(briskLogo, 240, 59, BriskLogoBlur);
  // Blurred logos sit centred in the 320x200 picture, the sharp ones 15 pixels in.
  fillTitleLogoTable(s.logoTable, openerLogo, OpenerLogoBlur, briskLogo, BriskLogoBlur);
  initBlobTables();
  buildGlowTables();
  initTunnel(s.texture, s.palette, s.shadeTable);
}

void fillLensGrid() {
  LensWarpState& s = LensWarp;
  const float theta = s.warpAngle;
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
      const LatticePoint base = s.baseGrid[v];
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
  renderTextureGrid(target, s.texCoords, s.shades, s.texture, s.palette, s.shadeTable);

  drawLogoGlow(target, s.logoTable[s.glow.logoIndex], s.glow.level, LensWarpMixBuffer);
}

void placeLensPoints(float theta, float cx, float rx, float cy, float ry) {
  LensPoint* p = LensWarp.lensPoints;
  p[0] = LensPoint{cx + rx * trigSin(2.0f * theta), cy + ry * trigCos(theta / 2.0f)};
  p[1] = LensPoint{cx + rx * trigCos(2.0f * theta), cy + ry * trigSin(4.0f * theta)};
  p[2] = LensPoint{cx + rx * trigCos(3.0f * theta), cy + ry * trigSin(theta / 3.0f)};
}

void updateLensWarp(int32_t ticks) {
  LensWarpState& s = LensWarp;
  for (int32_t tick = 0; tick < ticks; ++tick) {
    const float theta = s.warpAngle;
    placeLensPoints(theta, 160.0f, 180.0f, 100.0f, 120.0f);
    s.warpAngle = theta + kTickAngle;
    stepLogoGlow(s.glow);
  }
}

void showNextLogo() { showNextTitleLogo(LensWarp.glow); }

void fadeOutLogo() { fadeTitleLogo(LensWarp.glow); }

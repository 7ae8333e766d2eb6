// Ripple swirl: the unturned zero-amplitude view, the ripple angle, the
// scene-start reset that places what the first tick will, on the shared warp
// angle.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/ripple_swirl.h"
#include "kit/numbers.h"
#include "tests/effects/effect_fixture.h"

namespace {

int Vertex(int column, int row) { return row * kGridColumns + column; }

void StartRippleSwirl() {
  StartKit();
  initRippleSwirl();
}

TEST(RippleSwirl, ZeroAmplitudeShowsTheTextureUnturnedAtTwiceTheScale) {
  StartRippleSwirl();
  EXPECT_EQ(RippleSwirl.swirlAmplitude, 0.0f) << "sin(0 / 3)";
  // Points at the origin: centre (-128, -128), so texel = (lattice + 128) / 2.
  for (LensPoint& p : RippleSwirl.lensPoints) p = {0.0f, 0.0f};
  fillSwirlGrid();
  for (int v = 0; v < kGridVertices; ++v) {
    const LatticePoint p = WarpLattice[v];
    ASSERT_EQ(RippleSwirl.texCoords[v].row, (p.r + 128.0f) * 32768.0f) << v;
    ASSERT_EQ(RippleSwirl.texCoords[v].column, (p.c + 128.0f) * 32768.0f) << v;
    ASSERT_EQ(RippleSwirl.shades[v], 255) << v;
  }

  // Moved points shift the picture by their mean (x feeds rows, y columns).
  RippleSwirl.lensPoints[0] = {10.0f, 5.0f};
  RippleSwirl.lensPoints[1] = {20.0f, 5.0f};
  RippleSwirl.lensPoints[2] = {30.0f, 20.0f};
  fillSwirlGrid();
  const float centreRow = 20.0f * 6.4f - 128.0f;
  const float centreColumn = 10.0f * 10.24f - 128.0f;
  EXPECT_NEAR(RippleSwirl.texCoords[0].row / 32768.0f, -128.0f - centreRow, 1e-3f);
  EXPECT_NEAR(RippleSwirl.texCoords[0].column / 32768.0f, -128.0f - centreColumn, 1e-3f);
}

TEST(RippleSwirl, RippleAngleMixesThreeRingsFromThePoints) {
  StartRippleSwirl();
  struct Case {
    float amplitude;
    LensPoint point;
  } cases[] = {{7.5f, {0.0f, 0.0f}}, {-4.0f, {0.0f, 0.0f}}, {3.0f, {0.0f, 3.0f}}};
  for (const Case& c : cases) {
    RippleSwirl.swirlAmplitude = c.amplitude;
    for (LensPoint& p : RippleSwirl.lensPoints) p = c.point;
    fillSwirlGrid();
    // Vertex (0, 1) lies 10.2 lattice units straight down the row axis from
    // the centre's row, so its texel direction is the ripple angle itself.
    const double d = std::hypot(c.point.x - 0.0, c.point.y - 1.0);
    const double rho = c.amplitude * (std::sin(kPiDouble * d / 20) + std::cos(kPiDouble * d / 20) + std::sin(-d / 20)) / 3;
    const TexCoord t = RippleSwirl.texCoords[Vertex(0, 1)];
    const LatticePoint p = WarpLattice[Vertex(0, 1)];
    const double centreRow = c.point.x * 6.4 - 128;
    const double centreColumn = c.point.y * 10.24 - 128;
    const double r = p.r - centreRow, col = p.c - centreColumn;
    EXPECT_NEAR(t.row / 32768.0, r * std::cos(rho) - col * std::sin(rho), 1e-3) << c.amplitude;
    EXPECT_NEAR(t.column / 32768.0, r * std::sin(rho) + col * std::cos(rho), 1e-3) << c.amplitude;
  }
}

// The scene's start places what its first tick will, without stepping the
// angle: a frame drawn before any tick shows the same swirl as after it.
TEST(RippleSwirl, ResetPlacesWhatTheFirstTickWill) {
  StartRippleSwirl();
  WarpAngle = 2.0f;
  updateRippleSwirl(40);
  const float angle = WarpAngle;

  resetRippleSwirl();
  EXPECT_EQ(WarpAngle, angle);
  LensPoint expected[3];
  placeLensPoints(expected, angle, 18.0f, 18.0f, 10.0f, 10.0f);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(RippleSwirl.lensPoints[k].x, expected[k].x);
    EXPECT_EQ(RippleSwirl.lensPoints[k].y, expected[k].y);
    EXPECT_TRUE(expected[k].x >= 0.0f && expected[k].x <= 36.0f && expected[k].y >= 0.0f && expected[k].y <= 20.0f);
  }
  EXPECT_EQ(RippleSwirl.swirlAmplitude, 10.0f * std::sin(angle / 3.0f));
  ASSERT_NE(RippleSwirl.swirlAmplitude, 0.0f);

  FrameTarget beforeTick, afterTick;
  renderRippleSwirl(beforeTick.area());
  updateRippleSwirl(1);
  EXPECT_EQ(WarpAngle, angle + kTickAngle);
  renderRippleSwirl(afterTick.area());
  EXPECT_TRUE(beforeTick == afterTick);
}

}  // namespace

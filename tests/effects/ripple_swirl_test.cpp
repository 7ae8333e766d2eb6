// Ripple swirl: the unturned zero-amplitude view, the ripple angle, the
// scene-start reset and tick stepping on the shared warp angle.
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
  // Points at the origin: centre (-128, -128), so texel = (lattice + 128) / 2.
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

TEST(RippleSwirl, ResetZeroesOnlyThePoints) {
  StartRippleSwirl();
  WarpAngle = 2.0f;
  updateRippleSwirl(40);
  const float angle = WarpAngle;
  const float amplitude = RippleSwirl.swirlAmplitude;
  ASSERT_NE(amplitude, 0.0f);
  for (const LensPoint& p : RippleSwirl.lensPoints) {
    EXPECT_TRUE(p.x >= 0.0f && p.x <= 36.0f && p.y >= 0.0f && p.y <= 20.0f);
  }

  resetRippleSwirl();
  for (const LensPoint& p : RippleSwirl.lensPoints) {
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
  }
  EXPECT_EQ(WarpAngle, angle);
  EXPECT_EQ(RippleSwirl.swirlAmplitude, amplitude);

  // At the top-left vertex only the cosine ripple is non-zero: rho = A/3.
  // Vertex (0, 1) sees distance 1 from all three points.
  fillSwirlGrid();
  const double rho = amplitude * (std::sin(kPiDouble / 20) + std::cos(kPiDouble / 20) + std::sin(-1.0 / 20)) / 3;
  const TexCoord t = RippleSwirl.texCoords[Vertex(0, 1)];
  EXPECT_NEAR(std::atan2(t.column, t.row), rho, 1e-4);

  updateRippleSwirl(0);
  EXPECT_EQ(RippleSwirl.lensPoints[0].x, 0.0f) << "no tick leaves the points at zero";
  updateRippleSwirl(1);
  EXPECT_NE(RippleSwirl.lensPoints[0].x, 0.0f) << "the first tick replaces them";
  EXPECT_EQ(RippleSwirl.swirlAmplitude, 10.0f * std::sin(angle / 3.0f));
}

}  // namespace

// Lens warp: vertex shading and mapping, tick stepping, and the logo over
// the picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "effects/lens_warp.h"
#include "kit/numbers.h"
#include "tests/effects/effect_fixture.h"

namespace {

constexpr float kFar = 5000.0f;

int Vertex(int column, int row) { return row * kGridColumns + column; }

void StartLensWarp() {
  StartKit();
  initLensWarp();
}

void PlaceLenses(LensPoint a, LensPoint b, LensPoint c) {
  LensWarp.lensPoints[0] = a;
  LensWarp.lensPoints[1] = b;
  LensWarp.lensPoints[2] = c;
}

TEST(LensWarp, VertexShadeFollowsTheLensesReach) {
  StartLensWarp();
  // Vertex (10, 10) sits at lattice pixel (80, 80).
  struct Case {
    const char* what;
    LensPoint lenses[3];
    int shade;
  } cases[] = {
      {"all lenses out of reach", {{kFar, kFar}, {kFar, kFar}, {kFar, kFar}}, 80},
      {"one lens on the vertex", {{80, 80}, {kFar, kFar}, {kFar, kFar}}, 186},
      {"three lenses on the vertex, reach capped at 300", {{80, 80}, {80, 80}, {80, 80}}, 211},
      {"two lenses adding exactly 300", {{80, 80}, {80 + 60, 80}, {kFar, kFar}}, 211},
      {"distance 179.5 rounds to 180: no reach", {{80 + 179.5f, 80}, {kFar, kFar}, {kFar, kFar}}, 80},
      {"distance 178.5 rounds to 178: reach 1.5", {{80 + 178.5f, 80}, {kFar, kFar}, {kFar, kFar}}, 81},
  };
  for (const Case& c : cases) {
    PlaceLenses(c.lenses[0], c.lenses[1], c.lenses[2]);
    fillLensGrid();
    EXPECT_EQ(LensWarp.shades[Vertex(10, 10)], c.shade) << c.what;
  }
}

TEST(LensWarp, UnturnedViewSpansTheTextureRowsDownAndColumnsAcross) {
  StartLensWarp();
  PlaceLenses({kFar, kFar}, {kFar, kFar}, {kFar, kFar});
  WarpAngle = 0.0f;
  fillLensGrid();
  // w = 1, no turn, no twist: texel = lattice value + 127.
  const TexCoord topLeft = LensWarp.texCoords[Vertex(0, 0)];
  EXPECT_FLOAT_EQ(topLeft.row, -65536.0f);
  EXPECT_FLOAT_EQ(topLeft.column, -65536.0f);
  const TexCoord bottomRight = LensWarp.texCoords[Vertex(39, 24)];
  EXPECT_NEAR(bottomRight.row / 65536.0f, 116.8f + 127.0f, 0.01f);
  EXPECT_NEAR(bottomRight.column / 65536.0f, 120.625f + 127.0f, 0.01f);
  const TexCoord rightEnd = LensWarp.texCoords[Vertex(39, 0)];
  EXPECT_FLOAT_EQ(rightEnd.row, -65536.0f);
}

TEST(LensWarp, TurnAndTwistAwayFromTheLenses) {
  StartLensWarp();
  PlaceLenses({kFar, kFar}, {kFar, kFar}, {kFar, kFar});
  const float theta = 1.0f;
  WarpAngle = theta;
  fillLensGrid();
  // w = 1: the lattice turned by theta/2 and then by the twist 2*sin(theta).
  const double total = theta / 2.0 + 2.0 * std::sin(theta);
  for (int v : {Vertex(0, 0), Vertex(39, 0), Vertex(0, 24), Vertex(17, 9)}) {
    const LatticePoint p = WarpLattice[v];
    const double row = (p.r * std::cos(total) - p.c * std::sin(total)) + 127.0;
    const double column = (p.r * std::sin(total) + p.c * std::cos(total)) + 127.0;
    EXPECT_NEAR(LensWarp.texCoords[v].row / 65536.0, row, 1e-3) << v;
    EXPECT_NEAR(LensWarp.texCoords[v].column / 65536.0, column, 1e-3) << v;
    EXPECT_EQ(LensWarp.shades[v], 80);
  }
}

TEST(LensWarp, TicksAdvanceTheAngleTheLensesAndTheGlow) {
  StartLensWarp();
  // The lenses start where the first tick puts them, not at (0, 0).
  LensPoint first[3];
  placeLensPoints(first, 0.0f, 160.0f, 180.0f, 100.0f, 120.0f);
  EXPECT_EQ(std::memcmp(first, LensWarp.lensPoints, sizeof first), 0);
  const LensWarpState before = LensWarp;
  updateLensWarp(0);
  EXPECT_EQ(std::memcmp(&before, &LensWarp, sizeof before), 0) << "no tick changes nothing";
  EXPECT_EQ(WarpAngle, 0.0f);

  onLensWarpLogoIn();
  updateLensWarp(5);
  EXPECT_EQ(LensWarp.glow.level, 2) << "each tick also steps the glow";
  float theta = 0.0f;
  for (int n = 0; n < 4; ++n) theta += kTickAngle;
  // The lenses come from the angle before the last step.
  EXPECT_FLOAT_EQ(LensWarp.lensPoints[0].x, 160.0f + 180.0f * std::sin(2.0f * theta));
  EXPECT_FLOAT_EQ(LensWarp.lensPoints[2].y, 100.0f + 120.0f * std::sin(theta / 3.0f));
  theta += kTickAngle;
  EXPECT_EQ(WarpAngle, theta);
}

TEST(LensWarp, LogoLightensOnlyItsOwnRectangle) {
  StartLensWarp();
  WarpAngle = 0.7f;
  FrameTarget plain;
  renderLensWarp(plain.area());

  onLensWarpLogoIn();   // row 1: 310x52 at (5, 74)
  LensWarp.glow.level = 40;
  FrameTarget glowing;
  renderLensWarp(glowing.area());

  int lighter = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 320; ++x) {
      const bool inside = x >= 5 && x < 315 && y >= 74 && y < 126;
      for (int c = 0; c < 3; ++c) {
        const uint8_t a = plain.pixel(x, y)[c];
        const uint8_t b = glowing.pixel(x, y)[c];
        if (!inside) {
          ASSERT_EQ(a, b) << x << "," << y;
        } else {
          // The table floors its two terms apart, so a byte may drop by one.
          ASSERT_GE(b + 1, a) << x << "," << y;
          if (b > a) ++lighter;
        }
      }
    }
  }
  EXPECT_GT(lighter, 1000);
}

}  // namespace

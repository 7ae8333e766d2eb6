// The horizon split: corner analysis on the real camera, the fill cases, and
// the clamps that keep rounding cases inside the target.
#include <gtest/gtest.h>

#include <vector>

#include <cmath>
#include <string>

#include "effects/frame_cube.h"
#include "effects/frame_cube/horizon.h"
#include "tests/effects/effect_fixture.h"

namespace {

constexpr uint32_t kColour0 = 0x00001020u;
constexpr uint32_t kColour1 = 0x00003F2Fu;

uint32_t pixelAt(FrameTarget& t, int x, int y) {
  const uint8_t* p = t.pixel(x, y);
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Colour of each pixel in a row from a split column and the row's side.
void expectRow(FrameTarget& t, int y, int split, int side) {
  for (int x = 0; x < 320; ++x) {
    const uint32_t want = (x < split) == (side == 1) ? kColour1 : kColour0;
    ASSERT_EQ(pixelAt(t, x, y), want) << "row " << y << " column " << x;
  }
}

// Which edges the analysis found crossed, and where: the column of a
// crossing on the top or bottom edge, the row of one on the left or right
// edge; -1 for an edge that is not crossed.
void expectCrossings(int top, int left, int right, int bottom) {
  const int at[4] = {top, left, right, bottom};
  const char* const names[4] = {"top", "left", "right", "bottom"};
  for (int edge : {kEdgeTop, kEdgeLeft, kEdgeRight, kEdgeBottom}) {
    const HorizonCrossing& c = Horizon.crossings[edge];
    EXPECT_EQ(c.crossed, at[edge] >= 0) << names[edge];
    if (at[edge] < 0) continue;
    const bool acrossTheTop = edge == kEdgeTop || edge == kEdgeBottom;
    EXPECT_EQ(acrossTheTop ? c.x : c.y, at[edge]) << names[edge];
  }
}

TEST(Horizon, AtOrbitStartTheLineCrossesLeftAndRight) {
  StartKit();
  initFrameCube();
  updateFrameCube(1);   // one tick at orbitTime 0
  EXPECT_EQ(FrameCube.camera.eye.x, 3096.0f);
  EXPECT_EQ(FrameCube.camera.eye.y, 1536.0f);
  EXPECT_EQ(FrameCube.camera.eye.z, 0.0f);

  buildLookAtMatrix(FrameCube.camera, FrameCube.view);
  analyseHorizon(FrameCube.view, FrameCube.camera);
  const float values[4] = {-12477, -7255, 12477, 7255};
  const int sides[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(Horizon.samples[i].value, values[i], 1.0) << i;
    EXPECT_EQ(Horizon.samples[i].side, sides[i]) << i;
  }
  expectCrossings(-1, 126, 74, -1);

  FrameTarget t;
  fillHorizon(t.area());
  for (int y = 0; y < 74; ++y) expectRow(t, y, 320, 0);
  const float step = static_cast<float>(320.0 / 52.0);
  double running = 320.0;
  for (int y = 74; y < 126; ++y) {
    const int split = static_cast<int>(std::nearbyint(running));
    EXPECT_EQ(Horizon.rows[y].split, split) << y;
    expectRow(t, y, split, 0);
    running -= step;
  }
  EXPECT_EQ(Horizon.rows[74].split, 320);
  EXPECT_EQ(Horizon.rows[125].split, 6);
  for (int y = 126; y < 200; ++y) expectRow(t, y, 320, 1);
  EXPECT_TRUE(t.guardsIntact());
}

// Fill cases set up directly from corner sides and crossings.
struct FillCase {
  const char* name;
  int sides[4];
  HorizonCrossing top, left, right, bottom;
  // Expected: each row's colour at columns 0 and 319, sampled on four rows.
  int rows[4];
  uint32_t firstColumn[4];
  uint32_t lastColumn[4];
};

TEST(Horizon, FillCases) {
  const uint32_t c0 = kColour0, c1 = kColour1;
  const FillCase cases[] = {
      {"all corners below", {0, 0, 0, 0}, {}, {}, {}, {}, {0, 99, 100, 199}, {c0, c0, c0, c0}, {c0, c0, c0, c0}},
      {"all corners above", {1, 1, 1, 1}, {}, {}, {}, {}, {0, 99, 100, 199}, {c1, c1, c1, c1}, {c1, c1, c1, c1}},
      {"level line yL = yR", {0, 0, 1, 1}, {}, {1, 0, 90}, {1, 319, 90}, {},
       {0, 89, 90, 199}, {c0, c0, c1, c1}, {c0, c0, c1, c1}},
      {"rising LR yL < yR", {0, 0, 1, 1}, {}, {1, 0, 50}, {1, 319, 150}, {},
       {49, 50, 149, 150}, {c0, c0, c1, c1}, {c0, c0, c0, c1}},
      {"TL cut-off corner empty", {1, 0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {}, {},
       {0, 50, 150, 199}, {c0, c0, c0, c0}, {c0, c0, c0, c0}},
      {"TR at row 0", {0, 1, 0, 0}, {1, 320, 0}, {}, {1, 319, 0}, {},
       {0, 50, 150, 199}, {c0, c0, c0, c0}, {c0, c0, c0, c0}},
      {"LB at row 200", {1, 1, 1, 0}, {}, {1, 0, 200}, {}, {1, 0, 199},
       {0, 50, 150, 199}, {c1, c1, c1, c1}, {c1, c1, c1, c1}},
      {"RB at row 200", {0, 0, 1, 0}, {}, {}, {1, 319, 200}, {1, 320, 199},
       {0, 50, 150, 199}, {c0, c0, c0, c0}, {c0, c0, c0, c0}},
      {"vertical TB", {0, 1, 1, 0}, {1, 100, 0}, {}, {}, {1, 100, 199},
       {0, 50, 150, 199}, {c0, c0, c0, c0}, {c1, c1, c1, c1}},
  };
  for (const FillCase& c : cases) {
    for (int i = 0; i < 4; ++i) Horizon.samples[i] = {c.sides[i], c.sides[i] ? 1.0f : -1.0f};
    Horizon.crossings[kEdgeTop] = c.top;
    Horizon.crossings[kEdgeLeft] = c.left;
    Horizon.crossings[kEdgeRight] = c.right;
    Horizon.crossings[kEdgeBottom] = c.bottom;
    FrameTarget t;
    t.fillBytes(0x55);
    fillHorizon(t.area());
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(pixelAt(t, 0, c.rows[k]), c.firstColumn[k]) << c.name << ", row " << c.rows[k];
      EXPECT_EQ(pixelAt(t, 319, c.rows[k]), c.lastColumn[k]) << c.name << ", row " << c.rows[k];
    }
    for (int y = 0; y < 200; ++y)   // every pixel painted
      for (int x = 0; x < 320; ++x) {
        const uint32_t p = pixelAt(t, x, y);
        ASSERT_TRUE(p == c0 || p == c1) << c.name << " (" << x << ", " << y << ")";
      }
    if (std::string(c.name) == "vertical TB") {
      for (int y = 0; y < 200; ++y) ASSERT_EQ(Horizon.rows[y].split, 100) << y;
    }
    EXPECT_TRUE(t.guardsIntact()) << c.name;
  }
}

// Corner values of 0.4 and 0.6 round to sides 0 and 1 while both lie above
// the plane: the crossing fraction is 2, far outside its edge. The crossing is
// clamped and the fill stays inside the target.
TEST(Horizon, RoundingCaseIsClampedInsideTheTarget) {
  Horizon = HorizonState{};
  // Transformed y = a * x + c over the corner columns -160 and 160.
  const float a = -0.00000625f, c = -0.005f;
  Matrix3 m = {{1, 0, 0, a, 0, c / 256.0f, 0, 0, 1}};
  analyseHorizon(m, CameraSpec{});
  EXPECT_EQ(Horizon.samples[0].side, 0);
  EXPECT_EQ(Horizon.samples[1].side, 1);
  EXPECT_GT(Horizon.samples[0].value, 0.0f);
  expectCrossings(320, -1, -1, 320);
  FrameTarget t;
  fillHorizon(t.area());
  for (int y = 0; y < 200; ++y) {
    ASSERT_GE(Horizon.rows[y].split, 0);
    ASSERT_LE(Horizon.rows[y].split, 320);
  }
  EXPECT_TRUE(t.guardsIntact());

  // The same on the left edge, crossing rows clamped to 200.
  Matrix3 v = {{1, 0, 0, 0, -0.00000625f * 1.6f, c / 256.0f, 0, 0, 1}};
  analyseHorizon(v, CameraSpec{});
  ASSERT_EQ(Horizon.crossings[kEdgeLeft].crossed, 1);
  EXPECT_EQ(Horizon.crossings[kEdgeLeft].y, 200);
  fillHorizon(t.area());
  EXPECT_TRUE(t.guardsIntact());
}

}  // namespace

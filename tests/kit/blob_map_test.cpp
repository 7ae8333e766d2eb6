// Blob map: polar tables, extents from the phases, single-precision profile
// ramps, and the picture's fixed points.
#include <gtest/gtest.h>

#include "kit/blob_map.h"

namespace {

class BlobMapTest : public testing::Test {
 protected:
  void SetUp() override {
    initBlobTables();
    resetBlobPhases();
  }
  void TearDown() override { resetBlobPhases(); }
  static int map(int x, int y) { return BlobMap[y * 64 + x]; }
};

TEST_F(BlobMapTest, PolarTables) {
  struct Case {
    int x, y, distance, angle;
  };
  // Angle: (atan2(dy, dx) + pi) * 256 / pi, low 8 bits; a full turn is 512.
  const Case cases[] = {
      {32, 32, 0, 0},     // centre
      {33, 32, 1, 0},     // theta 0 -> 256
      {0, 32, 32, 0},     // theta pi -> 512
      {32, 33, 1, 128},   // theta pi/2 -> 384
      {32, 0, 32, 128},   // theta -pi/2 -> 128
      {33, 33, 1, 64},    // theta pi/4 -> 320
      {31, 31, 1, 64},    // theta -3pi/4 -> 64
      {0, 0, 45, 64},     // corner: sqrt(2048) = 45.25
      {63, 63, 44, 64},   // corner: sqrt(1922) = 43.84
      {40, 35, 9, 29},    // sqrt(73) = 8.54; atan2(3, 8) -> 285.2
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PolarDistanceTable[c.y * 64 + c.x], c.distance) << c.x << "," << c.y;
    EXPECT_EQ(PolarAngleTable[c.y * 64 + c.x], c.angle) << c.x << "," << c.y;
  }
  EXPECT_FLOAT_EQ(BlobStepA, 2.0f * 3.14159265f / 128.0f);
  EXPECT_FLOAT_EQ(BlobStepB, 2.0f * 3.14159265f / 32.0f);
}

TEST_F(BlobMapTest, ProgramStartShape) {
  buildBlobMap();
  EXPECT_EQ(BlobExtents[0][0], 25);
  EXPECT_EQ(BlobExtents[0][1], 31);
  // Class 16: a = pi/4, b = pi -> r = 3 cos(pi/4) + sin(pi/2) + 3 = 6.12.
  EXPECT_EQ(BlobExtents[16][0], 29);
  EXPECT_EQ(BlobExtents[16][1], 19);
  // Row 0 (X 25, Y 31): the mean of both ramps, then the longer ramp halved.
  struct Entry {
    int k, value;
  };
  const Entry row0[] = {{0, 255}, {1, 246}, {24, 34}, {25, 24}, {30, 4}, {31, 0}, {63, 0}};
  for (const Entry& e : row0) EXPECT_EQ(BlobProfiles[e.k], e.value) << "k " << e.k;
  EXPECT_EQ(map(32, 32), 255);
  EXPECT_EQ(map(33, 32), 246);   // class 0, distance 1
}

// Over a long run of phases: the centre stays 255, the corners and everything
// at distance 38 or more stay 0, extents stay in 12..38, and each map pixel is
// its class's profile at its distance.
TEST_F(BlobMapTest, InvariantsHoldAsPhasesAdvance) {
  for (int frame = 0; frame < 400; ++frame) {
    EXPECT_EQ(advanceBlobPhases(frame % 4), frame % 4);
    buildBlobMap();
    ASSERT_EQ(map(32, 32), 255) << frame;
    for (int i = 0; i < 64; ++i)
      for (int e = 0; e < 2; ++e) {
        ASSERT_GE(BlobExtents[i][e], 12);
        ASSERT_LE(BlobExtents[i][e], 38);
      }
    for (int p = 0; p < 4096; ++p) {
      const int cls = PolarAngleTable[p] & 63;
      const int distance = PolarDistanceTable[p];
      ASSERT_EQ(BlobMap[p], BlobProfiles[cls * 64 + distance]) << p;
      if (distance >= 38) {
        ASSERT_EQ(BlobMap[p], 0) << p;
      }
    }
    for (int x : {0, 63})
      for (int y : {0, 63}) ASSERT_EQ(map(x, y), 0);
  }
}

// The ramps are 32-bit float accumulators. For these extent pairs, all met in
// the first 250 ticks, the entry differs by one from what double accumulators
// or exact ramps (255 - k * 255 / X) would give.
TEST_F(BlobMapTest, ProfileRampsAccumulateInSinglePrecision) {
  struct Known {
    int x, y, k, value;
    bool seen;
  };
  Known known[] = {{30, 21, 7, 183, false},  {28, 28, 21, 63, false}, {28, 30, 14, 131, false},
                   {30, 33, 11, 165, false}, {27, 34, 9, 179, false}, {28, 21, 18, 63, false},
                   {27, 18, 9, 148, false},  {18, 17, 9, 123, false}};
  for (int tick = 0; tick < 250; ++tick) {
    advanceBlobPhases(1);
    buildBlobMap();
    for (int i = 0; i < 64; ++i)
      for (Known& n : known)
        if (BlobExtents[i][0] == n.x && BlobExtents[i][1] == n.y) {
          EXPECT_EQ(BlobProfiles[i * 64 + n.k], n.value) << "extents " << n.x << "," << n.y;
          n.seen = true;
        }
  }
  for (const Known& n : known) EXPECT_TRUE(n.seen) << "extents " << n.x << "," << n.y << " never met";
}

TEST_F(BlobMapTest, PhasesAdvancePerTickInSinglePrecision) {
  EXPECT_EQ(advanceBlobPhases(0), 0);
  EXPECT_EQ(BlobPhaseA, 0.0f);
  EXPECT_EQ(BlobPhaseB, 0.0f);
  EXPECT_EQ(advanceBlobPhases(3), 3);
  const float stepA = static_cast<float>(2.0 * 3.14159265358979323846 / 128.0);
  const float stepB = static_cast<float>(2.0 * 3.14159265358979323846 / 193.0);
  float a = 0.0f, b = 0.0f;
  for (int i = 0; i < 3; ++i) a += stepA, b += stepB;
  EXPECT_EQ(BlobPhaseA, a);
  EXPECT_EQ(BlobPhaseB, b);
}

}  // namespace

// The flying blobs: random field, seeding, the put-back rule, speed and culling.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/flying_blobs.h"
#include "kit/blob_map.h"
#include "tests/effects/effect_fixture.h"

namespace {

class FlyingBlobsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartKit();
    initFlyingBlobs();
  }
};

TEST(BlobFieldRandom, SequenceAndRange) {
  FlyingBlobs = {};
  // seed 123456 -> 123456 * 1431239 + 253 mod 2^32 = 601383101; r = 189.
  EXPECT_EQ(nextBlobFieldRandom(), -218);
  EXPECT_EQ(FlyingBlobs.seed, 601383101u);
  int lo = 1000, hi = -1000;
  for (int i = 0; i < 200000; ++i) {
    const int v = nextBlobFieldRandom();
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_GE(lo, -384);
  EXPECT_LE(hi, 512);
  EXPECT_LT(lo, -300);   // not symmetric about 0
  EXPECT_GT(hi, 450);
}

TEST_F(FlyingBlobsTest, SeedingSpreadsDepthsAndShades) {
  EXPECT_EQ(FlyingBlobs.speed, 0);
  EXPECT_EQ(FlyingBlobs.blobs[0].z, 0.0f);
  EXPECT_EQ(FlyingBlobs.blobs[0].shade, 15);
  EXPECT_EQ(FlyingBlobs.blobs[99].z, 1980.0f);
  EXPECT_EQ(FlyingBlobs.blobs[99].shade, 0);
  EXPECT_EQ(FlyingBlobs.blobs[50].shade, (2047 - 1000) >> 7);
  // x then y of every blob, in blob order, from the start seed.
  FlyingBlobsState copy = FlyingBlobs;
  FlyingBlobs = {};
  for (int i = 0; i < kFlyingBlobCount; ++i) {
    EXPECT_EQ(copy.blobs[i].x, static_cast<float>(nextBlobFieldRandom()));
    EXPECT_EQ(copy.blobs[i].y, static_cast<float>(nextBlobFieldRandom()));
  }
  EXPECT_EQ(copy.seed, FlyingBlobs.seed);
}

// Depth exactly 0 after the move is put back, so the blob seeded at 0 goes
// back to 2048 on the first move even at speed 0. A blob left at 2048 by a
// later move at speed 0 keeps shade 0 (invisible) rather than -1.
TEST_F(FlyingBlobsTest, PutBackAtDepthZeroEvenWithoutSpeed) {
  FlyingBlobsState before = FlyingBlobs;
  moveFlyingBlobs();
  const FlyingBlob& b0 = FlyingBlobs.blobs[0];
  EXPECT_EQ(b0.z, 2048.0f);
  EXPECT_EQ(b0.shade, 0);
  FlyingBlobsState fresh;
  fresh.seed = before.seed;
  FlyingBlobs.seed = fresh.seed;
  const float x = static_cast<float>(nextBlobFieldRandom());
  const float y = static_cast<float>(nextBlobFieldRandom());
  EXPECT_EQ(b0.x, x);
  EXPECT_EQ(b0.y, y);
  for (int i = 1; i < kFlyingBlobCount; ++i) {
    EXPECT_EQ(FlyingBlobs.blobs[i].z, before.blobs[i].z);
    EXPECT_EQ(FlyingBlobs.blobs[i].shade, before.blobs[i].shade);
  }
  moveFlyingBlobs();
  EXPECT_EQ(FlyingBlobs.blobs[0].z, 2048.0f);
  EXPECT_EQ(FlyingBlobs.blobs[0].shade, 0);

  // Speed 30: 2048 -> 2018 (shade 0), 20 -> put back, 1000 -> 970 (shade 8).
  FlyingBlobs.speed = 30;
  moveFlyingBlobs();
  EXPECT_EQ(FlyingBlobs.blobs[0].z, 2018.0f);
  EXPECT_EQ(FlyingBlobs.blobs[1].z, 2048.0f);
  EXPECT_EQ(FlyingBlobs.blobs[50].z, 970.0f);
  EXPECT_EQ(FlyingBlobs.blobs[50].shade, (2047 - 970) >> 7);
}

// A frame without ticks runs no update, so the last speed stays and the
// blobs keep moving by it on every render.
TEST_F(FlyingBlobsTest, SpeedKeptOnFramesWithoutTicks) {
  FrameTarget target;
  updateFlyingBlobs(3);
  EXPECT_EQ(FlyingBlobs.speed, 30);
  const float z = FlyingBlobs.blobs[60].z;   // 1200
  for (int frame = 1; frame <= 4; ++frame) {
    renderFlyingBlobs(target.area());
    EXPECT_EQ(FlyingBlobs.speed, 30);
    EXPECT_EQ(FlyingBlobs.blobs[60].z, z - 30.0f * frame);
  }
  EXPECT_TRUE(target.guardsIntact());
}

// Blob squares of 200 units at depth 256 are 200 pixels wide with their top
// left at (x + 60, y). Each row: where the square lies, and whether any pixel
// changes.
TEST_F(FlyingBlobsTest, BlobsWhollyOffAnEdgeAreSkipped) {
  struct Case {
    float x, y;
    bool visible;
    const char* what;
  };
  const Case cases[] = {
      {260, 0, false, "left edge at column 320"},   {200, 0, true, "half past the right edge"},
      {-260, 0, false, "right edge at column 0"},   {-160, 0, true, "half past the left edge"},
      {100, -200, false, "bottom edge at row 0"},   {100, -100, true, "half above the top"},
      {100, 200, false, "top edge at row 200"},     {100, 150, true, "half below the bottom"},
  };
  buildBlobMap();
  for (const Case& c : cases) {
    for (FlyingBlob& b : FlyingBlobs.blobs) b = {0, 0, 0, 15};   // depth 0: not drawn
    FlyingBlobs.blobs[7] = {c.x, c.y, 256, 15};
    FrameTarget target;
    drawFlyingBlobs(target.area());
    bool changed = false;
    for (std::size_t i = 0; i < kAreaBytes; ++i) changed |= target.area()[i] != 0;
    EXPECT_EQ(changed, c.visible) << c.what;
    EXPECT_TRUE(target.guardsIntact()) << c.what;
  }
}

// A whole frame: background everywhere the blobs leave alone, and blobs only
// lighten it.
TEST_F(FlyingBlobsTest, FrameIsBackgroundLightenedByBlobs) {
  FrameTarget target;
  target.fillBytes(0xFF);
  updateFlyingBlobs(2);
  for (int f = 0; f < 50; ++f) renderFlyingBlobs(target.area());
  int background = 0, lighter = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x) {
      const uint8_t* p = target.pixel(x, y);
      ASSERT_GE(p[0], 63);
      ASSERT_GE(p[1], 63);
      if (p[0] == 63 && p[1] == 63 && p[2] == 0) ++background;
      else ++lighter;
    }
  EXPECT_GT(background, 0);
  EXPECT_GT(lighter, 0);
  EXPECT_TRUE(target.guardsIntact());
}

}  // namespace

// The flying blobs: random field, seeding, the tick's move and put-back, a
// pause, and culling.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "effects/flying_blobs.h"
#include "kit/blob_map.h"
#include "kit/numbers.h"
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

// One tick moves every blob 10 nearer. A blob that reaches 0 (exactly 0
// included) or passes it is put back at 2048 less what it went past, at a new
// random place: the blob seeded at 0 comes back at 2038, the one at 20 at
// exactly 2048 on the next tick (shade 0, not -1).
TEST_F(FlyingBlobsTest, ATickMovesTheBlobsAndPutsBackWithTheOvershoot) {
  FlyingBlobs.blobs[2].z = 7.0f;   // passes by 3
  const FlyingBlobsState before = FlyingBlobs;
  // The put-backs in order: blobs 0 and 2 on the first tick, blob 1 on the second.
  const float x0 = static_cast<float>(nextBlobFieldRandom());
  const float y0 = static_cast<float>(nextBlobFieldRandom());
  const float x2 = static_cast<float>(nextBlobFieldRandom());
  const float y2 = static_cast<float>(nextBlobFieldRandom());
  const float x1 = static_cast<float>(nextBlobFieldRandom());
  FlyingBlobs = before;
  moveFlyingBlobs();
  moveFlyingBlobs();
  const FlyingBlob* b = FlyingBlobs.blobs;
  EXPECT_EQ(b[0].z, 2028.0f);
  EXPECT_EQ(b[0].shade, 0);
  EXPECT_EQ(b[0].x, x0);
  EXPECT_EQ(b[0].y, y0);
  EXPECT_EQ(b[2].z, 2035.0f);
  EXPECT_EQ(b[2].x, x2);
  EXPECT_EQ(b[2].y, y2);
  EXPECT_EQ(b[1].z, 2048.0f);
  EXPECT_EQ(b[1].shade, 0);
  EXPECT_EQ(b[1].x, x1);
  for (int i = 3; i < kFlyingBlobCount; ++i) {
    EXPECT_EQ(b[i].z, before.blobs[i].z - 20.0f) << i;
    EXPECT_EQ(b[i].shade, (2047 - nearest(b[i].z)) >> 7) << i;
  }
}

// The field keeps its spread whatever one update holds: after a 5-second
// pause (351 ticks in one update) the 100 blobs still lie at 100 depths, the
// depths they reach by single ticks.
TEST_F(FlyingBlobsTest, APauseKeepsTheBlobsApart) {
  updateFlyingBlobs(351);
  const FlyingBlobsState once = FlyingBlobs;
  std::set<float> depths;
  for (const FlyingBlob& b : once.blobs) depths.insert(b.z);
  EXPECT_EQ(depths.size(), 100u);

  StartKit();
  initFlyingBlobs();
  for (int tick = 0; tick < 351; ++tick) updateFlyingBlobs(1);
  for (int i = 0; i < kFlyingBlobCount; ++i) {
    EXPECT_EQ(FlyingBlobs.blobs[i].z, once.blobs[i].z) << i;
    EXPECT_EQ(FlyingBlobs.blobs[i].x, once.blobs[i].x) << i;
  }
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
  for (int f = 0; f < 50; ++f) {
    updateFlyingBlobs(2);
    renderFlyingBlobs(target.area());
  }
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

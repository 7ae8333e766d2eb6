// Blob sprites and dot stamps: scaling, clipping at 319/199, lightening
// arithmetic, calls outside the contract, and the dot's shape and amounts.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "kit/blitters.h"
#include "kit/logo_glow.h"
#include "tests/support/frame_target.h"

namespace {

class BlittersTest : public testing::Test {
 protected:
  void SetUp() override {
    buildGlowTables();
    buildShadeScaleTable();
  }
  // Amount k recovered from a byte lightened once from 0: (k * 255) >> 6 is
  // different for every k.
  static int amountFromBlack(int byte) {
    for (int k = 0; k < 64; ++k)
      if (LightenTable[0 * 64 + k] == byte) return k;
    return -1;
  }
};

TEST_F(BlittersTest, ShadeScaleTable) {
  EXPECT_EQ(ShadeScaleTable[0 * 256 + 255], 0);
  EXPECT_EQ(ShadeScaleTable[15 * 256 + 255], 239);
  EXPECT_EQ(ShadeScaleTable[8 * 256 + 100], 50);
  EXPECT_EQ(ShadeScaleTable[1 * 256 + 15], 0);
}

// Each case places a sprite; every target pixel either shows the source pixel
// the scaling and clipping pick for it, or is untouched. Two sources tell the
// source column and row apart: value 4*column and value 4*row.
TEST_F(BlittersTest, SpriteScalesAndClips) {
  struct Case {
    const char* name;
    int32_t x, y, size;
    int left, top, right, bottom;          // drawn target rectangle, inclusive
    int sourceLeft, sourceTop, scale;      // source pixel = sourceLeft + (c - left) * 64 / size ...
  };
  const Case cases[] = {
      {"one to one", 10, 20, 64, 10, 20, 73, 83, 0, 0, 1},
      {"left clip", -10, 5, 64, 0, 5, 53, 68, 10, 0, 1},
      {"right clip", 300, 5, 64, 300, 5, 318, 68, 0, 0, 1},
      {"top clip", 40, -32, 64, 40, 0, 103, 31, 0, 32, 1},
      {"bottom clip", 40, 150, 64, 40, 150, 103, 198, 0, 0, 1},
      {"double size", 100, 50, 128, 100, 50, 227, 177, 0, 0, 2},
      {"half size", 7, 9, 32, 7, 9, 38, 40, 0, 0, -2},
      {"one pixel", 318, 198, 64, 318, 198, 318, 198, 0, 0, 1},
  };
  std::vector<uint8_t> byColumn(64 * 64), byRow(64 * 64);
  for (int j = 0; j < 64; ++j)
    for (int i = 0; i < 64; ++i) {
      byColumn[j * 64 + i] = static_cast<uint8_t>(4 * i);
      byRow[j * 64 + i] = static_cast<uint8_t>(4 * j);
    }
  auto expectedSource = [](const Case& c, int offset, int start) {
    if (c.scale == 2) return start + offset / 2;
    if (c.scale == -2) return start + offset * 2;
    return start + offset;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int pass = 0; pass < 2; ++pass) {
      FrameTarget t;
      t.fillPixels(0x5A000000u);
      drawBlobSprite(t.area(), pass == 0 ? byColumn.data() : byRow.data(), c.x, c.y, c.size);
      for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
          const bool inside = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
          if (!inside) {
            ASSERT_TRUE(t.unchanged(x, y)) << x << "," << y;
            continue;
          }
          const uint8_t* p = t.pixel(x, y);
          ASSERT_EQ(p[0], p[2]);
          ASSERT_EQ(p[1], p[2]);
          ASSERT_EQ(p[3], 0x5A);
          const int want = pass == 0 ? expectedSource(c, x - c.left, c.sourceLeft)
                                     : expectedSource(c, y - c.top, c.sourceTop);
          ASSERT_EQ(amountFromBlack(p[2]), want) << (pass == 0 ? "column" : "row") << " at " << x << "," << y;
        }
    }
  }
}

TEST_F(BlittersTest, LighteningAmounts) {
  std::vector<uint8_t> source(64 * 64);
  source[0] = 3;     // below 4: amount 0
  source[1] = 4;     // amount 1
  source[2] = 255;   // amount 63
  FrameTarget t;
  t.fillPixels(0x00FFFF00u);   // blue 0, green 255, red 255
  drawBlobSprite(t.area(), source.data(), 0, 0, 64);
  EXPECT_TRUE(t.unchanged(0, 0));
  EXPECT_EQ(t.pixel(1, 0)[0], 3);     // (1*255)>>6
  EXPECT_EQ(t.pixel(1, 0)[1], 254);   // a byte at 255 drops to 254
  EXPECT_EQ(t.pixel(2, 0)[0], 251);
  EXPECT_EQ(t.pixel(2, 0)[2], 254);
  EXPECT_EQ(t.changedPixels(), 2);

  // Shaded: the source is scaled by shade/16 first; shade 0 draws nothing.
  struct Case {
    int32_t shade;
    int blue;
  };
  const Case cases[] = {{0, 0}, {1, 11}, {8, 123}, {15, 235}};  // 255 -> 15, 127, 239 -> k 3, 31, 59
  for (const Case& c : cases) {
    FrameTarget s;
    drawShadedBlobSprite(s.area(), source.data(), 0, 0, 64, c.shade);
    EXPECT_EQ(s.pixel(2, 0)[0], c.blue) << "shade " << c.shade;
    EXPECT_TRUE(s.unchanged(1, 0)) << "shade " << c.shade;   // 4 scaled down to below 4
  }
}

// Calls outside the contract draw nothing at all.
TEST_F(BlittersTest, OutOfContractSpritesDrawNothing) {
  std::vector<uint8_t> source(64 * 64, 255);
  struct Case {
    int32_t x, y, size, shade;
  };
  const Case cases[] = {
      {10, 10, 0, 8},          {10, 10, -5, 8},      {-64, 10, 64, 8},        {10, -64, 64, 8},
      {-100, -100, 64, 8},     {319, 10, 64, 8},     {10, 199, 64, 8},        {INT32_MAX, 10, 64, 8},
      {10, INT32_MAX, 64, 8},  {INT32_MIN, 10, 64, 8}, {10, 10, 64, 16},      {10, 10, 64, -1},
      {-INT32_MAX, 10, INT32_MAX, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " size " << c.size << " shade " << c.shade);
    FrameTarget t(FrameTarget::kMarked);
    drawShadedBlobSprite(t.area(), source.data(), c.x, c.y, c.size, c.shade);
    if (c.shade >= 0 && c.shade <= 15) drawBlobSprite(t.area(), source.data(), c.x, c.y, c.size);
    EXPECT_EQ(t.changedPixels(), 0);
    EXPECT_TRUE(t.guardsIntact());
  }
  // Huge sizes still read only the 64x64 source and stop at column 318, row 198.
  FrameTarget t;
  drawBlobSprite(t.area(), source.data(), -1000000, -1000000, INT32_MAX);
  EXPECT_EQ(t.changedPixels(), 319 * 199);
  EXPECT_TRUE(t.guardsIntact());
}

TEST_F(BlittersTest, DotStampShapeAndAmounts) {
  // Offsets of the 12 stamped pixels and whether each is in the bright core.
  struct Spot {
    int dx, dy;
    bool core;
  };
  const Spot spots[] = {{0, -1, false}, {1, -1, false}, {-1, 0, false}, {0, 0, true},
                        {1, 0, true},   {2, 0, false},  {-1, 1, false}, {0, 1, true},
                        {1, 1, true},   {2, 1, false},  {0, 2, false},  {1, 2, false}};
  struct Case {
    bool bright;
    int32_t mask;
    int core, rim;
  };
  const Case cases[] = {{true, 4, 251, 123}, {false, 4, 95, 39}, {true, 1, 251, 123},
                        {false, 7, 95, 39},  {true, 2, 251, 123}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.bright ? "bright" : "dim") << " mask " << c.mask);
    FrameTarget t;
    t.fillPixels(0x77000000u);
    if (c.bright) {
      stampBrightDot(t.pixel(100, 50), c.mask);
    } else {
      stampDimDot(t.pixel(100, 50), c.mask);
    }
    EXPECT_EQ(t.changedPixels(), 12);
    for (const Spot& s : spots) {
      const uint8_t* p = t.pixel(100 + s.dx, 50 + s.dy);
      const int value = s.core ? c.core : c.rim;
      EXPECT_EQ(p[2], (c.mask & 1) ? value : 0) << s.dx << "," << s.dy;
      EXPECT_EQ(p[1], (c.mask & 2) ? value : 0) << s.dx << "," << s.dy;
      EXPECT_EQ(p[0], (c.mask & 4) ? value : 0) << s.dx << "," << s.dy;
      EXPECT_EQ(p[3], 0x77);
    }
  }
}

TEST_F(BlittersTest, RepeatedDotsSaturateBelowWhite) {
  FrameTarget t;
  int previous = 0;
  for (int n = 0; n < 20; ++n) {
    stampBrightDot(t.pixel(50, 50), 7);
    const int now = t.pixel(50, 50)[0];
    EXPECT_GE(now, previous);
    EXPECT_LE(now, 255);
    previous = now;
  }
  t.pixel(60, 60)[1] = 255;
  stampDimDot(t.pixel(60, 60), 2);
  EXPECT_EQ(t.pixel(60, 60)[1], 254);
}

TEST_F(BlittersTest, CheckedDotsDrawNothingNearTheEdge) {
  struct Case {
    int32_t x, y;
    bool drawn;
  };
  const Case cases[] = {{1, 1, true},    {317, 197, true}, {0, 100, false}, {318, 100, false},
                        {100, 0, false}, {100, 198, false}, {-5, -5, false}, {319, 199, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    FrameTarget a(FrameTarget::kMarked), b(FrameTarget::kMarked);
    EXPECT_EQ(stampDimDotAt(a.area(), c.x, c.y, 7), c.drawn);
    EXPECT_EQ(stampBrightDotAt(b.area(), c.x, c.y, 7), c.drawn);
    EXPECT_EQ(a.changedPixels() > 0, c.drawn);
    EXPECT_EQ(b.changedPixels() > 0, c.drawn);
    EXPECT_TRUE(a.guardsIntact() && b.guardsIntact());
  }
}

}  // namespace

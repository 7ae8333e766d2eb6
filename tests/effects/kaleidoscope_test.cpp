// The kaleidoscope's feedback stages, ring and blobs.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/kaleidoscope.h"
#include "kit/blob_map.h"
#include "tests/effects/effect_fixture.h"

namespace {

class KaleidoscopeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartKit();
    initKaleidoscope();
  }
  FrameTarget target;
};

// What the in-place blur makes of one faded value v alone on black, rows and
// columns -1..2 around it: the blur runs right through the left neighbour
// and down through the row above, never up or left.
struct Spread {
  uint8_t faded;
  uint8_t window[4][4];
};
constexpr Spread kSpreadBlue = {194, {{0, 38, 7, 1}, {38, 54, 12, 2}, {7, 12, 4, 1}, {1, 2, 1, 0}}};
constexpr Spread kSpreadRed = {249, {{0, 49, 9, 1}, {49, 69, 15, 3}, {9, 15, 6, 1}, {1, 3, 1, 0}}};

TEST_F(KaleidoscopeTest, LitPixelReappearsInFourQuartersFadedAndBlurred) {
  uint8_t* lit = target.pixel(10, 10);
  lit[0] = 200;   // blue, faded to 194
  lit[1] = 5;     // green, faded to 0
  lit[2] = 255;   // red, faded to 249
  lit[3] = 0x77;

  mirrorQuarters(target.area());
  fadeFrame(target.area());
  blurFrame(target.area());

  // Expected picture: the spread window at each of the four copies.
  std::vector<uint8_t> expected(kAreaBytes, 0);
  const int copies[4][2] = {{5, 5}, {314, 5}, {5, 194}, {314, 194}};
  for (const auto& c : copies) {
    for (int dy = -1; dy <= 2; ++dy)
      for (int dx = -1; dx <= 2; ++dx) {
        uint8_t* p = &expected[(c[1] + dy) * kFrameRowBytes + (c[0] + dx) * 4];
        p[0] = kSpreadBlue.window[dy + 1][dx + 1];
        p[2] = kSpreadRed.window[dy + 1][dx + 1];
      }
    expected[c[1] * kFrameRowBytes + c[0] * 4 + 3] = 0x77;  // the fourth byte travels with the pixel
  }
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x)
      for (int b = 0; b < 4; ++b)
        ASSERT_EQ(target.pixel(x, y)[b], expected[y * kFrameRowBytes + x * 4 + b])
            << "pixel (" << x << ", " << y << ") byte " << b;
  EXPECT_TRUE(target.guardsIntact());
}

TEST_F(KaleidoscopeTest, BlurLeavesBlackBorderAndKeepsFourthBytes) {
  for (std::size_t i = 0; i < kAreaBytes; ++i) target.area()[i] = static_cast<uint8_t>(i * 7 + 3);
  std::vector<uint8_t> before(target.area(), target.area() + kAreaBytes);
  fadeFrame(target.area());
  blurFrame(target.area());
  for (int x = 0; x < 320; ++x)
    for (int b = 0; b < 4; ++b) {
      EXPECT_EQ(target.pixel(x, 0)[b], 0);
      EXPECT_EQ(target.pixel(x, 199)[b], 0);
    }
  for (int y = 0; y < 200; ++y)
    for (int b = 0; b < 4; ++b) {
      EXPECT_EQ(target.pixel(0, y)[b], 0);
      EXPECT_EQ(target.pixel(319, y)[b], 0);
    }
  for (int y = 1; y < 199; ++y)
    for (int x = 1; x < 319; ++x) ASSERT_EQ(target.pixel(x, y)[3], before[y * kFrameRowBytes + x * 4 + 3]);
  EXPECT_TRUE(target.guardsIntact());
}

// Column 319 still holds its unblurred value when column 318 is computed and
// is cleared only after the row; column 0 is cleared before the row starts.
TEST_F(KaleidoscopeTest, EdgeColumnsFeedTheBlurOnlyFromTheRight) {
  target.pixel(319, 50)[0] = 249;
  target.pixel(0, 80)[0] = 249;
  blurFrame(target.area());
  EXPECT_EQ(target.pixel(318, 50)[0], 49);
  EXPECT_EQ(target.pixel(317, 50)[0], 0);
  EXPECT_EQ(target.pixel(318, 51)[0], 9);   // through the row above
  EXPECT_EQ(target.pixel(319, 50)[0], 0);
  for (int y = 79; y <= 81; ++y)
    for (int x = 0; x <= 2; ++x) EXPECT_EQ(target.pixel(x, y)[0], 0) << x << ", " << y;
}

TEST(KaleidoscopeTables, FadeAndDivide) {
  initKaleidoscope();
  const int fades[][2] = {{0, 0}, {5, 0}, {6, 0}, {7, 1}, {255, 249}};
  for (const auto& f : fades) EXPECT_EQ(Kaleidoscope.fadeTable[f[0]], f[1]) << f[0];
  EXPECT_EQ(BlurDivideTable[1245], 249);
  EXPECT_EQ(BlurDivideTable[1274], 254);
  EXPECT_EQ(BlurDivideTable[9], 1);
  // Twelve lobes between 50 and 100.
  EXPECT_FLOAT_EQ(Kaleidoscope.flowerRadii[0], 75.0f);
  EXPECT_NEAR(Kaleidoscope.flowerRadii[25 / 2], 75.0 + 25.0 * std::sin(12 * 24 * M_PI / 300), 1e-4);
}

// One dot at a time is placed by hand through the ring's tables (b = pi/2
// makes the first wave factor 1; its radius is chosen for the spot); all the
// other dots sit on the centre.
TEST_F(KaleidoscopeTest, RingDotsAtExcludedCoordinatesAreNotDrawn) {
  struct Spot {
    float x, y;
    bool drawn;
  };
  const Spot spots[] = {{0, 100, false}, {1, 100, true},  {317, 100, true}, {318, 100, false},
                        {160, 0, false}, {160, 1, true},  {160, 197, true}, {160, 198, false}};
  const float b = static_cast<float>(M_PI / 2);
  for (const Spot& s : spots) {
    FrameTarget t;
    Kaleidoscope.flowerPhase = b;
    const bool horizontal = s.y == 100;
    const float wave = static_cast<float>(std::sin(static_cast<double>(b)));
    Kaleidoscope.flowerDirections[0] = horizontal ? FlowerPoint{1, 0} : FlowerPoint{0, 1};
    Kaleidoscope.flowerRadii[0] = (horizontal ? s.x - 160 : s.y - 100) / wave;
    for (int i = 1; i < kFlowerPoints; ++i) {
      Kaleidoscope.flowerDirections[i] = {0, 0};
      Kaleidoscope.flowerRadii[i] = 0;
    }
    drawFlowerRing(t.area());
    ASSERT_NEAR(Kaleidoscope.flowerPoints[0].x, s.x, 0.01);
    ASSERT_NEAR(Kaleidoscope.flowerPoints[0].y, s.y, 0.01);
    int litAwayFromCentre = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x)
        if ((x < 150 || x > 170 || y < 90 || y > 110) && t.pixel(x, y)[0] != 0) ++litAwayFromCentre;
    EXPECT_EQ(litAwayFromCentre > 0, s.drawn) << "dot at (" << s.x << ", " << s.y << ")";
    EXPECT_NE(t.pixel(160, 100)[0], 0);
    EXPECT_TRUE(t.guardsIntact());
  }
}

TEST_F(KaleidoscopeTest, BlobCountZeroDrawsNoneAndFiveDrawsAll) {
  updateKaleidoscope(40);
  buildBlobMap();
  drawKaleidoBlobs(target.area());
  for (std::size_t i = 0; i < kAreaBytes; ++i) ASSERT_EQ(target.area()[i], 0);

  for (int k = 0; k < 7; ++k) onKaleidoscopeBlob();   // two past the five centres
  EXPECT_EQ(Kaleidoscope.blobCount, 5);
  drawKaleidoBlobs(target.area());
  for (const FlowerPoint& p : Kaleidoscope.blobPositions) {
    const int x = static_cast<int>(std::lrintf(p.x)), y = static_cast<int>(std::lrintf(p.y));
    ASSERT_GE(y, 0);
    ASSERT_LE(y, 198);
    EXPECT_GT(target.pixel(x, y)[2], 200) << "blob centre (" << x << ", " << y << ")";
  }
  EXPECT_TRUE(target.guardsIntact());
}

// The blob centres of a tick come from that tick's own t, before it advances.
TEST_F(KaleidoscopeTest, UpdateStepsTimeAndPhasePerTick) {
  updateKaleidoscope(0);
  EXPECT_EQ(Kaleidoscope.time, 0.0f);
  updateKaleidoscope(1);
  EXPECT_FLOAT_EQ(Kaleidoscope.blobPositions[0].x, 160.0f);
  EXPECT_FLOAT_EQ(Kaleidoscope.blobPositions[3].y, 0.0f);
  EXPECT_FLOAT_EQ(Kaleidoscope.time, static_cast<float>(2 * M_PI / 1024));
  EXPECT_FLOAT_EQ(Kaleidoscope.flowerPhase, static_cast<float>(2 * M_PI / 300));
}

}  // namespace

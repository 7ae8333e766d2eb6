// The letterbox geometry and the nearest-neighbour enlargement that the CPU
// presentation uses, checked against a direct per-pixel reference.
#include <gtest/gtest.h>

#include <vector>

#include "platform/picture_scale.h"

namespace {

TEST(PictureScaleTest, PictureFillsTheLargest4By3RectangleCentred) {
  struct Case {
    int outW, outH;
    PictureRect expected;
  } cases[] = {
      {1280, 1024, {0, 32, 1280, 960}},   // width-bound, bars above and below
      {1920, 1080, {240, 0, 1440, 1080}},  // height-bound, bars at the sides
      {320, 240, {0, 0, 320, 240}},
      {700, 480, {30, 0, 640, 480}},
      {101, 1000, {0, 462, 101, 76}},  // 75.75 rounds to 76
  };
  for (const Case& c : cases) {
    PictureRect r = FitPicture(c.outW, c.outH, 320, 240);
    EXPECT_EQ(r.x, c.expected.x) << c.outW << "x" << c.outH;
    EXPECT_EQ(r.y, c.expected.y) << c.outW << "x" << c.outH;
    EXPECT_EQ(r.w, c.expected.w) << c.outW << "x" << c.outH;
    EXPECT_EQ(r.h, c.expected.h) << c.outW << "x" << c.outH;
  }
}

// Every destination pixel holds the source pixel under its centre, and
// nothing outside the picture rectangle is written.
TEST(PictureScaleTest, EveryPixelSamplesTheSourceUnderItsCentre) {
  const int sw = 32, sh = 24;
  std::vector<uint32_t> source(sw * sh);
  for (int i = 0; i < sw * sh; ++i) source[size_t(i)] = 0x00010203u * uint32_t(i + 1);
  struct Case {
    int outW, outH;
  } cases[] = {{128, 100}, {149, 108}, {64, 48}, {20, 15}, {33, 300}};
  for (const Case& c : cases) {
    PictureRect place = FitPicture(c.outW, c.outH, sw, sh);
    PictureScale scale;
    PrepareScale(&scale, sw, sh, place);
    const int pitchPixels = c.outW + 3;  // a pitch wider than the rows
    const uint32_t canary = 0xDEADBEEFu;
    std::vector<uint32_t> out(size_t(pitchPixels) * c.outH, canary);
    ScalePicture(scale, source.data(), sw * 4, out.data(), pitchPixels * 4);
    int wrong = 0;
    for (int y = 0; y < c.outH; ++y)
      for (int x = 0; x < pitchPixels; ++x) {
        int dx = x - place.x, dy = y - place.y;
        uint32_t expected = canary;
        if (dx >= 0 && dx < place.w && dy >= 0 && dy < place.h && x < c.outW) {
          int sx = int((2 * int64_t{dx} + 1) * sw / (2 * int64_t{place.w}));
          int sy = int((2 * int64_t{dy} + 1) * sh / (2 * int64_t{place.h}));
          expected = source[size_t(sy * sw + sx)];
        }
        if (out[size_t(y) * pitchPixels + x] != expected) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << c.outW << "x" << c.outH;
  }
}

TEST(PictureScaleTest, WholeMultipleRepeatsEachPixelEquallyOften) {
  PictureScale scale;
  PrepareScale(&scale, 320, 240, FitPicture(1280, 1024, 320, 240));
  for (uint16_t run : scale.columnRuns) ASSERT_EQ(run, 4);
  for (uint16_t run : scale.rowRuns) ASSERT_EQ(run, 4);
}

}  // namespace

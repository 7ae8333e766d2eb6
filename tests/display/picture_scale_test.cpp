// The letterbox geometry and the enlargement the CPU presentations use: every
// source pixel gets the same footprint on screen, a whole multiple is plain
// pixel repetition, and nothing outside the picture rectangle is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

struct Scaled {
  PictureRect place;
  int pitchPixels;
  std::vector<uint32_t> out;
  uint32_t at(int x, int y) const {
    return out[size_t(place.y + y) * pitchPixels + size_t(place.x + x)];
  }
};

constexpr uint32_t kCanary = 0xDEADBEEFu;

// The source through the routine into an output of outW x outH whose rows
// are wider than the picture, everything first set to kCanary.
Scaled Scale(const std::vector<uint32_t>& source, int sw, int sh, int outW, int outH) {
  Scaled s;
  s.place = FitPicture(outW, outH, sw, sh);
  s.pitchPixels = outW + 3;
  s.out.assign(size_t(s.pitchPixels) * outH, kCanary);
  PictureScale scale;
  PrepareScale(&scale, sw, sh, s.place);
  ScalePicture(scale, source.data(), sw * 4, s.out.data(), s.pitchPixels * 4);
  return s;
}

// Writes outside the rectangle (bars and the pitch's spare columns).
int WritesOutside(const Scaled& s, int outH) {
  int wrong = 0;
  for (int y = 0; y < outH; ++y)
    for (int x = 0; x < s.pitchPixels; ++x) {
      bool inside = x >= s.place.x && x < s.place.x + s.place.w && y >= s.place.y &&
                    y < s.place.y + s.place.h;
      if (!inside && s.out[size_t(y) * s.pitchPixels + x] != kCanary) ++wrong;
    }
  return wrong;
}

// Footprints of the source pixels of a line of alternating black and white
// source pixels: each screen pixel's white share (0..1) goes to the white
// source pixel it shows, the rest to the black one; a screen pixel between
// two source pixels splits between them.
std::vector<double> Footprints(const std::vector<double>& whiteShare, bool startsWhite) {
  std::vector<double> footprint(1, 0.0);
  bool white = startsWhite;
  for (double share : whiteShare) {
    double mine = white ? share : 1.0 - share;
    if (mine == 0.0) {
      footprint.push_back(1.0);
      white = !white;
    } else if (mine == 1.0) {
      footprint.back() += 1.0;
    } else {
      footprint.back() += mine;
      footprint.push_back(1.0 - mine);
      white = !white;
    }
  }
  return footprint;
}

// A one-pixel checkerboard (white at the top left) at 4x, 4.5x, 3.375x and
// 3.125x: along the middle screen line of every source row and column, each
// source pixel covers `scale` screen pixels within a quarter pixel, and the
// whole multiple is exact nearest neighbour.
TEST(PictureScaleTest, EverySourcePixelOfACheckerboardHasTheSameFootprint) {
  const int sw = 320, sh = 240;
  std::vector<uint32_t> checker(size_t(sw) * sh);
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x) checker[size_t(y) * sw + x] = (x + y) % 2 ? 0 : 0x00FFFFFFu;
  struct Case {
    int outW, outH;
    double scale;
  } cases[] = {{1280, 960, 4.0}, {1920, 1080, 4.5}, {1080, 810, 3.375}, {1000, 750, 3.125}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.outW << "x" << c.outH);
    Scaled s = Scale(checker, sw, sh, c.outW, c.outH);
    ASSERT_EQ(s.place.w, c.scale * sw);
    ASSERT_EQ(s.place.h, c.scale * sh);
    EXPECT_EQ(WritesOutside(s, c.outH), 0);
    auto white = [&](int x, int y) {
      uint32_t p = s.at(x, y);
      EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);  // grey: the channels mix alike
      return (p & 0xFF) / 255.0;
    };
    // Rows first (along the middle screen row of each source row), then columns.
    double worst = 0.0;
    for (bool across : {true, false})
      for (int k = 0; k < (across ? sh : sw); ++k) {
        int middle = int((k + 0.5) * c.scale);
        std::vector<double> line;
        for (int i = 0; i < (across ? s.place.w : s.place.h); ++i)
          line.push_back(across ? white(i, middle) : white(middle, i));
        std::vector<double> f = Footprints(line, k % 2 == 0);
        ASSERT_EQ(f.size(), size_t(across ? sw : sh)) << (across ? "row " : "column ") << k;
        for (double v : f) worst = std::fmax(worst, std::fabs(v - c.scale));
      }
    EXPECT_LE(worst, 0.25);
    if (c.scale == 4.0) {
      int wrong = 0;
      for (int y = 0; y < s.place.h; ++y)
        for (int x = 0; x < s.place.w; ++x)
          if (s.at(x, y) != checker[size_t(y / 4) * sw + size_t(x / 4)]) ++wrong;
      EXPECT_EQ(wrong, 0);
    }
  }
}

// Colour pictures: a whole multiple repeats every pixel exactly; otherwise a
// screen pixel is either one source pixel or the rounded mix of two
// neighbours, never anything else; and a picture smaller than the source
// (nearest neighbour) also keeps inside its rectangle.
TEST(PictureScaleTest, ScreenPixelsAreSourcePixelsOrMixesOfNeighbours) {
  const int sw = 32, sh = 24;
  std::vector<uint32_t> source(size_t(sw) * sh);
  for (int i = 0; i < sw * sh; ++i) source[size_t(i)] = 0x9E3779B9u * uint32_t(i + 1);
  struct Case {
    int outW, outH;
  } cases[] = {{128, 96}, {149, 108}, {64, 48}, {20, 15}, {33, 300}, {320, 240}, {310, 233}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.outW << "x" << c.outH);
    Scaled s = Scale(source, sw, sh, c.outW, c.outH);
    EXPECT_EQ(WritesOutside(s, c.outH), 0);
    int factor = s.place.w % sw == 0 && s.place.w / sw == s.place.h / sh ? s.place.w / sw : 0;
    int wrong = 0;
    for (int y = 0; y < s.place.h; ++y)
      for (int x = 0; x < s.place.w; ++x) {
        // The source pixels under the screen pixel's left/top and right/bottom edges.
        int sx0 = int(int64_t{x} * sw / s.place.w);
        int sx1 = int((int64_t{x} * sw + sw - 1) / s.place.w);
        int sy0 = int(int64_t{y} * sh / s.place.h);
        int sy1 = int((int64_t{y} * sh + sh - 1) / s.place.h);
        uint32_t p = s.at(x, y);
        if (factor) {
          wrong += p != source[size_t(y / factor) * sw + size_t(x / factor)];
          continue;
        }
        if (s.place.w < sw) continue;  // nearest neighbour: only the rectangle matters
        bool channelsBetween = true;
        for (int shift = 0; shift < 32; shift += 8) {
          int lo = 255, hi = 0;
          for (int sy : {sy0, sy1})
            for (int sx : {sx0, sx1}) {
              int v = (source[size_t(sy) * sw + size_t(sx)] >> shift) & 0xFF;
              lo = std::min(lo, v);
              hi = std::max(hi, v);
            }
          int v = (p >> shift) & 0xFF;
          channelsBetween = channelsBetween && v >= lo && v <= hi;
        }
        wrong += !channelsBetween;
      }
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace

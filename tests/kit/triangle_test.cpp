// Flat triangle filler: round-up coverage, shared edges, clipping, degenerate
// and out-of-range input, and the rounding mode left as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "kit/triangle.h"
#include "tests/support/frame_target.h"

namespace {

constexpr uint32_t kColour = 0x12345678u;

bool filled(FrameTarget& t, int x, int y) {
  uint32_t v;
  std::memcpy(&v, t.pixel(x, y), 4);
  return v == kColour;
}

// Coverage expected from exact edge positions (the test triangles have slopes
// that float stepping reproduces exactly): row r is inside when
// top <= r < bottom, column c when left(r) <= c < right(r).
struct Edge {
  double x0, y0, x1, y1;
  double at(double y) const { return x0 + (x1 - x0) * (y - y0) / (y1 - y0); }
};

void expectCoverage(const float (&p)[6], const char* name) {
  SCOPED_TRACE(name);
  // Every vertex order gives the same picture.
  int order[3] = {0, 1, 2};
  do {
    const float q[6] = {p[2 * order[0]], p[2 * order[0] + 1], p[2 * order[1]], p[2 * order[1] + 1],
                        p[2 * order[2]], p[2 * order[2] + 1]};
    FrameTarget t(FrameTarget::kMarked);
    fillFlatTriangle(q, t.area(), kColour);
    struct V {
      double x, y;
    } v[3] = {{p[0], p[1]}, {p[2], p[3]}, {p[4], p[5]}};
    std::sort(v, v + 3, [](const V& a, const V& b) { return a.y < b.y; });
    const Edge longEdge{v[0].x, v[0].y, v[2].x, v[2].y};
    const Edge upper{v[0].x, v[0].y, v[1].x, v[1].y};
    const Edge lower{v[1].x, v[1].y, v[2].x, v[2].y};
    for (int r = 0; r < 200; ++r)
      for (int c = 0; c < 320; ++c) {
        bool inside = false;
        if (r >= v[0].y && r < v[2].y) {
          const double a = longEdge.at(r);
          const double b = r < v[1].y ? upper.at(r) : lower.at(r);
          inside = c >= std::min(a, b) && c < std::max(a, b);
        }
        if (inside) {
          ASSERT_TRUE(filled(t, c, r)) << "missing " << c << "," << r;
        } else {
          ASSERT_TRUE(t.unchanged(c, r)) << "extra " << c << "," << r;
        }
      }
  } while (std::next_permutation(order, order + 3));
}

TEST(FlatTriangle, CoverageRoundsUp) {
  const float general[6] = {4, 2, 36, 18, 12, 34};               // slopes 2, 0.25, -1.5
  const float fractional[6] = {4.5f, 2.5f, 36.5f, 18.5f, 12.5f, 34.5f};
  const float flatTop[6] = {10, 10, 30, 10, 20, 30};
  const float flatBottom[6] = {20, 10, 10, 30, 30, 30};
  const float startsOnRow10[6] = {50, 10.0f, 40, 26.0f, 60, 26.0f};
  const float startsOnRow11[6] = {50, 10.25f, 40, 26.25f, 60, 26.25f};
  const float throughTop[6] = {100, -64, 68, 192, 132, 192};     // slopes -/+ 0.125
  const float thin[6] = {100.5f, 20, 100.75f, 60, 100.25f, 100};  // narrower than a pixel
  expectCoverage(general, "general");
  expectCoverage(fractional, "fractional");
  expectCoverage(flatTop, "flat top");
  expectCoverage(flatBottom, "flat bottom");
  expectCoverage(startsOnRow10, "starts on row 10");
  expectCoverage(startsOnRow11, "starts on row 11");
  expectCoverage(throughTop, "through the top edge");
  expectCoverage(thin, "thin");

  FrameTarget t(FrameTarget::kMarked);
  fillFlatTriangle(startsOnRow11, t.area(), kColour);
  EXPECT_TRUE(filled(t, 50, 11));
  EXPECT_TRUE(t.unchanged(50, 10));
}

// Spans are cut to columns 0..319 after rounding; rows to 0..199.
TEST(FlatTriangle, ClipsSpansAndRows) {
  struct Case {
    float points[6];
    int row, first, last;   // the row checked and its filled columns
  };
  const Case cases[] = {
      {{-5.5f, 10, 3.2f, 10, -5.5f, 1000}, 10, 0, 3},
      {{318.5f, 20, 400, 20, 318.5f, 1000}, 20, 319, 319},
      {{-1000, 30, 2000, 30, 160, 5000}, 30, 0, 319},
  };
  for (const Case& c : cases) {
    FrameTarget t(FrameTarget::kMarked);
    fillFlatTriangle(c.points, t.area(), kColour);
    for (int x = 0; x < 320; ++x)
      EXPECT_EQ(filled(t, x, c.row), x >= c.first && x <= c.last) << "row " << c.row << " column " << x;
  }
  // From far above to far below the picture: every pixel once, nothing outside.
  FrameTarget frame;
  frame.fillPixels(0xEEEEEEEEu);
  const float huge[6] = {160, -500, -2000, 1000, 2000, 1000};
  fillFlatTriangle(huge, frame.area(), kColour);
  for (int y = 0; y < kAreaHeight; ++y)
    for (int x = 0; x < kAreaWidth; ++x) ASSERT_TRUE(filled(frame, x, y)) << x << "," << y;
  EXPECT_TRUE(frame.guardsIntact());
}

// A fan of triangles around a centre: no pixel is covered twice, and every
// pixel well inside the fan is covered.
TEST(FlatTriangle, SharedEdgesCoverEachPixelOnce) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> jitter(-0.5f, 0.5f), radius(60.0f, 150.0f);
  for (int fan = 0; fan < 20; ++fan) {
    const float cx = 160.0f + 40.0f * jitter(rng), cy = 100.0f + 40.0f * jitter(rng);
    constexpr int kSpokes = 9;
    float xs[kSpokes], ys[kSpokes];
    for (int k = 0; k < kSpokes; ++k) {
      const float angle = 2.0f * 3.14159265f * (static_cast<float>(k) + 0.8f * jitter(rng)) / kSpokes;
      const float r = radius(rng);
      xs[k] = cx + r * std::cos(angle);
      ys[k] = cy + r * std::sin(angle);
    }
    std::vector<int> count(320 * 200, 0);
    for (int k = 0; k < kSpokes; ++k) {
      const int n = (k + 1) % kSpokes;
      const float points[6] = {cx, cy, xs[k], ys[k], xs[n], ys[n]};
      FrameTarget t;
      fillFlatTriangle(points, t.area(), kColour);
      for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) count[y * 320 + x] += filled(t, x, y) ? 1 : 0;
    }
    // Inside test against the fan's outer edges, with a one-pixel margin.
    auto wellInside = [&](float px, float py) {
      for (int k = 0; k < kSpokes; ++k) {
        const int n = (k + 1) % kSpokes;
        const float ex = xs[n] - xs[k], ey = ys[n] - ys[k];
        const float length = std::sqrt(ex * ex + ey * ey);
        const float side = (ex * (py - ys[k]) - ey * (px - xs[k])) / length;
        const float centreSide = ex * (cy - ys[k]) - ey * (cx - xs[k]);
        if ((centreSide > 0 ? side : -side) < 1.5f) return false;
      }
      return true;
    };
    int inside = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) {
        ASSERT_LE(count[y * 320 + x], 1) << "fan " << fan << " pixel " << x << "," << y;
        if (wellInside(static_cast<float>(x), static_cast<float>(y))) {
          ASSERT_EQ(count[y * 320 + x], 1) << "gap in fan " << fan << " at " << x << "," << y;
          ++inside;
        }
      }
    EXPECT_GT(inside, 1000);
  }
}

// Degenerate, off-picture and non-finite triangles draw nothing; huge
// coordinates draw only inside the picture. The rounding mode is
// round-to-nearest after every call.
TEST(FlatTriangle, RejectsAndOutOfRangeInput) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float nothing[][6] = {
      {0, 0, 10, 10, 20, 20},                // collinear
      {10.5f, 3, 30.25f, 3, 90, 3},          // zero height
      {10, 10.2f, 30, 10.5f, 20, 10.9f},     // no row centre inside
      {10, -30, 30, -20, 20, -0.5f},         // above
      {10, 199.5f, 30, 220, 20, 300},        // below
      {-30, 10, -0.5f, 50, -20, 90},         // left
      {319.5f, 10, 400, 50, 330, 90},        // right
      {10, 10, nan, 50, 90, 90},
      {10, 10, 50, inf, 90, 90},
      {-inf, 10, 50, 50, 90, 90},
  };
  for (const auto& p : nothing) {
    FrameTarget t(FrameTarget::kMarked);
    fillFlatTriangle(p, t.area(), kColour);
    EXPECT_EQ(t.changedPixels(), 0) << p[0] << "," << p[1] << " " << p[2] << "," << p[3] << " " << p[4] << "," << p[5];
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  }
  const float farOut[][6] = {
      {160, 100, 1e30f, 150, -1e30f, 180},
      {160, -1e9f, 150, 100, 170, 1e9f},
      {-3e7f, -3e7f, 3e7f, 0, 100, 3e7f},
  };
  for (const auto& p : farOut) {
    FrameTarget frame;
    fillFlatTriangle(p, frame.area(), kColour);
    ASSERT_TRUE(frame.guardsIntact());
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  }
  const float drawn[6] = {4, 2, 36, 18, 12, 34};
  FrameTarget t(FrameTarget::kMarked);
  fillFlatTriangle(drawn, t.area(), kColour);
  EXPECT_GT(t.changedPixels(), 0);
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  EXPECT_EQ(std::nearbyint(2.5), 2.0);
}

}  // namespace

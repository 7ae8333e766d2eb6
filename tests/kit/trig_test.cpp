// Portable trigonometry: close to the C library everywhere the effects use
// it, exact where the answer is exact, and the C library's quadrants and
// signs for the arc tangent's special cases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "kit/trig.h"

namespace {

// Distance in units of the last place of `reference`.
double Ulps(double value, double reference) {
  if (value == reference) return 0.0;
  return std::fabs(value - reference) /
         std::fabs(std::nextafter(reference, std::numeric_limits<double>::infinity()) - reference);
}

TEST(TrigTest, WithinOneUlpOfTheCLibraryOverTheEffectsRanges) {
  struct Range {
    double low, high;
  };
  // Table angles, per-tick phases that grow over a four-minute run, lens and
  // blob phases, and the small arguments near zero.
  const Range ranges[] = {{-1e-6, 1e-6}, {-7.0, 7.0}, {-400.0, 400.0}, {1000.0, 20000.0}};
  for (const Range& range : ranges) {
    uint32_t seed = 1;
    double worstSin = 0, worstCos = 0, worstAtan = 0;
    for (int i = 0; i < 100000; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const double x = range.low + (range.high - range.low) * (seed / 4294967296.0);
      seed = seed * 1664525u + 1013904223u;
      const double y = range.low + (range.high - range.low) * (seed / 4294967296.0);
      worstSin = std::fmax(worstSin, Ulps(trigSin(x), std::sin(x)));
      worstCos = std::fmax(worstCos, Ulps(trigCos(x), std::cos(x)));
      worstAtan = std::fmax(worstAtan, Ulps(trigAtan2(y, x), std::atan2(y, x)));
    }
    SCOPED_TRACE(testing::Message() << "range " << range.low << " .. " << range.high);
    EXPECT_LE(worstSin, 1.0);
    EXPECT_LE(worstCos, 1.0);
    EXPECT_LE(worstAtan, 1.0);
  }
}

TEST(TrigTest, ExactValuesAndSpecialCases) {
  const double inf = std::numeric_limits<double>::infinity();
  const double pi = 3.14159265358979311600e+00;
  EXPECT_EQ(trigSin(0.0), 0.0);
  EXPECT_TRUE(std::signbit(trigSin(-0.0)));
  EXPECT_EQ(trigCos(0.0), 1.0);
  EXPECT_EQ(trigSin(0.0f), 0.0f);
  EXPECT_EQ(trigCos(0.0f), 1.0f);
  EXPECT_TRUE(std::isnan(trigSin(inf)));
  EXPECT_TRUE(std::isnan(trigCos(std::nan(""))));

  struct Atan2Case {
    double y, x, expected;
  };
  const Atan2Case cases[] = {
      {0.0, 1.0, 0.0},     {0.0, -1.0, pi},   {-0.0, -1.0, -pi},      {1.0, 0.0, pi / 2},
      {-1.0, 0.0, -pi / 2}, {1.0, 1.0, pi / 4}, {1.0, -1.0, 3 * pi / 4}, {-1.0, -1.0, -3 * pi / 4},
      {1.0, inf, 0.0},     {1.0, -inf, pi},   {inf, inf, pi / 4},     {-inf, -inf, -3 * pi / 4},
  };
  for (const Atan2Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "atan2(" << c.y << ", " << c.x << ")");
    EXPECT_EQ(trigAtan2(c.y, c.x), std::atan2(c.y, c.x));
    EXPECT_NEAR(trigAtan2(c.y, c.x), c.expected, 1e-15);
  }
  EXPECT_TRUE(std::isnan(trigAtan2(std::nan(""), 1.0)));
}

}  // namespace

// The music module qm7.it as the build wrote it, rendered through libopenmpt
// at 44.1 kHz: it loads without warnings, plays every row of orders 0..52 in
// order and ends on order 52 row 63 (the timeline's last position), lasts
// about 3 3/4 minutes, and stays loud enough without clipping.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/data/data_files.h"

namespace {

constexpr int kRate = 44100;

struct Rendering {
  bool loaded = false;
  std::string warnings;
  int orders = 0;
  std::vector<int> patternRows;                 // rows of the pattern at each order
  std::vector<std::pair<int, int>> positions;   // (order, row) each time it changed
  double seconds = 0, peak = 0, rms = 0;
};

// Renders the whole module once for all tests of this file.
const Rendering& Render() {
  static const Rendering r = [] {
    Rendering out;
    std::vector<uint8_t> bytes = ReadBytes(std::string(QM7_DATA_DIR) + "/qm7.it");
    std::unique_ptr<openmpt::module> mod;
    try {
      mod = std::make_unique<openmpt::module>(bytes);
    } catch (const std::exception&) {
      return out;
    }
    out.loaded = true;
    out.warnings = mod->get_metadata("warnings");
    out.orders = mod->get_num_orders();
    for (int o = 0; o < out.orders; ++o)
      out.patternRows.push_back(mod->get_pattern_num_rows(mod->get_order_pattern(o)));
    // 256 frames (5.8 ms) a slice: far shorter than a row (68 ms).
    std::vector<float> buffer(2 * 256);
    double sumSquares = 0;
    long frames = 0;
    for (;;) {
      size_t got = mod->read_interleaved_stereo(kRate, 256, buffer.data());
      if (got == 0) break;
      for (size_t i = 0; i < 2 * got; ++i) {
        double v = buffer[i];
        sumSquares += v * v;
        out.peak = std::max(out.peak, std::fabs(v));
      }
      frames += static_cast<long>(got);
      std::pair<int, int> at{mod->get_current_order(), mod->get_current_row()};
      if (out.positions.empty() || out.positions.back() != at) out.positions.push_back(at);
    }
    out.seconds = static_cast<double>(frames) / kRate;
    out.rms = frames ? std::sqrt(sumSquares / (2.0 * frames)) : 0;
    return out;
  }();
  return r;
}

double Decibels(double amplitude) { return 20.0 * std::log10(amplitude); }

TEST(Module, LoadsWithoutWarningsAs53OrdersOf64Rows) {
  const Rendering& r = Render();
  ASSERT_TRUE(r.loaded) << "libopenmpt cannot load " << QM7_DATA_DIR << "/qm7.it";
  EXPECT_EQ(r.warnings, "");
  EXPECT_EQ(r.orders, 53);
  for (int o = 0; o < static_cast<int>(r.patternRows.size()); ++o)
    EXPECT_EQ(r.patternRows[o], 64) << "order " << o;
}

TEST(Module, PlaysEveryRowInOrderAndEndsOnOrder52Row63) {
  const Rendering& r = Render();
  ASSERT_TRUE(r.loaded);
  std::vector<std::pair<int, int>> seen = r.positions;
  // After the last row the player reports order 0 row 0 while it finishes.
  while (seen.size() > 1 && seen.back() == std::make_pair(0, 0)) seen.pop_back();
  ASSERT_EQ(seen.size(), 53u * 64u);
  for (int i = 0; i < 53 * 64; ++i) {
    ASSERT_EQ(seen[i], std::make_pair(i / 64, i % 64)) << "position " << i;
  }
}

TEST(Module, LengthAndLevels) {
  const Rendering& r = Render();
  ASSERT_TRUE(r.loaded);
  // 53 patterns of 64 rows, 3 ticks of 2.5/110 s each: 231.3 s.
  EXPECT_NEAR(r.seconds, 231.3, 1.0);
  EXPECT_LT(Decibels(r.peak), -0.5) << "peak " << r.peak;
  EXPECT_GT(Decibels(r.rms), -20.0) << "rms " << r.rms;
  EXPECT_LT(Decibels(r.rms), -10.0) << "rms " << r.rms;
}

}  // namespace

// Pictures made by qm7-assets: sizes and value ranges the effects rely on,
// logos that fill their frames, a credits picture that starts and ends black,
// a texture that wraps without a seam, a palette of smooth ramps, and the
// same bytes from every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/data_buffers.h"
#include "tests/data/data_files.h"
#include "tools/assets/texture.h"

namespace {

std::vector<uint8_t> Picture(const char* name) {
  EXPECT_FALSE(GeneratedData().empty()) << "the generators failed to run";
  return ReadBytes(GeneratedData() + "/" + name);
}

TEST(Pictures, SizesAndValueRanges) {
  struct Case { const char* name; size_t bytes; int maxValue; };
  const Case cases[] = {
      {"opener7.bin", 280 * 52, 63}, {"brisk.bin", 240 * 59, 63}, {"wctk.bin", 64 * 64, 255},
      {"w.pal", 768, 63},            {"scroll.bin", 320 * 1731, 255},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = Picture(c.name);
    EXPECT_EQ(bytes.size(), c.bytes) << c.name;
    int highest = bytes.empty() ? -1 : *std::max_element(bytes.begin(), bytes.end());
    EXPECT_LE(highest, c.maxValue) << c.name;
  }
}

TEST(Pictures, LogosFillTheirFramesWithAMargin) {
  struct Case { const char* name; int width, height; };
  for (Case c : {Case{"opener7.bin", 280, 52}, Case{"brisk.bin", 240, 59}}) {
    std::vector<uint8_t> logo = Picture(c.name);
    ASSERT_EQ(logo.size(), size_t(c.width * c.height)) << c.name;
    int left = c.width, right = -1, top = c.height, bottom = -1, brightest = 0;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        int v = logo[y * c.width + x];
        brightest = std::max(brightest, v);
        if (v == 0) continue;
        left = std::min(left, x); right = std::max(right, x);
        top = std::min(top, y); bottom = std::max(bottom, y);
      }
    SCOPED_TRACE(c.name);
    EXPECT_GE(brightest, 56);  // bright enough to glow fully
    EXPECT_GE(left, 2);
    EXPECT_GE(top, 2);
    EXPECT_LE(right, c.width - 3);
    EXPECT_LE(bottom, c.height - 3);
    EXPECT_GE(right - left + 1, c.width * 85 / 100);
    EXPECT_GE(bottom - top + 1, c.height * 80 / 100);
  }
}

// The scroller shows rows 0..199 on its first frame and rests on rows
// 1530..1730; both views must be black, the credits lie in between.
TEST(Pictures, ScrollStartsAndEndsOnBlack) {
  std::vector<uint8_t> scroll = Picture("scroll.bin");
  ASSERT_GE(scroll.size(), size_t(320 * 1731));
  auto rowHasInk = [&](int row) {
    return std::any_of(scroll.begin() + row * 320, scroll.begin() + (row + 1) * 320,
                       [](uint8_t v) { return v != 0; });
  };
  int firstInk = -1, lastInk = -1, inkRows = 0;
  for (int row = 0; row < 1731; ++row)
    if (rowHasInk(row)) {
      if (firstInk < 0) firstInk = row;
      lastInk = row;
      ++inkRows;
    }
  EXPECT_GE(firstInk, 200);
  EXPECT_LT(lastInk, 1530);
  EXPECT_GE(inkRows, 400);  // a screenful of text at the very least
}

// The renderer repeats the texture, so the pattern it samples must repeat
// exactly every 64 texels (checked between texel centres too, where a joint
// in the pattern would hide), and the file must hold that pattern.
TEST(Pictures, TextureSamplesAPatternThatRepeatsEvery64Texels) {
  for (double y = 0.13; y < 64; y += 0.71)
    for (double x = 0.29; x < 64; x += 0.53) {
      double level = TextureLevel(x, y);
      ASSERT_NEAR(TextureLevel(x + 64, y), level, 1e-9) << x << ", " << y;
      ASSERT_NEAR(TextureLevel(x, y + 64), level, 1e-9) << x << ", " << y;
      ASSERT_NEAR(TextureLevel(x - 64, y - 64), level, 1e-9) << x << ", " << y;
    }
  std::vector<uint8_t> tex = Picture("wctk.bin");
  ASSERT_EQ(tex.size(), 4096u);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(tex[y * 64 + x], std::lrint(TextureLevel(x + 0.5, y + 0.5) * 255.0)) << x << ", " << y;
}

// One ramp from dark to light: neighbours differ by at most 2 of 63 in each
// component and the brightness never drops.
TEST(Pictures, PaletteIsASmoothRamp) {
  std::vector<uint8_t> pal = Picture("w.pal");
  ASSERT_EQ(pal.size(), 768u);
  for (int i = 1; i < 256; ++i) {
    for (int c = 0; c < 3; ++c)
      EXPECT_LE(std::abs(pal[i * 3 + c] - pal[(i - 1) * 3 + c]), 2) << "entry " << i;
    int now = pal[i * 3] + pal[i * 3 + 1] + pal[i * 3 + 2];
    int before = pal[(i - 1) * 3] + pal[(i - 1) * 3 + 1] + pal[(i - 1) * 3 + 2];
    EXPECT_GE(now, before) << "entry " << i;
  }
  EXPECT_LT(pal[0] + pal[1] + pal[2], 16);
  EXPECT_GT(pal[765] + pal[766] + pal[767], 150);
}

// Same bytes from a second run of both generators, and from the build.
TEST(Generators, WriteTheSameBytesEveryRun) {
  std::string again = MakeTempDir();
  ASSERT_TRUE(GenerateInto(again));
  std::vector<std::string> names = {"qm7.it"};
  for (const DataFile& file : kDataFiles) names.push_back(file.name);
  for (const std::string& name : names) {
    std::vector<uint8_t> first = ReadBytes(GeneratedData() + "/" + name);
    EXPECT_FALSE(first.empty()) << name;
    EXPECT_TRUE(first == ReadBytes(again + "/" + name)) << name;
  }
  EXPECT_TRUE(ReadBytes(GeneratedData() + "/qm7.it") == ReadBytes(std::string(QM7_DATA_DIR) + "/qm7.it"))
      << "the build's qm7.it differs from a fresh run";
}

}  // namespace

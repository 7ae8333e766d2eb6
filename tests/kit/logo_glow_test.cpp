// Logo glow: the shared tables, the 30-pixel smear, the sharp/smear mix, the
// glow blend at the levels that matter, the title logo rows and the glow
// sequence the lens warp and the frame cube both run.
#include <gtest/gtest.h>

#include <vector>

#include "kit/logo_glow.h"
#include "tests/support/frame_target.h"

namespace {

class LogoGlowTest : public testing::Test {
 protected:
  void SetUp() override { buildGlowTables(); }
  static int lighten(int d, int k) { return LightenTable[d * 64 + k]; }
};

TEST_F(LogoGlowTest, Tables) {
  for (int d = 0; d < 256; ++d) ASSERT_EQ(lighten(d, 0), d);
  // The two terms floor separately: a byte at 255 drops to 254 under any amount.
  for (int k = 1; k < 64; ++k) ASSERT_EQ(lighten(255, k), 254) << k;
  EXPECT_EQ(lighten(0, 63), 251);
  EXPECT_EQ(lighten(0, 61), 243);
  EXPECT_EQ(lighten(100, 32), 127 + 50);
  EXPECT_EQ(ScaleTable64[63 * 64 + 63], 62);
  EXPECT_EQ(ScaleTable64[4 * 64 + 61], 3);
  EXPECT_EQ(ScaleTable64[0 * 64 + 63], 0);
}

TEST_F(LogoGlowTest, BlurSmearsThirtyPixelsToTheRight) {
  // Two rows of a 3-pixel logo; output x = sum of inputs x-29..x / 30.
  const uint8_t logo[] = {30, 60, 0, /**/ 63, 0, 63};
  std::vector<uint8_t> out(33 * 2, 0xEE);
  blurLogo(logo, 3, 2, out.data());
  const int row0[33] = {1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,
                        3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2, 0, 0};
  for (int x = 0; x < 33; ++x) EXPECT_EQ(out[x], row0[x]) << "row 0, x " << x;
  // 63/30 = 2, 126/30 = 4 while both pixels are in the window, 63/30 at the tail.
  EXPECT_EQ(out[33 + 0], 2);
  EXPECT_EQ(out[33 + 2], 4);
  EXPECT_EQ(out[33 + 29], 4);
  EXPECT_EQ(out[33 + 30], 2);
  EXPECT_EQ(out[33 + 31], 2);
  EXPECT_EQ(out[33 + 32], 0);

  // A full-intensity row of the largest width reaches 63 only where the window
  // is full, and the output is exactly W + 30 wide.
  std::vector<uint8_t> wide(290, 63), blurred(320 + 1, 0xEE);
  blurLogo(wide.data(), 290, 1, blurred.data());
  EXPECT_EQ(blurred[0], 2);      // 63 / 30
  EXPECT_EQ(blurred[28], 60);    // 29 * 63 / 30 = 60.9
  EXPECT_EQ(blurred[29], 63);
  EXPECT_EQ(blurred[289], 63);
  EXPECT_EQ(blurred[290], 60);
  EXPECT_EQ(blurred[318], 2);
  EXPECT_EQ(blurred[319], 0);    // the last column never has a source pixel
  EXPECT_EQ(blurred[320], 0xEE);

  // Wider than 290 the smear would not fit a 320-pixel row: nothing is written.
  std::vector<uint8_t> tooWide(291, 63), untouched(400, 0xEE);
  blurLogo(tooWide.data(), 291, 1, untouched.data());
  blurLogo(tooWide.data(), 0, 1, untouched.data());
  EXPECT_EQ(untouched, std::vector<uint8_t>(400, 0xEE));
}

// Levels outside 0..63 would index outside ScaleTable64: nothing is drawn.
TEST_F(LogoGlowTest, LevelsOutsideTheRangeDrawNothing) {
  const uint8_t sharp[2] = {63, 63};
  std::vector<uint8_t> blurred(32, 63), mixed(32, 0xEE);
  for (int level : {-1, 64, 1000}) {
    mixLogo(sharp, blurred.data(), 2, 1, level, mixed.data());
    EXPECT_EQ(mixed, std::vector<uint8_t>(32, 0xEE)) << level;
    FrameTarget t(FrameTarget::kMarked);
    blendLogoGlow(t.area(), blurred.data(), 32, 1, level);
    EXPECT_EQ(t.changedPixels(), 0) << level;
    EXPECT_TRUE(t.guardsIntact()) << level;
  }
}

TEST_F(LogoGlowTest, MixWeighsSmearAgainstSharpByLevel) {
  // W = 2: 15 smear-only bytes, 2 mixed bytes, 15 smear-only bytes.
  const uint8_t sharp[] = {63, 20};
  std::vector<uint8_t> blurred(32, 63);
  blurred[16] = 40;
  std::vector<uint8_t> mixed(32);
  struct Case {
    int level, edge, first, second;
  };
  const Case cases[] = {
      {0, 62, 62, 39},    // the smear alone at 63/64
      {1, 61, 61, 38},    // (62*63)>>6 + (1*63)>>6 = 61 + 0
      {31, 31, 61, 29},   // 32*63>>6 + 31*63>>6; 32*40>>6 + 31*20>>6
      {63, 0, 62, 19},    // the sharp picture alone at 63/64
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    mixLogo(sharp, blurred.data(), 2, 1, c.level, mixed.data());
    EXPECT_EQ(mixed[0], c.edge);
    EXPECT_EQ(mixed[14], c.edge);
    EXPECT_EQ(mixed[15], c.first);
    EXPECT_EQ(mixed[16], c.second);
    EXPECT_EQ(mixed[17], c.edge);
    EXPECT_EQ(mixed[31], c.edge);
  }
}

TEST_F(LogoGlowTest, GlowLightensByLevelAndLeavesTheRestAlone) {
  // A 3-wide, 2-row mixed picture over black, with one white pixel under 61.
  const uint8_t mixed[] = {62, 61, 0, /**/ 61, 62, 0};
  struct Case {
    int level;
    int dark62, dark61;   // results for d = 0 under mixed 62 and 61
  };
  const Case cases[] = {
      {0, 0, 0},          // strength 0: nothing changes
      {1, 11, 11},        // strength 4: k = 3 for 61 and 62
      {15, 231, 227},     // strength 60: k = 58 and 57
      {16, 243, 239},     // strength 63 from here on: k = 61 and 60
      {63, 243, 239},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    FrameTarget t;
    t.fillPixels(0xAB000000u);       // black with a fourth byte
    t.pixel(10, 21)[0] = 255, t.pixel(10, 21)[1] = 255, t.pixel(10, 21)[2] = 255;
    t.rememberOriginal();
    blendLogoGlow(t.pixel(10, 20), mixed, 3, 2, c.level);
    for (int ch = 0; ch < 3; ++ch) {
      EXPECT_EQ(t.pixel(10, 20)[ch], c.dark62);
      EXPECT_EQ(t.pixel(11, 20)[ch], c.dark61);
      EXPECT_EQ(t.pixel(10, 21)[ch], c.level == 0 ? 255 : 254);   // 255 under any k >= 1
      EXPECT_EQ(t.pixel(11, 21)[ch], c.dark62);
    }
    EXPECT_EQ(t.pixel(10, 20)[3], 0xAB);
    EXPECT_EQ(t.pixel(11, 21)[3], 0xAB);
    // Mixed intensity 0 and everything outside the 3x2 block stay as they were.
    int changed = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) changed += t.unchanged(x, y) ? 0 : 1;
    EXPECT_EQ(changed, c.level == 0 ? 0 : 4);
  }
}

TEST(TitleLogos, RowsSitCentredWithTheirSmears) {
  std::vector<uint8_t> opener(280 * 52, 63), brisk(240 * 59, 63);
  initTitleLogos(opener.data(), brisk.data());
  EXPECT_FALSE(TitleLogoTable[0].enabled);
  const LogoEntry& o = TitleLogoTable[1];
  EXPECT_TRUE(o.enabled);
  EXPECT_EQ(o.sharp, opener.data());
  EXPECT_EQ(o.blurred, OpenerLogoBlur);
  EXPECT_EQ(o.placement, 74 * kFrameRowBytes + 5 * 4);   // 310x52 centred in 320x200
  EXPECT_EQ(o.rows, 52);
  EXPECT_EQ(o.totalWidth, 310);
  const LogoEntry& b = TitleLogoTable[2];
  EXPECT_EQ(b.blurred, BriskLogoBlur);
  EXPECT_EQ(b.placement, 70 * kFrameRowBytes + 25 * 4);  // 270x59
  EXPECT_EQ(b.rows, 59);
  EXPECT_EQ(b.totalWidth, 270);
  EXPECT_EQ(OpenerLogoBlur[29], 63);   // the smear is full once 30 pixels are in
  EXPECT_EQ(BriskLogoBlur[0], 2);
}

// Events and ticks as a scene runs them: the level moves every second tick
// and stays in 0..63; a third "next logo" keeps the last row.
TEST(TitleLogoGlow, LevelStepsEverySecondTickAndStaysIn0To63) {
  LogoGlow glow;
  struct Step {
    void (*event)(LogoGlow&);
    int ticks;
    int level;
    int logo;
  } script[] = {
      {nullptr, 100, 0, 0},             // no event yet: nothing to show, level stays 0
      {showNextTitleLogo, 1, 0, 1},     // the first tick only sets the parity
      {nullptr, 1, 1, 1},
      {nullptr, 30, 16, 1},
      {nullptr, 200, 63, 1},            // stops at 63
      {fadeTitleLogo, 2, 62, 1},
      {nullptr, 300, 0, 1},             // stops at 0, still selected
      {showNextTitleLogo, 0, 0, 2},
      {nullptr, 2, 1, 2},
      {showNextTitleLogo, 0, 0, 2},     // a third event keeps the last row
  };
  int n = 0;
  for (const Step& s : script) {
    SCOPED_TRACE(n++);
    if (s.event != nullptr) s.event(glow);
    for (int t = 0; t < s.ticks; ++t) stepLogoGlow(glow);
    EXPECT_EQ(glow.level, s.level);
    EXPECT_EQ(glow.logoIndex, s.logo);
  }
}

}  // namespace

// Scroller: the blend tables, phase and row stepping with the stop, the
// blend it draws, and reading within the picture.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effects/scroller.h"
#include "tests/effects/effect_fixture.h"

namespace {

void StartScroller() { initScroller(Data.scroll.data(), Data.scroll.size()); }

TEST(Scroller, BlendTablesAreFloorProducts) {
  StartScroller();
  EXPECT_EQ(FadeDown[255 * 64 + 1], 251);
  EXPECT_EQ(FadeUp[255 * 64 + 1], 3);
  EXPECT_EQ(FadeUp[100 * 64 + 32], 50);
  for (int i = 0; i < 256; ++i) {
    for (int j = 0; j < 64; ++j) {
      ASSERT_EQ(FadeDown[i * 64 + j], i * (64 - j) / 64) << i << "," << j;
      ASSERT_EQ(FadeUp[i * 64 + j], i * j / 64) << i << "," << j;
      ASSERT_LE(FadeDown[i * 64 + j] + FadeUp[255 * 64 + j], 255);
    }
  }
}

TEST(Scroller, TicksStepThePhaseAndTheRows) {
  struct Case {
    ScrollerState from;
    int ticks;
    ScrollerState to;
  } cases[] = {
      {{0, 0, 0}, 0, {0, 0, 0}},
      {{0, 0, 0}, 1, {18, 0, 0}},
      {{0, 0, 0}, 4, {8, 1, 320}},
      {{0, 0, 0}, 10, {52, 2, 640}},
      {{50, 7, 2240}, -3, {50, 7, 2240}},
      {{60, 1529, 489280}, 1, {14, 1530, 489600}},   // the last step that moves
      {{60, 1530, 489600}, 1, {14, 1531, 489600}},   // stopped: rows still counted
      {{60, 1530, 489600}, 64, {60, 1548, 489600}},
  };
  for (const Case& c : cases) {
    Scroller = c.from;
    updateScroller(c.ticks);
    EXPECT_EQ(Scroller.phase, c.to.phase) << c.from.phase << "+" << c.ticks;
    EXPECT_EQ(Scroller.rowCount, c.to.rowCount) << c.from.rowCount << "+" << c.ticks;
    EXPECT_EQ(Scroller.scrollOffset, c.to.scrollOffset) << c.from.rowCount << "+" << c.ticks;
  }
}

TEST(Scroller, FromTheStartTheScrollStopsAfter1530Rows) {
  StartScroller();
  for (int frame = 0; frame < 2000; ++frame) updateScroller(3);   // 6000 ticks
  EXPECT_EQ(Scroller.rowCount, 6000 * 18 / 64);
  EXPECT_EQ(Scroller.scrollOffset, 489600);
  EXPECT_EQ(Scroller.phase, 6000 * 18 % 64);
}

// Expected grey of area pixel n at the current state.
uint8_t Blend(const uint8_t* picture, int n) {
  const ScrollerState& s = Scroller;
  const uint8_t a = picture[s.scrollOffset + n];
  const uint8_t b = picture[s.scrollOffset + n + 320];
  return static_cast<uint8_t>(FadeUp[b * 64 + s.phase] + FadeDown[a * 64 + s.phase]);
}

TEST(Scroller, DrawsTheBlendOfTwoPictureRows) {
  StartScroller();
  const uint8_t* picture = Data.scroll.data();
  FrameTarget marked;
  marked.mark();

  FrameTarget f = marked;
  const int phases[] = {0, 18, 32, 63};
  const int offsets[] = {0, 320 * 77, 489600};
  for (int phase : phases) {
    for (int offset : offsets) {
      Scroller.phase = phase;
      Scroller.rowCount = offset / 320;
      Scroller.scrollOffset = offset;
      f = marked;
      renderScroller(f.area());
      for (int n = 0; n < 64000; ++n) {
        const uint8_t* p = f.area() + 4 * n;
        const uint8_t v = Blend(picture, n);
        ASSERT_TRUE(p[0] == v && p[1] == v && p[2] == v) << "phase " << phase << " pixel " << n;
        if (phase == 0) {
          ASSERT_EQ(v, picture[offset + n]);
        }
      }
    }
  }
}

TEST(Scroller, NeverReadsPastTheEndOfThePicture) {
  StartScroller();
  // Exactly the bytes the last position needs (a sanitizer build sees any over-read).
  std::vector<uint8_t> exact(Data.scroll);
  const auto placeAt = [](const std::vector<uint8_t>& picture, int phase, int rows) {
    initScroller(picture.data(), picture.size());
    Scroller.phase = phase;
    Scroller.rowCount = rows;
    Scroller.scrollOffset = rows * 320;
  };
  placeAt(exact, 40, 1530);
  FrameTarget marked;
  marked.mark();
  FrameTarget f = marked;
  renderScroller(f.area());
  EXPECT_EQ(CompareFrames(marked, f).changedPixels, 64000);

  // One byte short, or no picture at all: nothing is drawn.
  std::vector<uint8_t> shorter(exact.begin(), exact.end() - 1);
  placeAt(shorter, 40, 1530);
  f = marked;
  renderScroller(f.area());
  EXPECT_TRUE(f == marked);

  placeAt(shorter, 0, 0);
  renderScroller(f.area());
  EXPECT_EQ(CompareFrames(marked, f).changedPixels, 64000) << "a short picture still scrolls while it lasts";

  initScroller(nullptr, 0);
  f = marked;
  renderScroller(f.area());
  EXPECT_TRUE(f == marked);
}

}  // namespace

// Scroller: the blend tables, phase and row stepping with the stop, the
// sceneStarted rule, reading within the picture, and whole frames.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effects/scroller.h"
#include "effects/scroller_state.h"
#include "host/data_buffers.h"
#include "host/scene_state.h"
#include "tests/effects_a/effects_a_fixture.h"

namespace {

void Ticks(int n) {
  SceneState.pendingTicks = n;
  updateScroller();
}

TEST(Scroller, BlendTablesAreFloorProducts) {
  StartEffects();
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
    ScrollerStateRecord from;
    int ticks;
    ScrollerStateRecord to;
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
    ScrollerState = c.from;
    Ticks(c.ticks);
    EXPECT_EQ(ScrollerState.phase, c.to.phase) << c.from.phase << "+" << c.ticks;
    EXPECT_EQ(ScrollerState.rowCount, c.to.rowCount) << c.from.rowCount << "+" << c.ticks;
    EXPECT_EQ(ScrollerState.scrollOffset, c.to.scrollOffset) << c.from.rowCount << "+" << c.ticks;
    EXPECT_EQ(SceneState.pendingTicks, c.ticks) << "the count is left for the next measurement";
  }
}

TEST(Scroller, FromTheStartTheScrollStopsAfter1530Rows) {
  StartEffects();
  for (int frame = 0; frame < 2000; ++frame) Ticks(3);   // 6000 ticks
  EXPECT_EQ(ScrollerState.rowCount, 6000 * 18 / 64);
  EXPECT_EQ(ScrollerState.scrollOffset, 489600);
  EXPECT_EQ(ScrollerState.phase, 6000 * 18 % 64);
}

// Expected grey of area pixel n at the current state.
uint8_t Blend(const uint8_t* picture, int n) {
  const ScrollerStateRecord& s = ScrollerState;
  const uint8_t a = picture[s.scrollOffset + n];
  const uint8_t b = picture[s.scrollOffset + n + 320];
  return static_cast<uint8_t>(FadeUp[b * 64 + s.phase] + FadeDown[a * 64 + s.phase]);
}

TEST(Scroller, DrawsEveryFrameOfItsSceneAndLeavesTheFourthByte) {
  StartEffects();
  const uint8_t* picture = ScrollPicture;
  Frame marked;
  marked.Mark();

  Frame f = marked;
  SceneState.sceneStarted = 0;
  renderScroller(f.Area());
  EXPECT_EQ(f.bytes, marked.bytes) << "outside its scene nothing is drawn";

  SceneState.sceneStarted = 1;
  const int phases[] = {0, 18, 32, 63};
  const int offsets[] = {0, 320 * 77, 489600};
  for (int phase : phases) {
    for (int offset : offsets) {
      ScrollerState = ScrollerStateRecord{phase, offset / 320, offset};
      f = marked;
      renderScroller(f.Area());
      EXPECT_EQ(SceneState.sceneStarted, 1) << "the scroller leaves the flag set";
      EXPECT_EQ(SceneState.target, f.Area());
      const TouchReport r = CompareFrames(marked, f);
      EXPECT_EQ(r.fourthBytes, 0);
      EXPECT_EQ(r.outsideAreaBytes, 0);
      for (int n = 0; n < 64000; ++n) {
        const uint8_t* p = f.Area() + 4 * n;
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
  StartEffects();
  SceneState.sceneStarted = 1;
  ScrollerState = ScrollerStateRecord{40, 1530, 489600};

  // Exactly the bytes the last position needs (a sanitizer build sees any over-read).
  std::vector<uint8_t> exact(SyntheticScrollPicture().begin(), SyntheticScrollPicture().end());
  ScrollPicture = exact.data();
  ScrollPictureBytes = exact.size();
  Frame marked;
  marked.Mark();
  Frame f = marked;
  renderScroller(f.Area());
  EXPECT_EQ(CompareFrames(marked, f).changedPixels, 64000);

  // One byte short, or no picture at all: nothing is drawn.
  std::vector<uint8_t> shorter(exact.begin(), exact.end() - 1);
  ScrollPicture = shorter.data();
  ScrollPictureBytes = shorter.size();
  f = marked;
  renderScroller(f.Area());
  EXPECT_EQ(f.bytes, marked.bytes);

  ScrollerState = ScrollerStateRecord{0, 0, 0};
  renderScroller(f.Area());
  EXPECT_EQ(CompareFrames(marked, f).changedPixels, 64000) << "a short picture still scrolls while it lasts";

  ScrollPicture = nullptr;
  ScrollPictureBytes = 0;
  f = marked;
  renderScroller(f.Area());
  EXPECT_EQ(f.bytes, marked.bytes);
}

TEST(Scroller, FramesFromTheSceneStartAreRepeatable) {
  auto run = [] {
    StartEffects();
    SceneState.sceneStarted = 1;
    Frame f;
    f.Mark();
    for (int n = 0; n < 12; ++n) {
      renderScroller(f.Area());
      Ticks(n % 4);
    }
    return f;
  };
  const Frame first = run();
  EXPECT_EQ(first.bytes, run().bytes);
  // 0+1+2+3 three times: 18 ticks, 324/64 rows: 5 rows, phase 4.
  EXPECT_EQ(ScrollerState.scrollOffset, 5 * 320);
  EXPECT_EQ(ScrollerState.phase, 4);
}

TEST(Scroller, PicturesForTheEye) {
  if (!DumpRequested()) GTEST_SKIP() << "set QM7_EFFECTS_PNG to a folder to write pictures";
  StartEffects(true);
  SceneState.sceneStarted = 1;
  Frame f;
  const int framesPerShot[] = {1, 50, 500, 1000, 2000};
  int shot = 0;
  for (int frames : framesPerShot) {
    for (int n = 0; n < frames; ++n) {
      renderScroller(f.Area());
      Ticks(1);
    }
    DumpArea(f, "scroller_" + std::to_string(shot++));
  }
  SceneState.pendingTicks = 0;
}

}  // namespace

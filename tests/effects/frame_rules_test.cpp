// The rules every effect's frames keep, one row per effect: a run of frames
// from the scene's start is the same every time, nothing outside the 320x200
// area is written, and the effects that say so leave the area's 4-pixel
// border and every pixel's fourth byte as they found them.
#include <gtest/gtest.h>

#include <cstring>

#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "effects/tunnel.h"
#include "kit/warp_lattice.h"
#include "tests/effects/effect_fixture.h"

namespace {

struct EffectRun {
  const char* name;
  void (*start)(FrameTarget& f);   // the effect's init and its scene's start action
  void (*render)(uint8_t* target);
  void (*update)(int32_t ticks);
  void (*event)();                 // fired before frames 10 and 30, if any
  int frames;
  int ticksCycle;                  // frame n advances by 1 + n % ticksCycle ticks
  bool keepsBorder;                // the texture grid never writes the border
  bool keepsFourthByte;
  int changedAtLeast;              // pixels that differ from the start frame
};

const EffectRun kRuns[] = {
    {"lens warp",
     [](FrameTarget&) {
       StartKit();
       initLensWarp();
       onLensWarpLogoIn();   // the logo glows over part of the run
     },
     renderLensWarp, updateLensWarp, nullptr, 12, 3, true, true, 312 * 192},
    {"ripple swirl",
     [](FrameTarget&) {
       StartKit();
       initRippleSwirl();
       WarpAngle = 3.0f;     // as left by the opening scene
       resetRippleSwirl();
     },
     renderRippleSwirl, updateRippleSwirl, nullptr, 6, 2, true, true, 312 * 192},
    {"tunnel",
     [](FrameTarget& f) {
       StartKit();
       initTunnel();
       std::memset(f.area(), 0, kAreaBytes);   // the scene starts from black
       f.rememberOriginal();
     },
     renderTunnel, updateTunnel, nullptr, 8, 3, true, true, 312 * 192 / 2},
    {"scroller",
     [](FrameTarget&) { initScroller(Data.scroll.data(), Data.scroll.size()); },
     renderScroller, updateScroller, nullptr, 12, 4, false, true, 320 * 200},
    // The kaleidoscope mirrors whole pixels, fourth bytes included.
    {"kaleidoscope",
     [](FrameTarget& f) {
       StartKit();
       initKaleidoscope();
       std::memset(f.area(), 0, kAreaBytes);
       f.rememberOriginal();
     },
     renderKaleidoscope, updateKaleidoscope, onKaleidoscopeBlob, 60, 2, false, false, 1000},
};

class EffectFrames : public testing::TestWithParam<EffectRun> {};

FrameTarget RunFrames(const EffectRun& run, FrameTarget& start) {
  FrameTarget f(FrameTarget::kMarked);
  run.start(f);
  start = f;
  for (int n = 0; n < run.frames; ++n) {
    if (run.event != nullptr && (n == 10 || n == 30)) run.event();
    run.render(f.area());
    run.update(1 + n % run.ticksCycle);
  }
  return f;
}

TEST_P(EffectFrames, RepeatableInsideTheAreaAndLeaveWhatTheyShould) {
  const EffectRun& run = GetParam();
  FrameTarget start, startAgain;
  const FrameTarget first = RunFrames(run, start);
  const FrameTarget again = RunFrames(run, startAgain);
  EXPECT_TRUE(first == again) << "the same run drew different frames";

  EXPECT_TRUE(first.guardsIntact());
  const TouchReport r = CompareFrames(start, first);
  EXPECT_EQ(r.outsideAreaBytes, 0);
  if (run.keepsBorder) {
    EXPECT_EQ(r.borderBytes, 0);
  }
  if (run.keepsFourthByte) {
    EXPECT_EQ(r.fourthBytes, 0);
  }
  EXPECT_GE(r.changedPixels, run.changedAtLeast);
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectFrames, testing::ValuesIn(kRuns), NameOfRow());

}  // namespace

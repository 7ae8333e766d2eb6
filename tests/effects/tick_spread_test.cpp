// The tick rule, one table over the effects and the ways of spreading ticks
// over frames: the same total ticks give the identical picture whether they
// come one a frame (70 fps), on every second frame (140 fps), unevenly, or
// 350 at a time (a pause). Only the updates move an effect; drawing, however
// often, moves nothing that lasts.
//
// Outside the table:
// - the kaleidoscope: each of its pictures is shrunk, mirrored, faded and
//   blurred into the next, so its picture depends on how many pictures were
//   drawn, by its nature; its clock, flower phase and blob centres do move by
//   the tick (kaleidoscope_test.cpp);
// - the scroller: its picture is drawn from two whole counters that its update
//   steps once per tick, and TicksStepThePhaseAndTheRows (scroller_test.cpp)
//   already shows any split of a count giving the same counters.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/tunnel.h"
#include "tests/effects/effect_fixture.h"

namespace {

struct Effect {
  const char* name;
  void (*start)(uint8_t* area);   // its init, then its scene's start action
  void (*render)(uint8_t* target);
  void (*update)(int32_t ticks);
};

const Effect kEffects[] = {
    {"lens warp", [](uint8_t*) { initLensWarp(); }, renderLensWarp, updateLensWarp},
    {"tunnel",
     [](uint8_t* area) {
       initTunnel();
       std::memset(area, 0, kAreaBytes);
     },
     renderTunnel, updateTunnel},
    {"ripple swirl",
     [](uint8_t*) {
       initRippleSwirl();
       WarpAngle = 3.0f;   // as the opening scene leaves it
       resetRippleSwirl();
     },
     renderRippleSwirl, updateRippleSwirl},
    {"flying blobs", [](uint8_t*) { initFlyingBlobs(); }, renderFlyingBlobs, updateFlyingBlobs},
    {"frame cube", [](uint8_t*) { initFrameCube(); }, renderFrameCube, updateFrameCube},
};

struct Spread {
  const char* what;
  std::vector<int32_t> ticks;   // of each frame, repeated
  int frames;
};

// 700 ticks each: 10 seconds, long enough for every blob to pass the viewer
// three times.
const Spread kSpreads[] = {
    {"one a frame", {1}, 700},
    {"every second frame", {0, 1}, 1400},
    {"uneven", {3, 0, 2, 0, 0, 2}, 600},
    {"350 at a time", {350}, 2},
};

// The scene as the adapters run it: frame 0 applies the start action and
// draws nothing, later frames draw, each frame's update gets its ticks (none
// when 0); the result is what the next frame draws.
FrameTarget RunScene(const Effect& effect, const Spread& spread) {
  StartKit();
  FrameTarget f(FrameTarget::kMarked);
  for (int n = 0; n < spread.frames; ++n) {
    if (n == 0) {
      effect.start(f.area());
    } else {
      effect.render(f.area());
    }
    const int32_t ticks = spread.ticks[static_cast<std::size_t>(n) % spread.ticks.size()];
    if (ticks > 0) effect.update(ticks);
  }
  effect.render(f.area());
  return f;
}

class TickSpread : public testing::TestWithParam<Effect> {};

TEST_P(TickSpread, SameTicksGiveTheIdenticalPictureHoweverSpread) {
  const Effect& effect = GetParam();
  const FrameTarget reference = RunScene(effect, kSpreads[0]);
  EXPECT_TRUE(reference.guardsIntact());
  for (const Spread& spread : kSpreads) {
    const FrameTarget f = RunScene(effect, spread);
    const TouchReport r = CompareFrames(reference, f);
    EXPECT_EQ(r.changedPixels, 0) << spread.what << " against one tick a frame";
  }
}

INSTANTIATE_TEST_SUITE_P(Effects, TickSpread, testing::ValuesIn(kEffects), NameOfRow());

}  // namespace

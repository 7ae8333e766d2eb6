// The start rule and tick rule of the scene adapters, through the real scene table.
#include <gtest/gtest.h>

#include <vector>

#include "effects/flying_blobs.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "host/data_buffers.h"
#include "host/host.h"
#include "host/scene_state.h"
#include "host/timeline.h"
#include "kit/frame.h"

namespace {

constexpr uint8_t kOld = 0xAB;

bool ClearsOnStart(int scene) {
  // The kaleidoscope (1) and the tunnel scenes (2, 4, ..., 12) start from black.
  return scene == 1 || (scene >= 2 && scene <= 12 && scene % 2 == 0);
}

// The scroll picture (1731 rows) in one grey; the other data buffers stay blank.
std::vector<uint8_t> Scroll(kScrollPictureMinBytes, 200);

class SceneAdapterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The host's own start-up of the kit and the effects.
    ScrollPicture = Scroll.data();
    ScrollPictureBytes = Scroll.size();
    InitEffects();
  }
  void SetUp() override {
    ResetTimeline();
    frame.assign(kFrameBytes, kOld);
  }
  uint8_t* Area() { return frame.data() + kAreaOffset; }
  bool OutsideAreaUntouched() const {
    for (std::size_t i = 0; i < kAreaOffset; ++i)
      if (frame[i] != kOld || frame[kAreaOffset + kAreaBytes + i] != kOld) return false;
    return true;
  }
  std::vector<uint8_t> frame;
};

TEST_F(SceneAdapterTest, FirstFrameAppliesOnlyTheStartAction) {
  for (int scene = 0; scene < kSceneCount - 2; ++scene) {
    SCOPED_TRACE(scene);
    frame.assign(kFrameBytes, kOld);
    SceneState = SceneStateRecord{true, 0};
    SceneTable[scene].renderScene(Area());
    EXPECT_FALSE(SceneState.sceneStarted);
    std::size_t cleared = 0, kept = 0;
    for (std::size_t i = 0; i < kAreaBytes; ++i) {
      cleared += Area()[i] == 0;
      kept += Area()[i] == kOld;
    }
    if (ClearsOnStart(scene)) {
      EXPECT_EQ(cleared, kAreaBytes);
    } else {
      EXPECT_EQ(kept, kAreaBytes);
    }
    EXPECT_TRUE(OutsideAreaUntouched());
  }
}

TEST_F(SceneAdapterTest, LaterFramesHandTheAreaToTheRenderer) {
  for (int scene = 0; scene < kSceneCount - 2; ++scene) {
    SCOPED_TRACE(scene);
    frame.assign(kFrameBytes, kOld);
    SceneState = SceneStateRecord{};
    SceneTable[scene].renderScene(Area());
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < kAreaBytes; ++i) drawn += Area()[i] != kOld;
    EXPECT_GT(drawn, 0u);
    EXPECT_FALSE(SceneState.sceneStarted);
    EXPECT_TRUE(OutsideAreaUntouched());
  }
}

TEST_F(SceneAdapterTest, UpdateSpendsPendingTicks) {
  for (int scene = 0; scene < kSceneCount - 2; ++scene) {
    SCOPED_TRACE(scene);
    SceneState.pendingTicks = 3;
    SceneTable[scene].updateScene();
    EXPECT_EQ(SceneState.pendingTicks, 0);
    SceneState.pendingTicks = 0;
    SceneTable[scene].updateScene();
    EXPECT_EQ(SceneState.pendingTicks, 0);
  }
}

TEST_F(SceneAdapterTest, EffectUpdateRunsOnlyWithPendingTicks) {
  // The flying blobs move 10 nearer per tick; blob 99 starts at depth 1980.
  initFlyingBlobs();
  SceneState.pendingTicks = 3;
  SceneTable[14].updateScene();  // the flying blobs scene
  EXPECT_EQ(FlyingBlobs.blobs[99].z, 1950.0f);
  SceneTable[14].updateScene();  // no ticks pending: the update is not called
  EXPECT_EQ(FlyingBlobs.blobs[99].z, 1950.0f);
}

// The ripple scenes start from the points of the current warp angle, the
// ones the first tick will place, so a frame with no tick draws them.
TEST_F(SceneAdapterTest, RippleSwirlStartsFromThePointsOfItsAngle) {
  for (LensPoint& p : RippleSwirl.lensPoints) p = {12.0f, -3.0f};
  WarpAngle = 1.25f;
  SceneState.sceneStarted = true;
  SceneTable[3].renderScene(Area());
  LensPoint expected[3];
  placeLensPoints(expected, 1.25f, 18.0f, 18.0f, 10.0f, 10.0f);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(RippleSwirl.lensPoints[k].x, expected[k].x);
    EXPECT_EQ(RippleSwirl.lensPoints[k].y, expected[k].y);
  }
  EXPECT_EQ(WarpAngle, 1.25f);
}

// The scroller draws from its scene's first frame on and leaves the flag set;
// with the flag clear (outside its scene) it draws nothing. Its update always
// runs and leaves the count for the next measurement.
TEST_F(SceneAdapterTest, ScrollerDrawsWhileItsSceneRunsAndLeavesPendingTicks) {
  initScroller(Scroll.data(), Scroll.size());   // phase 0: the picture's grey as it is
  SceneState = SceneStateRecord{};
  SceneTable[16].renderScene(Area());
  EXPECT_EQ(Area()[0], kOld);
  SceneState.sceneStarted = true;
  SceneTable[16].renderScene(Area());
  EXPECT_EQ(Area()[0], 200);
  EXPECT_TRUE(SceneState.sceneStarted);
  EXPECT_TRUE(OutsideAreaUntouched());

  SceneState.pendingTicks = 4;
  const int32_t phase = Scroller.phase;
  SceneTable[16].updateScene();
  EXPECT_EQ(SceneState.pendingTicks, 4);
  EXPECT_EQ(Scroller.phase, (phase + 4 * 18) % 64);
}

TEST_F(SceneAdapterTest, SwitchBetweenTunnelAndRippleRestartsEachScene) {
  // Scenes 2 to 13 alternate; every switch makes the next render a start frame.
  CurrentScene = 2;
  for (uint32_t row : {32u, 36u}) {
    SyncToMusic(15 | row << 16);
    ASSERT_TRUE(SceneState.sceneStarted);
    frame.assign(kFrameBytes, kOld);
    SceneTable[CurrentScene].renderScene(Area());
    EXPECT_FALSE(SceneState.sceneStarted);
    EXPECT_EQ(Area()[0], CurrentScene == 4 ? 0 : kOld) << CurrentScene;
  }
  EXPECT_EQ(CurrentScene, 4u);
}

}  // namespace

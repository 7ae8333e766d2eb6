// The start rule and tick rule of the scene adapters, through the real scene table.
#include <gtest/gtest.h>

#include <vector>

#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp_state.h"
#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "kit/frame.h"
#include "host/scene_state.h"
#include "host/timeline.h"

namespace {

constexpr uint8_t kOld = 0xAB;

bool ClearsOnStart(int scene) {
  // The kaleidoscope (1) and the tunnel scenes (2, 4, ..., 12) start from black.
  return scene == 1 || (scene >= 2 && scene <= 12 && scene % 2 == 0);
}

class SceneAdapterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // As the host does at start-up, so the renderers have their tables.
    initLensWarp();
    initRippleSwirl();
    initKaleidoscope();
    initFlyingBlobs();
    initFrameCube();
    buildScrollTables();
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
  uint8_t sentinel = 0;
  for (int scene = 0; scene < kSceneCount - 2; ++scene) {
    SCOPED_TRACE(scene);
    frame.assign(kFrameBytes, kOld);
    SceneState = {1, &sentinel, 0};
    SceneTable[scene].renderScene(Area());
    EXPECT_EQ(SceneState.sceneStarted, 0);
    EXPECT_EQ(SceneState.target, &sentinel);  // nothing is drawn this frame
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
    SceneState = {0, nullptr, 0};
    SceneTable[scene].renderScene(Area());
    EXPECT_EQ(SceneState.target, Area());
    EXPECT_EQ(SceneState.sceneStarted, 0);
    EXPECT_TRUE(OutsideAreaUntouched());
  }
}

TEST_F(SceneAdapterTest, UpdateSpendsPendingTicksAndIgnoresElapsedTicks) {
  for (int scene = 0; scene < kSceneCount - 2; ++scene) {
    SCOPED_TRACE(scene);
    SceneState.pendingTicks = 3;
    SceneTable[scene].updateScene(0.0);
    EXPECT_EQ(SceneState.pendingTicks, 0);
    SceneState.pendingTicks = 0;
    SceneTable[scene].updateScene(5.5);
    EXPECT_EQ(SceneState.pendingTicks, 0);
  }
}

TEST_F(SceneAdapterTest, EffectUpdateRunsOnlyWithPendingTicks) {
  // The flying blobs keep 10 x the ticks of their last update as their speed.
  SceneState.pendingTicks = 3;
  SceneTable[14].updateScene(0.0);  // the flying blobs scene
  EXPECT_EQ(FlyingBlobs.speed, 30);
  SceneTable[14].updateScene(7.0);  // no ticks pending: the update is not called
  EXPECT_EQ(FlyingBlobs.speed, 30);
}

TEST_F(SceneAdapterTest, RippleSwirlStartsFromResetLensPoints) {
  for (LensPoint& p : LensWarpState.LensPoints) p = {12.0f, -3.0f};
  SceneState.sceneStarted = 1;
  SceneTable[3].renderScene(Area());
  for (const LensPoint& p : LensWarpState.LensPoints) {
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
  }
}

TEST_F(SceneAdapterTest, ScrollerUpdateLeavesPendingTicks) {
  SceneState.pendingTicks = 4;
  SceneTable[16].updateScene(4.25);
  EXPECT_EQ(SceneState.pendingTicks, 4);
  EXPECT_EQ(SceneTable[16].renderScene, &renderScroller);
}

TEST_F(SceneAdapterTest, SwitchBetweenTunnelAndRippleRestartsEachScene) {
  // Scenes 2 to 13 alternate; every switch makes the next render a start frame.
  uint32_t script = 0;
  static uint32_t* current = nullptr;
  current = &script;
  MusicPositionReader = [](uint32_t) { return *current; };
  CurrentScene = 2;
  for (uint32_t row : {32u, 36u}) {
    script = 15 | row << 16;
    SyncToMusic(1);
    ASSERT_EQ(SceneState.sceneStarted, 1);
    frame.assign(kFrameBytes, kOld);
    SceneTable[CurrentScene].renderScene(Area());
    EXPECT_EQ(SceneState.sceneStarted, 0);
    EXPECT_EQ(Area()[0], CurrentScene == 4 ? 0 : kOld) << CurrentScene;
  }
  EXPECT_EQ(CurrentScene, 4u);
  MusicPositionReader = nullptr;
}

}  // namespace

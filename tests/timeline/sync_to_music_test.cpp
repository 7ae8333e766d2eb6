// SyncToMusic against scripted music positions, with the real tables.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "host/quit_scene.h"
#include "host/scene_state.h"
#include "host/timeline.h"

namespace {

uint32_t Pos(uint32_t order, uint32_t row) { return order | row << 16; }

class SyncToMusicTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetTimeline(); }

  static void Poll(uint32_t order, uint32_t row) { SyncToMusic(Pos(order, row)); }
};

struct Change {
  uint32_t order, row, index;
  bool operator==(const Change&) const = default;
};

constexpr uint32_t kModuleRows = 53 * 64;  // orders 0 to 52 of 64 rows; then it starts over

// Plays the module (64 rows per order), polling every `rowStride`-th row
// `pollsPerRow` times, on into its second time round until the quit entry,
// and records where scenes switch and events fire.
std::pair<std::vector<Change>, std::vector<Change>> PlayThrough(int pollsPerRow, uint32_t rowStride = 1) {
  std::vector<Change> scenes, events;
  for (uint32_t played = 0; played < 2 * kModuleRows && CurrentScene != kQuitSceneIndex; played += rowStride) {
    const uint32_t order = played % kModuleRows / 64, row = played % 64;
    for (int p = 0; p < pollsPerRow; ++p) {
      const uint32_t scene = CurrentScene, event = LastEvent;
      SyncToMusic(Pos(order, row));
      if (CurrentScene != scene) scenes.push_back({order, row, CurrentScene});
      if (LastEvent != event) events.push_back({order, row, LastEvent});
      EXPECT_LE(CurrentScene - scene, 1u);
      EXPECT_LE(LastEvent - event, 1u);
    }
  }
  return {scenes, events};
}

bool AtOrPast(const Change& c, uint32_t order, uint32_t row) {
  return c.order > order || (c.order == order && c.row >= row);
}

TEST_F(SyncToMusicTest, PlayingEveryRowSwitchesEachSceneAndFiresEachEventOnceAtItsPosition) {
  // Each scene gives way to the next at its own end position.
  std::vector<Change> expectedScenes;
  for (uint32_t i = 0; i < kQuitSceneIndex; ++i)
    expectedScenes.push_back({SceneTable[i].endOrder, SceneTable[i].endRow, i + 1});
  std::vector<Change> expectedEvents = {{2, 0, 1}, {3, 0, 2}, {4, 0, 3}, {5, 0, 4},
                                        {7, 0, 5}, {8, 0, 6}, {9, 0, 7}, {10, 0, 8}, {11, 0, 9}};
  uint32_t index = 10;
  for (uint32_t order = 28; order <= 31; ++order)
    for (uint32_t row = 0; row < 64; row += 8) expectedEvents.push_back({order, row, index++});
  for (uint32_t order = 32; order <= 33; ++order)
    for (uint32_t row : {0u, 12u, 24u, 32u}) expectedEvents.push_back({order, row, index++});
  for (uint32_t row : {0u, 12u, 24u}) expectedEvents.push_back({34, row, index++});
  ASSERT_EQ(index, 53u);

  for (int pollsPerRow : {1, 3}) {
    SCOPED_TRACE(pollsPerRow);
    ResetTimeline();
    Kaleidoscope.blobCount = 0;
    FrameCube.fadeOutActive = false;
    LensWarp.glow.logoIndex = 0;
    const auto [scenes, events] = PlayThrough(pollsPerRow);
    EXPECT_EQ(scenes, expectedScenes);
    EXPECT_EQ(events, expectedEvents);
    // The callbacks reached their effects: two logos shown, five blobs added,
    // the cube faded out.
    EXPECT_EQ(LensWarp.glow.logoIndex, 2);
    EXPECT_EQ(Kaleidoscope.blobCount, 5);
    EXPECT_TRUE(FrameCube.fadeOutActive);
  }
}

TEST_F(SyncToMusicTest, EventCallbacksAndSceneRoutinesAreTheEffectsOwn) {
  // The quit entry draws with QuitScene and has nothing to update.
  EXPECT_EQ(SceneTable[kQuitSceneIndex].renderScene, &QuitScene);
  EXPECT_EQ(SceneTable[kQuitSceneIndex].updateScene, nullptr);
  EXPECT_EQ(EventTable[0].callback, nullptr);
  for (uint32_t i = 0; i < kQuitSceneIndex; ++i) {
    EXPECT_NE(SceneTable[i].renderScene, nullptr) << i;
    EXPECT_NE(SceneTable[i].updateScene, nullptr) << i;
  }
  for (int i = 1; i < kEventCount; ++i) EXPECT_NE(EventTable[i].callback, nullptr) << i;
  // Alternating scenes share their effect's routines.
  EXPECT_EQ(SceneTable[2].renderScene, SceneTable[12].renderScene);
  EXPECT_EQ(SceneTable[3].renderScene, SceneTable[13].renderScene);
  EXPECT_NE(SceneTable[2].renderScene, SceneTable[3].renderScene);
}

TEST_F(SyncToMusicTest, SceneSwitchSetsTheStartFlagOnce) {
  Poll(5, 63);
  EXPECT_EQ(CurrentScene, 0u);
  EXPECT_FALSE(SceneState.sceneStarted);
  Poll(6, 0);
  EXPECT_EQ(CurrentScene, 1u);
  EXPECT_TRUE(SceneState.sceneStarted);
  SceneState.sceneStarted = false;  // as the render adapter would
  Poll(6, 0);
  Poll(6, 0);
  EXPECT_EQ(CurrentScene, 1u);
  EXPECT_FALSE(SceneState.sceneStarted);
}

// Polls that miss rows: each scene still follows the one before, one a poll,
// on the first poll at or past its predecessor's end; each event fires on the
// first poll at or past its position that has no event of its own yet.
TEST_F(SyncToMusicTest, PollsThatMissRowsStillPlayEverySceneAndEventInOrder) {
  for (uint32_t stride : {2u, 3u, 7u, 16u}) {
    SCOPED_TRACE(stride);
    ResetTimeline();
    const auto [scenes, events] = PlayThrough(1, stride);
    ASSERT_EQ(scenes.size(), static_cast<std::size_t>(kQuitSceneIndex));
    for (std::size_t i = 0; i < scenes.size(); ++i) {
      EXPECT_EQ(scenes[i].index, i + 1);
      // The quit entry also follows the music starting over.
      if (i + 1 < scenes.size() || scenes[i].order != 0) {
        EXPECT_TRUE(AtOrPast(scenes[i], SceneTable[i].endOrder, SceneTable[i].endRow)) << i;
      }
    }
    ASSERT_EQ(events.size(), static_cast<std::size_t>(kEventCount - 1));
    for (std::size_t i = 0; i < events.size(); ++i) {
      EXPECT_EQ(events[i].index, i + 1);
      EXPECT_TRUE(AtOrPast(events[i], EventTable[i + 1].order, EventTable[i + 1].row)) << i + 1;
    }
  }
}

TEST_F(SyncToMusicTest, PassedSceneEndsFollowOneAPoll) {
  Poll(5, 63);
  Poll(6, 1);  // order 6, row 0 passed between polls
  EXPECT_EQ(CurrentScene, 1u);
  // A pause from order 6 to order 16, row 1 passed twelve more ends: one
  // scene a poll, each with its start flag, until scene 13 (ends at order 20).
  for (uint32_t scene = 2; scene <= 13; ++scene) {
    SceneState.sceneStarted = false;
    Poll(16, 1);
    EXPECT_EQ(CurrentScene, scene);
    EXPECT_TRUE(SceneState.sceneStarted);
  }
  SceneState.sceneStarted = false;
  Poll(16, 1);
  EXPECT_EQ(CurrentScene, 13u);
  EXPECT_FALSE(SceneState.sceneStarted);
}

TEST_F(SyncToMusicTest, PassedEventsFireOnePerPollInTableOrder) {
  LensWarp.glow.logoIndex = 0;
  Poll(1, 63);
  Poll(4, 10);  // orders 2, 3 and 4, row 0 passed: rows 1 to 3
  EXPECT_EQ(LastEvent, 1u);
  EXPECT_TRUE(EventLatch);
  Poll(4, 10);
  EXPECT_EQ(LastEvent, 2u);
  Poll(4, 11);
  EXPECT_EQ(LastEvent, 3u);
  Poll(4, 12);  // row 4 is at order 5
  EXPECT_EQ(LastEvent, 3u);
  EXPECT_EQ(LensWarp.glow.logoIndex, 2);  // both logos were shown
}

TEST_F(SyncToMusicTest, TheLatchOpensOnAPollPastTheLastFiredEvent) {
  Poll(2, 0);
  EXPECT_EQ(LastEvent, 1u);
  EXPECT_TRUE(EventLatch);
  Poll(2, 0);
  EXPECT_TRUE(EventLatch);
  Poll(1, 63);  // heard a row back: not past it
  EXPECT_TRUE(EventLatch);
  Poll(2, 5);  // past, though order 2, row 1 was never polled
  EXPECT_FALSE(EventLatch);
  EXPECT_EQ(LastEvent, 1u);
  Poll(3, 0);
  EXPECT_EQ(LastEvent, 2u);
}

// The module repeats: an order lower than the previous poll's means it played
// its last row and started over, so the timeline ends; a heard position one
// row back across the start of an order does not.
TEST_F(SyncToMusicTest, MusicStartingOverGoesToTheQuitEntry) {
  struct Case {
    uint32_t orderBefore, rowBefore, order, row;
    bool quits;
  };
  const Case cases[] = {
      {50, 10, 0, 3, true},   // came round during a pause
      {52, 62, 0, 0, true},   // the last row missed
      {6, 2, 1, 0, true},
      {5, 1, 4, 63, true},    // two rows back
      {6, 0, 4, 63, true},    // two orders back
      {5, 0, 4, 63, false},   // one row back across the start of order 5
      {5, 10, 5, 9, false},   // one row back inside an order
      {7, 0, 7, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.orderBefore << "," << c.rowBefore << " -> " << c.order << ","
                                    << c.row);
    ResetTimeline();
    Poll(c.orderBefore, c.rowBefore);
    while (CurrentScene < kQuitSceneIndex && SceneState.sceneStarted) {  // caught up
      SceneState.sceneStarted = false;
      Poll(c.orderBefore, c.rowBefore);
    }
    const uint32_t scene = CurrentScene, event = LastEvent;
    SceneState.sceneStarted = false;
    Poll(c.order, c.row);
    if (c.quits) {
      EXPECT_EQ(CurrentScene, kQuitSceneIndex);
      EXPECT_TRUE(SceneState.sceneStarted);
      EXPECT_EQ(LastEvent, event);
    } else {
      EXPECT_EQ(CurrentScene, scene);
      EXPECT_FALSE(SceneState.sceneStarted);
    }
  }
}

TEST_F(SyncToMusicTest, RepeatedPollsOfAnEventPositionFireItOnce) {
  EXPECT_EQ(LastEvent, 0u);
  Poll(2, 0);
  Poll(2, 0);
  Poll(2, 0);
  EXPECT_EQ(LastEvent, 1u);
  Poll(2, 1);
  Poll(2, 1);
  Poll(2, 0);  // row 2 is at order 3: order 2, row 0 seen again fires nothing
  EXPECT_EQ(LastEvent, 1u);
}

TEST_F(SyncToMusicTest, StartMarkerNeverFiresAndTheLatchStartsOpen) {
  Poll(0, 1);
  Poll(0, 2);
  EXPECT_EQ(LastEvent, 0u);
  Poll(2, 0);  // first poll ever at the first event's position
  EXPECT_EQ(LastEvent, 1u);
}

TEST_F(SyncToMusicTest, NoEventAfterTheLastRow) {
  LastEvent = kEventCount - 1;
  EventLatch = 0;
  for (uint32_t order = 0; order < 64; ++order)
    for (uint32_t row = 0; row < 64; ++row) Poll(order, row);
  EXPECT_EQ(LastEvent, static_cast<uint32_t>(kEventCount - 1));
}

TEST_F(SyncToMusicTest, QuitEntryIsReachedAtOrder52Row63AndIsNeverLeft) {
  CurrentScene = 16;
  Poll(52, 62);
  EXPECT_EQ(CurrentScene, 16u);
  Poll(52, 63);
  EXPECT_EQ(CurrentScene, kQuitSceneIndex);
  // Should the loop poll again, the quit entry's stored position must not
  // move the index past the end of the table.
  Poll(0, 1);
  Poll(0, 1);
  EXPECT_EQ(CurrentScene, kQuitSceneIndex);
}

TEST_F(SyncToMusicTest, ResetTimelineStartsAfresh) {
  Poll(2, 0);
  CurrentScene = 5;
  SceneState = SceneStateRecord{true, 4};
  ResetTimeline();
  EXPECT_EQ(CurrentScene, 0u);
  EXPECT_EQ(LastEvent, 0u);
  EXPECT_EQ(EventLatch, 0);
  EXPECT_EQ(PreviousPosition, 0u);
  EXPECT_FALSE(SceneState.sceneStarted);
  EXPECT_EQ(SceneState.pendingTicks, 0);
}

}  // namespace

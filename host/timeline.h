// timeline.h — follows the music's play position: switches scenes and fires
// one-shot events into the running effect.
//
// Usage (host):
//   ResetTimeline();                          // once, at start-up
//   MusicPositionReader = ReadMusicPosition;  // then, once (host/message_loop.h)
//   every active frame, after presenting:
//     SyncToMusic(MusicHandle);
//     if (SceneTable[CurrentScene].renderScene) SceneTable[CurrentScene].renderScene(frame + kAreaOffset);
//     ... measure ticks into SceneState.pendingTicks ...
//     if (SceneTable[CurrentScene].updateScene) SceneTable[CurrentScene].updateScene();
//
// MusicPositionReader is the one seam to the music player: it returns
// order | row << 16 for the given handle. It is nullptr until the host sets
// it (SyncToMusic then does nothing); tests point it at a scripted source.
//
// Positions are matched exactly. A scene ends on the first poll that sees its
// end position; an event fires on the first poll that sees its position, but
// only after the row just behind the previous event (same order) has been seen
// (EventLatch). Rows that pass between two polls are missed. At most one scene
// switch and one event per poll.
#pragma once
#include <cstdint>

// Set by the host at start-up (the platform's music position) or by tests.
extern uint32_t (*MusicPositionReader)(uint32_t musicHandle);

struct SceneEntry {
  void (*renderScene)(uint8_t* target);  // nullptr: nothing is drawn
  void (*updateScene)();                 // by SceneState.pendingTicks; nullptr: nothing is advanced
  uint32_t endOrder;
  uint32_t endRow;
};

struct EventEntry {
  uint32_t order;
  uint32_t row;
  void (*callback)();  // nullptr: the row only moves LastEvent
};

constexpr int kSceneCount = 18;   // 17 scenes and the quit entry
constexpr int kEventCount = 53;   // row 0 is the start marker and never fires
constexpr uint32_t kQuitSceneIndex = kSceneCount - 1;

extern const SceneEntry SceneTable[kSceneCount];
extern const EventEntry EventTable[kEventCount];

extern uint32_t CurrentScene;  // index into SceneTable
extern uint32_t LastEvent;     // index of the last fired EventTable row
extern bool EventLatch;        // set from an event until the row after it is seen

// Host, once per active frame between presenting and rendering.
void SyncToMusic(uint32_t musicHandle);

// Host at start-up, tests before each case: CurrentScene, LastEvent,
// EventLatch and SceneState back to zero.
void ResetTimeline();

// timeline.h — follows the music's play position: switches scenes and fires
// one-shot events into the running effect.
//
// Usage (host, host/message_loop.cpp):
//   ResetTimeline();                          // once, at start-up
//   every active frame, after presenting:
//     uint32_t position = MusicGetPosition(MusicHandle);  // platform/music.h
//     SyncToMusic(position);
//     if (SceneTable[CurrentScene].renderScene) SceneTable[CurrentScene].renderScene(frame + kAreaOffset);
//     ... measure ticks into SceneState.pendingTicks ...
//     if (SceneTable[CurrentScene].updateScene) SceneTable[CurrentScene].updateScene();
//
// A position is the music player's value order | row << 16; the timeline
// never asks the player itself, so tests pass positions directly.
//
// The rule of one poll (one call of SyncToMusic). A position is an order and
// a row; positions compare in playing order: the higher order is later, and
// within one order the higher row. "At or past" a table position means equal
// to it or later, "past" strictly later. A poll takes these steps in order:
//   1. Wrap. If the order is lower than the previous poll's order, the music
//      has played its last row and started over (the module repeats): unless
//      the quit entry is current already, CurrentScene becomes the quit entry
//      and SceneState.sceneStarted is set, at once, skipping any scenes left.
//      The poll ends there (no event). Exception: when the order is exactly
//      one lower and the previous poll found row 0, the heard position has
//      stepped back one row; that is no wrap, and the steps below run. At
//      the first poll after ResetTimeline the previous position counts as
//      order 0, row 0.
//   2. Scene. If CurrentScene is not the quit entry and the position is at or
//      past its end (endOrder, endRow), CurrentScene moves on by one and
//      SceneState.sceneStarted is set. Never more than one scene per poll:
//      after a long pause or a slow frame the scenes that were passed follow
//      one a poll, so each still gets its first frame and its start action.
//   3. Latch. If the position is past the position of EventTable[LastEvent],
//      EventLatch is cleared.
//   4. Event. If there is an entry after LastEvent, EventLatch is clear and
//      the position is at or past that entry's position, LastEvent moves on
//      to it, its callback (if any) is called, and EventLatch is set. Never
//      more than one event per poll: events that were passed follow one a
//      poll, in table order.
// Every poll, wrap or not, keeps its position as the previous one for the
// next poll's step 1. The latch starts clear and EventTable[0] never fires,
// so entry 1 fires on the first poll at or past its position. Where every row
// of the music is polled at least once, this is the same as matching
// positions exactly: each scene ends and each event fires on the first poll
// of its own position.
#pragma once
#include <cstdint>

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
extern uint32_t LastEvent;     // index of the last fired EventTable entry
extern bool EventLatch;        // set from an event until a poll past its position
extern uint32_t PreviousPosition;  // order | row << 16 found by the previous poll

// Host, once per active frame between presenting and rendering, with the
// music position (order | row << 16) it has just read.
void SyncToMusic(uint32_t position);

// Host at start-up, tests before each case: CurrentScene, LastEvent,
// EventLatch, PreviousPosition and SceneState back to zero.
void ResetTimeline();

// scene_state.h — the record the timeline and the running effect share.
//
// SyncToMusic sets sceneStarted when a scene begins; the render adapters
// clear it (the scroller leaves it set). Each render adapter stores the
// drawing target just before calling its effect's renderer. The host stores
// the whole number of 70 Hz ticks elapsed this frame in pendingTicks; the
// update adapters clear it after the effect's update has run.
#pragma once
#include <cstdint>

struct SceneStateRecord {
  uint8_t sceneStarted;
  uint8_t* target;
  int32_t pendingTicks;
};

extern SceneStateRecord SceneState;

// scene_state.h — the record the timeline, the frame clock and the scene
// adapters share; no effect reads it.
//
// SyncToMusic sets sceneStarted when a scene begins; the render adapters
// clear it (the scroller's leaves it set). The host stores the whole number
// of 70 Hz ticks elapsed this frame in pendingTicks; the update adapters hand
// it to the effect's update and then clear it (the scroller's leaves it).
#pragma once
#include <cstdint>

struct SceneStateRecord {
  bool sceneStarted = false;
  int32_t pendingTicks = 0;
};

extern SceneStateRecord SceneState;

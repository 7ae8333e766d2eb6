// timeline.cpp — the scene and event tables and the poll that walks them.
#include "host/timeline.h"

#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "host/quit_scene.h"
#include "host/scene_adapters.h"
#include "host/scene_state.h"

uint32_t CurrentScene = 0;
uint32_t LastEvent = 0;
bool EventLatch = false;
uint32_t PreviousPosition = 0;

// Each entry runs until the music reaches its end position; the next entry
// then takes over. The tunnel and the ripple swirl alternate every few rows.
const SceneEntry SceneTable[kSceneCount] = {
    {RenderLensWarpScene, UpdateLensWarpScene, 6, 0},            // 0
    {RenderKaleidoscopeScene, UpdateKaleidoscopeScene, 12, 0},   // 1
    {RenderTunnelScene, UpdateTunnelScene, 15, 32},              // 2
    {RenderRippleSwirlScene, UpdateRippleSwirlScene, 15, 36},    // 3
    {RenderTunnelScene, UpdateTunnelScene, 15, 40},              // 4
    {RenderRippleSwirlScene, UpdateRippleSwirlScene, 15, 44},    // 5
    {RenderTunnelScene, UpdateTunnelScene, 15, 48},              // 6
    {RenderRippleSwirlScene, UpdateRippleSwirlScene, 15, 52},    // 7
    {RenderTunnelScene, UpdateTunnelScene, 15, 54},              // 8
    {RenderRippleSwirlScene, UpdateRippleSwirlScene, 15, 58},    // 9
    {RenderTunnelScene, UpdateTunnelScene, 15, 60},              // 10
    {RenderRippleSwirlScene, UpdateRippleSwirlScene, 15, 62},    // 11
    {RenderTunnelScene, UpdateTunnelScene, 16, 0},               // 12
    {RenderRippleSwirlScene, UpdateRippleSwirlScene, 20, 0},     // 13
    {RenderFlyingBlobsScene, UpdateFlyingBlobsScene, 24, 0},     // 14
    {RenderFrameCubeScene, UpdateFrameCubeScene, 35, 0},         // 15
    {RenderScrollerScene, UpdateScrollerScene, 52, 63},          // 16
    {QuitScene, nullptr, 0, 1},                                  // 17: never ends
};

// Events belong to the scene running at their position: rows 1-4 the lens
// warp (scene 0), rows 5-9 the kaleidoscope (scene 1), rows 10-52 the frame
// cube (scene 15).
const EventEntry EventTable[kEventCount] = {
    {0, 1, nullptr},  // start marker
    {2, 0, onLensWarpLogoIn}, {3, 0, onLensWarpLogoOut},
    {4, 0, onLensWarpLogoIn}, {5, 0, onLensWarpLogoOut},
    {7, 0, onKaleidoscopeBlob}, {8, 0, onKaleidoscopeBlob}, {9, 0, onKaleidoscopeBlob},
    {10, 0, onKaleidoscopeBlob}, {11, 0, onKaleidoscopeBlob},
    {28, 0, onFrameCubeBurst}, {28, 8, onFrameCubeBurst}, {28, 16, onFrameCubeBurst}, {28, 24, onFrameCubeBurst},
    {28, 32, onFrameCubeBurst}, {28, 40, onFrameCubeBurst}, {28, 48, onFrameCubeBurst}, {28, 56, onFrameCubeBurst},
    {29, 0, onFrameCubeBurst}, {29, 8, onFrameCubeBurst}, {29, 16, onFrameCubeBurst}, {29, 24, onFrameCubeBurst},
    {29, 32, onFrameCubeBurst}, {29, 40, onFrameCubeBurst}, {29, 48, onFrameCubeBurst}, {29, 56, onFrameCubeBurst},
    {30, 0, onFrameCubeBurst}, {30, 8, onFrameCubeBurst}, {30, 16, onFrameCubeBurst}, {30, 24, onFrameCubeBurst},
    {30, 32, onFrameCubeBurst}, {30, 40, onFrameCubeBurst}, {30, 48, onFrameCubeBurst}, {30, 56, onFrameCubeBurst},
    {31, 0, onFrameCubeBurst}, {31, 8, onFrameCubeBurst}, {31, 16, onFrameCubeBurst}, {31, 24, onFrameCubeBurst},
    {31, 32, onFrameCubeBurst}, {31, 40, onFrameCubeBurst}, {31, 48, onFrameCubeBurst}, {31, 56, onFrameCubeBurst},
    {32, 0, onFrameCubeLogoIn}, {32, 12, onFrameCubeBurst}, {32, 24, onFrameCubeBurst}, {32, 32, onFrameCubeLogoOut},
    {33, 0, onFrameCubeLogoIn}, {33, 12, onFrameCubeBurst}, {33, 24, onFrameCubeBurst}, {33, 32, onFrameCubeLogoOut},
    {34, 0, onFrameCubeFadeOut}, {34, 12, onFrameCubeBurst}, {34, 24, onFrameCubeBurst},
};

namespace {

// A position in playing order (order first, then row) as one comparable number.
constexpr uint32_t PlayingOrder(uint32_t order, uint32_t row) { return order << 16 | row; }

// The music went back to an earlier order since the previous poll: it played
// its last row and started over. A heard position can step back by one row,
// which across the start of an order looks like the order before; that is not
// a new start.
bool MusicStartedOver(uint32_t order) {
  const uint32_t orderBefore = PreviousPosition & 0xFFFF, rowBefore = PreviousPosition >> 16;
  if (order >= orderBefore) return false;
  return !(order + 1 == orderBefore && rowBefore == 0);
}

}  // namespace

void SyncToMusic(uint32_t position) {
  const uint32_t order = position & 0xFFFF;
  const uint32_t row = position >> 16;
  const uint32_t now = PlayingOrder(order, row);

  const bool startedOver = MusicStartedOver(order);
  PreviousPosition = position;
  // The music has finished: whatever is left of the timeline is over too.
  if (startedOver) {
    if (CurrentScene < kQuitSceneIndex) {
      SceneState.sceneStarted = true;
      CurrentScene = kQuitSceneIndex;
    }
    return;
  }

  // The quit entry is the last one: it has no successor to switch to.
  const SceneEntry& scene = SceneTable[CurrentScene];
  if (CurrentScene < kQuitSceneIndex && now >= PlayingOrder(scene.endOrder, scene.endRow)) {
    SceneState.sceneStarted = true;
    CurrentScene += 1;
  }

  const EventEntry& last = EventTable[LastEvent];
  if (now > PlayingOrder(last.order, last.row)) EventLatch = false;

  if (LastEvent + 1 < kEventCount) {
    const EventEntry& next = EventTable[LastEvent + 1];
    if (!EventLatch && now >= PlayingOrder(next.order, next.row)) {
      LastEvent += 1;
      if (next.callback != nullptr) next.callback();
      EventLatch = true;
    }
  }
}

void ResetTimeline() {
  CurrentScene = 0;
  LastEvent = 0;
  EventLatch = false;
  PreviousPosition = 0;
  SceneState = SceneStateRecord{};
}

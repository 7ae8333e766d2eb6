// scene_adapters.cpp — start rule and tick rule between the timeline and each effect.
#include "host/scene_adapters.h"

#include <cstring>

#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "effects/tunnel.h"
#include "kit/frame.h"
#include "host/scene_state.h"

namespace {

// First frame of a scene: true after applying the start action (the caller
// then draws nothing); otherwise stores the target for the renderer.
bool StartFrame(uint8_t* target, void (*startAction)(uint8_t*)) {
  if (SceneState.sceneStarted == 1) {
    if (startAction != nullptr) startAction(target);
    SceneState.sceneStarted = 0;
    return true;
  }
  SceneState.target = target;
  return false;
}

void ClearArea(uint8_t* target) { std::memset(target, 0, kAreaBytes); }
void ResetRipple(uint8_t*) { resetRippleSwirl(); }

// The effect advances SceneState.pendingTicks ticks itself; the count is spent.
void SpendTicks(void (*update)()) {
  if (SceneState.pendingTicks == 0) return;
  update();
  SceneState.pendingTicks = 0;
}

}  // namespace

void RenderLensWarpScene(uint8_t* target) {
  if (!StartFrame(target, nullptr)) renderLensWarp(target);
}
void UpdateLensWarpScene(double) { SpendTicks(updateLensWarp); }

void RenderKaleidoscopeScene(uint8_t* target) {
  if (!StartFrame(target, ClearArea)) renderKaleidoscope();
}
void UpdateKaleidoscopeScene(double) { SpendTicks(updateKaleidoscope); }

void RenderTunnelScene(uint8_t* target) {
  if (!StartFrame(target, ClearArea)) renderTunnel();
}
void UpdateTunnelScene(double) { SpendTicks(updateTunnel); }

void RenderRippleSwirlScene(uint8_t* target) {
  if (!StartFrame(target, ResetRipple)) renderRippleSwirl(target);
}
void UpdateRippleSwirlScene(double) { SpendTicks(updateRippleSwirl); }

void RenderFlyingBlobsScene(uint8_t* target) {
  if (!StartFrame(target, nullptr)) renderFlyingBlobs();
}
void UpdateFlyingBlobsScene(double) { SpendTicks(updateFlyingBlobs); }

void RenderFrameCubeScene(uint8_t* target) {
  if (!StartFrame(target, nullptr)) renderFrameCube(target);
}
void UpdateFrameCubeScene(double) { SpendTicks(updateFrameCube); }

void UpdateScrollerScene(double) { updateScroller(); }

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
#include "host/scene_state.h"
#include "kit/frame.h"

namespace {

// First frame of a scene: true after applying the start action (the caller
// then draws nothing).
bool StartFrame(uint8_t* target, void (*startAction)(uint8_t*)) {
  if (!SceneState.sceneStarted) return false;
  if (startAction != nullptr) startAction(target);
  SceneState.sceneStarted = false;
  return true;
}

void ClearArea(uint8_t* target) { std::memset(target, 0, kAreaBytes); }
void ResetRipple(uint8_t*) { resetRippleSwirl(); }

// The effect advances by the frame's ticks; the count is then spent.
void SpendTicks(void (*update)(int32_t ticks)) {
  if (SceneState.pendingTicks == 0) return;
  update(SceneState.pendingTicks);
  SceneState.pendingTicks = 0;
}

}  // namespace

void RenderLensWarpScene(uint8_t* target) {
  if (!StartFrame(target, nullptr)) renderLensWarp(target);
}
void UpdateLensWarpScene() { SpendTicks(updateLensWarp); }

void RenderKaleidoscopeScene(uint8_t* target) {
  if (!StartFrame(target, ClearArea)) renderKaleidoscope(target);
}
void UpdateKaleidoscopeScene() { SpendTicks(updateKaleidoscope); }

void RenderTunnelScene(uint8_t* target) {
  if (!StartFrame(target, ClearArea)) renderTunnel(target);
}
void UpdateTunnelScene() { SpendTicks(updateTunnel); }

void RenderRippleSwirlScene(uint8_t* target) {
  if (!StartFrame(target, ResetRipple)) renderRippleSwirl(target);
}
void UpdateRippleSwirlScene() { SpendTicks(updateRippleSwirl); }

void RenderFlyingBlobsScene(uint8_t* target) {
  if (!StartFrame(target, nullptr)) renderFlyingBlobs(target);
}
void UpdateFlyingBlobsScene() { SpendTicks(updateFlyingBlobs); }

void RenderFrameCubeScene(uint8_t* target) {
  if (!StartFrame(target, nullptr)) renderFrameCube(target);
}
void UpdateFrameCubeScene() { SpendTicks(updateFrameCube); }

// The scroller draws from its scene's first frame on; outside a started
// scene (the flag clear) it draws nothing.
void RenderScrollerScene(uint8_t* target) {
  if (SceneState.sceneStarted) renderScroller(target);
}
void UpdateScrollerScene() { updateScroller(SceneState.pendingTicks); }

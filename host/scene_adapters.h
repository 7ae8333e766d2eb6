// scene_adapters.h — the thin routines between the scene table and the effects.
//
// Render adapters (called by the host through SceneTable with the frame area):
// on a scene's first frame (SceneState.sceneStarted 1) they only apply the
// effect's start action and clear the flag, drawing nothing; on later frames
// they store the area in SceneState.target and call the effect's renderer.
//
// Update adapters (called by the host through SceneTable with elapsedTicks,
// which they ignore): when SceneState.pendingTicks is not 0 they call the
// effect's update, which advances that many ticks, then clear the count.
//
// The scroller has no render adapter (renderScroller is in the table as it
// is); UpdateScrollerScene only gives updateScroller the table's signature and
// leaves pendingTicks alone.
#pragma once
#include <cstdint>

void RenderLensWarpScene(uint8_t* target);      // start action: none
void UpdateLensWarpScene(double elapsedTicks);
void RenderKaleidoscopeScene(uint8_t* target);  // start action: area to black
void UpdateKaleidoscopeScene(double elapsedTicks);
void RenderTunnelScene(uint8_t* target);        // start action: area to black
void UpdateTunnelScene(double elapsedTicks);
void RenderRippleSwirlScene(uint8_t* target);   // start action: resetRippleSwirl
void UpdateRippleSwirlScene(double elapsedTicks);
void RenderFlyingBlobsScene(uint8_t* target);   // start action: none
void UpdateFlyingBlobsScene(double elapsedTicks);
void RenderFrameCubeScene(uint8_t* target);     // start action: none
void UpdateFrameCubeScene(double elapsedTicks);
void UpdateScrollerScene(double elapsedTicks);

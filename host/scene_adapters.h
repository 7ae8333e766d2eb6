// scene_adapters.h — the thin routines between the scene table and the effects;
// the only code that applies the scene-start rule and the tick rule.
//
// Render adapters (called by the host through SceneTable with the frame area):
// on a scene's first frame (SceneState.sceneStarted set) they only apply the
// effect's start action and clear the flag, drawing nothing; on later frames
// they call the effect's renderer with the area.
//
// Update adapters (called by the host through SceneTable after the frame's
// ticks are measured): when SceneState.pendingTicks is not 0 they call the
// effect's update with that many ticks, then clear the count.
//
// The scroller's adapters differ: RenderScrollerScene draws whenever the flag
// is set (the first frame included) and never clears it; UpdateScrollerScene
// always calls the update and leaves pendingTicks alone.
#pragma once
#include <cstdint>

void RenderLensWarpScene(uint8_t* target);      // start action: none
void UpdateLensWarpScene();
void RenderKaleidoscopeScene(uint8_t* target);  // start action: area to black
void UpdateKaleidoscopeScene();
void RenderTunnelScene(uint8_t* target);        // start action: area to black
void UpdateTunnelScene();
void RenderRippleSwirlScene(uint8_t* target);   // start action: resetRippleSwirl
void UpdateRippleSwirlScene();
void RenderFlyingBlobsScene(uint8_t* target);   // start action: none
void UpdateFlyingBlobsScene();
void RenderFrameCubeScene(uint8_t* target);     // start action: none
void UpdateFrameCubeScene();
void RenderScrollerScene(uint8_t* target);
void UpdateScrollerScene();

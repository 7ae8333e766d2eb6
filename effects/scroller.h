// scroller.h — the closing credits scroll (the last scene).
//
// buildScrollTables: once at start-up, after the other effects' initialisers.
// renderScroller: every frame of its scene, including the first (it has no
//   scene adapter and leaves sceneStarted set); reads ScrollPicture in place.
// updateScroller: every frame of its scene; advances by SceneState.pendingTicks
//   and leaves the count as it is.
#pragma once
#include <cstdint>

void buildScrollTables();
void renderScroller(uint8_t* target);
void updateScroller();

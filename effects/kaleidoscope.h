// kaleidoscope.h — mirrored, faded, blurred feedback with a dot ring and blobs.
//
// initKaleidoscope: once at start-up. renderKaleidoscope works on
// SceneState.target in place (feedback); updateKaleidoscope advances by
// SceneState.pendingTicks; addKaleidoBlob is the scene's event callback.
#pragma once

void initKaleidoscope();
void renderKaleidoscope();
void updateKaleidoscope();
void addKaleidoBlob();

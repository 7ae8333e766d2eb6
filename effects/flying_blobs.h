// flying_blobs.h — a hundred soft blobs flying towards the viewer.
//
// initFlyingBlobs: once at start-up. renderFlyingBlobs draws into
// SceneState.target; updateFlyingBlobs advances by SceneState.pendingTicks.
#pragma once

void initFlyingBlobs();
void renderFlyingBlobs();
void updateFlyingBlobs();

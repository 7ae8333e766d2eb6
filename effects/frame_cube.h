// frame_cube.h — the cube of frames circled by the camera over a split horizon.
//
// initFrameCube: once at start-up, after initLensWarp (it reads the blurred logos).
// renderFrameCube / updateFrameCube: through the scene adapters.
// onCubeBurst, onCubeLogoIn, onCubeLogoOut, onCubeFadeOut: event callbacks.
#pragma once
#include <cstdint>

void initFrameCube();
void renderFrameCube(uint8_t* target);
void updateFrameCube();
void onCubeBurst();
void onCubeLogoIn();
void onCubeLogoOut();
void onCubeFadeOut();

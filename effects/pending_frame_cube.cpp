// pending_frame_cube.cpp — empty bodies until the frame cube effect is written,
// so the timeline and start-up link meanwhile. Delete when frame_cube.cpp lands.
#include "effects/frame_cube.h"

void initFrameCube() {}
void renderFrameCube(uint8_t*) {}
void updateFrameCube() {}
void onCubeBurst() {}
void onCubeLogoIn() {}
void onCubeLogoOut() {}
void onCubeFadeOut() {}

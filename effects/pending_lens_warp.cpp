// pending_lens_warp.cpp — empty bodies until the lens warp effect is written,
// so the timeline and start-up link meanwhile. Delete when lens_warp.cpp lands.
#include "effects/lens_warp.h"

void initLensWarp() {}
void renderLensWarp(uint8_t*) {}
void updateLensWarp() {}
void showNextLogo() {}
void fadeOutLogo() {}

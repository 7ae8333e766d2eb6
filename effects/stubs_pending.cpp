// stubs_pending.cpp — empty bodies for effects not written yet, so the
// timeline tables and start-up order link from the start. Each effect's own
// file group replaces its block here; delete this file when all have landed.
#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "effects/tunnel.h"

// --- scroller
void buildScrollTables() {}
void renderScroller(uint8_t*) {}
void updateScroller() {}
// --- lens warp
void initLensWarp() {}
void renderLensWarp(uint8_t*) {}
void updateLensWarp() {}
void showNextLogo() {}
void fadeOutLogo() {}
// --- ripple swirl
void initRippleSwirl() {}
void renderRippleSwirl(uint8_t*) {}
void updateRippleSwirl() {}
void resetRippleSwirl() {}
// --- tunnel
void initTunnel(const uint8_t*, const uint8_t*, const uint8_t*) {}
void renderTunnel() {}
void updateTunnel() {}
// --- flying blobs
void initFlyingBlobs() {}
void renderFlyingBlobs() {}
void updateFlyingBlobs() {}
// --- kaleidoscope
void initKaleidoscope() {}
void renderKaleidoscope() {}
void updateKaleidoscope() {}
void addKaleidoBlob() {}
// --- frame cube
void initFrameCube() {}
void renderFrameCube(uint8_t*) {}
void updateFrameCube() {}
void onCubeBurst() {}
void onCubeLogoIn() {}
void onCubeLogoOut() {}
void onCubeFadeOut() {}

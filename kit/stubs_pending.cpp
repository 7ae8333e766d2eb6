// stubs_pending.cpp — empty bodies for kit routines not written yet, so the
// effects link while the kit is being built. Each routine's own file replaces
// its line here; delete this file when the whole kit has landed.
#include "kit/blitters.h"
#include "kit/triangle.h"

// --- blitters
uint8_t ShadeScaleTable[16 * 256];
void buildShadeScaleTable() {}
void drawBlobSprite(uint8_t*, const uint8_t*, int32_t, int32_t, int32_t) {}
void drawShadedBlobSprite(uint8_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t) {}
void stampDimDot(uint8_t*, int32_t) {}
void stampBrightDot(uint8_t*, int32_t) {}
// --- triangle
void fillFlatTriangle(const float*, uint8_t*, uint32_t) {}

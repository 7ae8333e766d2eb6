// stubs_pending.cpp — empty bodies for kit routines not written yet, so the
// effects link while the kit is being built. Each routine's own file replaces
// its line here; delete this file when the whole kit has landed.
#include "kit/triangle.h"

// --- triangle
void fillFlatTriangle(const float*, uint8_t*, uint32_t) {}

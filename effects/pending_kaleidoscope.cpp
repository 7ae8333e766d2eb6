// pending_kaleidoscope.cpp — empty bodies until the kaleidoscope effect is written,
// so the timeline and start-up link meanwhile. Delete when kaleidoscope.cpp lands.
#include "effects/kaleidoscope.h"

void initKaleidoscope() {}
void renderKaleidoscope() {}
void updateKaleidoscope() {}
void addKaleidoBlob() {}

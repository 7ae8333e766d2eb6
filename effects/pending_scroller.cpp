// pending_scroller.cpp — empty bodies until the scroller effect is written,
// so the timeline and start-up link meanwhile. Delete when scroller.cpp lands.
#include "effects/scroller.h"

void buildScrollTables() {}
void renderScroller(uint8_t*) {}
void updateScroller() {}

// pending_ripple_swirl.cpp — empty bodies until the ripple swirl effect is written,
// so the timeline and start-up link meanwhile. Delete when ripple_swirl.cpp lands.
#include "effects/ripple_swirl.h"

void initRippleSwirl() {}
void renderRippleSwirl(uint8_t*) {}
void updateRippleSwirl() {}
void resetRippleSwirl() {}

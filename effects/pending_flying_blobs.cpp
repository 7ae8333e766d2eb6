// pending_flying_blobs.cpp — empty bodies until the flying blobs effect is written,
// so the timeline and start-up link meanwhile. Delete when flying_blobs.cpp lands.
#include "effects/flying_blobs.h"

void initFlyingBlobs() {}
void renderFlyingBlobs() {}
void updateFlyingBlobs() {}

// pending_tunnel.cpp — empty bodies until the tunnel effect is written,
// so the timeline and start-up link meanwhile. Delete when tunnel.cpp lands.
#include "effects/tunnel.h"

void initTunnel(const uint8_t*, const uint8_t*, const uint8_t*) {}
void renderTunnel() {}
void updateTunnel() {}

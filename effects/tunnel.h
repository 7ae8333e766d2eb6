// tunnel.h — the textured tunnel with three particle clouds.
//
// initTunnel: once at start-up, as the last step of initLensWarp, with the
//   shared texture, palette and shade table. renderTunnel draws into
//   SceneState.target; updateTunnel advances by SceneState.pendingTicks.
#pragma once
#include <cstdint>

void initTunnel(const uint8_t* texture, const uint8_t* palette, const uint8_t* shadeTable);
void renderTunnel();
void updateTunnel();

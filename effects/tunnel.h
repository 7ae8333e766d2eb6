// tunnel.h — the textured tunnel with three particle clouds.
//
// initTunnel: once at start-up, after initKit (it draws with the kit's texture
//   grid tables); starts the effect afresh.
// renderTunnel(target) / updateTunnel(ticks): through the scene adapters. The
//   camera, the clouds and their pulse move only in the update, by the tick.
#pragma once
#include <cstdint>

#include "kit/numbers.h"
#include "kit/texture_grid.h"
#include "kit/vector_math.h"

void initTunnel();
void renderTunnel(uint8_t* target);
void updateTunnel(int32_t ticks);

// --- state and stages, visible so tests and benchmarks can drive them ---

constexpr int kCloudParticles = 300;
constexpr int kTunnelVertices = kGridRows * kGridColumns;

struct CloudParticle {
  Vec3 offset;   // on a helix of radius 64
  float phase;   // radians; +3 x 2*pi/512 per tick, one step per cloud
};

// The defaults are the start values; initTunnel adds the particles' helix and
// places the camera and clouds for time 0.
struct TunnelState {
  float time = 0.0f;                  // radians, +2*pi/1024 per tick
  CameraSpec camera = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 256.0f}, 0.0f, {0.0f, 0.0f}};  // eye, target, roll
  Matrix3 view = {};                  // rebuilt from the camera every frame
  Vec3 cloudPath = {0.0f, 0.0f, 256.0f};   // L: the point the clouds wander about
  float cameraLag = kTickAngle * 128.0f;   // pi/4: the camera looks where L was 128 ticks ago
  Vec3 cloudCentres[3] = {{0.0f, 256.0f, 128.0f}, {0.0f, 0.0f, 256.0f}, {256.0f, 0.0f, 0.0f}};
  CloudParticle cloudParticles[kCloudParticles] = {};
  Vec3 cloudWork[kCloudParticles] = {};   // camera-space points of one cloud
  uint32_t cloudSeed = 123456u;
  TexCoord texCoords[kTunnelVertices] = {};
  int32_t shades[kTunnelVertices] = {};
};

extern TunnelState Tunnel;

struct TunnelRayHit {
  float u;        // texture row, texels
  float v;        // texture column, texels
  int32_t shade;  // 0..255
};

// Casts the ray of screen lattice position (a, b) = (8*row, 8*column) through
// view from the camera's eye to the tunnel wall.
TunnelRayHit castTunnelRay(float a, float b);

// Projects a camera-space point; true (with the anchor) when a dot is drawn there.
bool projectCloudDot(const Vec3& point, int32_t& sx, int32_t& sy);

int32_t nextCloudRandom();

// tunnel_state.h — the tunnel's state, carried across its six scenes, and
// the internal steps the tests reach into.
#pragma once
#include <cstdint>

#include "kit/texture_grid.h"
#include "kit/vector_math.h"

constexpr int kCloudParticles = 300;
constexpr int kTunnelVertices = kGridRows * kGridColumns;

struct CloudParticle {
  Vec3 offset;   // on a helix of radius 64
  float phase;   // radians; +2*pi/512 per cloud drawn
};

struct TunnelStateRecord {
  float TunnelTime;           // radians, +2*pi/1024 per tick
  CameraSpec TunnelCamera;    // eye E, target T, roll
  Matrix3 TunnelMatrix;       // rebuilt from the camera every frame
  Vec3 CloudPath;             // L: the point the clouds wander about
  float CameraLag;            // pi/4: the camera looks where L was 128 ticks ago
  Vec3 CloudCentres[3];
  CloudParticle CloudParticles[kCloudParticles];
  Vec3 CloudWork[kCloudParticles];   // camera-space points of one cloud
  uint32_t CloudRandomSeed;
  TexCoord texCoords[kTunnelVertices];
  int32_t shades[kTunnelVertices];
  const uint8_t* texture;
  const uint8_t* palette;
  const uint8_t* shadeTable;
};

extern TunnelStateRecord TunnelState;

struct TunnelRayHit {
  float u;        // texture row, texels
  float v;        // texture column, texels
  int32_t shade;  // 0..255
};

// Puts the state back to its program-start values (tests); initTunnel then
// sets it up as at start-up.
void resetTunnelState();

// Casts the ray of screen lattice position (a, b) = (8*row, 8*column) through
// TunnelMatrix from the camera's eye to the tunnel wall.
TunnelRayHit castTunnelRay(float a, float b);

// Projects a camera-space point; true (with the anchor) when a dot is drawn there.
bool projectCloudDot(const Vec3& point, int32_t& sx, int32_t& sy);

int32_t nextCloudRandom();

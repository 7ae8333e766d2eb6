// tunnel.cpp — the inside of a textured cylinder of radius 256 about the z axis,
// seen from a camera circling at radius 100, with three pulsing dot clouds.
//
// The wall is ray-cast only at the 40x25 grid vertices and drawn by the
// texture grid renderer; the clouds are 300 dim dots each.
#include "effects/tunnel.h"

#include <cmath>

#include "kit/blitters.h"
#include "kit/blob_map.h"
#include "kit/frame.h"
#include "kit/numbers.h"
#include "kit/trig.h"

namespace {

constexpr float kPhaseStep = static_cast<float>(2.0 * kPiDouble / 512.0);

// Channel masks by particle number mod 8: 5 red+blue, 4 blue, 6 green+blue.
constexpr int32_t kCloudColourMasks[8] = {5, 4, 6, 5, 4, 6, 5, 4};

// Texture rows are kept within the grid renderer's 16.16 range; only rays all
// but parallel to the axis reach that far.
constexpr float kMaxTexel = 16383.0f;

void computeCloudCentres(float t) {
  TunnelState& s = Tunnel;
  const Vec3 l = s.cloudPath;
  s.cloudCentres[0] = Vec3{256.0f * trigSin(3.0f * t) + l.x, 256.0f * trigCos(t / 3.0f) + l.y,
                           256.0f * trigSin(t) + l.z};
  s.cloudCentres[1] = Vec3{256.0f * trigCos(2.0f * t) + l.x, 256.0f * trigCos(t / 2.0f) + l.y,
                           256.0f * trigCos(2.0f * t) + l.z};
  s.cloudCentres[2] = Vec3{256.0f * trigSin(t / 2.0f) + l.x, 256.0f * trigSin(4.0f * t) + l.y,
                           256.0f * trigCos(t / 2.0f) + l.z};
}

// The camera, the clouds' path and their centres at clock t: what a tick
// derives before stepping the clock.
void placeTunnelCamera(float t) {
  TunnelState& s = Tunnel;
  s.camera.eye = Vec3{100.0f * trigSin(t), 100.0f * trigCos(t), 1024.0f * trigSin(t)};
  s.cloudPath = Vec3{128.0f * trigCos(2.0f * t), 128.0f * trigSin(2.0f * t), 512.0f * trigSin(t / 4.0f)};
  s.camera.roll = trigSin(t / 6.0f);
  const float lagged = t - s.cameraLag;
  s.camera.target = Vec3{128.0f * trigCos(2.0f * lagged), 128.0f * trigSin(2.0f * lagged),
                         512.0f * trigSin(lagged / 4.0f)};
  computeCloudCentres(t);
}

void initCloudParticles() {
  TunnelState& s = Tunnel;
  const float stepA = 2.0f * kPi / std::sqrt(300.0f);
  const float stepB = kPi / 300.0f;
  float a = 0.0f;
  float b = 0.0f;
  for (CloudParticle& p : s.cloudParticles) {
    p.offset = Vec3{64.0f * trigSin(a), 64.0f * trigCos(a), 64.0f * trigCos(b)};
    p.phase = 6.0f * trigSin(static_cast<float>(nextCloudRandom()));
    a += stepA;
    b += stepB;
  }
}

void fillTunnelGrid() {
  TunnelState& s = Tunnel;
  for (int j = 0; j < kGridRows; ++j) {
    for (int i = 0; i < kGridColumns; ++i) {
      const TunnelRayHit hit = castTunnelRay(static_cast<float>(8 * j), static_cast<float>(8 * i));
      const int v = j * kGridColumns + i;
      s.texCoords[v].row = hit.u * 65536.0f;
      s.texCoords[v].column = hit.v * 65536.0f;
      s.shades[v] = hit.shade;
    }
  }
}

// Cloud number `cloud` (0..2) is drawn that many phase steps ahead of the
// particles' phases; drawing changes no phase.
void drawParticleCloud(uint8_t* target, const Vec3& centre, int cloud) {
  TunnelState& s = Tunnel;
  const Vec3 eye = s.camera.eye;
  for (int k = 0; k < kCloudParticles; ++k) {
    const CloudParticle& p = s.cloudParticles[k];
    float phase = p.phase;
    for (int step = 0; step < cloud; ++step) phase += kPhaseStep;
    const float pulse = trigSin(phase);
    s.cloudWork[k] = Vec3{p.offset.x * pulse + centre.x - eye.x, p.offset.y * pulse + centre.y - eye.y,
                          p.offset.z * pulse + centre.z - eye.z};
  }
  transformPoints(s.cloudWork, kCloudParticles, s.view, Vec3{0.0f, 0.0f, 0.0f});
  for (int k = 0; k < kCloudParticles; ++k) {
    int32_t sx = 0;
    int32_t sy = 0;
    if (projectCloudDot(s.cloudWork[k], sx, sy)) {
      stampDimDot(target + sy * kFrameRowBytes + sx * 4, kCloudColourMasks[k % 8]);
    }
  }
}

}  // namespace

TunnelState Tunnel;

int32_t nextCloudRandom() {
  uint32_t& seed = Tunnel.cloudSeed;
  seed = seed * 431239u + 254u;
  return static_cast<int32_t>(seed & 511u) - 256;
}

// The camera and clouds start where the first tick will put them, so a frame
// drawn before any tick shows the tunnel from its path.
void initTunnel() {
  Tunnel = TunnelState{};
  initCloudParticles();
  placeTunnelCamera(Tunnel.time);
}

void updateTunnel(int32_t ticks) {
  TunnelState& s = Tunnel;
  // The blob phases run on through the tunnel scenes although it draws no blob.
  const int32_t n = advanceBlobPhases(ticks);
  for (int32_t tick = 0; tick < n; ++tick) {
    const float t = s.time;
    placeTunnelCamera(t);
    // Three phase steps a tick, one for each cloud, so the clouds pulse at
    // the same pace at every frame rate.
    for (CloudParticle& p : s.cloudParticles) {
      for (int cloud = 0; cloud < 3; ++cloud) p.phase += kPhaseStep;
    }
    s.time = t + kTickAngle;
  }
}

TunnelRayHit castTunnelRay(float a, float b) {
  const TunnelState& s = Tunnel;
  const TunnelRayHit miss = {128.0f, 128.0f, 0};

  // The grid row feeds the first component, the column the second.
  Vec3 d = {a - 160.0f, b - 100.0f, 256.0f};
  transformPoints(&d, 1, s.view, Vec3{0.0f, 0.0f, 0.0f});
  const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  d = Vec3{d.x / length, d.y / length, d.z / length};

  const Vec3 e = s.camera.eye;
  const float qa = d.x * d.x + d.y * d.y;
  const float qb = 2.0f * (e.x * d.x + e.y * d.y);
  const float qc = e.x * e.x + e.y * e.y - 65536.0f;
  const float disc = qb * qb - 4.0f * qa * qc;
  // A ray along the axis (qa = 0) never meets the wall: shown like a miss.
  if (nearest(disc) < 0 || !(qa > 0.0f)) return miss;

  const float root = std::sqrt(disc);
  const float s1 = (root - qb) / (2.0f * qa);
  const float s2 = (-qb - root) / (2.0f * qa);
  const float dist = s1 > s2 ? s1 : s2;
  const Vec3 hit = {e.x + dist * d.x, e.y + dist * d.y, e.z + dist * d.z};

  const float angleScale = 256.0f / kPi;
  TunnelRayHit out;
  out.u = std::fabs(hit.z * 0.2f);
  if (out.u > kMaxTexel) out.u = kMaxTexel;
  out.v = std::fabs(trigAtan2(hit.y, hit.x) * angleScale);
  const float light = 60000.0f / dist;
  out.shade = light > 255.0f ? 255 : nearest(light);
  if (out.shade < 0) out.shade = 0;
  return out;
}

bool projectCloudDot(const Vec3& point, int32_t& sx, int32_t& sy) {
  if (nearest(point.z) <= 0) return false;
  // Compared before narrowing so a point just in front of the eye cannot wrap.
  const int64_t x = nearest64(256.0f * point.x / point.z + 160.0f);
  const int64_t y = nearest64(256.0f * point.y / point.z + 100.0f);
  // The 12-pixel stamp reaches 1 left/up and 2 right/down: 4..315 x 4..195.
  if (x < 5 || x > 313 || y < 5 || y > 193) return false;
  sx = static_cast<int32_t>(x);
  sy = static_cast<int32_t>(y);
  return true;
}

void renderTunnel(uint8_t* target) {
  TunnelState& s = Tunnel;
  buildLookAtMatrix(s.camera, s.view);
  fillTunnelGrid();
  renderTextureGrid(target, s.texCoords, s.shades, GridTexture, GridPalette, ShadeTable);
  for (int cloud = 0; cloud < 3; ++cloud) drawParticleCloud(target, s.cloudCentres[cloud], cloud);
}

// Tunnel: start values, ray casting (hits, misses, the axis-parallel ray),
// dot bounds, tick stepping, the start camera and the particle phases by the
// tick.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "effects/tunnel.h"
#include "kit/numbers.h"
#include "tests/effects/effect_fixture.h"

namespace {

void StartTunnel() {
  StartKit();
  initTunnel();
}

constexpr float kPhaseStep = static_cast<float>(2.0 * kPiDouble / 512.0);

const Matrix3 kIdentity = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
// Camera depth along world x: the centre ray runs perpendicular to the axis.
const Matrix3 kSideways = {{0, 0, 1, 0, 1, 0, 1, 0, 0}};

TEST(Tunnel, StartUpPlacesTheCloudParticlesOnAHelix) {
  StartTunnel();
  const TunnelState& s = Tunnel;
  EXPECT_EQ(s.time, 0.0f);
  EXPECT_FLOAT_EQ(s.cameraLag, 3.14159265f / 4.0f);
  EXPECT_EQ(s.cloudParticles[0].offset.y, 64.0f);
  EXPECT_EQ(s.cloudParticles[0].offset.z, 64.0f);
  EXPECT_NEAR(s.cloudParticles[299].offset.z, -64.0f, 0.01f);
  int distinctPhases = 0;
  for (int k = 0; k < kCloudParticles; ++k) {
    const CloudParticle& p = s.cloudParticles[k];
    EXPECT_NEAR(std::hypot(p.offset.x, p.offset.y), 64.0, 1e-3);
    EXPECT_LE(std::fabs(p.phase), 6.0f);
    if (k > 0 && p.phase != s.cloudParticles[k - 1].phase) ++distinctPhases;
  }
  EXPECT_GT(distinctPhases, 250);
}

TEST(Tunnel, RaysMeetTheWallOrMiss) {
  StartTunnel();
  struct Case {
    const char* what;
    Vec3 eye;
    const Matrix3* matrix;
    float a, b;
    float u, v;
    int shade;
  } cases[] = {
      {"row feeds x: wall at x = -256", {0, 0, 0}, &kIdentity, 0, 100, 81.92f, 256.0f, 124},
      {"column feeds y: wall at y = -256", {0, 0, 0}, &kIdentity, 160, 0, 131.072f, 128.0f, 85},
      {"perpendicular, 256 away", {0, 0, 0}, &kSideways, 160, 100, 0.0f, 0.0f, 234},
      {"perpendicular, 156 away: full brightness", {100, 0, 0}, &kSideways, 160, 100, 0.0f, 0.0f, 255},
      {"line passes the cylinder: miss", {0, 1000, 0}, &kIdentity, 192, 96, 128.0f, 128.0f, 0},
      {"along the axis: never meets the wall", {0, 0, 0}, &kIdentity, 160, 100, 128.0f, 128.0f, 0},
      // Meets the wall 1.3 million texels down the axis; the camera's own
      // motion produces such rays. The row is held where 16.16 still holds it.
      {"nearly along the axis", {0, 0, 0}, &kIdentity, 160, 100.01f, 16383.0f, 128.0f, 0},
  };
  for (const Case& c : cases) {
    Tunnel.camera.eye = c.eye;
    Tunnel.view = *c.matrix;
    const TunnelRayHit hit = castTunnelRay(c.a, c.b);
    EXPECT_NEAR(hit.u, c.u, 1e-3f) << c.what;
    EXPECT_NEAR(hit.v, c.v, 1e-3f) << c.what;
    EXPECT_EQ(hit.shade, c.shade) << c.what;
  }
}

TEST(Tunnel, DotsAreDrawnOnlyWithAnchorsIn5To313By5To193) {
  struct Case {
    float x, y, z;
    bool drawn;
    int sx, sy;
  } cases[] = {
      {-156, 0, 256, false, 0, 0},   // sx 4
      {-155.4f, 0, 256, true, 5, 100},
      {153, 0, 256, true, 313, 100},
      {154, 0, 256, false, 0, 0},
      {0, -96, 256, false, 0, 0},     // sy 4
      {0, -95, 256, true, 160, 5},
      {0, 93, 256, true, 160, 193},
      {0, 94, 256, false, 0, 0},
      {0, 0, 0.4f, false, 0, 0},      // rounds to depth 0
      {0, 0, 0.6f, true, 160, 100},
      {0, 0, -50, false, 0, 0},       // behind the camera
      {1e6f, 0, 0.6f, false, 0, 0},   // far off to the side just before the eye
  };
  for (const Case& c : cases) {
    int32_t sx = -1, sy = -1;
    const bool drawn = projectCloudDot(Vec3{c.x, c.y, c.z}, sx, sy);
    EXPECT_EQ(drawn, c.drawn) << c.x << "," << c.y << "," << c.z;
    if (drawn && c.drawn) {
      EXPECT_EQ(sx, c.sx);
      EXPECT_EQ(sy, c.sy);
    }
  }
}

TEST(Tunnel, TicksStepTheClockAndCamera) {
  StartTunnel();
  const TunnelState before = Tunnel;
  updateTunnel(0);
  EXPECT_EQ(std::memcmp(&before, &Tunnel, sizeof before), 0) << "no tick changes nothing";

  updateTunnel(5);
  float t = 0.0f;
  for (int n = 0; n < 4; ++n) t += kTickAngle;
  // The camera and clouds come from the time before the last step.
  const TunnelState& s = Tunnel;
  EXPECT_FLOAT_EQ(s.camera.eye.x, 100.0f * std::sin(t));
  EXPECT_FLOAT_EQ(s.camera.eye.z, 1024.0f * std::sin(t));
  EXPECT_FLOAT_EQ(s.camera.target.y, 128.0f * std::sin(2.0f * (t - s.cameraLag)));
  EXPECT_FLOAT_EQ(s.cloudCentres[2].x, 256.0f * std::sin(t / 2.0f) + s.cloudPath.x);
  EXPECT_EQ(s.time, t + kTickAngle);
}

// The camera and clouds start where the first tick puts them (from time 0),
// so a frame drawn before any tick sees the tunnel from its path.
TEST(Tunnel, StartUpPlacesTheCameraAsTheFirstTickWill) {
  StartTunnel();
  const TunnelState start = Tunnel;
  EXPECT_FLOAT_EQ(start.camera.eye.y, 100.0f);
  EXPECT_FLOAT_EQ(start.camera.target.y, -128.0f);
  updateTunnel(1);
  const TunnelState& s = Tunnel;
  EXPECT_EQ(std::memcmp(&start.camera, &s.camera, sizeof start.camera), 0);
  EXPECT_EQ(std::memcmp(&start.cloudPath, &s.cloudPath, sizeof start.cloudPath), 0);
  EXPECT_EQ(std::memcmp(start.cloudCentres, s.cloudCentres, sizeof start.cloudCentres), 0);
}

// Each tick steps every particle's phase three times (one step per cloud);
// drawing moves nothing that lasts.
TEST(Tunnel, TicksAdvanceTheParticlePhasesAndDrawingChangesNone) {
  StartTunnel();
  updateTunnel(30);
  float expected[kCloudParticles];
  for (int k = 0; k < kCloudParticles; ++k) {
    float phase = Tunnel.cloudParticles[k].phase;
    for (int step = 0; step < 6; ++step) phase += kPhaseStep;
    expected[k] = phase;
  }
  const TunnelState before = Tunnel;
  FrameTarget f;
  renderTunnel(f.area());
  EXPECT_EQ(std::memcmp(before.cloudParticles, Tunnel.cloudParticles, sizeof before.cloudParticles), 0);
  EXPECT_EQ(Tunnel.time, before.time);
  updateTunnel(2);
  for (int k = 0; k < kCloudParticles; ++k) ASSERT_EQ(Tunnel.cloudParticles[k].phase, expected[k]) << k;
}

}  // namespace

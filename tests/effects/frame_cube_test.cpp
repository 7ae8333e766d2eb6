// The frame cube orbit: per-tick animation, events, the fade, and whole
// frames along the orbit staying inside the target.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "effects/frame_cube/cube_scene.h"
#include "effects/frame_cube.h"
#include "tests/effects/effect_fixture.h"

namespace {

class FrameCubeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartKit();
    initFrameCube();
  }
  void ticks(int n) {
    updateFrameCube(n);
  }
};

// The camera and light start where the first tick puts them (orbit time 0),
// so a frame drawn before any tick sees the cube from its orbit.
TEST_F(FrameCubeTest, StartCameraIsTheFirstTicks) {
  EXPECT_EQ(FrameCube.orbitTime, 0.0f);
  EXPECT_EQ(FrameCube.fadeOutLevel, 63);
  EXPECT_EQ(FrameCube.glow.logoIndex, 0);
  const FrameCubeState start = FrameCube;
  EXPECT_EQ(start.camera.eye.x, 3096.0f);
  EXPECT_EQ(start.camera.eye.y, 1536.0f);
  EXPECT_EQ(start.camera.target.y, 1024.0f);
  ticks(1);
  EXPECT_EQ(std::memcmp(&start.camera, &FrameCube.camera, sizeof start.camera), 0);
  EXPECT_EQ(std::memcmp(&start.lightDirection, &FrameCube.lightDirection, sizeof start.lightDirection), 0);
}

// Three ticks in one update each use their own OrbitTime.
TEST_F(FrameCubeTest, EachTickUsesItsOwnTime) {
  ticks(3);
  const float t0 = 0.0f;
  const float t1 = static_cast<float>(t0 + 2 * M_PI / 1024);
  const float t2 = static_cast<float>(t1 + 2 * M_PI / 1024);
  const float t3 = static_cast<float>(t2 + 2 * M_PI / 1024);
  EXPECT_EQ(FrameCube.orbitTime, t3);
  EXPECT_FLOAT_EQ(FrameCube.camera.eye.x, static_cast<float>(std::cos(t2 / 2.0) * 3096));
  EXPECT_FLOAT_EQ(FrameCube.camera.eye.z, static_cast<float>(std::sin(t2 / 3.0) * 3096));
  EXPECT_FLOAT_EQ(FrameCube.camera.roll, static_cast<float>(std::sin(t2 / 6.0)));
  const Vec3 e = FrameCube.camera.eye, l = FrameCube.lightDirection;
  const float len = std::sqrt(e.x * e.x + e.y * e.y + e.z * e.z);
  EXPECT_NEAR(l.x, e.x / len, 1e-6);
  EXPECT_NEAR(l.y, e.y / len, 1e-6);
  EXPECT_EQ(FrameCube.rayPulse, 24);
}

TEST_F(FrameCubeTest, RayPulseWrapsKeepingTheRemainder) {
  ticks(12);
  EXPECT_EQ(FrameCube.rayPulse, 96);
  ticks(1);
  EXPECT_EQ(FrameCube.rayPulse, 4);
  ticks(1);
  EXPECT_EQ(FrameCube.rayPulse, 12);
}

TEST_F(FrameCubeTest, BurstEndsOnTheFortiethTickAndRestarts) {
  onFrameCubeBurst();
  ticks(39);
  EXPECT_EQ(FrameCube.burstActive, 1);
  EXPECT_EQ(FrameCube.burstRadius, 4875);
  ticks(1);
  EXPECT_EQ(FrameCube.burstActive, 0);
  EXPECT_EQ(FrameCube.burstRadius, 0);

  onFrameCubeBurst();
  ticks(10);
  onFrameCubeLogoOut();   // every event also restarts the burst from the centre
  EXPECT_EQ(FrameCube.burstRadius, 0);
  EXPECT_EQ(FrameCube.burstActive, 1);
}

TEST_F(FrameCubeTest, FadeLevelStopsAtZeroAndDimFrameScales) {
  struct Case {
    int level;
    uint8_t in, out;
  };
  const Case cases[] = {{63, 255, 251}, {63, 128, 126}, {63, 0, 0}, {32, 200, 100}, {0, 255, 0}};
  for (const Case& c : cases) {
    FrameTarget t;
    t.fillBytes(c.in);
    t.pixel(7, 7)[3] = 0x99;
    FrameCube.fadeOutLevel = c.level;
    dimFrame(t.area());
    for (int y = 0; y < 200; y += 13)
      for (int x = 0; x < 320; x += 7)
        for (int b = 0; b < 3; ++b) ASSERT_EQ(t.pixel(x, y)[b], c.out) << "level " << c.level;
    EXPECT_EQ(t.pixel(7, 7)[3], 0x99);   // the fourth byte is left alone
    EXPECT_EQ(t.pixel(8, 7)[3], c.in);
  }
  FrameCube.fadeOutLevel = 63;
  onFrameCubeFadeOut();
  ticks(62);
  EXPECT_EQ(FrameCube.fadeOutLevel, 1);
  ticks(5);
  EXPECT_EQ(FrameCube.fadeOutLevel, 0);
}

// The whole orbit, frame by frame with bursts running, as the camera passes
// close to the cube: nothing is written outside the target and the draw list
// never exceeds what the producers can add.
TEST_F(FrameCubeTest, WholeOrbitStaysInsideTheTarget) {
  FrameTarget t;
  for (int frame = 0; frame < 6144 / 5; ++frame) {
    if (frame % 8 == 0) onFrameCubeBurst();
    renderFrameCube(t.area());
    ASSERT_LE(CubeScene.drawCount, 505);
    ASSERT_GE(CubeScene.drawCount, 307);
    ticks(5);
  }
  EXPECT_TRUE(t.guardsIntact());
}

// A frame with a logo at full glow: the logo's area is lighter than the same
// frame without it, and pixels outside its rows are the same.
TEST_F(FrameCubeTest, LogoGlowsOnlyInsideItsRows) {
  ticks(200);
  onFrameCubeLogoIn();
  ticks(2);
  EXPECT_EQ(FrameCube.glow.level, 1) << "each tick also steps the glow";
  FrameCube.burstActive = false;   // the event started one
  FrameTarget plain, withLogo;
  FrameCube.glow.level = 0;        // no glow at level 0
  renderFrameCube(plain.area());
  FrameCube.glow.level = 63;
  renderFrameCube(withLogo.area());
  int lighter = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x)
      for (int b = 0; b < 3; ++b) {
        const int p = plain.pixel(x, y)[b], l = withLogo.pixel(x, y)[b];
        if (y < 74 || y > 125) {
          ASSERT_EQ(p, l) << x << ", " << y;
        }
        lighter += l > p;
      }
  EXPECT_GT(lighter, 0);
}

}  // namespace

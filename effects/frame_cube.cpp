// frame_cube.cpp — the frame cube orbit: camera path, per-tick animation,
// per-frame drawing order, bursts, the logo glow sequence and the final fade.
// The background comes from frame_cube/horizon.cpp, the cube and blobs from
// frame_cube/cube_scene.cpp.
#include "effects/frame_cube.h"

#include <cmath>

#include "effects/frame_cube/cube_scene.h"
#include "effects/frame_cube/horizon.h"
#include "kit/blob_map.h"
#include "kit/numbers.h"
#include "kit/trig.h"

FrameCubeState FrameCube;
uint8_t DimTable[64 * 256];

namespace {

constexpr float kOrbitRadius = 3096.0f;

void buildDimTable() {
  for (int i = 0; i < 64; ++i)
    for (int j = 0; j < 256; ++j) DimTable[i * 256 + j] = static_cast<uint8_t>((i * j) >> 6);
}

// The camera and the light at orbit time t: what a tick derives before
// stepping the time.
void placeOrbitCamera(double t) {
  FrameCubeState& s = FrameCube;
  s.camera.roll = static_cast<float>(trigSin(t / 6.0));
  s.camera.eye.z = static_cast<float>(trigSin(t / 3.0) * kOrbitRadius);
  s.camera.eye.x = static_cast<float>(trigCos(t / 2.0) * kOrbitRadius);
  s.camera.eye.y = static_cast<float>(trigCos(t) * 512.0 + 1024.0);
  s.camera.target = {0.0f, 1024.0f, 0.0f};
  normaliseVector(s.camera.eye, s.lightDirection);
}

void orbitTick() {
  FrameCubeState& s = FrameCube;
  const double t = s.orbitTime;
  placeOrbitCamera(t);
  stepLogoGlow(s.glow);
  s.rayPulse += 8;
  if (s.rayPulse >= 100) s.rayPulse -= 100;
  if (s.burstActive) {
    s.burstRadius += 125;
    if (s.burstRadius >= 5000) {
      s.burstRadius = 0;
      s.burstActive = false;
    }
  }
  if (s.fadeOutActive && s.fadeOutLevel > 0) --s.fadeOutLevel;
  s.orbitTime = static_cast<float>(t + kTickAngleDouble);
}

}  // namespace

// The camera starts where the first tick will put it, so a frame drawn
// before any tick sees the cube from its orbit.
void initFrameCube() {
  FrameCube = FrameCubeState{};
  Horizon = HorizonState{};
  CubeScene = CubeSceneState{};
  placeOrbitCamera(FrameCube.orbitTime);
  convertCubeVertices();
  buildFaceNormals();
  buildRayPoints();
  buildDimTable();
}

void updateFrameCube(int32_t ticks) {
  const int32_t n = advanceBlobPhases(ticks);
  for (int32_t i = 0; i < n; ++i) orbitTick();
}

void renderFrameCube(uint8_t* target) {
  FrameCubeState& s = FrameCube;
  buildBlobMap();
  buildLookAtMatrix(s.camera, s.view);
  analyseHorizon(s.view, s.camera);
  fillHorizon(target);
  CubeScene.drawCount = 0;
  addCubeFaces(s.view, s.camera.eye);
  addRayDots(s.view, s.camera.eye, s.rayPulse);
  addFarFlares(s.view, s.camera.eye);
  addCentreFlare(s.view, s.camera.eye, s.centre);
  if (s.burstActive) addBurstFlares(s.view, s.camera.eye, s.burstRadius);
  if (CubeScene.drawCount != 0) sortDrawKeys();
  drawItems(target, s.lightDirection);
  if (!s.fadeOutActive) drawTitleLogo(target, s.glow);
  if (s.fadeOutActive) dimFrame(target);
}

void dimFrame(uint8_t* target) {
  const uint8_t* row = DimTable + FrameCube.fadeOutLevel * 256;
  for (int p = 0; p < kAreaPixels; ++p) {
    uint8_t* px = target + 4 * p;
    px[0] = row[px[0]];
    px[1] = row[px[1]];
    px[2] = row[px[2]];
  }
}

void onFrameCubeBurst() {
  FrameCube.burstActive = true;
  FrameCube.burstRadius = 0;
}

// The timeline fires this twice; the index stays on the last row after that.
void onFrameCubeLogoIn() {
  showNextTitleLogo(FrameCube.glow);
  onFrameCubeBurst();
}

void onFrameCubeLogoOut() {
  fadeTitleLogo(FrameCube.glow);
  onFrameCubeBurst();
}

void onFrameCubeFadeOut() {
  FrameCube.fadeOutActive = true;
  onFrameCubeBurst();
}

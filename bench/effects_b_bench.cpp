// effects_b_bench.cpp — one render plus one update of the kaleidoscope, the
// flying blobs and the frame cube, each from a mid-scene state.
#include <benchmark/benchmark.h>

#include <vector>

#include "effects/frame_cube.h"
#include "effects/flying_blobs.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp_state.h"
#include "host/data_buffers.h"
#include "host/scene_state.h"
#include "kit/blob_map.h"
#include "kit/logo_glow.h"

namespace {

void setUpKit() {
  static bool built = false;
  if (!built) {
    initBlobTables();
    buildGlowTables();
    for (std::size_t i = 0; i < kOpenerLogoBytes; ++i) OpenerLogo[i] = static_cast<uint8_t>((i * 7) % 64);
    blurLogo(OpenerLogo, 280, 52, OpenerLogoBlur);
    built = true;
  }
}

// Five blobs and a picture built up by 300 frames of feedback.
void BM_KaleidoscopeFrame(benchmark::State& state) {
  setUpKit();
  std::vector<uint8_t> target(1280 * 200, 0);
  Kaleidoscope = {};
  SceneState.pendingTicks = 0;
  initKaleidoscope();
  SceneState.target = target.data();
  for (int k = 0; k < 5; ++k) addKaleidoBlob();
  for (int f = 0; f < 300; ++f) {
    renderKaleidoscope();
    SceneState.pendingTicks = 1;
    updateKaleidoscope();
  }
  for (auto _ : state) {
    renderKaleidoscope();
    SceneState.pendingTicks = 1;
    updateKaleidoscope();
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_KaleidoscopeFrame)->Unit(benchmark::kMicrosecond);

// A hundred blobs in flight after 400 frames at one tick per frame.
void BM_FlyingBlobsFrame(benchmark::State& state) {
  setUpKit();
  std::vector<uint8_t> target(1280 * 200, 0);
  FlyingBlobs = {};
  SceneState.pendingTicks = 0;
  initFlyingBlobs();
  SceneState.target = target.data();
  for (int f = 0; f < 400; ++f) {
    renderFlyingBlobs();
    SceneState.pendingTicks = 1;
    updateFlyingBlobs();
  }
  for (auto _ : state) {
    renderFlyingBlobs();
    SceneState.pendingTicks = 1;
    updateFlyingBlobs();
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_FlyingBlobsFrame)->Unit(benchmark::kMicrosecond);

// Mid-orbit with a burst flying outward and the first logo at full glow.
// Each iteration restarts the burst so every frame draws its six blobs.
void BM_FrameCubeFrame(benchmark::State& state) {
  setUpKit();
  std::vector<uint8_t> target(1280 * 200, 0);
  FrameCube = {};
  SceneState.pendingTicks = 0;
  initFrameCube();
  SceneState.target = target.data();
  SceneState.pendingTicks = 1500;
  updateFrameCube();
  onCubeLogoIn();
  FrameCube.glow.level = 63;
  for (auto _ : state) {
    if (!FrameCube.burstActive) onCubeBurst();
    renderFrameCube(target.data());
    SceneState.pendingTicks = 1;
    updateFrameCube();
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_FrameCubeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

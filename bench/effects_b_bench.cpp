// effects_b_bench.cpp — one render plus one update of the kaleidoscope, the
// flying blobs and the frame cube, each from a mid-scene state.
#include <benchmark/benchmark.h>

#include <vector>

#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "kit/blob_map.h"
#include "kit/frame.h"
#include "kit/logo_glow.h"

namespace {

// The opener logo (280x52) with a pattern, the brisk logo (240x59) blank.
std::vector<uint8_t> OpenerPicture(280 * 52), BriskPicture(240 * 59);

void setUpKit() {
  static bool built = false;
  if (!built) {
    initBlobTables();
    buildGlowTables();
    for (std::size_t i = 0; i < OpenerPicture.size(); ++i) OpenerPicture[i] = static_cast<uint8_t>((i * 7) % 64);
    blurLogo(OpenerPicture.data(), 280, 52, OpenerLogoBlur);
    built = true;
  }
}

// Five blobs and a picture built up by 300 frames of feedback.
void BM_KaleidoscopeFrame(benchmark::State& state) {
  setUpKit();
  std::vector<uint8_t> target(kAreaBytes, 0);
  initKaleidoscope();
  for (int k = 0; k < 5; ++k) addKaleidoBlob();
  for (int f = 0; f < 300; ++f) {
    renderKaleidoscope(target.data());
    updateKaleidoscope(1);
  }
  for (auto _ : state) {
    renderKaleidoscope(target.data());
    updateKaleidoscope(1);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_KaleidoscopeFrame)->Unit(benchmark::kMicrosecond);

// A hundred blobs in flight after 400 frames at one tick per frame.
void BM_FlyingBlobsFrame(benchmark::State& state) {
  setUpKit();
  std::vector<uint8_t> target(kAreaBytes, 0);
  initFlyingBlobs();
  for (int f = 0; f < 400; ++f) {
    renderFlyingBlobs(target.data());
    updateFlyingBlobs(1);
  }
  for (auto _ : state) {
    renderFlyingBlobs(target.data());
    updateFlyingBlobs(1);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_FlyingBlobsFrame)->Unit(benchmark::kMicrosecond);

// Mid-orbit with a burst flying outward and the first logo at full glow.
// Each iteration restarts the burst so every frame draws its six blobs.
void BM_FrameCubeFrame(benchmark::State& state) {
  setUpKit();
  std::vector<uint8_t> target(kAreaBytes, 0);
  initFrameCube(OpenerPicture.data(), BriskPicture.data());
  updateFrameCube(1500);
  onCubeLogoIn();
  FrameCube.glow.level = 63;
  for (auto _ : state) {
    if (!FrameCube.burstActive) onCubeBurst();
    renderFrameCube(target.data());
    updateFrameCube(1);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_FrameCubeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

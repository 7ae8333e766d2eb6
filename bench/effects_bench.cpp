// effects_bench.cpp — one render plus one update of each effect from a
// mid-scene state, on synthetic data files.
//
//   build/release/bench/qm7-bench --benchmark_filter='LensWarp|RippleSwirl|Tunnel|Scroller|Kaleidoscope|FlyingBlobs|FrameCube'
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "effects/tunnel.h"
#include "host/data_buffers.h"
#include "host/host.h"
#include "kit/frame.h"

namespace {

// Synthetic data files in the host's buffers and the host's own start-up of
// the kit and every effect, once; each benchmark then brings its effect to
// the middle of a scene.
void startEffects() {
  static bool started = false;
  if (started) return;
  static std::vector<uint8_t> scroll(kScrollPictureMinBytes);
  for (std::size_t i = 0; i < kTextureBytes; ++i) TextureData[i] = static_cast<uint8_t>((i * 29) ^ (i >> 6));
  for (std::size_t i = 0; i < kPaletteBytes; ++i) PaletteData[i] = static_cast<uint8_t>((i * 13) & 63);
  for (std::size_t i = 0; i < kOpenerLogoBytes; ++i) OpenerLogo[i] = static_cast<uint8_t>((i / 7) % 64);
  for (std::size_t i = 0; i < kBriskLogoBytes; ++i) BriskLogo[i] = static_cast<uint8_t>((i / 5) % 64);
  for (std::size_t i = 0; i < scroll.size(); ++i) scroll[i] = static_cast<uint8_t>(i * 7 / 320);
  ScrollPicture = scroll.data();
  ScrollPictureBytes = scroll.size();
  InitEffects();
  started = true;
}

// Frame area plus the 20 rows above it, as the host hands it out.
uint8_t* frameArea() {
  static std::vector<uint8_t> frame(kFrameBytes);
  return frame.data() + kAreaOffset;
}

void BM_LensWarpWithLogo(benchmark::State& state) {
  startEffects();
  updateLensWarp(700);
  onLensWarpLogoIn();
  updateLensWarp(60);   // level 30: blurred and sharp logo both mixed
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderLensWarp(target);
    updateLensWarp(1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(BM_LensWarpWithLogo)->Unit(benchmark::kMicrosecond);

void BM_RippleSwirl(benchmark::State& state) {
  startEffects();
  updateRippleSwirl(900);
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderRippleSwirl(target);
    updateRippleSwirl(1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(BM_RippleSwirl)->Unit(benchmark::kMicrosecond);

void BM_Tunnel(benchmark::State& state) {
  startEffects();
  updateTunnel(600);
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderTunnel(target);
    updateTunnel(1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(BM_Tunnel)->Unit(benchmark::kMicrosecond);

void BM_Scroller(benchmark::State& state) {
  startEffects();
  Scroller.phase = 18;
  Scroller.rowCount = 700;
  Scroller.scrollOffset = 700 * 320;
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderScroller(target);
    updateScroller(1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(BM_Scroller)->Unit(benchmark::kMicrosecond);

// Five blobs and a picture built up by 300 frames of feedback.
void BM_KaleidoscopeFrame(benchmark::State& state) {
  startEffects();
  std::vector<uint8_t> target(kAreaBytes, 0);
  initKaleidoscope();
  for (int k = 0; k < 5; ++k) onKaleidoscopeBlob();
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
  startEffects();
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
  startEffects();
  std::vector<uint8_t> target(kAreaBytes, 0);
  initFrameCube();
  updateFrameCube(1500);
  onFrameCubeLogoIn();
  FrameCube.glow.level = 63;
  for (auto _ : state) {
    if (!FrameCube.burstActive) onFrameCubeBurst();
    renderFrameCube(target.data());
    updateFrameCube(1);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_FrameCubeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

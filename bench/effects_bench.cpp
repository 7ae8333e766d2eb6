// effects_bench.cpp — one render plus one update of each effect from a
// mid-scene state: lens warp, ripple swirl, tunnel and scroller with
// synthetic data files; kaleidoscope, flying blobs and frame cube on the kit
// tables.
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
#include "kit/blob_map.h"
#include "kit/frame.h"
#include "kit/logo_glow.h"

namespace {

// Synthetic data files and the start-up sequence of these effects, once.
void startEffects() {
  static bool started = false;
  if (started) return;
  static std::vector<uint8_t> texture(64 * 64), palette(768), opener(280 * 52), brisk(240 * 59),
      scroll(320 * 1731);
  for (std::size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<uint8_t>((i * 29) ^ (i >> 6));
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>((i * 13) & 63);
  for (std::size_t i = 0; i < opener.size(); ++i) opener[i] = static_cast<uint8_t>((i / 7) % 64);
  for (std::size_t i = 0; i < brisk.size(); ++i) brisk[i] = static_cast<uint8_t>((i / 5) % 64);
  for (std::size_t i = 0; i < scroll.size(); ++i) scroll[i] = static_cast<uint8_t>(i * 7 / 320);
  initLensWarp(texture.data(), palette.data(), opener.data(), brisk.data());
  initRippleSwirl();
  initScroller(scroll.data(), scroll.size());
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
  showNextLogo();
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

}  // namespace

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

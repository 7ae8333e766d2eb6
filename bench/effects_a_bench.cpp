// effects_a_bench.cpp — one render plus one one-tick update of the lens warp,
// ripple swirl, tunnel and scroller, each from a mid-scene state.
//
//   build/bench/qm7-bench --benchmark_filter=EffectsA
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "effects/lens_warp.h"
#include "effects/lens_warp_state.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "effects/scroller_state.h"
#include "effects/tunnel.h"
#include "host/data_buffers.h"
#include "kit/frame.h"
#include "host/scene_state.h"

namespace {

// Synthetic data files and the start-up sequence of these effects, once.
void startEffects() {
  static bool started = false;
  if (started) return;
  for (int i = 0; i < 4096; ++i) TextureData[i] = static_cast<uint8_t>((i * 29) ^ (i >> 6));
  for (int i = 0; i < 768; ++i) PaletteData[i] = static_cast<uint8_t>((i * 13) & 63);
  for (std::size_t i = 0; i < kOpenerLogoBytes; ++i) OpenerLogo[i] = static_cast<uint8_t>((i / 7) % 64);
  for (std::size_t i = 0; i < kBriskLogoBytes; ++i) BriskLogo[i] = static_cast<uint8_t>((i / 5) % 64);
  static std::vector<uint8_t> scroll(kScrollPictureMinBytes);
  for (std::size_t i = 0; i < scroll.size(); ++i) scroll[i] = static_cast<uint8_t>(i * 7 / 320);
  ScrollPicture = scroll.data();
  ScrollPictureBytes = scroll.size();
  initLensWarp();
  initRippleSwirl();
  buildScrollTables();
  started = true;
}

void advance(void (*update)(), int ticks) {
  SceneState.pendingTicks = ticks;
  update();
  SceneState.pendingTicks = 0;
}

// Frame area plus the 20 rows above it, as the host hands it out.
uint8_t* frameArea() {
  static std::vector<uint8_t> frame(kFrameBytes);
  return frame.data() + kAreaOffset;
}

void EffectsA_LensWarpWithLogo(benchmark::State& state) {
  startEffects();
  advance(updateLensWarp, 700);
  showNextLogo();
  advance(updateLensWarp, 60);   // level 30: blurred and sharp logo both mixed
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderLensWarp(target);
    advance(updateLensWarp, 1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(EffectsA_LensWarpWithLogo)->Unit(benchmark::kMicrosecond);

void EffectsA_RippleSwirl(benchmark::State& state) {
  startEffects();
  advance(updateRippleSwirl, 900);
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderRippleSwirl(target);
    advance(updateRippleSwirl, 1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(EffectsA_RippleSwirl)->Unit(benchmark::kMicrosecond);

void EffectsA_Tunnel(benchmark::State& state) {
  startEffects();
  advance(updateTunnel, 600);
  uint8_t* target = frameArea();
  SceneState.target = target;
  for (auto _ : state) {
    renderTunnel();
    advance(updateTunnel, 1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(EffectsA_Tunnel)->Unit(benchmark::kMicrosecond);

void EffectsA_Scroller(benchmark::State& state) {
  startEffects();
  ScrollerState = ScrollerStateRecord{18, 700, 700 * 320};
  SceneState.sceneStarted = 1;
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderScroller(target);
    SceneState.pendingTicks = 1;
    updateScroller();
    benchmark::DoNotOptimize(target);
  }
  SceneState.sceneStarted = 0;
  SceneState.pendingTicks = 0;
}
BENCHMARK(EffectsA_Scroller)->Unit(benchmark::kMicrosecond);

}  // namespace

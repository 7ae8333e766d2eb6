// effects_a_bench.cpp — one render plus one one-tick update of the lens warp,
// ripple swirl, tunnel and scroller, each from a mid-scene state.
//
//   build/bench/qm7-bench --benchmark_filter=EffectsA
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "effects/tunnel.h"
#include "kit/frame.h"

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

void EffectsA_LensWarpWithLogo(benchmark::State& state) {
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
BENCHMARK(EffectsA_LensWarpWithLogo)->Unit(benchmark::kMicrosecond);

void EffectsA_RippleSwirl(benchmark::State& state) {
  startEffects();
  updateRippleSwirl(900);
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderRippleSwirl(target);
    updateRippleSwirl(1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(EffectsA_RippleSwirl)->Unit(benchmark::kMicrosecond);

void EffectsA_Tunnel(benchmark::State& state) {
  startEffects();
  updateTunnel(600);
  uint8_t* target = frameArea();
  for (auto _ : state) {
    renderTunnel(target);
    updateTunnel(1);
    benchmark::DoNotOptimize(target);
  }
}
BENCHMARK(EffectsA_Tunnel)->Unit(benchmark::kMicrosecond);

void EffectsA_Scroller(benchmark::State& state) {
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
BENCHMARK(EffectsA_Scroller)->Unit(benchmark::kMicrosecond);

}  // namespace

// kit_bench.cpp — timings of the rendering kit's per-frame routines.
//
//   build-kit/bench/qm7-bench --benchmark_filter=Kit
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kit/blitters.h"
#include "kit/blob_map.h"
#include "kit/frame.h"
#include "kit/logo_glow.h"
#include "kit/texture_grid.h"
#include "kit/triangle.h"

namespace {

// Synthetic texture and palette so the benchmark needs no data files.
void buildTextureTables() {
  static bool built = false;
  if (built) return;
  std::vector<uint8_t> picture(64 * 64), palette(768);
  for (int i = 0; i < 64 * 64; ++i) picture[i] = static_cast<uint8_t>((i * 29) ^ (i >> 6));
  for (int i = 0; i < 768; ++i) palette[i] = static_cast<uint8_t>((i * 13) & 63);
  buildGridTexture(picture.data());
  buildGridPalette(palette.data());
  buildShadeTable();
  built = true;
}

// A swirling warp over the whole grid, with varying shades.
void KitRenderTextureGrid(benchmark::State& state) {
  buildTextureTables();
  static TexCoordGrid coords;
  static ShadeGrid shades;
  for (int j = 0; j < kGridRows; ++j)
    for (int i = 0; i < kGridColumns; ++i) {
      const float dx = static_cast<float>(i - 20), dy = static_cast<float>(j - 12);
      const float angle = std::sqrt(dx * dx + dy * dy) * 0.15f;
      coords[j * kGridColumns + i] = TexCoord{(dy * std::cos(angle) + dx * std::sin(angle)) * 6.0f * 65536.0f,
                                              (dx * std::cos(angle) - dy * std::sin(angle)) * 6.0f * 65536.0f};
      shades[j * kGridColumns + i] = 128 + static_cast<int32_t>(127.0f * std::sin(angle * 3.0f));
    }
  std::vector<uint8_t> target(kAreaBytes);
  for (auto _ : state) {
    renderTextureGrid(target.data(), coords, shades, GridTexture, GridPalette, ShadeTable);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(KitRenderTextureGrid)->Unit(benchmark::kMicrosecond);

void KitBuildBlobMap(benchmark::State& state) {
  initBlobTables();
  for (auto _ : state) {
    advanceBlobPhases(1);
    buildBlobMap();
    benchmark::DoNotOptimize(BlobMap);
    benchmark::ClobberMemory();
  }
  resetBlobPhases();
}
BENCHMARK(KitBuildBlobMap)->Unit(benchmark::kMicrosecond);

// The larger logo (310 x 52) at full glow strength.
void KitBlendLogoGlow(benchmark::State& state) {
  buildGlowTables();
  std::vector<uint8_t> logo(280 * 52), blurred(kOpenerBlurBytes), mixed(kLogoMixBytes);
  for (size_t i = 0; i < logo.size(); ++i) logo[i] = static_cast<uint8_t>((i * 7) & 63);
  blurLogo(logo.data(), 280, 52, blurred.data());
  mixLogo(logo.data(), blurred.data(), 280, 52, 40, mixed.data());
  std::vector<uint8_t> target(kAreaBytes, 0x40);
  for (auto _ : state) {
    blendLogoGlow(target.data() + 94740, mixed.data(), 310, 52, 40);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(KitBlendLogoGlow)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// A 200x200 shaded blob over a mid-grey frame.
void KitDrawShadedBlobSprite200(benchmark::State& state) {
  buildGlowTables();
  buildShadeScaleTable();
  initBlobTables();
  buildBlobMap();
  std::vector<uint8_t> target(kAreaBytes, 0x40);
  for (auto _ : state) {
    drawShadedBlobSprite(target.data(), BlobMap, 60, -1, 200, 11);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(KitDrawShadedBlobSprite200)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// A triangle covering about half the picture, corners off screen.
void KitFillFlatTriangleScreen(benchmark::State& state) {
  std::vector<uint8_t> target(kAreaBytes);
  const float points[6] = {-20.5f, -10.25f, 340.75f, 30.5f, 150.25f, 215.0f};
  for (auto _ : state) {
    fillFlatTriangle(points, target.data(), 0x00336699u);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(KitFillFlatTriangleScreen)->Unit(benchmark::kMicrosecond);

}  // namespace

// texture.cpp — 2x2 bevelled stone tiles with veined marble faces, from
// periodic value noise; the palette interpolates a few colour stops.
#include "tools/assets/texture.h"

#include <algorithm>
#include <cmath>

#include "kit/numbers.h"

namespace {

// Value noise on a `cells` x `cells` lattice that wraps at the texture edge.
struct PeriodicNoise {
  int cells;
  std::vector<double> lattice;
  PeriodicNoise(int cellCount, uint32_t seed) : cells(cellCount), lattice(cellCount * cellCount) {
    for (double& v : lattice) {
      seed = seed * 1664525u + 1013904223u;
      v = (seed >> 8) / 16777216.0;
    }
  }
  double at(double x, double y) const {  // x, y in texels, period 64
    double fx = x * cells / kTextureSize, fy = y * cells / kTextureSize;
    int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    double tx = fx - x0, ty = fy - y0;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto l = [&](int i, int j) {
      i = ((i % cells) + cells) % cells;
      j = ((j % cells) + cells) % cells;
      return lattice[j * cells + i];
    };
    double top = l(x0, y0) + (l(x0 + 1, y0) - l(x0, y0)) * tx;
    double bottom = l(x0, y0 + 1) + (l(x0 + 1, y0 + 1) - l(x0, y0 + 1)) * tx;
    return top + (bottom - top) * ty;
  }
};

}  // namespace

double TextureLevel(double cx, double cy) {
  static const PeriodicNoise octaves[4] = {{4, 11u}, {8, 23u}, {16, 37u}, {32, 51u}};
  static const double weights[4] = {0.5, 0.27, 0.15, 0.08};
  constexpr double kTile = 32;   // 2x2 tiles per texture
  constexpr double kGrout = 1.6;
  constexpr double kBevel = 4.0;

  double fbm = 0;
  for (int o = 0; o < 4; ++o) fbm += weights[o] * octaves[o].at(cx, cy);
  // Diagonal veins, bent by the noise; integer frequencies keep them periodic.
  double vein = std::sin(2 * kPiDouble * (cx + cy) * 2 / kTextureSize + 7.0 * fbm);
  double crest = 1.0 - std::fabs(vein);
  double marble = 0.22 + 0.42 * fbm + 0.42 * crest * crest * crest;
  // Tile geometry: distance to each edge of the tile the point lies in.
  double u = cx - kTile * std::floor(cx / kTile), v = cy - kTile * std::floor(cy / kTile);
  double left = u, right = kTile - u, top = v, bottom = kTile - v;
  double edge = std::min(std::min(left, right), std::min(top, bottom));
  double value;
  if (edge < kGrout) {
    value = 0.06 + 0.08 * fbm;  // dark joint between tiles
  } else if (edge < kGrout + kBevel) {
    // Bevel lit from the upper left: bright on top/left edges, dark on the others.
    bool lit = (edge == left || edge == top);
    double depth = 1.0 - (edge - kGrout) / kBevel;
    value = lit ? marble + 0.3 * depth : marble * (1.0 - 0.6 * depth);
  } else {
    value = marble;
  }
  return std::clamp(value, 0.0, 1.0);
}

std::vector<uint8_t> MakeTexture() {
  std::vector<uint8_t> out(kTextureSize * kTextureSize);
  for (int y = 0; y < kTextureSize; ++y)
    for (int x = 0; x < kTextureSize; ++x)
      out[y * kTextureSize + x] = static_cast<uint8_t>(std::lrint(TextureLevel(x + 0.5, y + 0.5) * 255.0));
  return out;
}

std::vector<uint8_t> MakePalette() {
  struct Stop { int index; double r, g, b; };
  const Stop stops[] = {{0, 1, 1, 6},      {48, 6, 6, 24},   {104, 8, 22, 40},
                        {160, 20, 40, 46}, {210, 46, 50, 40}, {255, 63, 61, 54}};
  std::vector<uint8_t> out(768);
  for (int i = 0; i < 256; ++i) {
    int s = 0;
    while (stops[s + 1].index < i) ++s;
    const Stop& a = stops[s];
    const Stop& b = stops[s + 1];
    double t = static_cast<double>(i - a.index) / (b.index - a.index);
    t = t * t * (3 - 2 * t) * 0.5 + t * 0.5;  // eases the joins between ramps
    out[i * 3 + 0] = static_cast<uint8_t>(std::lrint(a.r + (b.r - a.r) * t));
    out[i * 3 + 1] = static_cast<uint8_t>(std::lrint(a.g + (b.g - a.g) * t));
    out[i * 3 + 2] = static_cast<uint8_t>(std::lrint(a.b + (b.b - a.b) * t));
  }
  return out;
}

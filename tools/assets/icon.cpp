// icon.cpp — the tile: a rounded square, 4x4 samples per pixel for its edge,
// shaded from deep violet at the top to near black, with a soft blue ring
// around the middle; the letters are fitted to three quarters of the width,
// laid over a darker copy one pixel down and right for depth.
#include "tools/assets/icon.h"

#include <algorithm>
#include <cmath>

namespace {

// Coverage of the rounded square inset by `inset` with corner radius `radius`
// at the point (x, y), 1 inside, 0 outside.
float TileCoverage(float x, float y, float size, float inset, float radius) {
  float lo = inset + radius, hi = size - inset - radius;
  float dx = std::max({lo - x, 0.0f, x - hi});
  float dy = std::max({lo - y, 0.0f, y - hi});
  return dx * dx + dy * dy <= radius * radius ? 1.0f : 0.0f;
}

float TileAlpha(int px, int py, int size) {
  const float inset = std::max(1.0f, size / 32.0f), radius = size * 0.2f;
  float sum = 0;
  for (int sy = 0; sy < 4; ++sy)
    for (int sx = 0; sx < 4; ++sx)
      sum += TileCoverage(px + (sx + 0.5f) / 4, py + (sy + 0.5f) / 4, static_cast<float>(size), inset,
                          radius);
  return sum / 16;
}

// The largest rendering of "QM7" whose ink is at most `width` wide and
// `height` tall.
TextBitmap FitLetters(FT_Face face, int width, int height) {
  TextBitmap best = RenderLine(face, "QM7", 4, 4, 0);
  for (int s = 5; s < 400; ++s) {
    TextBitmap t = RenderLine(face, "QM7", s, s, 0);
    if (t.inkRight - t.inkLeft > width || t.inkBottom - t.inkTop > height) break;
    best = std::move(t);
  }
  return best;
}

uint8_t Byte(float v) { return static_cast<uint8_t>(std::lrint(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

std::vector<uint8_t> MakeIcon(FT_Face face, int size) {
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4, 0);
  TextBitmap letters = FitLetters(face, size * 3 / 4, size / 2);
  const int inkW = letters.inkRight - letters.inkLeft, inkH = letters.inkBottom - letters.inkTop;
  const int offX = (size - inkW) / 2 - letters.inkLeft, offY = (size - inkH) / 2 - letters.inkTop;
  const int shadow = std::max(1, size / 32);
  const float centre = size / 2.0f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      float alpha = TileAlpha(x, y, size);
      if (alpha <= 0) continue;
      float t = (y + 0.5f) / size;  // 0 at the top, 1 at the bottom
      float r = 0.20f * (1 - t) + 0.02f * t, g = 0.06f * (1 - t) + 0.02f * t, b = 0.36f * (1 - t) + 0.08f * t;
      // The ring: brightest at 0.36 of the size from the middle.
      float d = std::hypot(x + 0.5f - centre, y + 0.5f - centre) / size;
      float ring = std::exp(-std::pow((d - 0.36f) / 0.06f, 2.0f));
      r += 0.10f * ring, g += 0.45f * ring, b += 0.85f * ring;
      // Letters: a dark copy below and to the right, then the light one.
      float under = letters.at(x - offX - shadow, y - offY - shadow);
      r *= 1 - 0.8f * under, g *= 1 - 0.8f * under, b *= 1 - 0.8f * under;
      float ink = letters.at(x - offX, y - offY);
      float sheen = 1.0f - 0.35f * std::clamp((y - offY - letters.inkTop) / float(std::max(inkH, 1)), 0.0f, 1.0f);
      r = r * (1 - ink) + ink * 1.00f * sheen;
      g = g * (1 - ink) + ink * 0.92f * sheen;
      b = b * (1 - ink) + ink * 0.70f * sheen;
      uint8_t* p = &rgba[(static_cast<size_t>(y) * size + x) * 4];
      p[0] = Byte(r), p[1] = Byte(g), p[2] = Byte(b), p[3] = Byte(alpha);
    }
  return rgba;
}

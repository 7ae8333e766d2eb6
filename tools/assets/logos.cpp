// logos.cpp — fit the text, then shade it: a top-lit bevel from the slope of
// the blurred letter shape, a vertical sheen, and a ring a little outside the
// letters so the shapes read even when they glow over a busy picture.
#include "tools/assets/logos.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 3;       // free pixels at each side of the frame
constexpr int kRingOuter = 3;    // outline ring reaches this far from the ink
constexpr int kRingInner = 2;    // and starts this far (a dark gap in between)

struct Plane {
  int w, h;
  std::vector<float> v;
  Plane(int width, int height) : w(width), h(height), v(static_cast<size_t>(width) * height, 0.0f) {}
  float at(int x, int y) const {
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    return v[y * w + x];
  }
  float& operator()(int x, int y) { return v[y * w + x]; }
};

// Soft dilation: the largest coverage within `radius`, fading over the last pixel.
Plane Dilate(const Plane& in, float radius) {
  Plane out(in.w, in.h);
  int r = static_cast<int>(std::ceil(radius));
  for (int y = 0; y < in.h; ++y)
    for (int x = 0; x < in.w; ++x) {
      float best = 0;
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          float weight = std::clamp(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)), 0.0f, 1.0f);
          best = std::max(best, in.at(x + dx, y + dy) * weight);
        }
      out(x, y) = best;
    }
  return out;
}

Plane BoxBlur(const Plane& in, int radius) {
  Plane tmp(in.w, in.h), out(in.w, in.h);
  float norm = 1.0f / (2 * radius + 1);
  for (int y = 0; y < in.h; ++y)
    for (int x = 0; x < in.w; ++x) {
      float s = 0;
      for (int k = -radius; k <= radius; ++k) s += in.at(x + k, y);
      tmp(x, y) = s * norm;
    }
  for (int y = 0; y < in.h; ++y)
    for (int x = 0; x < in.w; ++x) {
      float s = 0;
      for (int k = -radius; k <= radius; ++k) s += tmp.at(x, y + k);
      out(x, y) = s * norm;
    }
  return out;
}

// Largest rendering whose ink fits the box: a uniform size first, then the
// letters stretched up to 50 % taller or 60 % wider to take up the room left
// in the other direction, then extra letter spacing of up to a third of the size.
TextBitmap FitText(FT_Face face, const std::string& text, int boxWidth, int boxHeight) {
  auto fits = [&](const TextBitmap& t) {
    return t.inkBottom - t.inkTop <= boxHeight && t.inkRight - t.inkLeft <= boxWidth;
  };
  TextBitmap best;
  int size = 8;
  for (int s = 8; s < 200; ++s) {
    TextBitmap t = RenderLine(face, text, s, s, 0);
    if (!fits(t)) break;
    best = std::move(t);
    size = s;
  }
  int tall = size;
  for (int sy = size + 1; sy <= size * 15 / 10; ++sy) {
    TextBitmap t = RenderLine(face, text, size, sy, 0);
    if (!fits(t)) break;
    best = std::move(t);
    tall = sy;
  }
  int wide = size;
  for (int sx = size + 1; sx <= size * 16 / 10; ++sx) {
    TextBitmap t = RenderLine(face, text, sx, tall, 0);
    if (!fits(t)) break;
    best = std::move(t);
    wide = sx;
  }
  for (int tracking = 1; tracking <= size / 3; ++tracking) {
    TextBitmap t = RenderLine(face, text, wide, tall, tracking);
    if (!fits(t)) break;
    best = std::move(t);
  }
  return best;
}

}  // namespace

std::vector<uint8_t> MakeLogo(FT_Face face, const std::string& text, int width, int height) {
  const int inset = kMargin + kRingOuter;
  TextBitmap t = FitText(face, text, width - 2 * inset, height - 2 * inset);

  // Centre the ink in the frame.
  Plane ink(width, height);
  int offsetX = (width - (t.inkRight - t.inkLeft)) / 2 - t.inkLeft;
  int offsetY = (height - (t.inkBottom - t.inkTop)) / 2 - t.inkTop;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) ink(x, y) = t.at(x - offsetX, y - offsetY);

  Plane bump = BoxBlur(BoxBlur(ink, 2), 1);
  Plane inner = Dilate(ink, kRingInner);
  Plane outer = Dilate(ink, kRingOuter);

  std::vector<uint8_t> out(static_cast<size_t>(width) * height);
  const float inkTop = static_cast<float>(offsetY + t.inkTop);
  const float inkHeight = static_cast<float>(std::max(1, t.inkBottom - t.inkTop));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      // Light from the upper left: positive where the shape rises towards it.
      float slope = (bump.at(x - 1, y - 1) - bump.at(x + 1, y + 1)) * 1.6f;
      float along = std::clamp((y - inkTop) / inkHeight, 0.0f, 1.0f);
      float sheen = 0.78f - 0.30f * along;
      float face_ = std::clamp(sheen + slope, 0.25f, 1.0f) * ink(x, y);
      float ring = std::clamp(outer(x, y) - inner(x, y), 0.0f, 1.0f) * 0.75f;
      float v = std::max(face_, ring);
      out[y * width + x] = static_cast<uint8_t>(std::lrint(std::clamp(v, 0.0f, 1.0f) * 63.0f));
    }
  return out;
}

// blitters.cpp — lightening sprites scaled from a 64x64 picture, and the
// 12-pixel dot stamps.
//
// Everything blends through LightenTable: a colour byte d becomes
// LightenTable[d][k], pulled towards 255 by k/64. Sprites step through the
// source in 16.16 fixed point; per pixel there are only shifts and lookups.
#include "kit/blitters.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "kit/frame.h"
#include "kit/logo_glow.h"

uint8_t ShadeScaleTable[16 * 256];

namespace {

constexpr int64_t kClipRight = 319;    // column 319 is never written by a sprite
constexpr int64_t kClipBottom = 199;   // nor row 199

#ifdef __SSE2__
// LightenTable's arithmetic for amount k as four 16-bit lanes (blue, green,
// red, fourth byte): the factor on the old byte and the amount added.
struct LightenLanes {
  uint64_t factor[64];
  uint64_t lift[64];
};
constexpr LightenLanes makeLightenLanes() {
  LightenLanes lanes = {};
  for (uint64_t k = 0; k < 64; ++k) {
    const uint64_t f = 64 - k, add = (k * 255) >> 6;
    lanes.factor[k] = f | f << 16 | f << 32 | uint64_t{64} << 48;
    lanes.lift[k] = add | add << 16 | add << 32;
  }
  return lanes;
}
constexpr LightenLanes kLighten = makeLightenLanes();
#endif

// Draws the sprite with amounts taken from `amountOf[source byte]`.
void drawSprite(uint8_t* target, const uint8_t* source, int32_t x, int32_t y, int32_t size,
                const uint8_t* amountOf) {
  // Outside the contract (nothing to draw, or wholly left of / above the
  // target): draw nothing. 64-bit sums keep extreme positions from overflowing.
  if (size < 1) return;
  if (int64_t{x} + size <= 0 || int64_t{y} + size <= 0) return;

  const uint32_t step = static_cast<uint32_t>((64 * 65536) / size);
  int64_t left = x, top = y, w = size, h = size;
  uint32_t uStart = 0, vStart = 0;
  if (left < 0) {
    uStart = static_cast<uint32_t>(-left) * step;
    w += left;
    left = 0;
  }
  if (left + w > kClipRight) {
    w = kClipRight - left;
    if (w <= 0) return;
  }
  if (top < 0) {
    vStart = static_cast<uint32_t>(-top) * step;
    h += top;
    top = 0;
  }
  if (top + h > kClipBottom) {
    h = kClipBottom - top;
    if (h <= 0) return;
  }

  // Source column of every drawn pixel, found once per call.
  uint8_t columns[320];
  uint32_t u = uStart;
  for (int64_t i = 0; i < w; ++i, u += step) columns[i] = static_cast<uint8_t>(u >> 16);

  uint8_t* row = target + top * kFrameRowBytes + left * 4;
  uint32_t v = vStart;
  for (int64_t j = 0; j < h; ++j, v += step, row += kFrameRowBytes) {
    const uint8_t* sourceRow = source + (v >> 16) * 64;
    uint8_t* pixel = row;
    int64_t i = 0;
#ifdef __SSE2__
    // Two pixels a step: LightenTable[d][k] is ((k*255)>>6) + (((64-k)*d)>>6),
    // worked out on all four bytes at once; the fourth byte gets factor 64
    // and nothing added, so it keeps its value.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 2 <= w; i += 2, pixel += 8) {
      const uint32_t k0 = amountOf[sourceRow[columns[i]]];
      const uint32_t k1 = amountOf[sourceRow[columns[i + 1]]];
      const __m128i factor = _mm_unpacklo_epi64(
          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&kLighten.factor[k0])),
          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&kLighten.factor[k1])));
      const __m128i lift = _mm_unpacklo_epi64(
          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&kLighten.lift[k0])),
          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&kLighten.lift[k1])));
      const __m128i d = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixel)), zero);
      const __m128i out = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(d, factor), 6), lift);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(pixel), _mm_packus_epi16(out, out));
    }
#endif
    for (; i < w; ++i, pixel += 4) {
      const uint32_t k = amountOf[sourceRow[columns[i]]];
      pixel[2] = LightenTable[pixel[2] * 64 + k];
      pixel[1] = LightenTable[pixel[1] * 64 + k];
      pixel[0] = LightenTable[pixel[0] * 64 + k];
    }
  }
}

// The dot: a 4x4 square without corners, as (dx, dy, dim amount, bright amount).
struct DotEntry {
  int dx, dy, dim, bright;
};
constexpr DotEntry kDotStamp[12] = {
    {0, -1, 10, 31}, {1, -1, 10, 31}, {-1, 0, 10, 31}, {0, 0, 24, 63},
    {1, 0, 24, 63},  {2, 0, 10, 31},  {-1, 1, 10, 31}, {0, 1, 24, 63},
    {1, 1, 24, 63},  {2, 1, 10, 31},  {0, 2, 10, 31},  {1, 2, 10, 31},
};

template <bool kBright>
void stampDot(uint8_t* anchor, int32_t mask) {
  for (const DotEntry& e : kDotStamp) {
    uint8_t* p = anchor + e.dy * kFrameRowBytes + e.dx * 4;
    const int amount = kBright ? e.bright : e.dim;
    if (mask & 1) p[2] = LightenTable[p[2] * 64 + amount];
    if (mask & 2) p[1] = LightenTable[p[1] * 64 + amount];
    if (mask & 4) p[0] = LightenTable[p[0] * 64 + amount];
  }
}

// The stamp reaches one pixel left/up and two right/down of its anchor.
bool dotFits(int32_t x, int32_t y) { return x >= 1 && x <= 317 && y >= 1 && y <= 197; }

}  // namespace

void buildShadeScaleTable() {
  for (int r = 0; r < 16; ++r)
    for (int i = 0; i < 256; ++i) ShadeScaleTable[r * 256 + i] = static_cast<uint8_t>((r * i) >> 4);
}

void drawBlobSprite(uint8_t* target, const uint8_t* source, int32_t x, int32_t y, int32_t size) {
  uint8_t amountOf[256];
  for (int a = 0; a < 256; ++a) amountOf[a] = static_cast<uint8_t>(a >> 2);
  drawSprite(target, source, x, y, size, amountOf);
}

void drawShadedBlobSprite(uint8_t* target, const uint8_t* source, int32_t x, int32_t y,
                          int32_t size, int32_t shade) {
  if (shade < 0 || shade > 15) return;
  uint8_t amountOf[256];
  for (int a = 0; a < 256; ++a) amountOf[a] = static_cast<uint8_t>(ShadeScaleTable[shade * 256 + a] >> 2);
  drawSprite(target, source, x, y, size, amountOf);
}

void stampDimDot(uint8_t* pixel, int32_t mask) { stampDot<false>(pixel, mask); }
void stampBrightDot(uint8_t* pixel, int32_t mask) { stampDot<true>(pixel, mask); }

bool stampDimDotAt(uint8_t* target, int32_t x, int32_t y, int32_t mask) {
  if (!dotFits(x, y)) return false;
  stampDot<false>(target + y * kFrameRowBytes + x * 4, mask);
  return true;
}

bool stampBrightDotAt(uint8_t* target, int32_t x, int32_t y, int32_t mask) {
  if (!dotFits(x, y)) return false;
  stampDot<true>(target + y * kFrameRowBytes + x * 4, mask);
  return true;
}

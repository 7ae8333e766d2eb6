// scroller.cpp — the closing scroll: a tall greyscale picture moving up
// through the 320x200 area, 18/64 row per tick, blended between two picture
// rows by the sub-row phase through two multiplication tables.
#include "effects/scroller.h"

#include <cstddef>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "kit/frame.h"

namespace {

constexpr int32_t kPhaseStep = 18;
constexpr int32_t kLastMovingRow = 1530;   // row steps that still move the picture
constexpr std::size_t kPictureRowBytes = 320;

}  // namespace

ScrollerState Scroller;
uint8_t FadeDown[256 * 64];
uint8_t FadeUp[256 * 64];

void initScroller(const uint8_t* picture, std::size_t pictureBytes) {
  Scroller = ScrollerState{};
  Scroller.picture = picture;
  Scroller.pictureBytes = pictureBytes;
  // step is a multiple of 1/64, so every product is exact and truncation is floor.
  for (int i = 0; i < 256; ++i) {
    const float step = static_cast<float>(i) / 64.0f;
    for (int j = 0; j < 64; ++j) {
      FadeDown[i * 64 + j] = static_cast<uint8_t>(static_cast<int>(static_cast<float>(i) - static_cast<float>(j) * step));
      FadeUp[i * 64 + j] = static_cast<uint8_t>(static_cast<int>(static_cast<float>(j) * step));
    }
  }
}

void renderScroller(uint8_t* target) {
  // Each frame reads this row and the one below it; a picture too short for
  // that leaves the frame as it was.
  const ScrollerState& s = Scroller;
  const std::size_t offset = static_cast<std::size_t>(s.scrollOffset);
  if (s.picture == nullptr || s.pictureBytes < offset + kAreaPixels + kPictureRowBytes) return;

  const uint8_t* here = s.picture + offset;
  const uint8_t* below = here + kPictureRowBytes;
  // FadeDown[i * 64 + p] is floor(i * (64 - p) / 64) and FadeUp[i * 64 + p]
  // is floor(i * p / 64) (the scroller test checks every entry), so the two
  // lookups are computed directly: whole-number products and shifts that the
  // compiler turns into vector code. The sum never exceeds 255.
  const uint32_t keep = static_cast<uint32_t>(64 - s.phase);
  const uint32_t take = static_cast<uint32_t>(s.phase);
#ifdef __SSE2__
  static_assert(kAreaPixels % 16 == 0, "whole steps of sixteen pixels");
  // Sixteen pixels a step: 16-bit products of the bytes, the blend packed
  // back to bytes, each byte spread over blue, green and red.
  const __m128i zero = _mm_setzero_si128();
  const __m128i keep16 = _mm_set1_epi16(static_cast<short>(keep));
  const __m128i take16 = _mm_set1_epi16(static_cast<short>(take));
  const __m128i fourth = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (std::size_t n = 0; n < kAreaPixels; n += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(here + n));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + n));
    const __m128i lo = _mm_add_epi16(
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), keep16), 6),
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), take16), 6));
    const __m128i hi = _mm_add_epi16(
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), keep16), 6),
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), take16), 6));
    const __m128i v = _mm_packus_epi16(lo, hi);
    const __m128i v2lo = _mm_unpacklo_epi8(v, v), v2hi = _mm_unpackhi_epi8(v, v);
    const __m128i grey[4] = {_mm_unpacklo_epi16(v2lo, v2lo), _mm_unpackhi_epi16(v2lo, v2lo),
                             _mm_unpacklo_epi16(v2hi, v2hi), _mm_unpackhi_epi16(v2hi, v2hi)};
    for (int q = 0; q < 4; ++q) {
      __m128i* out = reinterpret_cast<__m128i*>(target + 4 * (n + 4 * size_t(q)));
      const __m128i old = _mm_loadu_si128(out);
      _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(old, fourth), _mm_andnot_si128(fourth, grey[q])));
    }
  }
#else
  for (std::size_t n = 0; n < kAreaPixels; ++n) {
    const uint32_t v = ((here[n] * keep) >> 6) + ((below[n] * take) >> 6);
    // Blue, green and red get the blend; the fourth byte keeps its value.
    uint32_t pixel;
    std::memcpy(&pixel, target + 4 * n, 4);
    pixel = (pixel & 0xFF000000u) | (v * 0x010101u);
    std::memcpy(target + 4 * n, &pixel, 4);
  }
#endif
}

void updateScroller(int32_t ticks) {
  ScrollerState s = Scroller;
  for (int32_t tick = 0; tick < ticks; ++tick) {
    s.phase += kPhaseStep;
    if (s.phase >= 64) {
      s.phase -= 64;
      s.rowCount += 1;
      if (s.rowCount <= kLastMovingRow) s.scrollOffset += 320;
    }
  }
  Scroller = s;
}

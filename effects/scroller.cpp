// scroller.cpp — the closing scroll: a tall greyscale picture moving up
// through the 320x200 area, 18/64 row per tick, blended between two picture
// rows by the sub-row phase through two multiplication tables.
#include "effects/scroller.h"

#include <cstddef>
#include <cstring>


namespace {

constexpr int32_t kPhaseStep = 18;
constexpr int32_t kLastMovingRow = 1530;   // row steps that still move the picture
constexpr std::size_t kAreaPixels = 320 * 200;
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
  const uint8_t* down = FadeDown + s.phase;
  const uint8_t* up = FadeUp + s.phase;
  for (std::size_t n = 0; n < kAreaPixels; ++n) {
    const uint32_t v = static_cast<uint32_t>(up[below[n] * 64]) + down[here[n] * 64];
    // Blue, green and red get the blend; the fourth byte keeps its value.
    uint32_t pixel;
    std::memcpy(&pixel, target + 4 * n, 4);
    pixel = (pixel & 0xFF000000u) | (v * 0x010101u);
    std::memcpy(target + 4 * n, &pixel, 4);
  }
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

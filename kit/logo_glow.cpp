// logo_glow.cpp — the glow tables and the logo smear, mix and glow blend.
//
// A logo is faded in by mixing its 30-pixel horizontal smear with its sharp
// picture at a level 0..63, then pulling the frame's colours towards white by
// the mixed intensity. All per-pixel work is table lookups on bytes.
#include "kit/logo_glow.h"

#include <cstring>

#include "kit/frame.h"

uint8_t LightenTable[256 * 64];
uint8_t ScaleTable64[64 * 64];
uint8_t OpenerLogoBlur[kOpenerBlurBytes];
uint8_t BriskLogoBlur[kBriskBlurBytes];
LogoEntry TitleLogoTable[3];

namespace {
constexpr int kSmear = 30;    // smear length in pixels
constexpr int kMargin = 15;   // sharp picture's offset inside the smeared one

// The mixed picture of the one title logo drawn in a frame.
uint8_t TitleMixBuffer[kLogoMixBytes];
}  // namespace

void buildGlowTables() {
  // The two terms are floored separately, so d = 255 can come out at 254.
  for (int d = 0; d < 256; ++d)
    for (int k = 0; k < 64; ++k)
      LightenTable[d * 64 + k] = static_cast<uint8_t>(((k * 255) >> 6) + (((64 - k) * d) >> 6));
  for (int a = 0; a < 64; ++a)
    for (int b = 0; b < 64; ++b) ScaleTable64[a * 64 + b] = static_cast<uint8_t>((a * b) >> 6);
}

void blurLogo(const uint8_t* source, int32_t width, int32_t rows, uint8_t* destination) {
  if (width <= 0 || rows <= 0 || width + kSmear > 320) return;
  const int outWidth = width + kSmear;
  for (int y = 0; y < rows; ++y) {
    // Output x is the sum of source pixels x-29..x that exist, divided by 30;
    // a running sum gives the same totals as adding each pixel 30 times.
    uint32_t sum = 0;
    for (int x = 0; x < outWidth; ++x) {
      if (x < width) sum += source[x];
      if (x >= kSmear && x - kSmear < width) sum -= source[x - kSmear];
      destination[x] = static_cast<uint8_t>(sum / kSmear);
    }
    source += width;
    destination += outWidth;
  }
}

void mixLogo(const uint8_t* sharp, const uint8_t* blurred, int32_t width, int32_t rows,
             int32_t level, uint8_t* destination) {
  if (level < 0 || level > 63) return;
  const uint8_t* fadeRow = ScaleTable64 + (63 - level) * 64;
  const uint8_t* levelRow = ScaleTable64 + level * 64;
  const int outWidth = width + kSmear;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < outWidth; ++x) destination[x] = fadeRow[blurred[x] & 63];
    for (int x = 0; x < width; ++x) destination[kMargin + x] += levelRow[sharp[x] & 63];
    sharp += width;
    blurred += outWidth;
    destination += outWidth;
  }
}

void blendLogoGlow(uint8_t* target, const uint8_t* mixed, int32_t totalWidth, int32_t rows,
                   int32_t level) {
  if (level < 0 || level > 63) return;
  // The glow reaches full strength after 16 level steps.
  const int strength = level <= 15 ? 4 * level : 63;
  if (strength == 0) return;  // k = 0 everywhere leaves every byte as it is
  const uint8_t* scaleRow = ScaleTable64 + strength * 64;
  for (int y = 0; y < rows; ++y) {
    uint8_t* pixel = target;
    for (int x = 0; x < totalWidth; ++x) {
      const uint32_t k = scaleRow[mixed[x] & 63];
      pixel[0] = LightenTable[pixel[0] * 64 + k];
      pixel[1] = LightenTable[pixel[1] * 64 + k];
      pixel[2] = LightenTable[pixel[2] * 64 + k];
      pixel += 4;
    }
    mixed += totalWidth;
    target += kFrameRowBytes;
  }
}

void initTitleLogos(const uint8_t* openerSharp, const uint8_t* briskSharp) {
  blurLogo(openerSharp, 280, 52, OpenerLogoBlur);
  blurLogo(briskSharp, 240, 59, BriskLogoBlur);
  // Blurred logos sit centred in the 320x200 picture, the sharp ones 15 pixels in.
  TitleLogoTable[0] = LogoEntry{false, nullptr, nullptr, 0, 0, 0};
  TitleLogoTable[1] = LogoEntry{true, openerSharp, OpenerLogoBlur, kOpenerLogoPlacement, 52, 310};
  TitleLogoTable[2] = LogoEntry{true, briskSharp, BriskLogoBlur, kBriskLogoPlacement, 59, 270};
}

void stepLogoGlow(LogoGlow& glow) {
  glow.parity += 1;
  if (glow.parity < 2) return;
  glow.parity = 0;
  glow.level += glow.step;
  if (glow.level >= 64) glow.level = 63;
  if (glow.level <= 0) glow.level = 0;
}

void showNextTitleLogo(LogoGlow& glow) {
  glow.level = 0;
  glow.step = 1;
  if (glow.logoIndex < 2) glow.logoIndex += 1;
}

void fadeTitleLogo(LogoGlow& glow) { glow.step = -1; }

void drawLogoGlow(uint8_t* target, const LogoEntry& entry, int32_t level, uint8_t* mixBuffer) {
  if (!entry.enabled) return;
  mixLogo(entry.sharp, entry.blurred, entry.totalWidth - 30, entry.rows, level, mixBuffer);
  blendLogoGlow(target + entry.placement, mixBuffer, entry.totalWidth, entry.rows, level);
}

void drawTitleLogo(uint8_t* target, const LogoGlow& glow) {
  drawLogoGlow(target, TitleLogoTable[glow.logoIndex], glow.level, TitleMixBuffer);
}

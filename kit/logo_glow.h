// logo_glow.h — logos laid over a frame as a white glow, and the glow tables.
//
// buildGlowTables and the two blurLogo calls run once at start-up (initLensWarp).
// Per frame, for an enabled LogoEntry e at level L (0..63):
//   mixLogo(e.sharp, e.blurred, e.totalWidth - 30, e.rows, L, mixBuffer);
//   blendLogoGlow(target + e.placement, mixBuffer, e.totalWidth, e.rows, L);
// Logo intensities are 0..63 (higher bits are ignored). A level outside 0..63,
// or a logo wider than 290, draws nothing.
#pragma once
#include <cstdint>

extern uint8_t LightenTable[256 * 64];   // [d][k]: d moved towards 255 by k/64
extern uint8_t ScaleTable64[64 * 64];    // [a][b] = (a*b) >> 6

struct LogoEntry {
  int32_t enabled;
  const uint8_t* sharp;
  const uint8_t* blurred;
  int32_t placement;    // byte offset into the 320x200 target
  int32_t rows;         // H
  int32_t totalWidth;   // W + 30
};

constexpr int kLogoMixBytes = 16120;       // the larger logo's (W + 30) x H
constexpr int kOpenerBlurBytes = 310 * 52; // 16120
constexpr int kBriskBlurBytes = 270 * 59;  // 15930

void buildGlowTables();
void blurLogo(const uint8_t* source, int32_t width, int32_t rows, uint8_t* destination);
void mixLogo(const uint8_t* sharp, const uint8_t* blurred, int32_t width, int32_t rows,
             int32_t level, uint8_t* destination);
void blendLogoGlow(uint8_t* target, const uint8_t* mixed, int32_t totalWidth, int32_t rows,
                   int32_t level);

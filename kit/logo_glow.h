// logo_glow.h — logos laid over a frame as a white glow, and the glow tables.
//
// buildGlowTables and initTitleLogos run once at start-up (initKit).
// Per frame, for an enabled LogoEntry e at level L (0..63):
//   mixLogo(e.sharp, e.blurred, e.totalWidth - 30, e.rows, L, mixBuffer);
//   blendLogoGlow(target + e.placement, mixBuffer, e.totalWidth, e.rows, L);
// Logo intensities are 0..63 (higher bits are ignored). A level outside 0..63,
// or a logo wider than 290, draws nothing.
//
// The lens warp and the frame cube show the same two title logos the same
// way, each with its own LogoGlow: stepLogoGlow once per tick,
// showNextTitleLogo / fadeTitleLogo from their events, drawTitleLogo per frame.
#pragma once
#include <cstdint>

#include "kit/frame.h"

extern uint8_t LightenTable[256 * 64];   // [d][k]: d moved towards 255 by k/64
extern uint8_t ScaleTable64[64 * 64];    // [a][b] = (a*b) >> 6

struct LogoEntry {
  bool enabled;
  const uint8_t* sharp;
  const uint8_t* blurred;
  int32_t placement;    // byte offset into the 320x200 target
  int32_t rows;         // H
  int32_t totalWidth;   // W + 30
};

constexpr int kLogoMixBytes = 16120;       // the larger logo's (W + 30) x H
constexpr int kOpenerBlurBytes = 310 * 52; // 16120
constexpr int kBriskBlurBytes = 270 * 59;  // 15930

// Where the blurred title logos sit, centred in the 320x200 area (the sharp
// pictures 15 pixels further in).
constexpr int32_t kOpenerLogoPlacement = 74 * kFrameRowBytes + 5 * 4;
constexpr int32_t kBriskLogoPlacement = 70 * kFrameRowBytes + 25 * 4;

// A title logo's glow: the level moves by `step` every second tick.
struct LogoGlow {
  int32_t level = 0;       // 0..63
  int32_t step = 0;        // -1, 0 or +1
  int32_t parity = 0;      // 0, 1: ticks since the level last moved
  int32_t logoIndex = 0;   // row of the title logo table, 0..2 (row 0 shows nothing)
};

// The title logos' smears and rows, built once by initTitleLogos: row 0
// empty, row 1 the opener logo (280x52), row 2 the brisk logo (240x59), each
// as its sharp picture (read in place for the rest of the run) plus smear.
extern uint8_t OpenerLogoBlur[kOpenerBlurBytes];
extern uint8_t BriskLogoBlur[kBriskBlurBytes];
extern LogoEntry TitleLogoTable[3];

void initTitleLogos(const uint8_t* openerSharp, const uint8_t* briskSharp);
// Update, once per tick: every second tick the level moves by the step and is
// held to 0..63.
void stepLogoGlow(LogoGlow& glow);
// Event "next logo": level 0 rising, next table row; a repeated event keeps
// the last row rather than selecting past the end.
void showNextTitleLogo(LogoGlow& glow);
// Event "logo out": the level falls from where it is.
void fadeTitleLogo(LogoGlow& glow);
// Render: mixes and blends an enabled entry at `level` into the 320x200 target.
void drawLogoGlow(uint8_t* target, const LogoEntry& entry, int32_t level, uint8_t* mixBuffer);
// Render: the glow's row of TitleLogoTable at its level (a shared mix buffer).
void drawTitleLogo(uint8_t* target, const LogoGlow& glow);

void buildGlowTables();
void blurLogo(const uint8_t* source, int32_t width, int32_t rows, uint8_t* destination);
void mixLogo(const uint8_t* sharp, const uint8_t* blurred, int32_t width, int32_t rows,
             int32_t level, uint8_t* destination);
void blendLogoGlow(uint8_t* target, const uint8_t* mixed, int32_t totalWidth, int32_t rows,
                   int32_t level);

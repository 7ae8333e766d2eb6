// blitters.h — lightening sprites and dot stamps.
//
// All these routines pull colour bytes towards 255 through LightenTable (see
// logo_glow.h); the fourth byte of a pixel is never touched. The target is a
// 320x200 area with rows of kFrameRowBytes (kit/frame.h).
//
// drawBlobSprite / drawShadedBlobSprite: a 64x64 source scaled to size x size
//   with its top-left corner at (x, y), clipped to columns 0..318 and rows
//   0..198. Calls outside the contract (size < 1, sprite wholly left of or
//   above the target, shade outside 0..15) draw nothing.
// stampDimDot / stampBrightDot: the 12-pixel dot at an anchor pixel; mask bit
//   0 red, bit 1 green, bit 2 blue. The anchor must be at least 1 pixel from
//   the left/top and 2 from the right/bottom edge (callers check).
// stampDimDotAt / stampBrightDotAt: the same dots at pixel (x, y) of the target,
//   checked: an anchor outside 1..317 x 1..197 draws nothing and returns false.
// buildShadeScaleTable: once at start-up (initKit).
#pragma once
#include <cstdint>

extern uint8_t ShadeScaleTable[16 * 256];

void buildShadeScaleTable();
void drawBlobSprite(uint8_t* target, const uint8_t* source, int32_t x, int32_t y, int32_t size);
void drawShadedBlobSprite(uint8_t* target, const uint8_t* source, int32_t x, int32_t y,
                          int32_t size, int32_t shade);
void stampDimDot(uint8_t* pixel, int32_t mask);
void stampBrightDot(uint8_t* pixel, int32_t mask);
bool stampDimDotAt(uint8_t* target, int32_t x, int32_t y, int32_t mask);
bool stampBrightDotAt(uint8_t* target, int32_t x, int32_t y, int32_t mask);

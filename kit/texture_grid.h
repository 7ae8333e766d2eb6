// texture_grid.h — full-screen warped, shaded texture from a 40x25 vertex grid.
//
// Set-up, once at start-up from initKit: buildGridTexture (from the 64x64
// "wctk.bin"), buildGridPalette (from "w.pal"), buildShadeTable.
// renderTextureGrid: per frame by the lens warp, ripple swirl and tunnel. Draws
// 936 cells of 8x8 pixels covering x 4..315, y 4..195 of the 320x200 target;
// the 4-pixel border and every pixel's fourth byte are never written.
// Texture coordinates of any size wrap (the texture repeats every 256 texels);
// shades outside 0..255 are held to that range.
#pragma once
#include <cstdint>

constexpr int kGridColumns = 40;
constexpr int kGridRows = 25;

// One vertex's texture coordinates in 1/65536 texel: row first, then column.
struct TexCoord {
  float row;
  float column;
};

using TexCoordGrid = TexCoord[kGridRows * kGridColumns];   // row-major
using ShadeGrid = int32_t[kGridRows * kGridColumns];       // 0..255

extern uint8_t GridTexture[256 * 256];   // palette index per texel, row-major
extern uint8_t GridPalette[256 * 4];     // red, green, blue, 0 (8-bit)
extern uint8_t ShadeTable[256 * 256];    // [shade][intensity] = (shade*intensity) >> 8

void buildGridTexture(const uint8_t* source);
void buildGridPalette(const uint8_t* source);
void buildShadeTable();

void renderTextureGrid(uint8_t* target, const TexCoord* texCoords, const int32_t* shades,
                       const uint8_t* texture, const uint8_t* palette, const uint8_t* shadeTable);

// texture.h — the 64x64 wall texture (palette indices) and its palette.
//
//   std::vector<uint8_t> tex = MakeTexture();   // 4096 bytes, row-major
//   std::vector<uint8_t> pal = MakePalette();   // 768 bytes, 6-bit R, G, B
//
// The texture samples a pattern built only from functions with a period of
// 64 texels in x and y, so it tiles without a seam. Index 0 is darkest, 255 brightest: the
// palette is one smooth ramp from deep blue through teal to warm white.
// Called by qm7-assets' main.
#pragma once
#include <cstdint>
#include <vector>

constexpr int kTextureSize = 64;

// Brightness 0..1 of the texture's pattern at any point (x, y in texels);
// periodic with period kTextureSize in both directions. MakeTexture samples
// it at the texel centres and scales it to 0..255.
double TextureLevel(double x, double y);
std::vector<uint8_t> MakeTexture();
std::vector<uint8_t> MakePalette();

// data_buffers.h — the fixed copies of the data files that the effects read.
//
// The host fills these at start-up, before any effect initialiser runs:
// the first 14160, 14560, 4096 and 768 bytes of "brisk.bin", "opener7.bin",
// "wctk.bin" and "w.pal". "scroll.bin" is not copied; ScrollPicture points at
// the buffer the pack loader returned, ScrollPictureBytes is its length.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr std::size_t kBriskLogoBytes = 14160;    // 240x59 logo, intensities 0..63
constexpr std::size_t kOpenerLogoBytes = 14560;   // 280x52 logo, intensities 0..63
constexpr std::size_t kTextureBytes = 4096;       // 64x64 palette indices
constexpr std::size_t kPaletteBytes = 768;        // 256 entries of 6-bit R, G, B
constexpr std::size_t kScrollPictureMinBytes = 553920;  // 320 x 1731 rows

extern uint8_t BriskLogo[kBriskLogoBytes];
extern uint8_t OpenerLogo[kOpenerLogoBytes];
extern uint8_t TextureData[kTextureBytes];
extern uint8_t PaletteData[kPaletteBytes];
extern const uint8_t* ScrollPicture;
extern std::size_t ScrollPictureBytes;

// data_buffers.h — the data files the host loads and the fixed copies of
// them that the effects read.
//
// The host fills these at start-up, before any effect initialiser runs:
// the first 14160, 14560, 4096 and 768 bytes of "brisk.bin", "opener7.bin",
// "wctk.bin" and "w.pal". "scroll.bin" is not copied; ScrollPicture points at
// the buffer the pack loader returned, ScrollPictureBytes is its length.
// kDataFiles is the one list of them: start-up loads from it, and so do
// qm7-effect-shot and the tests that make or break data folders.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr std::size_t kBriskLogoBytes = 14160;    // 240x59 logo, intensities 0..63
constexpr std::size_t kOpenerLogoBytes = 14560;   // 280x52 logo, intensities 0..63
constexpr std::size_t kTextureBytes = 4096;       // 64x64 palette indices
constexpr std::size_t kPaletteBytes = 768;        // 256 entries of 6-bit R, G, B
constexpr std::size_t kScrollPictureMinBytes = 553920;  // 320 x 1731 rows

// One data file: its name in the pack or the data folder, the bytes its
// readers rely on (a shorter file fails start-up), and the fixed buffer
// that receives that many bytes (null: scroll.bin, read where it was loaded).
struct DataFile {
  const char* name;
  std::size_t minimumBytes;
  uint8_t* fixedCopy;
};

// The five data files in the order start-up loads them.
constexpr int kDataFileCount = 5;
extern const DataFile kDataFiles[kDataFileCount];

extern uint8_t BriskLogo[kBriskLogoBytes];
extern uint8_t OpenerLogo[kOpenerLogoBytes];
extern uint8_t TextureData[kTextureBytes];
extern uint8_t PaletteData[kPaletteBytes];
extern const uint8_t* ScrollPicture;
extern std::size_t ScrollPictureBytes;

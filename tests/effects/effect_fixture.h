// effect_fixture.h — start-up, frames and picture dumps for the effect tests.
//
// StartEffects() fills Data with synthetic pictures, or with realData the
// loose data files of QM7_EFFECTS_DATA or the build's data folder when they
// are there (for pictures to look at), and runs the initialisers of the lens
// warp (with the tunnel), ripple swirl and scroller in start-up order, which
// start each effect afresh. Frame keeps a whole 320x240 FrameBuffer with a marked
// border so tests can see what a renderer touched.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "kit/frame.h"

// The data files as the effects read them.
struct EffectData {
  std::vector<uint8_t> texture, palette, opener, brisk, scroll;
};
extern EffectData Data;

// Synthetic scroll picture: 1731 rows of 320 bytes, the minimum the scroller needs.
const std::vector<uint8_t>& SyntheticScrollPicture();

// Fills Data and runs the initialisers.
void StartEffects(bool realData = false);

struct Frame {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(kFrameBytes);

  // Every byte gets a position-dependent value that no renderer writes by chance.
  void Mark();
  uint8_t* Area() { return bytes.data() + kAreaOffset; }
  const uint8_t* Area() const { return bytes.data() + kAreaOffset; }
  uint8_t* Pixel(int x, int y) { return Area() + y * kFrameRowBytes + x * 4; }
  const uint8_t* Pixel(int x, int y) const { return Area() + y * kFrameRowBytes + x * 4; }
};

uint8_t MarkValue(std::size_t index);

// Counts the bytes of the area that differ from `before` in the 4-pixel
// border, and separately in the fourth byte of every pixel.
struct TouchReport {
  int borderBytes = 0;
  int fourthBytes = 0;
  int outsideAreaBytes = 0;
  int changedPixels = 0;
};
TouchReport CompareFrames(const Frame& before, const Frame& after);

// Writes the area as a PNG into the folder named by QM7_EFFECTS_PNG (if set).
void DumpArea(const Frame& frame, const std::string& name);
bool DumpRequested();

// effect_fixture.h — start-up, frames and picture dumps for the effect tests.
//
// StartEffects() fills Data with synthetic pictures, or with realData the
// loose data files of QM7_EFFECTS_DATA or the build's data folder when they
// are there (for pictures to look at), and runs the initialisers of the lens
// warp (with the tunnel), ripple swirl and scroller in start-up order, which
// start each effect afresh. CompareFrames and DumpArea work on FrameTarget
// frames (tests/support/frame_target.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "kit/frame.h"
#include "tests/support/frame_target.h"

// The data files as the effects read them.
struct EffectData {
  std::vector<uint8_t> texture, palette, opener, brisk, scroll;
};
extern EffectData Data;

// Synthetic scroll picture: 1731 rows of 320 bytes, the minimum the scroller needs.
const std::vector<uint8_t>& SyntheticScrollPicture();

// Fills Data and runs the initialisers.
void StartEffects(bool realData = false);

// Counts the bytes of the area that differ from `before` in the 4-pixel
// border, and separately in the fourth byte of every pixel.
struct TouchReport {
  int borderBytes = 0;
  int fourthBytes = 0;
  int outsideAreaBytes = 0;
  int changedPixels = 0;
};
TouchReport CompareFrames(const FrameTarget& before, const FrameTarget& after);

// Writes the area as a PNG into the folder named by QM7_EFFECTS_PNG (if set).
void DumpArea(const FrameTarget& frame, const std::string& name);
bool DumpRequested();

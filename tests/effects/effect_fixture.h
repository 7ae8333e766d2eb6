// effect_fixture.h — start-up and frame comparison for the effect tests.
//
//   StartKit();        // the synthetic data files into the kit (initKit)
//   initTunnel();      // then only the effect under test
//   FrameTarget f(FrameTarget::kMarked);
//   renderTunnel(f.area());
//   TouchReport r = CompareFrames(marked, f);
//
// Data holds the synthetic pictures: a tiled 64x64 texture, a palette of
// blues and oranges, two logos of bars in a frame, and a scroll picture of
// text-like blocks. Targets are FrameTarget frames (tests/support/frame_target.h).
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
extern const EffectData& Data;

// Builds every kit table from Data and puts the kit's shared state (warp
// angle, blob phases) back to its start; each test then starts its effect.
void StartKit();

// What a renderer changed between two frames: bytes in the area's 4-pixel
// border, fourth bytes, bytes outside the area, and pixels changed at all.
struct TouchReport {
  int borderBytes = 0;
  int fourthBytes = 0;
  int outsideAreaBytes = 0;
  int changedPixels = 0;
};
TouchReport CompareFrames(const FrameTarget& before, const FrameTarget& after);

// A table test's name from its row's `name`, spaces as underscores:
//   INSTANTIATE_TEST_SUITE_P(Effects, X, testing::ValuesIn(kRows), NameOfRow());
struct NameOfRow {
  template <class Info>
  std::string operator()(const Info& info) const {
    std::string name = info.param.name;
    for (char& c : name)
      if (c == ' ') c = '_';
    return name;
  }
};

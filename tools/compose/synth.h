// synth.h — the module's instruments, synthesised from fixed formulas and a
// seeded noise generator, so every run gives the same samples.
//
//   std::vector<ItSample> samples = SynthesizeSamples();  // index = SampleId - 1
//
// Tonal samples are tuned so that note 60 sounds at 261.63 Hz (middle C);
// drums play at their recorded rate on note 60. Called by ComposeSong.
#pragma once
#include <vector>

#include "tools/compose/it_writer.h"

// 1-based sample numbers as they appear in the patterns.
enum SampleId {
  kKick = 1,
  kSnare,
  kClosedHat,
  kOpenHat,
  kCrash,
  kRiser,
  kImpact,
  kBass,
  kPad,
  kStab,
  kLead,
  kPluck,
  kSampleCount = kPluck
};

std::vector<ItSample> SynthesizeSamples();

// kit_setup.h — shared start-up for the effect tests: the kit tables the
// effects read, built once. Targets to draw into: tests/support/frame_target.h.
#pragma once
#include <cstdint>

#include "kit/blob_map.h"
#include "kit/logo_glow.h"
#include "tests/support/frame_target.h"

inline void setUpKitTables() {
  static bool built = false;
  if (!built) {
    initBlobTables();
    buildGlowTables();
    built = true;
  }
  resetBlobPhases();
}

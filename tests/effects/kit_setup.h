// kit_setup.h — shared start-up for the effect tests: the kit tables the
// effects read, built once, and a 320x200 target with guard bytes around it.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "kit/blob_map.h"
#include "kit/logo_glow.h"

inline void setUpKitTables() {
  static bool built = false;
  if (!built) {
    initBlobTables();
    buildGlowTables();
    built = true;
  }
  resetBlobPhases();
}

// A 320x200 picture between two guard zones that nothing may touch.
class GuardedTarget {
 public:
  static constexpr std::size_t kGuard = 64 * 1280;
  static constexpr std::size_t kBytes = 1280 * 200;
  explicit GuardedTarget(uint8_t fill = 0) : bytes_(kGuard + kBytes + kGuard, 0xA5) {
    std::memset(data(), fill, kBytes);
  }
  uint8_t* data() { return bytes_.data() + kGuard; }
  uint8_t* pixel(int x, int y) { return data() + y * 1280 + x * 4; }
  bool guardsIntact() const {
    for (std::size_t i = 0; i < kGuard; ++i)
      if (bytes_[i] != 0xA5 || bytes_[kGuard + kBytes + i] != 0xA5) return false;
    return true;
  }

 private:
  std::vector<uint8_t> bytes_;
};

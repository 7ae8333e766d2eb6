// kit_test_util.h — a 320x200 target filled with a recognisable pattern, so
// tests can tell written pixels from untouched ones (fourth bytes included).
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

struct KitTarget {
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 200;
  static constexpr int kRowBytes = 1280;

  std::vector<uint8_t> bytes;
  std::vector<uint8_t> original;

  explicit KitTarget(bool patterned = true) : bytes(kRowBytes * kHeight) {
    if (patterned) {
      for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    original = bytes;
  }
  void fill(uint32_t value) {
    for (size_t i = 0; i < bytes.size(); i += 4) std::memcpy(&bytes[i], &value, 4);
    original = bytes;
  }
  uint8_t* data() { return bytes.data(); }
  uint8_t* at(int x, int y) { return bytes.data() + y * kRowBytes + x * 4; }
  const uint8_t* was(int x, int y) const { return original.data() + y * kRowBytes + x * 4; }
  bool unchanged(int x, int y) const {
    return std::memcmp(bytes.data() + y * kRowBytes + x * 4, was(x, y), 4) == 0;
  }
  // Number of pixels that differ from the original anywhere in the target.
  int changedPixels() const {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) n += unchanged(x, y) ? 0 : 1;
    return n;
  }
};

// frame_target.h — a frame for tests to draw into and inspect afterwards.
//
// Usage:
//   FrameTarget t;                 // area and frame border 0, guard rows 0xA5
//   FrameTarget m(FrameTarget::kMarked);  // the same as t followed by t.mark()
//   t.fillBytes(0x55);             // or fillPixels(0xAB000000u), mark()
//   renderSomething(t.area());     // the 320x200 area, kFrameRowBytes apart
//   EXPECT_TRUE(t.guardsIntact()); // nothing outside the area was touched
//   EXPECT_EQ(t.changedPixels(), 12);
//   EXPECT_TRUE(t.unchanged(0, 0));
//
// The storage is a whole 320x240 frame (the area 20 rows down, as the host
// hands it to the effects) between two guard zones of kGuardRows rows each.
// Every fill also records a copy of the storage as the "original", which
// unchanged(), was(), changedPixels() and guardsIntact() compare against;
// rememberOriginal() takes a fresh copy after a test has set pixels by hand.
// mark() gives every frame byte a position-dependent value that no renderer
// writes by chance, so written pixels — fourth bytes included — stand out.
// Copies are independent, so a marked frame can serve as the "before" picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kit/frame.h"

class FrameTarget {
 public:
  static constexpr int kGuardRows = 64;
  static constexpr std::size_t kGuardBytes = std::size_t{kGuardRows} * kFrameRowBytes;
  static constexpr uint8_t kGuardByte = 0xA5;

  enum Start { kBlank, kMarked };

  explicit FrameTarget(Start start = kBlank) : bytes_(kGuardBytes + kFrameBytes + kGuardBytes, kGuardByte) {
    std::memset(frame(), 0, kFrameBytes);
    if (start == kMarked) mark();
    original_ = bytes_;
  }

  // The pattern byte mark() puts at offset `index` of the frame.
  static uint8_t markValue(std::size_t index) { return static_cast<uint8_t>((index * 131u + 17u) % 251u); }

  // Whole frame (border and area) patterned; guards stay kGuardByte.
  void mark() {
    for (std::size_t n = 0; n < kFrameBytes; ++n) frame()[n] = markValue(n);
    rememberOriginal();
  }
  // Every byte of the area set to `value`.
  void fillBytes(uint8_t value) {
    std::memset(area(), value, kAreaBytes);
    rememberOriginal();
  }
  // Every pixel of the area set to `value` (0x00RRGGBB plus fourth byte, little-endian).
  void fillPixels(uint32_t value) {
    for (std::size_t p = 0; p < kAreaBytes; p += 4) std::memcpy(area() + p, &value, 4);
    rememberOriginal();
  }
  void rememberOriginal() { original_ = bytes_; }

  uint8_t* frame() { return bytes_.data() + kGuardBytes; }
  const uint8_t* frame() const { return bytes_.data() + kGuardBytes; }
  uint8_t* area() { return frame() + kAreaOffset; }
  const uint8_t* area() const { return frame() + kAreaOffset; }
  uint8_t* pixel(int x, int y) { return area() + y * kFrameRowBytes + x * 4; }
  const uint8_t* pixel(int x, int y) const { return area() + y * kFrameRowBytes + x * 4; }
  // The pixel as it was at the last fill or rememberOriginal().
  const uint8_t* was(int x, int y) const {
    return original_.data() + kGuardBytes + kAreaOffset + y * kFrameRowBytes + x * 4;
  }

  bool unchanged(int x, int y) const { return std::memcmp(pixel(x, y), was(x, y), 4) == 0; }
  // Number of area pixels that differ from the original.
  int changedPixels() const {
    int n = 0;
    for (int y = 0; y < kAreaHeight; ++y)
      for (int x = 0; x < kAreaWidth; ++x) n += unchanged(x, y) ? 0 : 1;
    return n;
  }
  // True when every byte outside the area (frame border and guard rows) is
  // as it was at the last fill or rememberOriginal().
  bool guardsIntact() const {
    const std::size_t areaStart = kGuardBytes + kAreaOffset;
    const std::size_t areaEnd = areaStart + kAreaBytes;
    return std::memcmp(bytes_.data(), original_.data(), areaStart) == 0 &&
           std::memcmp(bytes_.data() + areaEnd, original_.data() + areaEnd, bytes_.size() - areaEnd) == 0;
  }
  // Whole storage compared, guards included.
  bool operator==(const FrameTarget& other) const { return bytes_ == other.bytes_; }
  bool operator!=(const FrameTarget& other) const { return !(*this == other); }

 private:
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> original_;
};

// frame.h — the shape of the picture every part of the demo draws into.
//
// The host owns one FrameBuffer of 320x240 pixels, 4 bytes each in the order
// blue, green, red, fourth byte (0x00RRGGBB read as a little-endian 32-bit
// value). Effects receive the address 20 rows down and draw the 320x200 area.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;
constexpr int kFrameRowBytes = kFrameWidth * 4;                  // 1280
constexpr std::size_t kFrameBytes = kFrameRowBytes * kFrameHeight; // 307200

constexpr int kAreaWidth = 320;   // the effects' picture
constexpr int kAreaHeight = 200;
constexpr std::size_t kAreaOffset = 20 * kFrameRowBytes;           // 25600
constexpr std::size_t kAreaBytes = kFrameRowBytes * kAreaHeight;   // 256000

// frame_shape.h — the shape of the picture the demo draws and shows.
//
// One frame of 320x240 pixels, 4 bytes each in the order blue, green, red,
// fourth byte (0x00RRGGBB read as a little-endian 32-bit value), rows of
// kFrameRowBytes with no padding. Constants only, so that every layer may
// include it: kit/frame.h adds the effects' area to it, and the platform
// twins size and copy their surfaces by it.
#pragma once
#include <cstddef>

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;
constexpr int kFrameRowBytes = kFrameWidth * 4;                  // 1280
constexpr std::size_t kFrameBytes = kFrameRowBytes * kFrameHeight; // 307200

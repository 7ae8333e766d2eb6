// frame.h — the frame every part of the demo draws into, and the effects' area.
//
// The host owns one FrameBuffer of the shape in platform/frame_shape.h (the
// one header of platform/ that kit/ reads: constants only). Effects receive
// the address 20 rows down and draw the 320x200 area.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/frame_shape.h"

constexpr int kAreaWidth = 320;   // the effects' picture
constexpr int kAreaHeight = 200;
constexpr int kAreaPixels = kAreaWidth * kAreaHeight;              // 64000
constexpr std::size_t kAreaOffset = 20 * kFrameRowBytes;           // 25600
constexpr std::size_t kAreaBytes = kFrameRowBytes * kAreaHeight;   // 256000

// scroll.h — the credits picture for the closing scroller: 320 pixels wide,
// kScrollRows rows of greyscale (0..255), top row first.
//
//   std::vector<uint8_t> picture = MakeScrollPicture(fonts);  // 320 * kScrollRows
//
// The first kScrollBlankTop and last kScrollBlankBottom rows are black, so
// the scroll starts on an empty screen and comes to rest on one (the scroller
// shows rows 0..199 first and stops showing rows 1530..1730).
// Called by qm7-assets' main.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/assets/text_raster.h"

constexpr int kScrollWidth = 320;
constexpr int kScrollRows = 1731;
constexpr int kScrollBlankTop = 200;
constexpr int kScrollBlankBottom = 201;

std::vector<uint8_t> MakeScrollPicture(const FontSet& fonts);

// logos.h — the two title logos: bevelled lettering with a thin outline ring,
// intensities 0..63, one byte per pixel, row-major.
//
//   std::vector<uint8_t> opener = MakeLogo(fonts.bold, "QM7 PRESENTS", 280, 52);
//
// The text is sized (and stretched or spaced a little, if that fills the
// frame better) to fill the frame with a margin of a few pixels.
// Called by qm7-assets' main.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assets/text_raster.h"

constexpr int kOpenerWidth = 280, kOpenerHeight = 52;
constexpr int kTitleWidth = 240, kTitleHeight = 59;
constexpr const char* kOpenerText = "QM7 PRESENTS";
constexpr const char* kTitleText = "QM7";

std::vector<uint8_t> MakeLogo(FT_Face face, const std::string& text, int width, int height);

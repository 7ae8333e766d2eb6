// icon.h — the program's icon: "QM7" in light letters on a dark rounded
// tile lit by a soft blue ring, with straight alpha.
//
//   std::vector<uint8_t> rgba = MakeIcon(fonts.bold, 64);   // 64x64, R,G,B,A
//
// Drawn at each size directly (no scaling of a larger picture), so the small
// ones stay sharp. Called by qm7-assets' main for the desktop icons and the
// picture compiled into qm7 for its window.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/assets/text_raster.h"

// Sizes of the desktop icons (hicolor theme folders NxN).
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};
// Size of the window's own icon.
constexpr int kWindowIconSize = 64;

std::vector<uint8_t> MakeIcon(FT_Face face, int size);

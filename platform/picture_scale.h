// picture_scale.h — where the picture goes in a window of any size, and the
// enlargement of 32-bit pixels into that place with every source pixel the
// same size on screen.
//
// Usage (the CPU presentations: platform/sdl/sdl_present_cpu.cpp and the
// win32 stand-in full screen):
//   PictureRect place = FitPicture(windowW, windowH, kFrameWidth, kFrameHeight);
//   PictureScale scale;  PrepareScale(&scale, kFrameWidth, kFrameHeight, place);  // on resizes
//   per frame: ScalePicture(scale, frame, kFrameRowBytes, windowPixels, windowPitch);
// The GPU presentation uses FitPicture too, so every path shows the picture
// in the same rectangle.
//
// The look: each source pixel covers exactly place.w / sourceW screen
// columns and place.h / sourceH screen rows. A screen pixel that lies wholly
// inside one source pixel is that pixel's colour; one that straddles the
// seam between two is their mix, weighted by how much of it each covers. So
// the picture is crisp, every pixel has the same footprint, and each seam has
// at most one soft screen pixel; a whole multiple is plain pixel repetition.
// (The GPU path's nearest-to-a-whole-multiple-then-linear looks the same.)
// A rectangle smaller than the source falls back to nearest neighbour.
#pragma once
#include <cstdint>
#include <vector>

struct PictureRect {
  int x, y, w, h;
};

// Called on every size change by each presentation (sdl/'s CPU and GPU
// paths, win32/'s stand-in full screen): the largest rectangle of the source's aspect that fits the output, centred (ties of
// an odd margin put the extra pixel right/below).
PictureRect FitPicture(int outW, int outH, int sourceW, int sourceH);

// The plan of one axis, per source pixel s: runs[s] screen pixels of s
// alone, then, when seams[s] is nonzero, one screen pixel mixing s and s+1
// with s weighing seams[s] / 256 (1..255).
struct PictureScale {
  PictureRect place;
  int sourceW, sourceH;
  std::vector<uint16_t> columnRuns;  // sourceW entries
  std::vector<uint8_t> columnSeams;  // sourceW entries
  std::vector<uint16_t> rowRuns;     // sourceH entries
  std::vector<uint8_t> rowSeams;     // sourceH entries
  int longestRun;                    // of columnRuns
  // ScalePicture's workspace: two widened source rows of place.w pixels
  // (and a few spare).
  mutable std::vector<uint32_t> widened;
};

// Called when the output size changes (never per frame: it allocates).
void PrepareScale(PictureScale* scale, int sourceW, int sourceH, PictureRect place);

// Called once per frame: writes the whole picture rectangle of `out` (32-bit
// pixels, `outPitch` bytes a row; the rectangle's offset is applied here)
// from `source` (32-bit pixels, `sourcePitch` bytes a row). Nothing outside
// the rectangle is touched. Each 8-bit channel of a mixed pixel is
// (a * w + b * (256 - w) + 128) >> 8.
void ScalePicture(const PictureScale& scale, const void* source, int sourcePitch, void* out,
                  int outPitch);

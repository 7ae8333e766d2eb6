// picture_scale.h — where the picture goes in a window of any size, and a
// nearest-neighbour enlargement of 32-bit pixels into that place.
//
// Usage (the SDL display's CPU presentation, platform/sdl/sdl_present_cpu.cpp):
//   PictureRect place = FitPicture(windowW, windowH, 320, 240);
//   PictureScale scale;  PrepareScale(&scale, 320, 240, place);   // on size changes only
//   per frame: ScalePicture(scale, frame, 320 * 4, windowPixels, windowPitch);
// The GPU presentation uses FitPicture too, so both show the picture in the
// same rectangle.
#pragma once
#include <cstdint>
#include <vector>

struct PictureRect {
  int x, y, w, h;
};

// Called on every size change by both SDL presentations: the largest
// rectangle of the source's aspect that fits the output, centred (ties of
// an odd margin put the extra pixel right/below).
PictureRect FitPicture(int outW, int outH, int sourceW, int sourceH);

// How many destination columns and rows each source column and row covers.
// Destination pixel d samples the source pixel under its centre,
// floor((2d + 1) * source / (2 * destination)); a whole multiple therefore
// repeats every source pixel equally often.
struct PictureScale {
  PictureRect place;
  int sourceW, sourceH;
  std::vector<uint16_t> columnRuns;  // sourceW entries
  std::vector<uint16_t> rowRuns;     // sourceH entries
};

// Called when the output size changes (never per frame: it allocates).
void PrepareScale(PictureScale* scale, int sourceW, int sourceH, PictureRect place);

// Called once per frame: writes the whole picture rectangle of `out` (32-bit
// pixels, `outPitch` bytes a row; the rectangle's offset is applied here)
// from `source` (32-bit pixels, `sourcePitch` bytes a row). Nothing outside
// the rectangle is touched.
void ScalePicture(const PictureScale& scale, const void* source, int sourcePitch, void* out,
                  int outPitch);

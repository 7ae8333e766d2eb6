// picture_scale.cpp — letterbox geometry and the even-footprint enlargement.
//
// PrepareScale cuts each axis into runs and seams once (exact integer
// geometry: source pixel s spans [s * dest, (s + 1) * dest) in units of
// 1 / source screen pixels). ScalePicture widens each source row once into a
// workspace row (runs of equal pixels, one mixed pixel per seam); a screen
// row is then a plain copy of a widened row, or, on a seam row, the mix of
// two, so most of the work is memcpy.
#include "platform/picture_scale.h"

#include <cstring>

PictureRect FitPicture(int outW, int outH, int sourceW, int sourceH) {
  int64_t w = sourceW, h = sourceH;
  PictureRect r;
  if (int64_t{outW} * h >= int64_t{outH} * w) {
    r.h = outH;
    r.w = static_cast<int>((int64_t{outH} * w + h / 2) / h);
  } else {
    r.w = outW;
    r.h = static_cast<int>((int64_t{outW} * h + w / 2) / w);
  }
  r.x = (outW - r.w) / 2;
  r.y = (outH - r.h) / 2;
  return r;
}

namespace {

constexpr int kShortRun = 8;

// One axis of `source` pixels onto `destination` screen pixels.
void PlanAxis(std::vector<uint16_t>& runs, std::vector<uint8_t>& seams, int source,
              int destination) {
  runs.assign(static_cast<size_t>(source), 0);
  seams.assign(static_cast<size_t>(source), 0);
  const int64_t S = source, D = destination;
  if (D < S) {
    // Smaller than the source: each screen pixel takes the source pixel
    // under its centre.
    for (int64_t d = 0; d < D; ++d) ++runs[static_cast<size_t>((2 * d + 1) * S / (2 * D))];
    return;
  }
  for (int64_t d = 0; d < D; ++d) {
    // Screen pixel d spans [d * S, (d + 1) * S); at most one seam lies inside.
    int64_t first = d * S / D, last = ((d + 1) * S - 1) / D;
    if (first == last) {
      ++runs[static_cast<size_t>(first)];
      continue;
    }
    int64_t share = (first + 1) * D - d * S;  // of `first`, in 1/S of a pixel
    int64_t weight = (share * 512 + S) / (2 * S);  // share * 256 / S, halves up
    if (weight >= 256)
      ++runs[static_cast<size_t>(first)];
    else if (weight <= 0)
      ++runs[static_cast<size_t>(last)];
    else
      seams[static_cast<size_t>(first)] = static_cast<uint8_t>(weight);
  }
}

// (a * w + b * (256 - w) + 128) >> 8 for each 8-bit channel, two channels
// at a time in 16-bit lanes (no lane can carry into the next).
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t w) {
  uint32_t v = 256 - w;
  uint32_t rb = ((a & 0x00FF00FFu) * w + (b & 0x00FF00FFu) * v + 0x00800080u) >> 8;
  uint32_t ag = (((a >> 8) & 0x00FF00FFu) * w + ((b >> 8) & 0x00FF00FFu) * v + 0x00800080u);
  return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

// A seam row: every byte of two widened rows mixed alike (a loop the
// compiler turns into vector code).
void MixRows(const uint8_t* a, const uint8_t* b, uint32_t w, uint8_t* out, size_t bytes) {
  const uint16_t wa = static_cast<uint16_t>(w), wb = static_cast<uint16_t>(256 - w);
  for (size_t i = 0; i < bytes; ++i)
    out[i] = static_cast<uint8_t>((a[i] * wa + b[i] * wb + 128) >> 8);
}

// One source row into place.w screen pixels of a workspace row, which has
// kShortRun spare pixels at its end: runs up to that long are stored as a
// fixed kShortRun copies, the next run overwriting the surplus.
void WidenRow(const PictureScale& scale, const uint32_t* from, uint32_t* to) {
  const uint16_t* runs = scale.columnRuns.data();
  const uint8_t* seams = scale.columnSeams.data();
  if (scale.longestRun <= kShortRun) {
    for (int sx = 0; sx < scale.sourceW; ++sx) {
      uint32_t pixel = from[sx];
      for (int n = 0; n < kShortRun; ++n) to[n] = pixel;
      to += runs[sx];
      if (seams[sx]) *to++ = Mix(pixel, from[sx + 1], seams[sx]);
    }
    return;
  }
  for (int sx = 0; sx < scale.sourceW; ++sx) {
    uint32_t pixel = from[sx];
    for (int n = runs[sx]; n > 0; --n) *to++ = pixel;
    if (seams[sx]) *to++ = Mix(pixel, from[sx + 1], seams[sx]);
  }
}

}  // namespace

void PrepareScale(PictureScale* scale, int sourceW, int sourceH, PictureRect place) {
  scale->place = place;
  scale->sourceW = sourceW;
  scale->sourceH = sourceH;
  PlanAxis(scale->columnRuns, scale->columnSeams, sourceW, place.w > 0 ? place.w : 0);
  PlanAxis(scale->rowRuns, scale->rowSeams, sourceH, place.h > 0 ? place.h : 0);
  scale->longestRun = 0;
  for (uint16_t run : scale->columnRuns)
    if (run > scale->longestRun) scale->longestRun = run;
  const size_t row = place.w > 0 ? size_t(place.w) + kShortRun : 0;
  scale->widened.assign(row * 2, 0);
}

void ScalePicture(const PictureScale& scale, const void* source, int sourcePitch, void* out,
                  int outPitch) {
  if (scale.place.w <= 0 || scale.place.h <= 0) return;
  const uint8_t* sourceRows = static_cast<const uint8_t*>(source);
  uint8_t* outRow = static_cast<uint8_t*>(out) + int64_t{scale.place.y} * outPitch +
                    int64_t{scale.place.x} * 4;
  const int width = scale.place.w;
  const size_t rowBytes = size_t(width) * 4;
  auto sourceRow = [&](int sy) {
    return reinterpret_cast<const uint32_t*>(sourceRows + int64_t{sy} * sourcePitch);
  };
  // Workspace slot sy & 1 holds source row sy widened; a seam row needs rows
  // sy and sy + 1, which always sit in different slots.
  uint32_t* slots[2] = {scale.widened.data(), scale.widened.data() + width + kShortRun};
  int widenedRow = -1;  // the last source row widened (rows go in order)
  for (int sy = 0; sy < scale.sourceH; ++sy) {
    int rows = scale.rowRuns[size_t(sy)];
    uint32_t weight = scale.rowSeams[size_t(sy)];
    if (rows == 0 && weight == 0) continue;
    uint32_t* mine = slots[sy & 1];
    if (widenedRow != sy) WidenRow(scale, sourceRow(sy), mine);
    for (int r = 0; r < rows; ++r, outRow += outPitch) std::memcpy(outRow, mine, rowBytes);
    widenedRow = sy;
    if (weight) {
      uint32_t* next = slots[(sy + 1) & 1];
      WidenRow(scale, sourceRow(sy + 1), next);
      widenedRow = sy + 1;
      MixRows(reinterpret_cast<const uint8_t*>(mine), reinterpret_cast<const uint8_t*>(next),
              weight, outRow, rowBytes);
      outRow += outPitch;
    }
  }
}

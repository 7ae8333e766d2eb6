// picture_scale.cpp — letterbox geometry and the nearest-neighbour enlargement.
//
// Each source row is widened once into its first destination row (a run of
// equal pixels per source column); the other destination rows of the same
// source row are copies of that one, so most of the work is plain memcpy.
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

// runs[s] = number of destination cells d with floor((2d+1)*source/(2*dest)) == s.
void FillRuns(std::vector<uint16_t>& runs, int source, int destination) {
  runs.assign(static_cast<size_t>(source), 0);
  for (int d = 0; d < destination; ++d) {
    int64_t s = (int64_t{2} * d + 1) * source / (int64_t{2} * destination);
    ++runs[static_cast<size_t>(s)];
  }
}

}  // namespace

void PrepareScale(PictureScale* scale, int sourceW, int sourceH, PictureRect place) {
  scale->place = place;
  scale->sourceW = sourceW;
  scale->sourceH = sourceH;
  FillRuns(scale->columnRuns, sourceW, place.w > 0 ? place.w : 0);
  FillRuns(scale->rowRuns, sourceH, place.h > 0 ? place.h : 0);
}

void ScalePicture(const PictureScale& scale, const void* source, int sourcePitch, void* out,
                  int outPitch) {
  if (scale.place.w <= 0 || scale.place.h <= 0) return;
  const uint8_t* sourceRow = static_cast<const uint8_t*>(source);
  uint8_t* outRow = static_cast<uint8_t*>(out) + int64_t{scale.place.y} * outPitch +
                    int64_t{scale.place.x} * 4;
  const size_t rowBytes = size_t(scale.place.w) * 4;
  const uint16_t* columnRuns = scale.columnRuns.data();
  for (int sy = 0; sy < scale.sourceH; ++sy, sourceRow += sourcePitch) {
    int rows = scale.rowRuns[size_t(sy)];
    if (rows == 0) continue;
    const uint32_t* from = reinterpret_cast<const uint32_t*>(sourceRow);
    uint32_t* to = reinterpret_cast<uint32_t*>(outRow);
    for (int sx = 0; sx < scale.sourceW; ++sx) {
      uint32_t pixel = from[sx];
      for (int n = columnRuns[sx]; n > 0; --n) *to++ = pixel;
    }
    uint8_t* first = outRow;
    outRow += outPitch;
    for (int r = 1; r < rows; ++r, outRow += outPitch) std::memcpy(outRow, first, rowBytes);
  }
}

// horizon.cpp — two-colour background split along the camera's view of the
// plane y = 0. The line is found from four corner samples, then each row is
// painted as two runs of one colour each.
#include "effects/frame_cube/horizon.h"

#include <cmath>
#include <cstring>

#include "kit/frame.h"

HorizonState Horizon;

namespace {

constexpr Vec3 kScreenCorners[4] = {
    {-160.0f, 100.0f, 256.0f},   // top left
    {160.0f, 100.0f, 256.0f},    // top right
    {160.0f, -100.0f, 256.0f},   // bottom right
    {-160.0f, -100.0f, 256.0f},  // bottom left
};
// End corners of the edges top, left, right, bottom.
constexpr int kEdgeEnds[4][2] = {{0, 1}, {0, 3}, {1, 2}, {3, 2}};

int32_t clampTo(int64_t v, int32_t lo, int32_t hi) {
  return static_cast<int32_t>(v < lo ? lo : (v > hi ? hi : v));
}

// Rounds to nearest, ties to even, and keeps the result a valid split.
int32_t splitOf(double running) {
  if (!(running > -1.0)) return 0;        // also catches NaN
  if (running > 1000.0) return 320;
  return clampTo(std::llrint(running), 0, 320);
}

void fillRun(uint8_t* p, int count, uint32_t colour) {
  for (int x = 0; x < count; ++x) std::memcpy(p + 4 * x, &colour, 4);
}

// The whole target in one colour; Horizon.rows is left as it is.
void fillWhole(uint8_t* target, int32_t colour) { fillRun(target, kAreaPixels, kHorizonColours[colour & 1]); }

// rows[first..last] get splits from a running value starting at `start`; the
// step is held as float, the running value in double.
void runDown(int first, int last, double start, float step) {
  double running = start;
  for (int r = first; r <= last; ++r) {
    Horizon.rows[r].split = splitOf(running);
    running += step;
  }
}

void runUp(int first, int last, double start, float step) {
  double running = start;
  for (int r = last; r >= first; --r) {
    Horizon.rows[r].split = splitOf(running);
    running += step;
  }
}

void setSides(int first, int last, int32_t side) {
  for (int r = first; r <= last; ++r) Horizon.rows[r].side = side;
}

void setSplits(int first, int last, int32_t split) {
  for (int r = first; r <= last; ++r) Horizon.rows[r].split = split;
}

}  // namespace


void analyseHorizon(const Matrix3& view, const CameraSpec& camera) {
  // The plane's normal is (B - A) x (C - A) of three plane points relative to
  // the eye; the eye cancels and the normal is always (0, -1, 0).
  (void)camera;
  for (int i = 0; i < 4; ++i) Horizon.corners[i] = kScreenCorners[i];
  transformPoints(Horizon.corners, 4, view, Horizon.offset);
  for (int i = 0; i < 4; ++i) {
    const float value = static_cast<float>(-static_cast<double>(Horizon.corners[i].y) * 100.0);
    Horizon.samples[i].value = value;
    Horizon.samples[i].side = std::lrintf(value) > 0 ? 1 : 0;
  }
  for (int e = 0; e < 4; ++e) {
    const CornerSample& a = Horizon.samples[kEdgeEnds[e][0]];
    const CornerSample& b = Horizon.samples[kEdgeEnds[e][1]];
    HorizonCrossing& c = Horizon.crossings[e];
    c = {false, 0, 0};
    if (a.side + b.side != 1) continue;
    c.crossed = true;
    const double va = std::fabs(static_cast<double>(a.value));
    const double span = std::fabs(static_cast<double>(a.value) - static_cast<double>(b.value));
    const bool horizontal = (e == kEdgeTop || e == kEdgeBottom);
    // Both values may round to sides 0 and 1 while lying on the same side of
    // 0 (or the span may be 0), so the fraction can leave 0..1: clamp.
    const double length = horizontal ? 320.0 : 200.0;
    const double position = span > 0.0 ? length / span * va : length;
    const int64_t rounded = std::isfinite(position) ? std::llrint(std::fmin(position, 1.0e6)) : 0;
    const int32_t along = clampTo(rounded, 0, horizontal ? 320 : 200);
    switch (e) {
      case kEdgeTop: c.x = along; c.y = 0; break;
      case kEdgeLeft: c.x = 0; c.y = along; break;
      case kEdgeRight: c.x = 319; c.y = along; break;
      default: c.x = along; c.y = 199; break;
    }
  }
}

void fillHorizon(uint8_t* target) {
  const HorizonCrossing& top = Horizon.crossings[kEdgeTop];
  const HorizonCrossing& left = Horizon.crossings[kEdgeLeft];
  const HorizonCrossing& right = Horizon.crossings[kEdgeRight];
  const HorizonCrossing& bottom = Horizon.crossings[kEdgeBottom];
  const int32_t s0 = Horizon.samples[0].side;
  const int32_t s3 = Horizon.samples[3].side;
  const int32_t yL = left.y, yR = right.y, xT = top.x, xB = bottom.x;

  if (left.crossed && right.crossed) {
    setSides(0, yL - 1, s0);
    setSides(yL, 199, s3);
    setSplits(0, 199, 320);
    if (yL > yR) {
      runDown(yR, yL - 1, 320.0, static_cast<float>(-320.0 / (yL - yR)));
    } else if (yL < yR) {
      runDown(yL, yR - 1, 0.0, static_cast<float>(320.0 / (yR - yL)));
    }
  } else if (!left.crossed && !right.crossed) {
    if (!top.crossed) {
      fillWhole(target, s0);
      return;
    }
    setSides(0, 199, s0);
    runDown(0, 199, xT, static_cast<float>((xB - xT) / 200.0));
  } else if (top.crossed && left.crossed) {
    if (yL == 0) {
      fillWhole(target, s0 ^ 1);
      return;
    }
    setSides(0, 199, s0);
    runDown(0, 199, xT, static_cast<float>(-static_cast<double>(xT) / yL));
  } else if (top.crossed && right.crossed) {
    if (yR == 0) {
      fillWhole(target, s0);
      return;
    }
    setSides(0, 199, s0);
    runDown(0, 199, xT, static_cast<float>((320.0 - xT) / yR));
  } else if (left.crossed && bottom.crossed) {
    if (yL == 200) {
      fillWhole(target, s0);
      return;
    }
    setSides(0, 199, s3);
    runUp(0, 199, xB, static_cast<float>(-static_cast<double>(xB) / (200 - yL)));
  } else {
    if (yR == 200) {
      fillWhole(target, s0);
      return;
    }
    setSides(0, 199, s3);
    runUp(0, 199, xB, static_cast<float>((320.0 - xB) / (200 - yR)));
  }
  fillSplitRows(target);
}

void fillSplitRows(uint8_t* target) {
  for (int r = 0; r < 200; ++r) {
    uint8_t* row = target + r * kFrameRowBytes;
    const SplitRow& s = Horizon.rows[r];
    const int32_t n = s.split < 0 ? 0 : (s.split > 320 ? 320 : s.split);
    fillRun(row, n, kHorizonColours[s.side & 1]);
    fillRun(row + 4 * n, 320 - n, kHorizonColours[(s.side ^ 1) & 1]);
  }
}

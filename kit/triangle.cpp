// triangle.cpp — one flat-coloured triangle with sub-pixel corners.
//
// Coverage rounds up: row r is inside an edge section when
// ceil(top) <= r < ceil(bottom), column c inside a span when
// ceil(left) <= c < ceil(right), so triangles that share an edge neither
// overlap nor leave gaps. Rounding up is done with explicit ceilf, so the
// processor's rounding mode (round-to-nearest) is never touched.
//
// The edges are walked from the top vertex down with float slopes: a long edge
// (top to bottom vertex) on one side, two short edges on the other.
#include "kit/triangle.h"

#include <cmath>
#include <cstring>

#include "kit/frame.h"

namespace {


// Rows and columns beyond this distance from the picture are far off screen;
// ceilings are held to it so every conversion to int32 is defined and row
// counts cannot overflow. Within the range the result is exact.
constexpr float kCoordinateLimit = 16777216.0f;   // 2^24

inline int32_t ceilToInt(float v) {
  const float c = std::ceil(v);
  if (!(c > -kCoordinateLimit)) return -static_cast<int32_t>(kCoordinateLimit);
  if (c > kCoordinateLimit) return static_cast<int32_t>(kCoordinateLimit);
  return static_cast<int32_t>(c);
}

struct TriangleEdge {
  int32_t rows;   // rows remaining
  float slope;    // dx/dy
  float x;        // x on the current row's centre line
};

// Sets up the edge from vertex s (upper) to e; returns its row count (0: none).
int32_t setUpEdge(TriangleEdge& edge, const float* xs, const float* ys, int s, int e) {
  const int32_t rows = ceilToInt(ys[e]) - ceilToInt(ys[s]);
  if (rows <= 0) return 0;
  edge.rows = rows;
  edge.slope = (xs[e] - xs[s]) / (ys[e] - ys[s]);
  const float prestep = std::ceil(ys[s]) - ys[s];
  edge.x = xs[s] + prestep * edge.slope;
  return rows;
}

// One side's list of vertex numbers; its current edge runs from
// list[count] to list[count - 1].
struct EdgeList {
  int list[3];
  int count;
};

// Moves a side one row down; returns false when the triangle is finished.
bool stepSide(TriangleEdge& edge, EdgeList& side, const float* xs, const float* ys) {
  if (--edge.rows > 0) {
    edge.x += edge.slope;
    return true;
  }
  if (--side.count <= 0) return false;
  return setUpEdge(edge, xs, ys, side.list[side.count], side.list[side.count - 1]) > 0;
}

void fillSpan(uint8_t* row, float leftX, float rightX, uint32_t colour) {
  int32_t xa = ceilToInt(leftX);
  const int32_t xb = ceilToInt(rightX);
  int32_t width = xb - xa;
  if (xa < 0) {
    width += xa;
    xa = 0;
  }
  if (xa + width > 319) width = 320 - xa;
  uint8_t* pixel = row + xa * 4;
  for (int32_t i = 0; i < width; ++i) std::memcpy(pixel + 4 * i, &colour, 4);
}

}  // namespace

void fillFlatTriangle(const float* points, uint8_t* target, uint32_t colour) {
  float xs[3] = {points[0], points[2], points[4]};
  float ys[3] = {points[1], points[3], points[5]};
  for (int i = 0; i < 3; ++i)
    if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) return;   // nothing sensible to draw

  // Sort by y: a pair is swapped unless its first y is strictly smaller.
  auto order = [&](int a, int b) {
    if (!(ys[a] < ys[b])) {
      const float tx = xs[a], ty = ys[a];
      xs[a] = xs[b], ys[a] = ys[b];
      xs[b] = tx, ys[b] = ty;
    }
  };
  order(0, 1);
  order(1, 2);
  order(0, 1);

  if (ys[2] < 0.0f || ys[0] > 199.0f) return;
  if (xs[0] < 0.0f && xs[1] < 0.0f && xs[2] < 0.0f) return;
  if (xs[0] > 319.0f && xs[1] > 319.0f && xs[2] > 319.0f) return;
  const float height = ys[2] - ys[0];
  if (height == 0.0f) return;

  // Which side the long edge is on: its x at the middle vertex's height.
  const float longX = (xs[2] - xs[0]) * (ys[1] - ys[0]) / height + xs[0];
  const float d = longX - xs[1];
  if (!(d < 0.0f) && !(d > 0.0f)) return;   // middle vertex on the long edge

  TriangleEdge left, right;
  EdgeList leftSide, rightSide;
  const EdgeList longSide{{2, 0, 0}, 1};
  const EdgeList shortSide{{2, 1, 0}, 2};
  if (d < 0.0f) {
    leftSide = longSide;
    rightSide = shortSide;
    if (setUpEdge(left, xs, ys, 0, 2) == 0) return;
    if (setUpEdge(right, xs, ys, 0, 1) == 0) {
      rightSide.count -= 1;
      if (setUpEdge(right, xs, ys, 1, 2) == 0) return;
    }
  } else {
    leftSide = shortSide;
    rightSide = longSide;
    if (setUpEdge(right, xs, ys, 0, 2) == 0) return;
    if (setUpEdge(left, xs, ys, 0, 1) == 0) {
      leftSide.count -= 1;
      if (setUpEdge(left, xs, ys, 1, 2) == 0) return;
    }
  }

  // Rows above the picture are stepped through without drawing; below it
  // nothing more can be drawn, so the walk ends there.
  for (int32_t row = ceilToInt(ys[0]); row <= 199; ++row) {
    if (row >= 0) fillSpan(target + row * kFrameRowBytes, left.x, right.x, colour);
    if (!stepSide(left, leftSide, xs, ys)) return;
    if (!stepSide(right, rightSide, xs, ys)) return;
  }
}

// cube_scene.cpp — the frame cube's scene tables, the per-frame draw list
// producers, the two-pass radix sort and the far-to-near drawing.
#include "effects/frame_cube/cube_scene.h"

#include <cmath>

#include "kit/blitters.h"
#include "kit/blob_map.h"
#include "kit/frame.h"
#include "kit/numbers.h"
#include "kit/triangle.h"

CubeSceneState CubeScene;

const int32_t AxisDirections[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};

namespace {

constexpr float kCentreHeight = 1024.0f;
constexpr int32_t kFarFlareDistance = 5000;

// Vertex 16f + 8*layer + 4*ring + corner of frame f: the frame lies across
// axis a (z, z, y, y, x, x) on side sign (-, +, -, +, -, +), 600 (layer 0) or
// 700 (layer 1) from the centre; ring 0 is the outer square (half-width 512),
// ring 1 the hole (412); corners are (-r,+r), (+r,+r), (-r,-r), (+r,-r) in the
// frame's (u, v) axes.
struct VertexTable {
  int32_t v[kCubeVertexCount][3];
};

constexpr VertexTable makeVertexTable() {
  constexpr int axis[6] = {2, 2, 1, 1, 0, 0};
  constexpr int uAxis[6] = {0, 0, 0, 0, 1, 1};
  constexpr int vAxis[6] = {1, 1, 2, 2, 2, 2};
  constexpr int corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
  VertexTable t{};
  for (int f = 0; f < 6; ++f) {
    const int sign = (f & 1) ? 1 : -1;
    for (int layer = 0; layer < 2; ++layer)
      for (int ring = 0; ring < 2; ++ring)
        for (int corner = 0; corner < 4; ++corner) {
          const int n = 16 * f + 8 * layer + 4 * ring + corner;
          const int r = ring == 0 ? 512 : 412;
          t.v[n][axis[f]] = sign * (layer == 0 ? 600 : 700);
          t.v[n][uAxis[f]] = corners[corner][0] * r;
          t.v[n][vAxis[f]] = corners[corner][1] * r;
        }
  }
  return t;
}
constexpr VertexTable kVertexTable = makeVertexTable();

// The 32 triangles of one frame: near face, far face, outer rim, inner rim.
constexpr int32_t kPatternP[32][3] = {
    {0, 1, 4},   {1, 5, 4},   {1, 3, 5},   {3, 7, 5},   {3, 2, 7},   {2, 6, 7},   {2, 0, 6},   {0, 4, 6},
    {8, 12, 9},  {9, 12, 13}, {9, 13, 11}, {11, 13, 15}, {11, 15, 10}, {10, 15, 14}, {10, 14, 8}, {8, 14, 12},
    {0, 8, 9},   {0, 9, 1},   {1, 9, 11},  {1, 11, 3},  {3, 11, 10}, {3, 10, 2},  {2, 10, 8},  {2, 8, 0},
    {4, 13, 12}, {4, 5, 13},  {5, 15, 13}, {5, 7, 15},  {7, 14, 15}, {7, 6, 14},  {6, 12, 14}, {6, 4, 12},
};

// Frames 0, 3 and 4 use the pattern as it stands; frames 1, 2 and 5 its
// mirror (second and third vertex swapped), so every face winds outwards.
void buildFaces() {
  constexpr bool mirrored[6] = {false, true, true, false, false, true};
  for (int f = 0; f < 6; ++f)
    for (int k = 0; k < 32; ++k) {
      int32_t* face = CubeScene.faces[32 * f + k];
      face[0] = kPatternP[k][0] + 16 * f;
      face[1] = kPatternP[k][mirrored[f] ? 2 : 1] + 16 * f;
      face[2] = kPatternP[k][mirrored[f] ? 1 : 2] + 16 * f;
    }
}

// Rounds a value that may lie far outside the int32 range.
int64_t nearestBounded(double v) {
  if (!(v > -1.0e15)) return static_cast<int64_t>(-1.0e15);
  if (v > 1.0e15) return static_cast<int64_t>(1.0e15);
  return nearest64(v);
}

Vec3 toView(const Matrix3& m, float x, float y, float z) {
  Vec3 p = {x, y, z};
  transformPoints(&p, 1, m, Vec3{0.0f, 0.0f, 0.0f});
  return p;
}

void drawFaceItem(int32_t face, uint8_t* target, const Vec3& light) {
  const int32_t* f = CubeScene.faces[face];
  const ScreenVertex& a = CubeScene.screenVertices[f[0]];
  const ScreenVertex& b = CubeScene.screenVertices[f[1]];
  const ScreenVertex& c = CubeScene.screenVertices[f[2]];
  if (!a.visible || !b.visible || !c.visible) return;
  const float points[6] = {a.sx, a.sy, b.sx, b.sy, c.sx, c.sy};
  fillFlatTriangle(points, target, shadeFace(CubeScene.normals[face], light));
}

// A blob of half-size `half` world units around a camera-space point.
void drawFlareItem(const Vec3& p, float half, uint8_t* target) {
  if (nearest(p.z) <= 0) return;
  const double z = p.z;
  const double left = (static_cast<double>(p.x) - half) * 256.0 / z;
  const double right = (static_cast<double>(p.x) + half) * 256.0 / z;
  const int64_t size = nearestBounded(right - left);
  if (size <= 0) return;
  const double top = (static_cast<double>(p.y) - half) * 256.0 / z;
  const int64_t sx = nearestBounded(left + 160.0);
  const int64_t sy = nearestBounded(top + 100.0);
  if (sx > 319 || sx + size <= 0 || sy > 199 || sy + size <= 0) return;
  drawBlobSprite(target, BlobMap, static_cast<int32_t>(sx), static_cast<int32_t>(sy),
                 static_cast<int32_t>(size));
}

void drawRayDotItem(int32_t dot, uint8_t* target) {
  const Vec3& p = CubeScene.rayView[dot];
  if (nearest(p.z) <= 0) return;
  const int64_t sx = nearestBounded(static_cast<double>(p.x) * 256.0 / p.z + 160.0);
  const int64_t sy = nearestBounded(static_cast<double>(p.y) * 256.0 / p.z + 100.0);
  if (sx >= 1 && sx <= 317 && sy >= 1 && sy <= 197) stampDimDot(target + sy * kFrameRowBytes + sx * 4, 7);
}

}  // namespace

void convertCubeVertices() {
  for (int i = 0; i < kCubeVertexCount; ++i)
    CubeScene.vertices[i] = {static_cast<float>(kVertexTable.v[i][0]), static_cast<float>(kVertexTable.v[i][1]),
                             static_cast<float>(kVertexTable.v[i][2])};
  buildFaces();
}

// n = f x e with e = A - B and f = A - C, normalised.
void buildFaceNormals() {
  for (int i = 0; i < kCubeFaceCount; ++i) {
    const Vec3& a = CubeScene.vertices[CubeScene.faces[i][0]];
    const Vec3& b = CubeScene.vertices[CubeScene.faces[i][1]];
    const Vec3& c = CubeScene.vertices[CubeScene.faces[i][2]];
    const Vec3 e = {a.x - b.x, a.y - b.y, a.z - b.z};
    const Vec3 f = {a.x - c.x, a.y - c.y, a.z - c.z};
    Vec3 n;
    crossProduct(f, e, n);
    normaliseVector(n, CubeScene.normals[i]);
  }
}

// Ray i holds 50 dots 1, 101, ..., 4901 units out from the centre.
void buildRayPoints() {
  for (int i = 0; i < 6; ++i)
    for (int k = 0; k < 50; ++k) {
      const float m = static_cast<float>(1 + 100 * k);
      CubeScene.rayPoints[50 * i + k] = {AxisDirections[i][0] * m, AxisDirections[i][1] * m + kCentreHeight,
                                         AxisDirections[i][2] * m};
    }
}

void addDrawItem(int32_t kind, int32_t parameter, int32_t depth) {
  const int32_t e = CubeScene.drawCount;
  CubeScene.drawKeys[e] = (static_cast<uint32_t>(e) << 16) | (static_cast<uint32_t>(depth) & 0xFFFFu);
  CubeScene.items[e] = {kind, parameter};
  CubeScene.drawCount = e + 1;
}

// Products are exact in double (two floats) and can pass 2^31 when a vertex
// projects far off screen, so they are rounded into 64-bit integers.
void windingProducts(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int64_t& p,
                     int64_t& q) {
  const double ax = a.sx, ay = a.sy;
  p = nearestBounded((ay - static_cast<double>(b.sy)) * (ax - static_cast<double>(c.sx)));
  q = nearestBounded((ax - static_cast<double>(b.sx)) * (ay - static_cast<double>(c.sy)));
}

void addCubeFaces(const Matrix3& view, const Vec3& eye) {
  Vec3* cam = CubeScene.viewVertices;
  for (int i = 0; i < kCubeVertexCount; ++i) {
    const Vec3& v = CubeScene.vertices[i];
    cam[i] = {v.x - eye.x, (v.y + kCentreHeight) - eye.y, v.z - eye.z};
  }
  transformPoints(cam, kCubeVertexCount, view, Vec3{0.0f, 0.0f, 0.0f});
  for (int i = 0; i < kCubeVertexCount; ++i) {
    ScreenVertex& s = CubeScene.screenVertices[i];
    if (nearest(cam[i].z) < 1) {
      s = {false, 0.0f, 0.0f};
    } else {
      s.visible = true;
      s.sx = static_cast<float>(static_cast<double>(cam[i].x) * 256.0 / cam[i].z + 160.0);
      s.sy = static_cast<float>(static_cast<double>(cam[i].y) * 256.0 / cam[i].z + 100.0);
    }
  }
  for (int face = 0; face < kCubeFaceCount; ++face) {
    const int32_t* f = CubeScene.faces[face];
    int64_t p, q;
    windingProducts(CubeScene.screenVertices[f[0]], CubeScene.screenVertices[f[1]],
                    CubeScene.screenVertices[f[2]], p, q);
    if (p > q) {
      const double z = (static_cast<double>(cam[f[0]].z) + cam[f[1]].z + cam[f[2]].z) / 3.0;
      addDrawItem(kDrawFace, face, static_cast<int32_t>(nearestBounded(z)));
    }
  }
}

void addRayDots(const Matrix3& view, const Vec3& eye, int32_t rayPulse) {
  Vec3* cam = CubeScene.rayView;
  for (int i = 0; i < 6; ++i) {
    const float ox = static_cast<float>(AxisDirections[i][0] * rayPulse);
    const float oy = static_cast<float>(AxisDirections[i][1] * rayPulse);
    const float oz = static_cast<float>(AxisDirections[i][2] * rayPulse);
    for (int k = 0; k < 50; ++k) {
      const Vec3& p = CubeScene.rayPoints[50 * i + k];
      cam[50 * i + k] = {(p.x + ox) - eye.x, (p.y + oy) - eye.y, (p.z + oz) - eye.z};
    }
  }
  transformPoints(cam, kRayDotCount, view, Vec3{0.0f, 0.0f, 0.0f});
  for (int j = 0; j < kRayDotCount; ++j) addDrawItem(kDrawRayDot, j, nearest(cam[j].z));
}

void addFarFlares(const Matrix3& view, const Vec3& eye) {
  for (int i = 0; i < 6; ++i)
    CubeScene.farView[i] = toView(view, static_cast<float>(AxisDirections[i][0] * kFarFlareDistance) - eye.x,
                                  (static_cast<float>(AxisDirections[i][1] * kFarFlareDistance) + kCentreHeight) - eye.y,
                                  static_cast<float>(AxisDirections[i][2] * kFarFlareDistance) - eye.z);
  for (int i = 0; i < 6; ++i) addDrawItem(kDrawFarFlare, i, nearest(CubeScene.farView[i].z));
}

void addCentreFlare(const Matrix3& view, const Vec3& eye, const Vec3& centre) {
  CubeScene.centreView = toView(view, centre.x - eye.x, centre.y - eye.y, centre.z - eye.z);
  addDrawItem(kDrawCentreFlare, 0, nearest(CubeScene.centreView.z));
}

void addBurstFlares(const Matrix3& view, const Vec3& eye, int32_t burstRadius) {
  for (int i = 0; i < 6; ++i)
    CubeScene.burstView[i] = toView(view, static_cast<float>(AxisDirections[i][0] * burstRadius) - eye.x,
                                    (static_cast<float>(AxisDirections[i][1] * burstRadius) + kCentreHeight) - eye.y,
                                    static_cast<float>(AxisDirections[i][2] * burstRadius) - eye.z);
  for (int i = 0; i < 6; ++i) addDrawItem(kDrawBurstFlare, i, nearest(CubeScene.burstView[i].z));
}

// Stable LSD radix sort on the 16-bit depth, low byte then high byte.
// Afterwards sortedKeys is in ascending (unsigned) depth, equal depths in the
// order they were added; drawKeys holds the order after the first pass.
void sortDrawKeys() {
  const int32_t n = CubeScene.drawCount;
  for (int shift = 0; shift <= 8; shift += 8) {
    if (shift == 8)
      for (int32_t i = 0; i < n; ++i) CubeScene.drawKeys[i] = CubeScene.sortedKeys[i];
    int32_t counts[256] = {};
    for (int32_t i = 0; i < n; ++i) ++counts[(CubeScene.drawKeys[i] >> shift) & 0xFFu];
    int32_t sum = 0;
    for (int b = 0; b < 256; ++b) {
      const int32_t c = counts[b];
      counts[b] = sum;
      sum += c;
    }
    for (int32_t i = 0; i < n; ++i) {
      const DrawKey key = CubeScene.drawKeys[i];
      CubeScene.sortedKeys[counts[(key >> shift) & 0xFFu]++] = key;
    }
  }
}

void drawItems(uint8_t* target, const Vec3& light) {
  for (int32_t j = CubeScene.drawCount - 1; j >= 0; --j) {
    const uint32_t e = CubeScene.sortedKeys[j] >> 16;
    const DrawItem item = CubeScene.items[e];
    switch (item.kind) {
      case kDrawFace: drawFaceItem(item.parameter, target, light); break;
      case kDrawFarFlare: drawFlareItem(CubeScene.farView[item.parameter], 512.0f, target); break;
      case kDrawRayDot: drawRayDotItem(item.parameter, target); break;
      case kDrawCentreFlare: drawFlareItem(CubeScene.centreView, 512.0f, target); break;
      case kDrawBurstFlare: drawFlareItem(CubeScene.burstView[item.parameter], 220.0f, target); break;
      default: break;
    }
  }
}

// d = n . L; v = round(127 d + 128) in 1..255; brightness v >> 1.
uint32_t shadeFace(const Vec3& n, const Vec3& light) {
  const double d = static_cast<double>(n.x) * light.x +
                   (static_cast<double>(n.y) * light.y + static_cast<double>(n.z) * light.z);
  const int32_t v = static_cast<int32_t>(nearestBounded(static_cast<float>(d) * 127.0 + 128.0));
  const uint32_t h = static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)) >> 1;
  return h | (h << 8);
}

// cube_scene.h — what the frame cube orbit draws over its background: six
// square frames, 300 ray dots, six far blobs, the centre blob and the burst
// blobs, listed with depth keys, radix-sorted and drawn far to near.
//
// Start-up (initFrameCube): CubeScene = CubeSceneState{}, then
//   convertCubeVertices, buildFaceNormals, buildRayPoints.
// Per frame (renderFrameCube): drawCount = 0; addCubeFaces, addRayDots,
//   addFarFlares, addCentreFlare, addBurstFlares (while a burst runs);
//   sortDrawKeys if anything was added; drawItems.
// Camera space is view x (world point - eye); projection: focal length 256,
// centre (160, 100).
#pragma once
#include <cstdint>

#include "kit/vector_math.h"

constexpr int kCubeVertexCount = 96;
constexpr int kCubeFaceCount = 192;
constexpr int kRayDotCount = 300;
constexpr int kDrawSlots = 2000;

enum DrawKind : int32_t {
  kDrawNothing = 0,
  kDrawFace = 1,
  kDrawFarFlare = 2,
  kDrawRayDot = 3,
  kDrawCentreFlare = 4,
  kDrawBurstFlare = 5,
};

struct ScreenVertex {
  bool visible = false;  // false when the camera-space z rounds below 1
  float sx = 0.0f, sy = 0.0f;
};

struct DrawItem {
  int32_t kind = kDrawNothing;
  int32_t parameter = 0;
};

// Low 16 bits: depth (read as unsigned); high 16 bits: entry number.
using DrawKey = uint32_t;

struct CubeSceneState {
  // Built once at start-up.
  Vec3 vertices[kCubeVertexCount] = {};
  int32_t faces[kCubeFaceCount][3] = {};
  Vec3 normals[kCubeFaceCount] = {};
  Vec3 rayPoints[kRayDotCount] = {};
  // Rebuilt every frame.
  Vec3 viewVertices[kCubeVertexCount] = {};
  ScreenVertex screenVertices[kCubeVertexCount];
  Vec3 rayView[kRayDotCount] = {};
  Vec3 farView[6] = {};
  Vec3 centreView = {};
  Vec3 burstView[6] = {};
  DrawKey drawKeys[kDrawSlots] = {};
  DrawKey sortedKeys[kDrawSlots] = {};
  DrawItem items[kDrawSlots];
  int32_t drawCount = 0;
};

extern CubeSceneState CubeScene;

extern const int32_t AxisDirections[6][3];   // +x, -x, +y, -y, +z, -z

// Builds the integer vertex and face tables and converts the vertices to float.
void convertCubeVertices();
void buildFaceNormals();
void buildRayPoints();

void addDrawItem(int32_t kind, int32_t parameter, int32_t depth);
void addCubeFaces(const Matrix3& view, const Vec3& eye);
void addRayDots(const Matrix3& view, const Vec3& eye, int32_t rayPulse);
void addFarFlares(const Matrix3& view, const Vec3& eye);
void addCentreFlare(const Matrix3& view, const Vec3& eye, const Vec3& centre);
void addBurstFlares(const Matrix3& view, const Vec3& eye, int32_t burstRadius);
void sortDrawKeys();
// Draws the sorted list from the largest depth down; faces are shaded by
// their normal against `light`.
void drawItems(uint8_t* target, const Vec3& light);

// Flat cyan of brightness 0..127 (blue = green, red 0) for a unit normal.
uint32_t shadeFace(const Vec3& normal, const Vec3& light);
// Winding products of addCubeFaces for three screen points, rounded to
// 64-bit integers; the face is front-facing when p > q.
void windingProducts(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                     int64_t& p, int64_t& q);

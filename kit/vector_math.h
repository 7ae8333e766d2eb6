// vector_math.h — small float vector and camera routines for the 3-D effects.
//
// Vec3 and Matrix3 are packed 32-bit floats (arrays of Vec3 have a 12-byte
// stride); Matrix3 is row-major. CameraSpec: eye, target, roll, two spares.
// Called per frame by the tunnel and the frame cube (camera matrices, points).
#pragma once

struct Vec3 {
  float x, y, z;
};

struct Matrix3 {
  float m[9];  // m[0..2] first row, m[3..5] second, m[6..8] third
};

struct CameraSpec {
  Vec3 eye;
  Vec3 target;
  float roll;
  float spare[2];
};

static_assert(sizeof(Vec3) == 12, "Vec3 is three packed floats");
static_assert(sizeof(Matrix3) == 36, "Matrix3 is nine packed floats");
static_assert(sizeof(CameraSpec) == 36, "CameraSpec is nine packed floats");

// Transforms count points in place: p' = matrix * p + translation. The matrix
// and translation are read once, before the first point is written.
void transformPoints(Vec3* points, int count, const Matrix3& matrix, const Vec3& translation);

// Rows of out: the camera's right, up and forward axes.
void buildLookAtMatrix(const CameraSpec& camera, Matrix3& out);

// out = a x b; out must not overlap a or b.
void crossProduct(const Vec3& a, const Vec3& b, Vec3& out);

// out = in / |in|; in and out may be the same vector. A zero vector gives a
// zero vector (a defined result instead of NaNs).
void normaliseVector(const Vec3& in, Vec3& out);

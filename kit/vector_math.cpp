// vector_math.cpp — point transforms and the look-at camera for the 3-D effects.
//
// Everything is computed and stored in 32-bit floats.
#include "kit/vector_math.h"

#include <cmath>

#include "kit/trig.h"

void transformPoints(Vec3* points, int count, const Matrix3& matrix, const Vec3& translation) {
  // Copies first: the matrix or translation may live inside the points array.
  const Matrix3 m = matrix;
  const Vec3 t = translation;
  for (int i = 0; i < count; ++i) {
    const Vec3 p = points[i];
    points[i].x = m.m[0] * p.x + m.m[1] * p.y + m.m[2] * p.z + t.x;
    points[i].y = m.m[3] * p.x + m.m[4] * p.y + m.m[5] * p.z + t.y;
    points[i].z = m.m[6] * p.x + m.m[7] * p.y + m.m[8] * p.z + t.z;
  }
}

void crossProduct(const Vec3& a, const Vec3& b, Vec3& out) {
  // Computed into a temporary, so even an overlapping out gets the right result.
  const Vec3 r{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  out = r;
}

void normaliseVector(const Vec3& in, Vec3& out) {
  const float length = std::sqrt(in.x * in.x + in.y * in.y + in.z * in.z);
  if (!(length > 0.0f)) {  // zero (or NaN) length: a zero vector, not NaNs
    out = Vec3{0.0f, 0.0f, 0.0f};
    return;
  }
  const Vec3 r{in.x / length, in.y / length, in.z / length};
  out = r;
}

void buildLookAtMatrix(const CameraSpec& camera, Matrix3& out) {
  const Vec3 initialUp{trigSin(camera.roll), -trigCos(camera.roll), 0.0f};
  Vec3 forward{camera.target.x - camera.eye.x, camera.target.y - camera.eye.y,
               camera.target.z - camera.eye.z};
  normaliseVector(forward, forward);
  Vec3 right, up;
  crossProduct(initialUp, forward, right);
  normaliseVector(right, right);
  crossProduct(right, forward, up);
  normaliseVector(up, up);
  out = Matrix3{{right.x, right.y, right.z, up.x, up.y, up.z, forward.x, forward.y, forward.z}};
}

// Vector and camera math: transforms, cross product, normalisation and the
// look-at matrix, including the degenerate inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "kit/numbers.h"
#include "kit/vector_math.h"

namespace {

void expectRows(const Matrix3& m, const float (&rows)[9], float tolerance) {
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(m.m[i], rows[i], tolerance) << "element " << i;
}

float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TEST(LookAtMatrix, KnownCameras) {
  struct Case {
    Vec3 eye, target;
    float roll;
    float rows[9];
  };
  const Case cases[] = {
      // Right axis towards world -x: the picture is mirrored left to right.
      {{0, 0, 0}, {0, 0, 1}, 0.0f, {-1, 0, 0, 0, 1, 0, 0, 0, 1}},
      {{0, 0, 0}, {0, 0, 1}, kPi / 2, {0, -1, 0, -1, 0, 0, 0, 0, 1}},
      // Any distance along the same line of sight gives the same matrix.
      {{1, 2, 3}, {1, 2, 103}, 0.0f, {-1, 0, 0, 0, 1, 0, 0, 0, 1}},
      // Looking down world -z from above.
      {{0, 0, 5}, {0, 0, -5}, 0.0f, {1, 0, 0, 0, 1, 0, 0, 0, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "roll " << c.roll << " target z " << c.target.z);
    Matrix3 m;
    buildLookAtMatrix(CameraSpec{c.eye, c.target, c.roll, {123.0f, 456.0f}}, m);
    expectRows(m, c.rows, 1e-6f);
  }
}

TEST(LookAtMatrix, RowsAreOrthonormalAndForwardFacesTarget) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f), angle(-kPi, kPi);
  for (int n = 0; n < 200; ++n) {
    const CameraSpec camera{{coordinate(rng), coordinate(rng), coordinate(rng)},
                            {coordinate(rng), coordinate(rng), coordinate(rng)},
                            angle(rng),
                            {0, 0}};
    Matrix3 m, far;
    buildLookAtMatrix(camera, m);
    const Vec3 r{m.m[0], m.m[1], m.m[2]}, u{m.m[3], m.m[4], m.m[5]}, f{m.m[6], m.m[7], m.m[8]};
    EXPECT_NEAR(dot(r, r), 1.0f, 1e-5f);
    EXPECT_NEAR(dot(u, u), 1.0f, 1e-5f);
    EXPECT_NEAR(dot(f, f), 1.0f, 1e-5f);
    EXPECT_NEAR(dot(r, u), 0.0f, 1e-5f);
    EXPECT_NEAR(dot(r, f), 0.0f, 1e-5f);
    EXPECT_NEAR(dot(u, f), 0.0f, 1e-5f);
    // The target seen through the matrix lies straight ahead.
    Vec3 seen{camera.target.x - camera.eye.x, camera.target.y - camera.eye.y,
              camera.target.z - camera.eye.z};
    const float distance = std::sqrt(dot(seen, seen));
    transformPoints(&seen, 1, m, Vec3{0, 0, 0});
    EXPECT_NEAR(seen.x, 0.0f, 1e-4f);
    EXPECT_NEAR(seen.y, 0.0f, 1e-4f);
    EXPECT_NEAR(seen.z, distance, 1e-4f * distance);
    // Twice as far along the same direction: the same matrix.
    CameraSpec further = camera;
    further.target = Vec3{2 * camera.target.x - camera.eye.x, 2 * camera.target.y - camera.eye.y,
                          2 * camera.target.z - camera.eye.z};
    buildLookAtMatrix(further, far);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(far.m[i], m.m[i], 1e-5f);
  }
}

// Calls outside the contract give a defined, finite result.
TEST(LookAtMatrix, DegenerateCamerasGiveZeroAxesNotNaNs) {
  Matrix3 m;
  buildLookAtMatrix(CameraSpec{{1, 2, 3}, {1, 2, 3}, 0.3f, {0, 0}}, m);   // eye = target
  for (float v : m.m) EXPECT_EQ(v, 0.0f);
  buildLookAtMatrix(CameraSpec{{0, 0, 0}, {0, 7, 0}, 0.0f, {0, 0}}, m);   // forward along up
  for (float v : m.m) EXPECT_FALSE(std::isnan(v));
  EXPECT_FLOAT_EQ(m.m[7], 1.0f);
}

TEST(VectorMath, CrossProductAndNormalise) {
  Vec3 out;
  crossProduct(Vec3{1, 0, 0}, Vec3{0, 1, 0}, out);
  EXPECT_EQ(out.x, 0.0f);
  EXPECT_EQ(out.y, 0.0f);
  EXPECT_EQ(out.z, 1.0f);
  crossProduct(Vec3{2, 3, 4}, Vec3{5, 6, 7}, out);
  EXPECT_EQ(out.x, -3.0f);
  EXPECT_EQ(out.y, 6.0f);
  EXPECT_EQ(out.z, -3.0f);

  Vec3 v{3, 4, 0};
  normaliseVector(v, v);   // in place
  EXPECT_FLOAT_EQ(v.x, 0.6f);
  EXPECT_FLOAT_EQ(v.y, 0.8f);
  EXPECT_EQ(v.z, 0.0f);
  Vec3 zero{0, 0, 0};
  normaliseVector(zero, out);
  EXPECT_EQ(out.x, 0.0f);
  EXPECT_EQ(out.y, 0.0f);
  EXPECT_EQ(out.z, 0.0f);
}

TEST(TransformPoints, AppliesMatrixThenTranslation) {
  Vec3 points[4] = {{1, 2, 3}, {-4, 5, 0.5f}, {0, 0, 0}, {9, 9, 9}};
  const Vec3 original[4] = {points[0], points[1], points[2], points[3]};
  transformPoints(points, 3, Matrix3{{1, 0, 0, 0, 1, 0, 0, 0, 1}}, Vec3{0, 0, 0});
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(points[i].x, original[i].x);
    EXPECT_EQ(points[i].y, original[i].y);
    EXPECT_EQ(points[i].z, original[i].z);
  }
  // A quarter turn about z plus a shift; count 1 leaves the next point alone.
  transformPoints(points, 1, Matrix3{{0, -1, 0, 1, 0, 0, 0, 0, 2}}, Vec3{10, 20, 30});
  EXPECT_EQ(points[0].x, 8.0f);
  EXPECT_EQ(points[0].y, 21.0f);
  EXPECT_EQ(points[0].z, 36.0f);
  EXPECT_EQ(points[1].x, -4.0f);
  // The translation may be one of the points: it is read before any write.
  transformPoints(points, 2, Matrix3{{2, 0, 0, 0, 2, 0, 0, 0, 2}}, points[0]);
  EXPECT_EQ(points[0].x, 24.0f);
  EXPECT_EQ(points[1].x, 0.0f);
  EXPECT_EQ(points[1].y, 31.0f);
  EXPECT_EQ(points[1].z, 37.0f);
}

}  // namespace

// The frame cube's scene tables, culling, draw list sort and drawing order.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/frame_cube/cube_scene.h"
#include "tests/effects/effect_fixture.h"

namespace {

class CubeSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartKit();
    CubeScene = {};
    convertCubeVertices();
    buildFaceNormals();
    buildRayPoints();
  }
};

TEST_F(CubeSceneTest, VerticesFacesAndNormals) {
  struct VertexCase {
    int n;
    float x, y, z;
  };
  const VertexCase vertices[] = {
      {0, -512, 512, -600}, {13, 412, 412, -700}, {33, 512, -600, 512}, {95, 700, 412, -412}};
  for (const VertexCase& v : vertices) {
    EXPECT_EQ(CubeScene.vertices[v.n].x, v.x) << v.n;
    EXPECT_EQ(CubeScene.vertices[v.n].y, v.y) << v.n;
    EXPECT_EQ(CubeScene.vertices[v.n].z, v.z) << v.n;
  }
  // Frame 0 uses the pattern as it stands, frame 1 its mirror, frame 3 again the pattern.
  const int32_t face0[3] = {0, 1, 4}, face32[3] = {16, 20, 17}, face127[3] = {54, 52, 60};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(CubeScene.faces[0][k], face0[k]);
    EXPECT_EQ(CubeScene.faces[32][k], face32[k]);
    EXPECT_EQ(CubeScene.faces[127][k], face127[k]);
  }
  // n = (A - C) x (A - B): the near faces of frames 0 and 1 face the centre.
  EXPECT_EQ(CubeScene.normals[0].z, 1.0f);
  EXPECT_EQ(CubeScene.normals[32].z, -1.0f);
  for (const Vec3& n : CubeScene.normals)
    EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0f, 1e-6f);
  // Rays: dot 1 of ray 3 (-y) lies 101 units below the centre.
  EXPECT_EQ(CubeScene.rayPoints[151].y, 1024.0f - 101.0f);
  EXPECT_EQ(CubeScene.rayPoints[299].z, -4901.0f);
}

// Keys sort by the unsigned 16-bit depth, so a negative depth sorts as far;
// equal depths keep the order they were added in, across both byte passes.
TEST_F(CubeSceneTest, SortIsStableAndNegativeDepthsSortFar) {
  const int32_t depths[] = {5, -1, 256, 5, 0, 1, 300, 256, 255, -300};
  CubeScene.drawCount = 0;
  for (int32_t d : depths) addDrawItem(kDrawRayDot, 0, d);
  sortDrawKeys();
  const uint32_t order[] = {4, 5, 0, 3, 8, 2, 7, 6, 9, 1};
  for (int j = 0; j < 10; ++j) EXPECT_EQ(CubeScene.sortedKeys[j] >> 16, order[j]) << j;
  EXPECT_EQ(CubeScene.sortedKeys[9] & 0xFFFF, 0xFFFFu);
  EXPECT_EQ(CubeScene.sortedKeys[8] & 0xFFFF, 0x10000u - 300);
}

// Winding products of a face far off screen pass 2^31 and must still compare
// exactly: p = 3.3e9 against q = 2.5e9 is front-facing.
TEST_F(CubeSceneTest, WindingProductsBeyondThirtyTwoBits) {
  const ScreenVertex a = {1, 0, 0}, b = {1, -50000, -60000}, c = {1, -55000, -50000};
  int64_t p = 0, q = 0;
  windingProducts(a, b, c, p, q);
  EXPECT_EQ(p, 3300000000LL);
  EXPECT_EQ(q, 2500000000LL);
  windingProducts(a, c, b, p, q);   // the other winding
  EXPECT_EQ(p, 2500000000LL);
  EXPECT_EQ(q, 3300000000LL);
}

// A camera just outside frame 4's far face: its vertices project hundreds of
// thousands of pixels off screen. Listing must agree with exact arithmetic.
TEST_F(CubeSceneTest, CloseCameraListsFacesByExactWinding) {
  const Matrix3 view = {{0, 0, -1, 0, 1, 0, 1, 0, 0}};   // looking along +x
  const Vec3 eye = {-701, 1024 + 300, 3};
  CubeScene.drawCount = 0;
  addCubeFaces(view, eye);
  bool beyond = false;
  int listed = 0;
  for (int face = 0; face < kCubeFaceCount; ++face) {
    const int32_t* f = CubeScene.faces[face];
    const ScreenVertex& a = CubeScene.screenVertices[f[0]];
    const ScreenVertex& b = CubeScene.screenVertices[f[1]];
    const ScreenVertex& c = CubeScene.screenVertices[f[2]];
    const long double p = ((long double)a.sy - b.sy) * ((long double)a.sx - c.sx);
    const long double q = ((long double)a.sx - b.sx) * ((long double)a.sy - c.sy);
    beyond |= std::fabs((double)p) > 2147483648.0 || std::fabs((double)q) > 2147483648.0;
    listed += std::llrint((double)p) > std::llrint((double)q);
  }
  EXPECT_TRUE(beyond);
  EXPECT_EQ(listed, CubeScene.drawCount);
}

Vec3 normalTo(float x, float y, float z) { return {x, y, z}; }

TEST_F(CubeSceneTest, ShadeFaceAgainstTheLight) {
  const Vec3 light = {0, 1, 0};
  const struct {
    Vec3 normal;
    uint32_t colour;
  } cases[] = {
      {normalTo(0, 1, 0), 127u | (127u << 8)},   // d = 1, v = 255
      {normalTo(1, 0, 0), 64u | (64u << 8)},     // d = 0, v = 128
      {normalTo(0, -1, 0), 0u},                  // d = -1, v = 1
  };
  for (const auto& c : cases) EXPECT_EQ(shadeFace(c.normal, light), c.colour);
}

// Two faces over the same pixels at the same depth: the later-added one is
// drawn first, so the earlier one shows. A face with one vertex behind the
// camera draws nothing.
class FaceDrawTest : public CubeSceneTest {
 protected:
  void placeFace(int face) {
    const int32_t* f = CubeScene.faces[face];
    CubeScene.screenVertices[f[0]] = {1, 100, 50};
    CubeScene.screenVertices[f[1]] = {1, 200, 60};
    CubeScene.screenVertices[f[2]] = {1, 150, 150};
  }
};

TEST_F(FaceDrawTest, LaterAddedEqualDepthDrawsFirst) {
  // Face 0's normal is +z, face 32's -z: lit and unlit under light +z.
  const Vec3 light = {0, 0, 1};
  placeFace(0);
  placeFace(32);
  for (int order = 0; order < 2; ++order) {
    const int first = order == 0 ? 0 : 32, second = order == 0 ? 32 : 0;
    FrameTarget t;
    t.fillBytes(0x55);
    CubeScene.drawCount = 0;
    addDrawItem(kDrawFace, first, 700);
    addDrawItem(kDrawFace, second, 700);
    sortDrawKeys();
    drawItems(t.area(), light);
    const uint8_t* p = t.pixel(150, 90);
    EXPECT_EQ(p[0], shadeFace(CubeScene.normals[first], light) & 0xFF) << "first added " << first;
    EXPECT_TRUE(t.guardsIntact());
  }
}

TEST_F(FaceDrawTest, FaceWithAVertexBehindTheCameraIsDroppedWhole) {
  const Vec3 light = {0, 0, 1};
  placeFace(0);
  CubeScene.screenVertices[CubeScene.faces[0][2]] = {0, 0, 0};
  FrameTarget t;
  CubeScene.drawCount = 0;
  addDrawItem(kDrawFace, 0, 10);
  sortDrawKeys();
  drawItems(t.area(), light);
  for (std::size_t i = 0; i < kAreaBytes; ++i) ASSERT_EQ(t.area()[i], 0);
}

// Through the producer: a camera inside the cube near frame 0 sees some of
// its vertices behind it; no face using such a vertex reaches the picture.
TEST_F(CubeSceneTest, VerticesBehindTheCameraAreMarkedInvisible) {
  const Matrix3 view = {{-1, 0, 0, 0, 1, 0, 0, 0, 1}};   // looking along +z
  const Vec3 eye = {0, 1024, -650};                        // between frame 0's layers
  CubeScene.drawCount = 0;
  addCubeFaces(view, eye);
  int hidden = 0;
  for (int i = 0; i < kCubeVertexCount; ++i) {
    const bool behind = std::lrintf(CubeScene.viewVertices[i].z) < 1;
    EXPECT_EQ(CubeScene.screenVertices[i].visible, behind ? 0 : 1) << i;
    hidden += behind;
  }
  EXPECT_EQ(hidden, 8);   // frame 0's layer 1
  FrameTarget t;
  sortDrawKeys();
  drawItems(t.area(), Vec3{0, 0, 1});
  EXPECT_TRUE(t.guardsIntact());
}

}  // namespace

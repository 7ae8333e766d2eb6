// Texture grid renderer: tables, texel addressing, the cell's two triangles,
// shading, the untouched border and fourth byte, and wrapped coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "kit/texture_grid.h"
#include "tests/support/frame_target.h"

namespace {

constexpr float kTexel = 65536.0f;
constexpr int kVertices = kGridRows * kGridColumns;

struct Grid {
  TexCoord coords[kVertices];
  int32_t shades[kVertices];
  Grid(float row = 0, float column = 0, int32_t shade = 255) {
    for (int v = 0; v < kVertices; ++v) {
      coords[v] = TexCoord{row, column};
      shades[v] = shade;
    }
  }
  TexCoord& at(int i, int j) { return coords[j * kGridColumns + i]; }
  int32_t& shadeAt(int i, int j) { return shades[j * kGridColumns + i]; }
};

// Tables that make the drawn pixel show which texel was read: texture entry
// (row, column) holds `row` or `column`; palette entry n is red n, green
// 255 - n, blue n ^ 0x55; the shade table passes colours through unchanged.
struct ProbeTables {
  std::vector<uint8_t> texture = std::vector<uint8_t>(256 * 256);
  std::vector<uint8_t> palette = std::vector<uint8_t>(256 * 4);
  std::vector<uint8_t> identity = std::vector<uint8_t>(256 * 256);
  explicit ProbeTables(bool byRow) {
    for (int r = 0; r < 256; ++r)
      for (int c = 0; c < 256; ++c) {
        texture[r * 256 + c] = static_cast<uint8_t>(byRow ? r : c);
        identity[r * 256 + c] = static_cast<uint8_t>(c);
      }
    for (int n = 0; n < 256; ++n) {
      palette[n * 4 + 0] = static_cast<uint8_t>(n);
      palette[n * 4 + 1] = static_cast<uint8_t>(255 - n);
      palette[n * 4 + 2] = static_cast<uint8_t>(n ^ 0x55);
      palette[n * 4 + 3] = 0;
    }
  }
  void render(FrameTarget& t, const Grid& g) const {
    renderTextureGrid(t.area(), g.coords, g.shades, texture.data(), palette.data(), identity.data());
  }
};

// Texel number read for a pixel drawn with ProbeTables; also checks the
// channel order (blue, green, red in bytes 0, 1, 2).
int probe(FrameTarget& t, int x, int y) {
  const uint8_t* p = t.pixel(x, y);
  EXPECT_EQ(p[1], 255 - p[2]) << "at " << x << "," << y;
  EXPECT_EQ(p[0], p[2] ^ 0x55) << "at " << x << "," << y;
  return p[2];
}

void expectBorderAndFourthBytesUntouched(const FrameTarget& t) {
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x) {
      const bool inside = x >= 4 && x < 316 && y >= 4 && y < 196;
      if (!inside) {
        ASSERT_TRUE(t.unchanged(x, y)) << "border pixel " << x << "," << y;
      } else {
        ASSERT_EQ(t.pixel(x, y)[3], t.was(x, y)[3]) << "fourth byte " << x << "," << y;
      }
    }
  ASSERT_TRUE(t.guardsIntact());
}

// The renderer's arithmetic written out per pixel with 64-bit products:
// nearest-even conversions kept to their low 32 bits, arithmetic >> 3.
void referenceRender(uint8_t* target, const Grid& g, const uint8_t* texture,
                     const uint8_t* palette, const uint8_t* shadeTable) {
  auto fixed = [](float f) { return static_cast<int64_t>(std::llrint(static_cast<double>(f))); };
  auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };
  auto step = [&](float diff) { return static_cast<int64_t>(wrap(fixed(diff)) >> 3); };
  auto shadeStep = [](int32_t d) { return static_cast<int64_t>((d * 65536) >> 3); };
  for (int j = 0; j < kGridRows - 1; ++j)
    for (int i = 0; i < kGridColumns - 1; ++i) {
      const int tl = j * kGridColumns + i, tr = tl + 1, bl = tl + kGridColumns, br = bl + 1;
      const TexCoord* c = g.coords;
      const int32_t* s = g.shades;
      for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 8; ++x) {
          int64_t a, b, sh;
          if (x < r) {  // lower-left triangle: rows along TL-BL, pixels along BL-BR
            a = fixed(c[tl].row) + r * step(c[bl].row - c[tl].row) + x * step(c[br].row - c[bl].row);
            b = fixed(c[tl].column) + r * step(c[bl].column - c[tl].column) +
                x * step(c[br].column - c[bl].column);
            sh = int64_t{s[tl]} * 65536 + r * shadeStep(s[bl] - s[tl]) + x * shadeStep(s[br] - s[bl]);
          } else {  // upper-right: rows along the diagonal, pixels along TL-TR
            a = fixed(c[tl].row) + r * step(c[br].row - c[tl].row) +
                (x - r) * step(c[tr].row - c[tl].row);
            b = fixed(c[tl].column) + r * step(c[br].column - c[tl].column) +
                (x - r) * step(c[tr].column - c[tl].column);
            sh = int64_t{s[tl]} * 65536 + r * shadeStep(s[br] - s[tl]) + (x - r) * shadeStep(s[tr] - s[tl]);
          }
          const int texel = texture[((wrap(a) >> 16) & 255) * 256 + ((wrap(b) >> 16) & 255)];
          const int k = wrap(sh) >> 16;
          uint8_t* p = target + (4 + 8 * j + r) * kFrameRowBytes + (4 + 8 * i + x) * 4;
          p[2] = shadeTable[k * 256 + palette[texel * 4 + 0]];
          p[1] = shadeTable[k * 256 + palette[texel * 4 + 1]];
          p[0] = shadeTable[k * 256 + palette[texel * 4 + 2]];
        }
    }
}

TEST(TextureGridTables, BuildFromDataFiles) {
  std::vector<uint8_t> picture(64 * 64);
  for (int i = 0; i < 64 * 64; ++i) picture[i] = static_cast<uint8_t>(i * 7);
  buildGridTexture(picture.data());
  for (int y : {0, 3, 4, 131, 255})
    for (int x : {0, 3, 4, 200, 255})
      EXPECT_EQ(GridTexture[y * 256 + x], picture[(y / 4) * 64 + x / 4]) << x << "," << y;

  std::vector<uint8_t> pal(768);
  pal[0] = 63, pal[1] = 1, pal[2] = 0;        // entry 0: 6-bit components
  pal[3 * 9 + 0] = 0x50;                       // out of range: low 8 bits of x4
  buildGridPalette(pal.data());
  EXPECT_EQ(GridPalette[0], 252);
  EXPECT_EQ(GridPalette[1], 4);
  EXPECT_EQ(GridPalette[2], 0);
  EXPECT_EQ(GridPalette[3], 0);
  EXPECT_EQ(GridPalette[9 * 4], 0x40);

  buildShadeTable();
  EXPECT_EQ(ShadeTable[255 * 256 + 252], 251);
  EXPECT_EQ(ShadeTable[128 * 256 + 200], 100);
  EXPECT_EQ(ShadeTable[0 * 256 + 255], 0);
  EXPECT_EQ(ShadeTable[255 * 256 + 255], 254);
}

// Same coordinates at every vertex: every cell is one texel colour, darkened by
// the shade; the border and the fourth bytes stay as they were.
TEST(TextureGrid, FlatGridDrawsOneShadedColour) {
  std::vector<uint8_t> picture(64 * 64, 9);
  std::vector<uint8_t> pal(768, 0);
  pal[27] = 63, pal[28] = 32, pal[29] = 1;   // entry 9: 252, 128, 4
  buildGridTexture(picture.data());
  buildGridPalette(pal.data());
  buildShadeTable();

  struct Case {
    int32_t shade;
    uint8_t red, green, blue;
  };
  // Shades outside 0..255 are held to that range instead of reading outside
  // ShadeTable.
  const Case cases[] = {{255, 251, 127, 3}, {128, 126, 64, 2}, {0, 0, 0, 0}, {300, 251, 127, 3}, {-5, 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shade);
    FrameTarget t(FrameTarget::kMarked);
    Grid g(37.25f * kTexel, -3.5f * kTexel, c.shade);
    renderTextureGrid(t.area(), g.coords, g.shades, GridTexture, GridPalette, ShadeTable);
    for (int y = 4; y < 196; ++y)
      for (int x = 4; x < 316; ++x) {
        const uint8_t* p = t.pixel(x, y);
        ASSERT_EQ(p[2], c.red) << x << "," << y;
        ASSERT_EQ(p[1], c.green) << x << "," << y;
        ASSERT_EQ(p[0], c.blue) << x << "," << y;
      }
    expectBorderAndFourthBytesUntouched(t);
  }
}

// Coordinates round to the nearest 1/65536 texel with ties to even, and the
// texel index is taken modulo 256 in both directions.
TEST(TextureGrid, TexelAddressRoundsToEvenAndWraps) {
  struct Case {
    float coordinate;
    int texel;
  };
  const Case cases[] = {
      {-0.5f, 0},                     // tie goes to 0, not -1 (row 255)
      {65535.5f, 1},                  // tie goes to 65536, not truncated to 65535
      {65534.5f, 0},                  // tie goes to 65534
      {-1.0f, 255},                   // just below zero is the last texel
      {-kTexel, 255},                 // texel -1 is texel 255
      {259.0f * kTexel + 7.0f, 3},    // beyond 256 repeats
      {-295.0f * kTexel, 217},        // -295 mod 256
      {16383.0f * kTexel, 255},       // the contract's limit
  };
  for (bool byRow : {true, false}) {
    const ProbeTables tables(byRow);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << (byRow ? "row " : "column ") << c.coordinate);
      FrameTarget t(FrameTarget::kMarked);
      Grid g(byRow ? c.coordinate : 0.0f, byRow ? 0.0f : c.coordinate);
      tables.render(t, g);
      EXPECT_EQ(probe(t, 4, 4), c.texel);
      EXPECT_EQ(probe(t, 200, 150), c.texel);
    }
  }
}

// Moving only the bottom-left corner of a cell changes exactly the pixels
// strictly below its diagonal (28 of 64), linearly in texture and in shade.
TEST(TextureGrid, BottomLeftCornerOnlyReachesPixelsBelowDiagonal) {
  const ProbeTables tables(true);
  FrameTarget t(FrameTarget::kMarked);
  Grid g(0.0f, 0.0f, 0);
  g.at(0, 1).row = 128.0f * kTexel;   // cell (0,0)'s bottom-left corner
  g.shadeAt(0, 1) = 255;
  tables.render(t, g);
  int changed = 0;
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      SCOPED_TRACE(testing::Message() << "pixel " << x << "," << r);
      EXPECT_EQ(probe(t, 4 + x, 4 + r), x < r ? 16 * (r - x) : 0);
      changed += x < r ? 1 : 0;
    }
  EXPECT_EQ(changed, 28);
  // The same picture with a real shade table shows the shade ramp: the shade
  // step is exact, so row r, pixel x has shade floor(255 (r - x) / 8).
  std::vector<uint8_t> white(256 * 4, 252);
  FrameTarget shaded(FrameTarget::kMarked);
  buildShadeTable();
  renderTextureGrid(shaded.area(), g.coords, g.shades, tables.texture.data(), white.data(), ShadeTable);
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      const int k = x < r ? (255 * (r - x)) / 8 : 0;
      EXPECT_EQ(shaded.pixel(4 + x, 4 + r)[0], (k * 252) >> 8) << x << "," << r;
    }
  // The next cell to the right shares no moved corner and stays flat.
  for (int r = 0; r < 8; ++r)
    for (int x = 8; x < 16; ++x) EXPECT_EQ(probe(t, 4 + x, 4 + r), 0);

  // The diagonal itself belongs to the upper-right triangle. Here the two
  // triangles round their steps differently (7 >> 3 = 0 below, 14 >> 3 = 1
  // along the diagonal), so a diagonal pixel shows which one drew it: from
  // row 4 on the upper triangle crosses into texel row 1.
  FrameTarget d(FrameTarget::kMarked);
  Grid g2(65532.0f, 0.0f);
  g2.at(0, 1).row = 65539.0f;
  g2.at(1, 1).row = 65546.0f;
  tables.render(d, g2);
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(probe(d, 4 + x, 4 + r), (x >= r && r >= 4) ? 1 : 0) << x << "," << r;
}

// Steps are shifted arithmetically: a difference of -1/65536 texel over the
// cell steps by -1 per pixel, so the texel changes half-way along the row.
TEST(TextureGrid, NegativeStepsShiftArithmetically) {
  const ProbeTables tables(true);
  FrameTarget t(FrameTarget::kMarked);
  Grid g(65539.0f, 0.0f);
  for (int j = 0; j < kGridRows; ++j)
    for (int i = 0; i < kGridColumns; i += 2) g.at(i + 1, j).row = 65538.0f;
  tables.render(t, g);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(probe(t, 4 + x, 4), x < 4 ? 1 : 0) << x;
}

TEST(TextureGrid, MatchesPerPixelArithmeticOnRandomGrids) {
  std::mt19937 rng(7);
  std::vector<uint8_t> texture(256 * 256), palette(1024);
  for (auto& b : texture) b = static_cast<uint8_t>(rng());
  for (auto& b : palette) b = static_cast<uint8_t>(rng() % 253);
  buildShadeTable();
  const float ranges[] = {2.0f, 300.0f, 16383.0f};
  for (float range : ranges) {
    SCOPED_TRACE(range);
    std::uniform_real_distribution<float> coordinate(-range * kTexel, range * kTexel);
    std::uniform_int_distribution<int32_t> shade(0, 255);
    Grid g;
    for (int v = 0; v < kVertices; ++v) {
      g.coords[v] = TexCoord{coordinate(rng), coordinate(rng)};
      g.shades[v] = shade(rng);
    }
    FrameTarget drawn(FrameTarget::kMarked), expected(FrameTarget::kMarked);
    renderTextureGrid(drawn.area(), g.coords, g.shades, texture.data(), palette.data(), ShadeTable);
    referenceRender(expected.area(), g, texture.data(), palette.data(), ShadeTable);
    ASSERT_TRUE(drawn == expected);
  }
}

// The tunnel's vertices near the vanishing point reach coordinates far outside
// a 32-bit 16.16 value. Such a vertex wraps modulo 2^32 (65536 texels): the
// cells around it are drawn as from the wrapped coordinate, and nothing else
// changes.
TEST(TextureGrid, OutOfRangeVertexDrawsFromWrappedCoordinates) {
  const ProbeTables tables(true);
  const float farRow = 70000.0f * kTexel;             // exact in float
  const float wrappedRow = (70000.0f - 65536.0f) * kTexel;
  Grid far(10.0f * kTexel, 0.0f), wrapped(10.0f * kTexel, 0.0f);
  far.at(20, 12).row = farRow;
  far.at(20, 12).column = -100000.0f * kTexel;
  wrapped.at(20, 12).row = wrappedRow;
  wrapped.at(20, 12).column = (-100000.0f + 131072.0f) * kTexel;
  FrameTarget a(FrameTarget::kMarked), b(FrameTarget::kMarked);
  tables.render(a, far);
  tables.render(b, wrapped);
  ASSERT_TRUE(a == b);
  expectBorderAndFourthBytesUntouched(a);
  // Only the four cells around vertex (20, 12) differ from the flat texel 10.
  int away = 0;
  for (int y = 4; y < 196; ++y)
    for (int x = 4; x < 316; ++x) {
      const bool nearVertex = x >= 4 + 8 * 19 && x < 4 + 8 * 21 && y >= 4 + 8 * 11 && y < 4 + 8 * 13;
      if (!nearVertex) away += probe(a, x, y) == 10 ? 0 : 1;
    }
  EXPECT_EQ(away, 0);
}

}  // namespace

// texture_grid.cpp — the shared texture, palette and shade tables, and the
// renderer that maps the texture over a 40x25 grid of 8x8-pixel cells.
//
// Each cell is two affine triangles split along its top-left to bottom-right
// diagonal. Texture row/column and shade are stepped in 16.16 fixed point with
// 32-bit wrap-around; per pixel there is only table work: one texture read, one
// palette read and three ShadeTable reads.
#include "kit/texture_grid.h"

#include <cmath>
#include <cstring>

#include "kit/frame.h"
#include "kit/numbers.h"

uint8_t GridTexture[256 * 256];
uint8_t GridPalette[256 * 4];
uint8_t ShadeTable[256 * 256];

void buildGridTexture(const uint8_t* source) {
  // 4x4 replication of the 64x64 picture.
  for (int y = 0; y < 256; ++y) {
    const uint8_t* sourceRow = source + (y >> 2) * 64;
    uint8_t* row = GridTexture + y * 256;
    for (int x = 0; x < 256; ++x) row[x] = sourceRow[x >> 2];
  }
}

void buildGridPalette(const uint8_t* source) {
  // 6-bit components widened to 8 bits; the product keeps its low 8 bits.
  for (int n = 0; n < 256; ++n) {
    GridPalette[n * 4 + 0] = static_cast<uint8_t>(source[n * 3 + 0] << 2);
    GridPalette[n * 4 + 1] = static_cast<uint8_t>(source[n * 3 + 1] << 2);
    GridPalette[n * 4 + 2] = static_cast<uint8_t>(source[n * 3 + 2] << 2);
    GridPalette[n * 4 + 3] = 0;
  }
}

void buildShadeTable() {
  for (int k = 0; k < 256; ++k)
    for (int c = 0; c < 256; ++c) ShadeTable[k * 256 + c] = static_cast<uint8_t>((k * c) >> 8);
}

namespace {


// Float in 1/65536 texel to its nearest 16.16 integer, ties to even. Grid
// vertices near the tunnel's vanishing point reach far beyond the range of a
// 32-bit integer, where a direct float-to-int32 conversion is undefined. The
// value goes through 64 bits and keeps its low 32: the 16.16 value then wraps
// modulo 2^32, which keeps the texel index modulo 256 right because the
// texture repeats every 256 texels.
inline uint32_t nearestFixed(float value) {
  return static_cast<uint32_t>(static_cast<uint64_t>(nearest64(value)));
}

// Arithmetic shift right by 3 of a wrapped 32-bit value.
inline uint32_t eighth(uint32_t value) {
  return static_cast<uint32_t>(static_cast<int32_t>(value) >> 3);
}

// Shade difference in 16.16, divided by 8 (exact: the difference times 8192).
inline uint32_t shadeStep(int32_t from, int32_t to) {
  return eighth((static_cast<uint32_t>(to) - static_cast<uint32_t>(from)) << 16);
}

// Shades outside 0..255 would index outside ShadeTable; corner shades are held
// to that range so the interpolated shade of every pixel stays inside it.
inline int32_t clampShade(int32_t shade) {
  return shade < 0 ? 0 : (shade > 255 ? 255 : shade);
}

// Palette in the frame's byte order: blue in bits 0..7, green 8..15, red 16..23.
struct CellTables {
  const uint8_t* texture;
  const uint8_t* shadeTable;
  uint32_t colours[256];
};

// Per-triangle interpolation set-up: start values, per-row and per-pixel steps.
struct Stepper {
  uint32_t a, b, s;     // texture row, texture column, shade (16.16)
  uint32_t da, db, ds;  // per row
  uint32_t pa, pb, ps;  // per pixel
};

// Draws `count` pixels from (a, b, s), stepping by (pa, pb, ps).
inline void drawSpan(uint8_t* pixel, int count, uint32_t a, uint32_t b, uint32_t s,
                     const Stepper& st, const CellTables& t) {
  for (int x = 0; x < count; ++x) {
    const uint32_t texel = t.texture[((a >> 8) & 0xFF00u) | ((b >> 16) & 0xFFu)];
    const uint32_t colour = t.colours[texel];
    const uint8_t* shade = t.shadeTable + (static_cast<uint32_t>(static_cast<int32_t>(s) >> 16) << 8);
    pixel[0] = shade[colour & 0xFF];
    pixel[1] = shade[(colour >> 8) & 0xFF];
    pixel[2] = shade[(colour >> 16) & 0xFF];
    pixel += 4;
    a += st.pa;
    b += st.pb;
    s += st.ps;
  }
}

struct Corner {
  float a, b;
  int32_t s;
};

// Steps of one triangle: per row along rowFrom -> rowTo, per pixel along
// pixelFrom -> pixelTo, each the corner difference divided by 8.
Stepper triangleSteps(const Corner& rowFrom, const Corner& rowTo, const Corner& pixelFrom,
                      const Corner& pixelTo) {
  Stepper st{};
  st.da = eighth(nearestFixed(rowTo.a - rowFrom.a));
  st.db = eighth(nearestFixed(rowTo.b - rowFrom.b));
  st.ds = shadeStep(rowFrom.s, rowTo.s);
  st.pa = eighth(nearestFixed(pixelTo.a - pixelFrom.a));
  st.pb = eighth(nearestFixed(pixelTo.b - pixelFrom.b));
  st.ps = shadeStep(pixelFrom.s, pixelTo.s);
  return st;
}

void renderGridCell(uint8_t* cellOrigin, const Corner& tl, const Corner& tr, const Corner& bl,
                    const Corner& br, const CellTables& t) {
  const uint32_t a0 = nearestFixed(tl.a);
  const uint32_t b0 = nearestFixed(tl.b);
  const uint32_t s0 = static_cast<uint32_t>(tl.s) << 16;

  // Lower-left triangle (TL, BL, BR): row r draws pixels 0..r-1.
  const Stepper lower = triangleSteps(tl, bl, bl, br);
  // Upper-right triangle (TL, TR, BR): rows step down the diagonal; row r
  // draws pixels r..7.
  const Stepper upper = triangleSteps(tl, br, tl, tr);

  uint32_t la = a0, lb = b0, ls = s0;
  uint32_t ua = a0, ub = b0, us = s0;
  uint8_t* row = cellOrigin;
  for (int r = 0; r < 8; ++r) {
    drawSpan(row, r, la, lb, ls, lower, t);
    drawSpan(row + 4 * r, 8 - r, ua, ub, us, upper, t);
    la += lower.da;
    lb += lower.db;
    ls += lower.ds;
    ua += upper.da;
    ub += upper.db;
    us += upper.ds;
    row += kFrameRowBytes;
  }
}

}  // namespace

void renderTextureGrid(uint8_t* target, const TexCoord* texCoords, const int32_t* shades,
                       const uint8_t* texture, const uint8_t* palette, const uint8_t* shadeTable) {
  CellTables tables;
  tables.texture = texture;
  tables.shadeTable = shadeTable;
  for (int n = 0; n < 256; ++n) {
    tables.colours[n] = static_cast<uint32_t>(palette[n * 4 + 2]) |
                        static_cast<uint32_t>(palette[n * 4 + 1]) << 8 |
                        static_cast<uint32_t>(palette[n * 4 + 0]) << 16;
  }

  // One grid row of corners at a time, so each vertex is read and clamped once.
  Corner upperRow[kGridColumns];
  Corner lowerRow[kGridColumns];
  auto loadRow = [&](int j, Corner* out) {
    for (int i = 0; i < kGridColumns; ++i) {
      const int v = j * kGridColumns + i;
      out[i] = Corner{texCoords[v].row, texCoords[v].column, clampShade(shades[v])};
    }
  };

  uint8_t* origin = target + 4 * kFrameRowBytes + 4 * 4;
  loadRow(0, upperRow);
  for (int j = 0; j < kGridRows - 1; ++j) {
    loadRow(j + 1, lowerRow);
    uint8_t* cell = origin + j * 8 * kFrameRowBytes;
    for (int i = 0; i < kGridColumns - 1; ++i) {
      renderGridCell(cell + i * 8 * 4, upperRow[i], upperRow[i + 1], lowerRow[i], lowerRow[i + 1],
                     tables);
    }
    std::memcpy(upperRow, lowerRow, sizeof(upperRow));
  }
}

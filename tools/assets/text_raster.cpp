// text_raster.cpp — FreeType glyphs placed along a baseline with kerning.
#include "tools/assets/text_raster.h"

#include <algorithm>
#include <cstdio>

bool OpenFonts(FontSet& fonts) {
  if (FT_Init_FreeType(&fonts.library)) {
    std::fprintf(stderr, "qm7-assets: FreeType failed to start\n");
    return false;
  }
  if (FT_New_Face(fonts.library, kBoldFontPath, 0, &fonts.bold) ||
      FT_New_Face(fonts.library, kRegularFontPath, 0, &fonts.regular)) {
    std::fprintf(stderr, "qm7-assets: cannot open %s or %s (package fonts-dejavu-core)\n",
                 kBoldFontPath, kRegularFontPath);
    CloseFonts(fonts);
    return false;
  }
  return true;
}

void CloseFonts(FontSet& fonts) {
  if (fonts.bold) FT_Done_Face(fonts.bold);
  if (fonts.regular) FT_Done_Face(fonts.regular);
  if (fonts.library) FT_Done_FreeType(fonts.library);
  fonts = FontSet{};
}

TextBitmap RenderLine(FT_Face face, const std::string& text, int pixelWidth, int pixelHeight,
                      int tracking) {
  TextBitmap out;
  if (FT_Set_Pixel_Sizes(face, pixelWidth, pixelHeight)) return out;
  const int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
  const int descender = static_cast<int>(-(face->size->metrics.descender >> 6));
  const int pad = 2;

  // First pass measures the pen advance, second draws.
  struct Placed { int x; FT_UInt glyph; };
  std::vector<Placed> placed;
  long pen = 0;  // 26.6 fixed point
  FT_UInt previous = 0;
  for (unsigned char ch : text) {
    FT_UInt glyph = FT_Get_Char_Index(face, ch);
    if (previous && glyph && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      if (!FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern)) pen += kern.x;
    }
    placed.push_back({static_cast<int>(pen >> 6), glyph});
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT)) continue;
    pen += face->glyph->advance.x + tracking * 64;
    previous = glyph;
  }
  out.width = static_cast<int>(pen >> 6) + 2 * pad + pixelWidth / 4;
  out.height = ascender + descender + 2 * pad;
  out.coverage.assign(static_cast<size_t>(out.width) * out.height, 0.0f);
  out.inkLeft = out.width; out.inkTop = out.height; out.inkRight = 0; out.inkBottom = 0;

  for (const Placed& p : placed) {
    if (FT_Load_Glyph(face, p.glyph, FT_LOAD_RENDER)) continue;
    const FT_Bitmap& bm = face->glyph->bitmap;
    int left = pad + p.x + face->glyph->bitmap_left;
    int top = pad + ascender - face->glyph->bitmap_top;
    for (unsigned y = 0; y < bm.rows; ++y)
      for (unsigned x = 0; x < bm.width; ++x) {
        int tx = left + static_cast<int>(x), ty = top + static_cast<int>(y);
        if (tx < 0 || ty < 0 || tx >= out.width || ty >= out.height) continue;
        float c = bm.buffer[y * bm.pitch + x] / 255.0f;
        if (c <= 0.0f) continue;
        float& dst = out.coverage[ty * out.width + tx];
        dst = std::min(1.0f, dst + c);
        out.inkLeft = std::min(out.inkLeft, tx);
        out.inkRight = std::max(out.inkRight, tx + 1);
        out.inkTop = std::min(out.inkTop, ty);
        out.inkBottom = std::max(out.inkBottom, ty + 1);
      }
  }
  if (out.inkRight <= out.inkLeft) out.inkLeft = out.inkTop = out.inkRight = out.inkBottom = 0;
  return out;
}

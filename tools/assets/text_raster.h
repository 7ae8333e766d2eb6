// text_raster.h — one line of text as an anti-aliased coverage bitmap.
//
//   FontSet fonts;
//   if (!OpenFonts(fonts)) ...;
//   TextBitmap t = RenderLine(fonts.bold, "QM7", 40, 40, 0);
//   // t.coverage[y * t.width + x] in 0..1, ink inside t.ink*
//
// The font files come from Debian's fonts-dejavu-core. Used by the logo and
// scroll-picture generators.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

struct FontSet {
  FT_Library library = nullptr;
  FT_Face bold = nullptr;
  FT_Face regular = nullptr;
};

constexpr const char* kBoldFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kRegularFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Opens both faces; prints what is missing and returns false on failure.
bool OpenFonts(FontSet& fonts);
void CloseFonts(FontSet& fonts);

struct TextBitmap {
  int width = 0, height = 0;
  std::vector<float> coverage;
  // Bounding box of the pixels with ink (inclusive-exclusive); empty if none.
  int inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
  float at(int x, int y) const {
    return (x < 0 || y < 0 || x >= width || y >= height) ? 0.0f : coverage[y * width + x];
  }
};

// Renders ASCII `text` at a pixel size of `pixelWidth` x `pixelHeight` (unequal
// sizes stretch the letters) with `tracking` extra pixels between letters.
TextBitmap RenderLine(FT_Face face, const std::string& text, int pixelWidth, int pixelHeight,
                      int tracking);

// scroll.cpp — the credits text, set line by line, centred, between the two
// black margins.
#include "tools/assets/scroll.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int kScrollSideMargin = 10;

enum class Style { kTitle, kHeading, kBody, kSmall, kGap };

struct Line {
  Style style;
  const char* text;
};

const Line kCredits[] = {
    {Style::kTitle, "QM7"},
    {Style::kSmall, "a self-running demo"},
    {Style::kSmall, "every pixel drawn by the processor"},
    {Style::kGap, ""},
    {Style::kHeading, "WHAT YOU SAW"},
    {Style::kBody, "lens warp"},
    {Style::kSmall, "a stone wall bent by three wandering lenses"},
    {Style::kBody, "kaleidoscope"},
    {Style::kSmall, "blobs mirrored into their own fading echo"},
    {Style::kBody, "tunnel"},
    {Style::kSmall, "a textured tube with clouds of particles"},
    {Style::kBody, "ripple swirl"},
    {Style::kSmall, "the wall stirred into rings"},
    {Style::kBody, "flying blobs"},
    {Style::kSmall, "soft lights on the move"},
    {Style::kBody, "frame cube"},
    {Style::kSmall, "square frames circled over a split horizon"},
    {Style::kBody, "this scroller"},
    {Style::kSmall, "one sixty-fourth of a row at a time"},
    {Style::kGap, ""},
    {Style::kHeading, "CODE"},
    {Style::kBody, "the qm7 team"},
    {Style::kHeading, "MUSIC"},
    {Style::kBody, "the qm7 team"},
    {Style::kSmall, "composed in code, every sound synthesized"},
    {Style::kHeading, "GRAPHICS"},
    {Style::kBody, "the qm7 team"},
    {Style::kSmall, "logos, stone and these words, all generated"},
    {Style::kGap, ""},
    {Style::kHeading, "GREETINGS"},
    {Style::kSmall, "everyone who still writes software renderers"},
    {Style::kSmall, "all who count cycles for fun"},
    {Style::kSmall, "tracker musicians everywhere"},
    {Style::kSmall, "the keepers of old file formats"},
    {Style::kSmall, "friends of the seventy hertz tick"},
    {Style::kSmall, "and you, for watching to the end"},
    {Style::kGap, ""},
    {Style::kHeading, "THANK YOU"},
};

struct LineLook {
  bool bold;
  int pixelSize;
  int lineHeight;
  float brightness;
};

LineLook LookOf(Style s) {
  switch (s) {
    case Style::kTitle: return {true, 56, 72, 1.0f};
    case Style::kHeading: return {true, 22, 40, 1.0f};
    case Style::kBody: return {true, 17, 24, 0.92f};
    case Style::kSmall: return {false, 14, 26, 0.72f};
    case Style::kGap: return {false, 0, 44, 0.0f};
  }
  return {false, 0, 0, 0.0f};
}

}  // namespace

std::vector<uint8_t> MakeScrollPicture(const FontSet& fonts) {
  std::vector<uint8_t> out(static_cast<size_t>(kScrollWidth) * kScrollRows, 0);
  int total = 0;
  for (const Line& line : kCredits) total += LookOf(line.style).lineHeight;
  const int space = kScrollRows - kScrollBlankTop - kScrollBlankBottom;
  if (total > space) std::fprintf(stderr, "qm7-assets: credits need %d rows, %d free\n", total, space);
  int y = kScrollBlankTop + std::max(0, (space - total) / 2);

  for (const Line& line : kCredits) {
    LineLook look = LookOf(line.style);
    if (look.pixelSize > 0) {
      // A line too wide for the screen is set smaller rather than cut off.
      FT_Face face = look.bold ? fonts.bold : fonts.regular;
      int tracking = line.style == Style::kHeading ? 3 : 0;
      TextBitmap t;
      for (int size = look.pixelSize; size >= 8; --size) {
        t = RenderLine(face, line.text, size, size, tracking);
        if (t.inkRight - t.inkLeft <= kScrollWidth - 2 * kScrollSideMargin) break;
      }
      int inkWidth = t.inkRight - t.inkLeft;
      int left = (kScrollWidth - inkWidth) / 2 - t.inkLeft;
      int top = y + (look.lineHeight - t.height) / 2;
      for (int ty = 0; ty < t.height; ++ty) {
        int row = top + ty;
        if (row < kScrollBlankTop || row >= kScrollRows - kScrollBlankBottom) continue;
        for (int tx = 0; tx < t.width; ++tx) {
          int col = left + tx;
          if (col < 0 || col >= kScrollWidth) continue;
          float v = t.at(tx, ty) * look.brightness * 255.0f;
          uint8_t& dst = out[static_cast<size_t>(row) * kScrollWidth + col];
          dst = std::max(dst, static_cast<uint8_t>(std::lrint(std::min(v, 255.0f))));
        }
      }
    }
    y += look.lineHeight;
  }
  return out;
}

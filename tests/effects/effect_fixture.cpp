// effect_fixture.cpp — see effect_fixture.h.
#include "tests/effects/effect_fixture.h"

#include <cstring>

#include "host/data_buffers.h"   // the data files' sizes
#include "kit/kit_start.h"

namespace {

// A 64x64 texture of palette indices: 8x8 tiles with a diagonal gradient and
// dark seams, so turns, zooms and twists are easy to follow by eye.
void MakeTexture(EffectData& d) {
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool seam = (x % 16 == 0) || (y % 16 == 0);
      const int tile = ((x / 8) + (y / 8)) & 1;
      d.texture[y * 64 + x] = static_cast<uint8_t>(seam ? 0 : (tile ? 64 : 128) + ((x + y) & 63));
    }
  }
}

// 256 colours of 6-bit components: blues at 64.., oranges at 128.., black at 0.
void MakePalette(EffectData& d) {
  for (int n = 0; n < 256; ++n) {
    const int k = n & 63;
    uint8_t* e = d.palette.data() + 3 * n;
    if (n < 64) {
      e[0] = e[1] = e[2] = static_cast<uint8_t>(k / 4);
    } else if (n < 128) {
      e[0] = static_cast<uint8_t>(k / 4);
      e[1] = static_cast<uint8_t>(16 + k / 2);
      e[2] = 63;
    } else {
      e[0] = 63;
      e[1] = static_cast<uint8_t>(20 + k / 2);
      e[2] = static_cast<uint8_t>(k / 4);
    }
  }
}

// A logo of thick bars and a frame, intensities 0..63.
void MakeLogo(std::vector<uint8_t>& logo, int width, int rows, int bars) {
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool frame = x < 4 || y < 4 || x >= width - 4 || y >= rows - 4;
      const bool bar = ((x * bars) / width) % 2 == 0 && y > rows / 4 && y < rows * 3 / 4;
      logo[y * width + x] = static_cast<uint8_t>(frame || bar ? 63 : 0);
    }
  }
}

// Text-like blocks with a soft vertical ramp, plus a row index bar: 1731
// rows of 320 bytes, the least the scroller needs.
void MakeScrollPicture(std::vector<uint8_t>& p) {
  p.assign(kScrollPictureMinBytes, 0);
  for (std::size_t row = 0; row < 1731; ++row) {
    for (std::size_t x = 0; x < 320; ++x) {
      // Lines of "text" blocks with a soft vertical ramp, plus a row index bar.
      const bool line = (row % 24) >= 6 && (row % 24) < 18;
      const bool glyph = ((x / 10) * 7 + row / 24) % 5 != 0 && (x % 10) < 8 && x >= 20 && x < 300;
      uint8_t v = static_cast<uint8_t>(line && glyph ? 200 + (row % 24) * 2 : 20);
      if (x < 8) v = static_cast<uint8_t>(row & 255);
      p[row * 320 + x] = v;
    }
  }
}

EffectData MakeData() {
  EffectData d;
  d.texture.assign(kTextureBytes, 0);
  d.palette.assign(kPaletteBytes, 0);
  d.opener.assign(kOpenerLogoBytes, 0);
  d.brisk.assign(kBriskLogoBytes, 0);
  MakeTexture(d);
  MakePalette(d);
  MakeLogo(d.opener, 280, 52, 14);
  MakeLogo(d.brisk, 240, 59, 6);
  MakeScrollPicture(d.scroll);
  return d;
}

const EffectData Made = MakeData();

}  // namespace

const EffectData& Data = Made;

void StartKit() { initKit(Data.texture.data(), Data.palette.data(), Data.opener.data(), Data.brisk.data()); }

TouchReport CompareFrames(const FrameTarget& before, const FrameTarget& after) {
  TouchReport r;
  const uint8_t* was = before.frame();
  const uint8_t* now = after.frame();
  for (std::size_t n = 0; n < kFrameBytes; ++n) {
    if (was[n] == now[n]) continue;
    if (n < kAreaOffset || n >= kAreaOffset + kAreaBytes) {
      ++r.outsideAreaBytes;
      continue;
    }
    const std::size_t inArea = n - kAreaOffset;
    const int y = static_cast<int>(inArea / kFrameRowBytes);
    const int x = static_cast<int>((inArea % kFrameRowBytes) / 4);
    if (inArea % 4 == 3) ++r.fourthBytes;
    if (x < 4 || x >= 316 || y < 4 || y >= 196) ++r.borderBytes;
  }
  for (std::size_t p = 0; p < kAreaBytes; p += 4) {
    if (std::memcmp(before.area() + p, after.area() + p, 4) != 0) ++r.changedPixels;
  }
  return r;
}

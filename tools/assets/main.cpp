// qm7-assets — writes the demo's pictures, or PNG previews of them.
//
//   qm7-assets OUT_DIR           opener7.bin brisk.bin wctk.bin w.pal scroll.bin
//   qm7-assets preview OUT_DIR   opener7.png brisk.png wctk.png palette.png scroll.png
//
// Everything is computed from fixed formulas and the installed DejaVu fonts,
// so every run writes the same bytes. Exit code 0 on success, 1 on failure.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/assets/logos.h"
#include "tools/assets/scroll.h"
#include "tools/assets/texture.h"
#include "tools/common/png_writer.h"

namespace {

struct Assets {
  std::vector<uint8_t> opener, title, texture, palette, scroll;
};

bool MakeAssets(Assets& a) {
  FontSet fonts;
  if (!OpenFonts(fonts)) return false;
  a.opener = MakeLogo(fonts.bold, kOpenerText, kOpenerWidth, kOpenerHeight);
  a.title = MakeLogo(fonts.bold, kTitleText, kTitleWidth, kTitleHeight);
  a.texture = MakeTexture();
  a.palette = MakePalette();
  a.scroll = MakeScrollPicture(fonts);
  CloseFonts(fonts);
  return true;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "qm7-assets: cannot write %s\n", path.c_str());
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) std::fprintf(stderr, "qm7-assets: write failed for %s\n", path.c_str());
  return ok;
}

bool WriteData(const std::string& dir, const Assets& a) {
  return WriteFile(dir + "/opener7.bin", a.opener) && WriteFile(dir + "/brisk.bin", a.title) &&
         WriteFile(dir + "/wctk.bin", a.texture) && WriteFile(dir + "/w.pal", a.palette) &&
         WriteFile(dir + "/scroll.bin", a.scroll);
}

// The texture through its palette, 2x2 copies side by side (to show the
// joins), each texel 4x4 pixels as the renderer magnifies it.
std::vector<uint8_t> TexturePreview(const Assets& a, int& size) {
  size = 2 * kTextureSize * 4;
  std::vector<uint8_t> rgb(static_cast<size_t>(size) * size * 3);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int index = a.texture[((y / 4) % kTextureSize) * kTextureSize + (x / 4) % kTextureSize];
      for (int c = 0; c < 3; ++c) rgb[(y * size + x) * 3 + c] = static_cast<uint8_t>(a.palette[index * 3 + c] * 4);
    }
  return rgb;
}

std::vector<uint8_t> PalettePreview(const Assets& a) {  // 256 x 32 strip
  std::vector<uint8_t> rgb(256 * 32 * 3);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 256; ++x)
      for (int c = 0; c < 3; ++c) rgb[(y * 256 + x) * 3 + c] = static_cast<uint8_t>(a.palette[x * 3 + c] * 4);
  return rgb;
}

bool WritePreviews(const std::string& dir, const Assets& a) {
  int texSize = 0;
  std::vector<uint8_t> tex = TexturePreview(a, texSize);
  std::vector<uint8_t> pal = PalettePreview(a);
  bool ok = WriteGreyPng((dir + "/opener7.png").c_str(), a.opener.data(), kOpenerWidth, kOpenerHeight,
                         kOpenerWidth, 4) &&
            WriteGreyPng((dir + "/brisk.png").c_str(), a.title.data(), kTitleWidth, kTitleHeight,
                         kTitleWidth, 4) &&
            WriteRgbPng((dir + "/wctk.png").c_str(), tex.data(), texSize, texSize, texSize * 3) &&
            WriteRgbPng((dir + "/palette.png").c_str(), pal.data(), 256, 32, 256 * 3) &&
            WriteGreyPng((dir + "/scroll.png").c_str(), a.scroll.data(), kScrollWidth, kScrollRows,
                         kScrollWidth, 1);
  if (!ok) std::fprintf(stderr, "qm7-assets: cannot write previews into %s\n", dir.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool preview = argc == 3 && std::string(argv[1]) == "preview";
  if (!preview && argc != 2) {
    std::fprintf(stderr, "usage: qm7-assets OUT_DIR | qm7-assets preview OUT_DIR\n");
    return 1;
  }
  Assets assets;
  if (!MakeAssets(assets)) return 1;
  if (preview) return WritePreviews(argv[2], assets) ? 0 : 1;
  return WriteData(argv[1], assets) ? 0 : 1;
}

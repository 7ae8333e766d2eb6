// qm7-assets — writes the demo's pictures, or PNG previews of them.
//
//   qm7-assets OUT_DIR           opener7.bin brisk.bin wctk.bin w.pal scroll.bin
//   qm7-assets preview OUT_DIR   opener7.png brisk.png wctk.png palette.png scroll.png
//   qm7-assets icons OUT_DIR     qm7-16.png ... qm7-256.png (desktop icons) and
//                                window_icon.cpp (the picture qm7's window shows)
//
// Everything is computed from fixed formulas and the installed DejaVu fonts,
// so every run writes the same bytes. Exit code 0 on success, 1 on failure.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/assets/icon.h"
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

// The window's icon as a C++ array of 0xAARRGGBB words (host/window_icon.h).
bool WriteWindowIconSource(const std::string& path, const std::vector<uint8_t>& rgba, int size) {
  std::string text =
      "// window_icon.cpp — made by qm7-assets (tools/assets/icon.cpp) during the build.\n"
      "#include \"host/window_icon.h\"\n\n"
      "const int WindowIconSize = " + std::to_string(size) + ";\n"
      "const uint32_t WindowIconPixels[] = {\n";
  char word[16];
  for (int i = 0; i < size * size; ++i) {
    const uint8_t* p = &rgba[static_cast<size_t>(i) * 4];
    std::snprintf(word, sizeof word, "0x%02X%02X%02X%02Xu,", p[3], p[0], p[1], p[2]);
    text += (i % 8 == 0 ? "    " : " ") + std::string(word) + (i % 8 == 7 ? "\n" : "");
  }
  text += "};\n";
  return WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool WriteIcons(const std::string& dir) {
  FontSet fonts;
  if (!OpenFonts(fonts)) return false;
  bool ok = true;
  for (int size : kIconSizes) {
    std::vector<uint8_t> rgba = MakeIcon(fonts.bold, size);
    std::string path = dir + "/qm7-" + std::to_string(size) + ".png";
    if (!WriteRgbaPng(path.c_str(), rgba.data(), size, size, size * 4)) {
      std::fprintf(stderr, "qm7-assets: cannot write %s\n", path.c_str());
      ok = false;
    }
  }
  ok = ok && WriteWindowIconSource(dir + "/window_icon.cpp", MakeIcon(fonts.bold, kWindowIconSize),
                                   kWindowIconSize);
  CloseFonts(fonts);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool preview = argc == 3 && std::string(argv[1]) == "preview";
  bool icons = argc == 3 && std::string(argv[1]) == "icons";
  if (!preview && !icons && argc != 2) {
    std::fprintf(stderr,
                 "usage: qm7-assets OUT_DIR | qm7-assets preview OUT_DIR | qm7-assets icons OUT_DIR\n");
    return 1;
  }
  if (icons) return WriteIcons(argv[2]) ? 0 : 1;
  Assets assets;
  if (!MakeAssets(assets)) return 1;
  if (preview) return WritePreviews(argv[2], assets) ? 0 : 1;
  return WriteData(argv[1], assets) ? 0 : 1;
}

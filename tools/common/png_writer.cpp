// png_writer.cpp — libpng behind the writers of png_writer.h.
#include "tools/common/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

// Writes `height` rows of packed RGB (RGBA with `alpha`) produced by `row(y, out)`.
template <typename RowFn>
bool WriteRgbRows(const char* path, int width, int height, RowFn row, bool alpha = false) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  std::vector<uint8_t> line(static_cast<size_t>(width) * (alpha ? 4 : 3));
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    row(y, line.data());
    png_write_row(png, line.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

}  // namespace

bool WriteBgraPng(const char* path, const uint8_t* pixels, int width, int height, int pitch) {
  return WriteRgbRows(path, width, height, [&](int y, uint8_t* out) {
    const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      out[x * 3 + 0] = in[x * 4 + 2];
      out[x * 3 + 1] = in[x * 4 + 1];
      out[x * 3 + 2] = in[x * 4 + 0];
    }
  });
}

bool WriteGreyPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                  int scale) {
  return WriteRgbRows(path, width, height, [&](int y, uint8_t* out) {
    const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      int v = in[x] * scale;
      uint8_t g = static_cast<uint8_t>(v > 255 ? 255 : v);
      out[x * 3 + 0] = out[x * 3 + 1] = out[x * 3 + 2] = g;
    }
  });
}

bool WriteRgbPng(const char* path, const uint8_t* pixels, int width, int height, int pitch) {
  return WriteRgbRows(path, width, height, [&](int y, uint8_t* out) {
    const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
    for (int i = 0; i < width * 3; ++i) out[i] = in[i];
  });
}

bool WriteRgbaPng(const char* path, const uint8_t* pixels, int width, int height, int pitch) {
  return WriteRgbRows(
      path, width, height,
      [&](int y, uint8_t* out) {
        const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
        for (int i = 0; i < width * 4; ++i) out[i] = in[i];
      },
      true);
}

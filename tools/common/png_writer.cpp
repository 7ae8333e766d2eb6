// png_writer.cpp — libpng behind the writers of png_writer.h.
#include "tools/common/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <string>
#include <vector>

#include "tools/common/checked_file.h"

namespace {

void PutBytes(png_structp png, png_bytep bytes, png_size_t size) {
  auto* file = static_cast<CheckedFile*>(png_get_io_ptr(png));
  if (!WriteChecked(file, bytes, size)) png_error(png, "write failed");
}

void NoFlush(png_structp) {}

// libpng's own messages stay quiet: a failure is reported once, by the caller.
void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void QuietWarning(png_structp, png_const_charp) {}

// Writes `height` rows of packed RGB (RGBA with `alpha`) produced by
// `row(y, out)` through a checked file.
template <typename RowFn>
bool WriteRgbRows(const char* path, int width, int height, std::string* why, RowFn row,
                  bool alpha = false) {
  CheckedFile file;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<uint8_t> line(static_cast<size_t>(width) * (alpha ? 4 : 3));
  auto fail = [&] {
    png_destroy_write_struct(&png, &info);
    if (why) *why = file.failed ? file.error : std::string("cannot write ") + path + ": PNG encoder failed";
    DiscardChecked(&file);
    return false;
  };
  if (!OpenChecked(&file, path)) return fail();
  png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
  info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) return fail();
  if (setjmp(png_jmpbuf(png))) return fail();
  png_set_write_fn(png, &file, PutBytes, NoFlush);
  png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    row(y, line.data());
    png_write_row(png, line.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (CommitChecked(&file)) return true;
  return fail();
}

}  // namespace

bool WriteBgraPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                  std::string* why) {
  return WriteRgbRows(path, width, height, why, [&](int y, uint8_t* out) {
    const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      out[x * 3 + 0] = in[x * 4 + 2];
      out[x * 3 + 1] = in[x * 4 + 1];
      out[x * 3 + 2] = in[x * 4 + 0];
    }
  });
}

bool WriteGreyPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                  int scale, std::string* why) {
  return WriteRgbRows(path, width, height, why, [&](int y, uint8_t* out) {
    const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      int v = in[x] * scale;
      uint8_t g = static_cast<uint8_t>(v > 255 ? 255 : v);
      out[x * 3 + 0] = out[x * 3 + 1] = out[x * 3 + 2] = g;
    }
  });
}

bool WriteRgbPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                 std::string* why) {
  return WriteRgbRows(path, width, height, why, [&](int y, uint8_t* out) {
    const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
    for (int i = 0; i < width * 3; ++i) out[i] = in[i];
  });
}

bool WriteRgbaPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                  std::string* why) {
  return WriteRgbRows(
      path, width, height, why,
      [&](int y, uint8_t* out) {
        const uint8_t* in = pixels + static_cast<size_t>(y) * pitch;
        for (int i = 0; i < width * 4; ++i) out[i] = in[i];
      },
      true);
}

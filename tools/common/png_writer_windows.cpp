// png_writer_windows.cpp — the PNG writer of Windows builds, which are made
// without libpng: every call reports that PNG output is not available.
#include <cstdio>

#include "tools/common/png_writer.h"

namespace {
bool Unavailable(const char* path) {
  std::fprintf(stderr, "cannot write %s: this Windows build writes no PNG files (use --dump-frames)\n",
               path);
  return false;
}
}  // namespace

bool WriteBgraPng(const char* path, const uint8_t*, int, int, int) { return Unavailable(path); }
bool WriteGreyPng(const char* path, const uint8_t*, int, int, int, int) { return Unavailable(path); }
bool WriteRgbPng(const char* path, const uint8_t*, int, int, int) { return Unavailable(path); }

// png_writer_none.cpp — the PNG writer of builds without libpng (the web
// build of the capture tool): every write fails with a message.
#include <cstdio>

#include "tools/common/png_writer.h"

namespace {
bool NoPng(const char* path) {
  std::fprintf(stderr, "png: %s not written: this build has no PNG writer\n", path);
  return false;
}
}  // namespace

bool WriteBgraPng(const char* path, const uint8_t*, int, int, int) { return NoPng(path); }
bool WriteGreyPng(const char* path, const uint8_t*, int, int, int, int) { return NoPng(path); }
bool WriteRgbPng(const char* path, const uint8_t*, int, int, int) { return NoPng(path); }

// png_writer_windows.cpp — the PNG writer of Windows builds, which are made
// without libpng: every call reports that PNG output is not available, in
// `why` when the caller reports it, else on standard error.
#include <cstdio>

#include "tools/common/png_writer.h"

namespace {
bool Unavailable(const char* path, std::string* why) {
  std::string text = std::string("cannot write ") + path +
                     ": this Windows build writes no PNG files (use --dump-frames)";
  if (why)
    *why = text;
  else
    std::fprintf(stderr, "%s\n", text.c_str());
  return false;
}
}  // namespace

bool WriteBgraPng(const char* path, const uint8_t*, int, int, int, std::string* why) {
  return Unavailable(path, why);
}
bool WriteGreyPng(const char* path, const uint8_t*, int, int, int, int, std::string* why) {
  return Unavailable(path, why);
}
bool WriteRgbPng(const char* path, const uint8_t*, int, int, int, std::string* why) {
  return Unavailable(path, why);
}
bool WriteRgbaPng(const char* path, const uint8_t*, int, int, int, std::string* why) {
  return Unavailable(path, why);
}

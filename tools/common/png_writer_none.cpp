// png_writer_none.cpp — the PNG writer of builds without libpng (Windows and
// web builds): every write fails, said in `why` when the caller reports it,
// else on standard error.
#include <cstdio>

#include "tools/common/png_writer.h"

namespace {
bool NoPng(const char* path, std::string* why) {
  std::string text =
      std::string("cannot write ") + path + ": this build writes no PNG files (use --dump-frames)";
  if (why)
    *why = text;
  else
    std::fprintf(stderr, "%s\n", text.c_str());
  return false;
}
}  // namespace

bool WriteBgraPng(const char* path, const uint8_t*, int, int, int, std::string* why) {
  return NoPng(path, why);
}
bool WriteGreyPng(const char* path, const uint8_t*, int, int, int, int, std::string* why) {
  return NoPng(path, why);
}
bool WriteRgbPng(const char* path, const uint8_t*, int, int, int, std::string* why) {
  return NoPng(path, why);
}
bool WriteRgbaPng(const char* path, const uint8_t*, int, int, int, std::string* why) {
  return NoPng(path, why);
}

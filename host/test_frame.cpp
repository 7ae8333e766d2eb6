// test_frame.cpp — TEST HOOK: QM7_TEST_FRAME's still frame (host/test_frame.h).
#include "host/test_frame.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kit/frame.h"

bool TestFrameShown = false;

bool LoadTestFrame(uint8_t* frame, char* reason, std::size_t reasonBytes) {
  TestFrameShown = false;
  const char* value = std::getenv("QM7_TEST_FRAME");
  if (!value || !*value) return true;
  if (std::strcmp(value, "checker") == 0) {
    for (int y = 0; y < kFrameHeight; ++y)
      for (int x = 0; x < kFrameWidth; ++x) {
        uint8_t* pixel = frame + y * kFrameRowBytes + x * 4;
        pixel[0] = pixel[1] = pixel[2] = (x + y) % 2 ? 0x00 : 0xFF;
        pixel[3] = 0;
      }
    TestFrameShown = true;
    return true;
  }
  std::FILE* file = std::fopen(value, "rb");
  if (!file) {
    std::snprintf(reason, reasonBytes, "QM7_TEST_FRAME: can't open %s", value);
    return false;
  }
  std::size_t got = std::fread(frame, 1, kFrameBytes, file);
  bool longer = std::fgetc(file) != EOF;
  std::fclose(file);
  if (got != kFrameBytes || longer) {
    std::snprintf(reason, reasonBytes,
                  "QM7_TEST_FRAME: %s is not a 320x240 frame of exactly %zu bytes", value,
                  static_cast<std::size_t>(kFrameBytes));
    std::memset(frame, 0, kFrameBytes);
    return false;
  }
  TestFrameShown = true;
  return true;
}

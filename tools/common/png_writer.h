// png_writer.h — writes pictures as PNG files for people to look at.
//
//   WriteBgraPng("f.png", frame, 320, 240, 1280);   // FrameBuffer layout
//   WriteGreyPng("g.png", bytes, 280, 52, 280, 4);  // 0..63 intensities x4
// Used by the capture tool, the asset previews and icons, and tests that dump frames.
// Each file is written beside its place and renamed when complete
// (tools/common/checked_file.h). Returns true on success; on failure nothing
// is left and, when `why` is given, it says which file and why
// ("cannot write f.png.part: No space left on device").
#pragma once
#include <cstdint>
#include <string>

// Pixels of 4 bytes: blue, green, red, ignored fourth byte; rows `pitch` bytes apart.
bool WriteBgraPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                  std::string* why = nullptr);

// One byte per pixel, each multiplied by `scale` (clamped to 255) for display.
bool WriteGreyPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                  int scale = 1, std::string* why = nullptr);

// Three bytes per pixel, red, green, blue.
bool WriteRgbPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                 std::string* why = nullptr);

// Four bytes per pixel, red, green, blue, alpha (not premultiplied).
bool WriteRgbaPng(const char* path, const uint8_t* pixels, int width, int height, int pitch,
                  std::string* why = nullptr);

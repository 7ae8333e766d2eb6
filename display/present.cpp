// present.cpp — writes the frame into the back buffer and flips, copying rows
// as they are or moving each pixel's channels to the mode's positions.
//
// A lock that fails (surfaces lost after a mode or task switch, window gone)
// skips the frame without writing anything; the next frame restores the chain
// first. A flip error pops up once per distinct code, later repeats skip quietly.
#include <cstring>

#include "display/display_device.h"

namespace {

// One row of 32-bit source pixels (blue bits 0-7, green 8-15, red 16-23) into
// 32-bit destination pixels with the channels at the given shifts.
void ConvertRow32(const uint8_t* source, uint8_t* destination, uint32_t pixels,
                  uint32_t redShift, uint32_t greenShift, uint32_t blueShift) {
  for (uint32_t x = 0; x < pixels; ++x) {
    uint32_t v;
    std::memcpy(&v, source + 4 * x, 4);
    uint32_t out = ((v & 0xFF) << blueShift) | (((v & 0xFF00) >> 8) << greenShift) |
                   (((v & 0xFF0000) >> 16) << redShift);
    std::memcpy(destination + 4 * x, &out, 4);
  }
}

// Hands `copyRow` each source row of firstRow..endRow-1 that falls inside
// the locked surface's `height` rows, with the surface row it goes to; the
// source is whole rows of `sourceRowBytes` from `source`, row firstRow first.
template <typename CopyRow>
void ForEachVisibleRow(const void* source, size_t sourceRowBytes, int firstRow, int endRow,
                       uint8_t* surface, int32_t pitch, uint32_t height, CopyRow copyRow) {
  const uint8_t* from = static_cast<const uint8_t*>(source);
  int first = firstRow < 0 ? 0 : firstRow;
  int end = endRow > static_cast<int>(height) ? static_cast<int>(height) : endRow;
  for (int row = first; row < end; ++row)
    copyRow(from + size_t(row - firstRow) * sourceRowBytes, surface + size_t(row) * pitch);
}

}  // namespace

// Restores lost surfaces if needed and locks the back buffer. Null when the
// frame must be skipped; the surfaces are then restored on the next frame.
uint8_t* DisplayDevice::LockBackBuffer(int32_t* pitch, uint32_t* width, uint32_t* height) {
  if (!primary || !backBuffer) return nullptr;
  if (surfacesLost) {
    if (primary->Restore() != DD_OK) return nullptr;
    surfacesLost = false;
  }
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  HRESULT result = backBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
  if (result != DD_OK || !desc.lpSurface || desc.lPitch <= 0) {
    if (result == DD_OK) backBuffer->Unlock(nullptr);
    surfacesLost = true;
    return nullptr;
  }
  *pitch = desc.lPitch;
  *width = desc.dwWidth;
  *height = desc.dwHeight;
  return static_cast<uint8_t*>(desc.lpSurface);
}

bool DisplayDevice::FinishFrame() {
  backBuffer->Unlock(nullptr);
  HRESULT result = primary->Flip(nullptr, DDFLIP_WAIT);
  int index = FindErrorMessage(result);
  if (index < 0) return true;
  if (result == DDERR_SURFACELOST) surfacesLost = true;
  if (!flipErrorShown[index]) {
    flipErrorShown[index] = true;
    CheckResult(result);
  }
  return false;
}

// Rows outside the locked surface and pixels beyond its width or pitch are
// not written; the source still advances by whole rows of modeWidth pixels.
bool DisplayDevice::PresentPlain(const void* source, int firstRow, int endRow) {
  int32_t pitch;
  uint32_t width, height;
  uint8_t* surface = LockBackBuffer(&pitch, &width, &height);
  if (!surface) return false;

  size_t rowBytes = size_t{width < modeWidth ? width : modeWidth} * modeBytesPerPixel;
  if (rowBytes > static_cast<size_t>(pitch)) rowBytes = static_cast<size_t>(pitch);
  ForEachVisibleRow(source, size_t{modeWidth} * modeBytesPerPixel, firstRow, endRow, surface,
                    pitch, height, [rowBytes](const uint8_t* from, uint8_t* to) {
                      std::memcpy(to, from, rowBytes);
                    });
  return FinishFrame();
}

bool DisplayDevice::PresentConverted(const void* source, int firstRow, int endRow) {
  int32_t pitch;
  uint32_t width, height;
  uint8_t* surface = LockBackBuffer(&pitch, &width, &height);
  if (!surface) return false;

  if (converter == kConvert32To4Bytes) {
    uint32_t pixels = width < modeWidth ? width : modeWidth;
    if (pixels > static_cast<uint32_t>(pitch) / 4) pixels = static_cast<uint32_t>(pitch) / 4;
    ForEachVisibleRow(source, size_t{modeWidth} * 4, firstRow, endRow, surface, pitch, height,
                      [this, pixels](const uint8_t* from, uint8_t* to) {
                        ConvertRow32(from, to, pixels, modeRedShift, modeGreenShift,
                                     modeBlueShift);
                      });
  }
  // Other converters never arise (the host asks for a 32-bit mode): the rows
  // are left as they are, and the frame is still flipped.
  return FinishFrame();
}

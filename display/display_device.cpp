// display_device.cpp — display start-up: device, window, mode list, mode, surfaces.
#include "display/display_device.h"

#include <bit>

DisplayDevice Display;
DisplayModeTable ModeTable;

HRESULT OnDisplayMode(DDSURFACEDESC2* mode, void*) {
  // A driver listing more modes than the table holds: keep the first ones.
  if (ModeTable.modeCount >= kModeTableSize) return DDENUMRET_CANCEL;
  DisplayModeRecord& record = ModeTable.records[ModeTable.modeCount];
  record.width = mode->dwWidth;
  record.height = mode->dwHeight;
  record.bits = mode->ddpfPixelFormat.dwRGBBitCount;
  record.redMask = mode->ddpfPixelFormat.dwRBitMask;
  record.greenMask = mode->ddpfPixelFormat.dwGBitMask;
  record.blueMask = mode->ddpfPixelFormat.dwBBitMask;
  ModeTable.modeCount += 1;
  return ModeTable.modeCount < kModeTableSize ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

uint32_t MaskShift(uint32_t mask) {
  return mask == 0 ? 0 : static_cast<uint32_t>(std::countr_zero(mask));
}

bool DisplayDevice::InitDisplay(WindowHandle window_) {
  window = window_;
  SetPopupOwner(window_);

  IDirectDraw7* created = nullptr;
  HRESULT result = DirectDrawCreateEx(nullptr, &created, nullptr);
  if (CheckResult(result)) return false;
  // An unknown failure code passes CheckResult but leaves no device to use.
  if (!created) return false;
  directDraw = created;

  if (CheckResult(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)))
    return false;

  ModeTable.modeCount = 0;
  if (CheckResult(
          directDraw->EnumDisplayModes(DDEDM_STANDARDVGAMODES, nullptr, nullptr, OnDisplayMode)))
    return false;
  return true;
}

bool DisplayDevice::ChooseMode(uint32_t width, uint32_t height, uint32_t bits) {
  for (int i = 0; i < ModeTable.modeCount; ++i) {
    const DisplayModeRecord& record = ModeTable.records[i];
    if (record.width != width || record.height != height || record.bits != bits) continue;
    modeWidth = width;
    modeHeight = height;
    modeBits = bits;
    modeBytesPerPixel = bits / 8;
    modeRedMask = record.redMask;
    modeGreenMask = record.greenMask;
    modeBlueMask = record.blueMask;
    return true;
  }
  return false;
}

bool DisplayDevice::SetSourceFormat(uint32_t bits, uint32_t redMask, uint32_t greenMask,
                                    uint32_t blueMask) {
  if (bits == modeBits && redMask == modeRedMask && greenMask == modeGreenMask &&
      blueMask == modeBlueMask)
    return true;
  sourceRedMask = redMask;
  sourceGreenMask = greenMask;
  sourceBlueMask = blueMask;
  sourceBits = bits;
  sourceBytesPerPixel = bits / 8;
  modeRedShift = MaskShift(modeRedMask);
  modeGreenShift = MaskShift(modeGreenMask);
  modeBlueShift = MaskShift(modeBlueMask);
  converter = bits + modeBytesPerPixel;
  return false;
}

bool DisplayDevice::CreateSurfaces() {
  if (!directDraw) return false;
  if (CheckResult(directDraw->SetDisplayMode(modeWidth, modeHeight, modeBits, 0, 0))) return false;

  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  IDirectDrawSurface7* front = nullptr;
  if (CheckResult(directDraw->CreateSurface(&desc, &front, nullptr))) return false;
  if (!front) return false;
  primary = front;

  // Without a back buffer there is nothing to present into, so this result
  // is tested like the others.
  DDSCAPS2 caps = {};
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  IDirectDrawSurface7* back = nullptr;
  if (CheckResult(primary->GetAttachedSurface(&caps, &back))) return false;
  if (!back) return false;
  backBuffer = back;
  return true;
}

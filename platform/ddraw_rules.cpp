// ddraw_rules.cpp — the standard mode list and the descriptions, listing and
// checks every display twin shares (platform/ddraw_rules.h).
#include "platform/ddraw_rules.h"

#include <array>
#include <cstddef>
#include <iterator>

namespace {

struct ModeSize {
  uint32_t width, height;
};

constexpr ModeSize kStandardSizes[] = {
    {320, 200},  {320, 240},  {400, 300},  {512, 384},   {640, 400},   {640, 480},
    {800, 600},  {1024, 768}, {1152, 864}, {1280, 960},  {1280, 1024}, {1600, 1200},
};

constexpr auto BuildStandardModes() {
  std::array<DdMode, 2 * std::size(kStandardSizes)> modes{};
  std::size_t n = 0;
  for (const ModeSize& size : kStandardSizes) {
    modes[n++] = {size.width, size.height, 16, kRed16, kGreen16, kBlue16};
    modes[n++] = {size.width, size.height, 32, kRed32, kGreen32, kBlue32};
  }
  return modes;
}

// Constant-initialised, so other files' start-up (virtual/'s initial state)
// may read it.
constexpr auto kStandardModeTable = BuildStandardModes();

DDPIXELFORMAT PixelFormatOf(const DdMode& mode) {
  DDPIXELFORMAT format = {};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = mode.bits;
  format.dwRBitMask = mode.redMask;
  format.dwGBitMask = mode.greenMask;
  format.dwBBitMask = mode.blueMask;
  return format;
}

}  // namespace

constinit const std::span<const DdMode> kStandardModes = kStandardModeTable;

int32_t ModeRowBytes(const DdMode& mode) {
  return static_cast<int32_t>(mode.width * (mode.bits / 8));
}

void DescribeLock(DDSURFACEDESC2* desc, const DdMode& mode, uint32_t width, uint32_t height,
                  int32_t pitch, void* pixels) {
  desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT;
  desc->dwWidth = width;
  desc->dwHeight = height;
  desc->lPitch = pitch;
  desc->lpSurface = pixels;
  desc->ddpfPixelFormat = PixelFormatOf(mode);
}

DDSURFACEDESC2 ListedMode(const DdMode& mode, int32_t pitch) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc.dwWidth = mode.width;
  desc.dwHeight = mode.height;
  desc.lPitch = pitch;
  desc.ddpfPixelFormat = PixelFormatOf(mode);
  return desc;
}

HRESULT ListModes(std::span<const DdMode> modes, void* context, LPDDENUMMODESCALLBACK2 callback,
                  int* listed) {
  if (!callback) return DDERR_INVALIDPARAMS;
  if (listed) *listed = 0;
  for (const DdMode& mode : modes) {
    DDSURFACEDESC2 desc = ListedMode(mode, ModeRowBytes(mode));
    if (listed) *listed += 1;
    if (callback(&desc, context) == DDENUMRET_CANCEL) break;
  }
  return DD_OK;
}

const DdMode* FindMode(std::span<const DdMode> modes, uint32_t width, uint32_t height,
                       uint32_t bits) {
  for (const DdMode& mode : modes)
    if (mode.width == width && mode.height == height && mode.bits == bits) return &mode;
  return nullptr;
}

bool IsFlipChainRequest(const DDSURFACEDESC2& desc) {
  constexpr uint32_t kChain = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  return (desc.ddsCaps.dwCaps & kChain) == kChain && (desc.dwFlags & DDSD_BACKBUFFERCOUNT) &&
         desc.dwBackBufferCount == 1;
}

HRESULT CheckCreateArgs(IDirectDraw7** out, void* outer) {
  if (out) *out = nullptr;
  return !out || outer ? DDERR_INVALIDPARAMS : DD_OK;
}

HRESULT CheckSurfaceArgs(const DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer) {
  if (out) *out = nullptr;
  if (!desc || !out || outer || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
  return DD_OK;
}

HRESULT CheckLockArgs(DDSURFACEDESC2* desc) {
  if (desc) desc->lpSurface = nullptr;
  return !desc || desc->dwSize != sizeof(DDSURFACEDESC2) ? DDERR_INVALIDPARAMS : DD_OK;
}

HRESULT AttachedBackBuffer(const DDSCAPS2* caps, IDirectDrawSurface7** out, bool onPrimary,
                           bool chainMade, IDirectDrawSurface7* back) {
  if (out) *out = nullptr;
  if (!caps || !out) return DDERR_INVALIDPARAMS;
  if (!onPrimary || caps->dwCaps != DDSCAPS_BACKBUFFER || !chainMade) return DDERR_NOTFOUND;
  *out = back;
  return DD_OK;
}

HRESULT SurfaceChain::CheckCooperativeLevel(WindowHandle newWindow) const {
  if (!newWindow) return DDERR_NOHWND;
  if (primaryCreated && newWindow != window) return DDERR_HWNDALREADYSET;
  return DD_OK;
}

HRESULT SurfaceChain::CheckSetMode() const {
  if (!window) return DDERR_NOCOOPERATIVELEVELSET;
  if (!(cooperativeFlags & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
  if (locked) return DDERR_SURFACEBUSY;
  return DD_OK;
}

HRESULT SurfaceChain::CheckCreateSurface(const DDSURFACEDESC2& desc) const {
  if (!window) return DDERR_NOCOOPERATIVELEVELSET;
  if (!IsFlipChainRequest(desc)) return DDERR_INVALIDCAPS;
  if (primaryCreated) return DDERR_PRIMARYSURFACEALREADYEXISTS;
  if (!modeSet) return DDERR_NOEXCLUSIVEMODE;
  return DD_OK;
}

HRESULT SurfaceChain::CheckLock(bool onPrimary, bool lost) const {
  if (onPrimary) return DDERR_CANTLOCKSURFACE;  // only the back buffer holds pixels
  if (!primaryCreated || lost) return DDERR_SURFACELOST;
  if (locked) return DDERR_SURFACEBUSY;
  return DD_OK;
}

HRESULT SurfaceChain::CheckUnlock(bool onPrimary) const {
  return onPrimary || !locked ? DDERR_NOTLOCKED : DD_OK;
}

HRESULT SurfaceChain::CheckFlip(bool onPrimary, bool lost) const {
  if (!onPrimary) return DDERR_NOTFLIPPABLE;
  if (!primaryCreated || lost) return DDERR_SURFACELOST;
  if (locked) return DDERR_SURFACEBUSY;
  return DD_OK;
}

HRESULT SurfaceChain::CheckLost(bool lost) const {
  return primaryCreated && !lost ? DD_OK : DDERR_SURFACELOST;
}

// win32_ddraw.cpp — platform/ddraw.h on the real DirectDraw 7.
//
// The seam's device and two surfaces are thin objects that hand every call
// to Windows' own interfaces (win32_ddraw_api.cpp) and copy the seam's
// smaller surface description to and from the real one. Result codes pass
// through unchanged: they are DirectDraw's own.
#include "platform/ddraw_rules.h"
#include "platform/win32/win32_api.h"

namespace {

DdMode ModeOf(const win32::SurfaceInfo& info) {
  return {info.width, info.height, info.bits, info.redMask, info.greenMask, info.blueMask};
}

struct ModeListing {
  void* context;
  LPDDENUMMODESCALLBACK2 callback;
};

uint32_t OnRealMode(const win32::SurfaceInfo& mode, void* user) {
  auto* listing = static_cast<ModeListing*>(user);
  DDSURFACEDESC2 desc = ListedMode(ModeOf(mode), mode.pitch);
  return listing->callback(&desc, listing->context);
}

class Win32Surface final : public IDirectDrawSurface7 {
 public:
  explicit Win32Surface(win32::Surface which) : which_(which) {}

  HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) override;

  HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, uint32_t flags, void*) override {
    if (HRESULT bad = CheckLockArgs(desc); bad != DD_OK) return bad;
    int32_t area[4];
    if (rect) {
      area[0] = rect->left;
      area[1] = rect->top;
      area[2] = rect->right;
      area[3] = rect->bottom;
    }
    win32::SurfaceInfo info;
    HRESULT result = win32::DdLock(which_, rect ? area : nullptr, flags, &info);
    if (result != DD_OK) return result;
    DescribeLock(desc, ModeOf(info), info.width, info.height, info.pitch, info.pixels);
    return DD_OK;
  }

  HRESULT Unlock(RECT*) override { return win32::DdUnlock(which_); }

  HRESULT Flip(IDirectDrawSurface7*, uint32_t flags) override {
    if (which_ != win32::Surface::kPrimary) return DDERR_NOTFLIPPABLE;
    return win32::DdFlip(flags);
  }

  HRESULT IsLost() override { return win32::DdIsLost(which_); }
  HRESULT Restore() override { return win32::DdRestore(which_); }

 private:
  win32::Surface which_;
};

Win32Surface PrimarySurface(win32::Surface::kPrimary);
Win32Surface BackSurface(win32::Surface::kBack);

HRESULT Win32Surface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) {
  if (out) *out = nullptr;
  if (!caps || !out) return DDERR_INVALIDPARAMS;
  if (which_ != win32::Surface::kPrimary) return DDERR_NOTFOUND;
  HRESULT result = win32::DdAttachBackBuffer(caps->dwCaps);
  if (result == DD_OK) *out = &BackSurface;
  return result;
}

class Win32DirectDraw final : public IDirectDraw7 {
 public:
  HRESULT SetCooperativeLevel(WindowHandle window, uint32_t flags) override {
    return win32::DdSetCooperativeLevel(window, flags);
  }

  HRESULT EnumDisplayModes(uint32_t flags, DDSURFACEDESC2*, void* context,
                           LPDDENUMMODESCALLBACK2 callback) override {
    if (!callback) return DDERR_INVALIDPARAMS;
    ModeListing listing = {context, callback};
    return win32::DdEnumDisplayModes(flags, &listing, OnRealMode);
  }

  HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bits, uint32_t refreshRate,
                         uint32_t flags) override {
    return win32::DdSetDisplayMode(width, height, bits, refreshRate, flags);
  }

  HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer) override {
    if (HRESULT bad = CheckSurfaceArgs(desc, out, outer); bad != DD_OK) return bad;
    HRESULT result =
        win32::DdCreatePrimary(desc->dwFlags, desc->ddsCaps.dwCaps, desc->dwBackBufferCount);
    if (result == DD_OK) *out = &PrimarySurface;
    return result;
  }
};

Win32DirectDraw Device;

}  // namespace

HRESULT DirectDrawCreateEx(const void*, IDirectDraw7** out, void* outer) {
  if (HRESULT bad = CheckCreateArgs(out, outer); bad != DD_OK) return bad;
  HRESULT result = win32::DdCreate();
  if (result == DD_OK) *out = &Device;
  return result;
}

// virtual_ddraw.cpp — the page-flipped display over surfaces in RAM (see
// platform/virtual/virtual_display.h for the controls).
#include <utility>

#include "platform/virtual/virtual_display.h"

namespace {

// The state at process start and after VirtualDisplayReset.
VirtualDisplayState InitialState() {
  VirtualDisplayState state = {};
  state.modes.assign(kStandardModes.begin(), kStandardModes.end());
  state.mode = kFrameMode;
  return state;
}

// Counts the call and returns its forced result (DD_OK when none).
HRESULT Enter(VirtualCall call, uint32_t flags) {
  VirtualDisplay.callCount[call] += 1;
  VirtualDisplay.lastFlags[call] = flags;
  return VirtualDisplay.results[call];
}

class VirtualSurface final : public IDirectDrawSurface7 {
 public:
  explicit VirtualSurface(bool isPrimary) : isPrimary_(isPrimary) {}

  HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) override;

  HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, uint32_t flags, void*) override {
    if (desc) desc->lpSurface = nullptr;
    if (HRESULT forced = Enter(kVirtualLock, flags); forced != DD_OK) return forced;
    if (HRESULT bad = CheckLockArgs(desc); bad != DD_OK) return bad;
    if (HRESULT bad = VirtualDisplay.chain.CheckLock(isPrimary_, VirtualDisplay.surfacesLost);
        bad != DD_OK)
      return bad;
    if (rect) return DDERR_INVALIDRECT;  // only whole-surface locks are offered
    VirtualDisplay.chain.locked = true;
    const DdMode& mode = VirtualDisplay.mode;
    DescribeLock(desc, mode, mode.width, mode.height, VirtualDisplay.surfacePitch,
                 VirtualDisplay.back.data());
    return DD_OK;
  }

  HRESULT Unlock(RECT*) override {
    if (HRESULT forced = Enter(kVirtualUnlock, 0); forced != DD_OK) return forced;
    if (HRESULT bad = VirtualDisplay.chain.CheckUnlock(isPrimary_); bad != DD_OK) return bad;
    VirtualDisplay.chain.locked = false;
    return DD_OK;
  }

  HRESULT Flip(IDirectDrawSurface7*, uint32_t flags) override {
    if (HRESULT forced = Enter(kVirtualFlip, flags); forced != DD_OK) return forced;
    if (HRESULT bad = VirtualDisplay.chain.CheckFlip(isPrimary_, VirtualDisplay.surfacesLost);
        bad != DD_OK)
      return bad;
    std::swap(VirtualDisplay.front, VirtualDisplay.back);
    VirtualDisplay.flipCount += 1;
    return DD_OK;
  }

  HRESULT IsLost() override { return VirtualDisplay.chain.CheckLost(VirtualDisplay.surfacesLost); }

  HRESULT Restore() override {
    if (HRESULT forced = Enter(kVirtualRestore, 0); forced != DD_OK) return forced;
    if (HRESULT bad = VirtualDisplay.chain.CheckLost(false); bad != DD_OK) return bad;
    VirtualDisplay.surfacesLost = false;
    VirtualDisplay.chain.locked = false;
    return DD_OK;
  }

 private:
  bool isPrimary_;
};

VirtualSurface PrimarySurface(true);
VirtualSurface BackSurface(false);

HRESULT VirtualSurface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) {
  if (out) *out = nullptr;
  if (HRESULT forced = Enter(kVirtualGetAttachedSurface, caps ? caps->dwCaps : 0);
      forced != DD_OK)
    return forced;
  return AttachedBackBuffer(caps, out, isPrimary_, VirtualDisplay.chain.primaryCreated,
                            &BackSurface);
}

class VirtualDirectDraw final : public IDirectDraw7 {
 public:
  HRESULT SetCooperativeLevel(WindowHandle window, uint32_t flags) override {
    if (HRESULT forced = Enter(kVirtualSetCooperativeLevel, flags); forced != DD_OK)
      return forced;
    if (HRESULT bad = VirtualDisplay.chain.CheckCooperativeLevel(window); bad != DD_OK) return bad;
    VirtualDisplay.chain.window = window;
    VirtualDisplay.chain.cooperativeFlags = flags;
    return DD_OK;
  }

  HRESULT EnumDisplayModes(uint32_t flags, DDSURFACEDESC2*, void* context,
                           LPDDENUMMODESCALLBACK2 callback) override {
    if (HRESULT forced = Enter(kVirtualEnumDisplayModes, flags); forced != DD_OK) return forced;
    return ListModes(VirtualDisplay.modes, context, callback, &VirtualDisplay.modesListed);
  }

  HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bits, uint32_t,
                         uint32_t flags) override {
    if (HRESULT forced = Enter(kVirtualSetDisplayMode, flags); forced != DD_OK) return forced;
    if (HRESULT bad = VirtualDisplay.chain.CheckSetMode(); bad != DD_OK) return bad;
    const DdMode* found = FindMode(VirtualDisplay.modes, width, height, bits);
    if (!found) return DDERR_INVALIDMODE;
    VirtualDisplay.mode = *found;
    VirtualDisplay.chain.modeSet = true;
    return DD_OK;
  }

  HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer) override {
    if (out) *out = nullptr;
    if (HRESULT forced = Enter(kVirtualCreateSurface, desc ? desc->ddsCaps.dwCaps : 0);
        forced != DD_OK)
      return forced;
    if (HRESULT bad = CheckSurfaceArgs(desc, out, outer); bad != DD_OK) return bad;
    VirtualDisplay.createDescFlags = desc->dwFlags;
    VirtualDisplay.createBackBufferCount = desc->dwBackBufferCount;
    if (HRESULT bad = VirtualDisplay.chain.CheckCreateSurface(*desc); bad != DD_OK) return bad;
    const DdMode& mode = VirtualDisplay.mode;
    int32_t rowBytes = ModeRowBytes(mode);
    VirtualDisplay.surfacePitch = VirtualDisplay.pitch > rowBytes ? VirtualDisplay.pitch : rowBytes;
    size_t bytes = size_t(VirtualDisplay.surfacePitch) * mode.height;
    VirtualDisplay.front.assign(bytes, 0);
    VirtualDisplay.back.assign(bytes, 0);
    VirtualDisplay.chain.primaryCreated = true;
    *out = &PrimarySurface;
    return DD_OK;
  }
};

VirtualDirectDraw Device;

}  // namespace

VirtualDisplayState VirtualDisplay = InitialState();

HRESULT DirectDrawCreateEx(const void*, IDirectDraw7** out, void* outer) {
  if (out) *out = nullptr;
  if (HRESULT forced = Enter(kVirtualCreate, 0); forced != DD_OK) return forced;
  if (HRESULT bad = CheckCreateArgs(out, outer); bad != DD_OK) return bad;
  *out = &Device;
  return DD_OK;
}

void VirtualDisplayReset() {
  VirtualDisplay = InitialState();
  VirtualPopups.clear();
}

VirtualFrame VirtualFrontBuffer() {
  if (VirtualDisplay.flipCount == 0 || VirtualDisplay.front.empty())
    return {nullptr, 0, 0, 0};
  return {VirtualDisplay.front.data(), static_cast<int>(VirtualDisplay.mode.width),
          static_cast<int>(VirtualDisplay.mode.height), VirtualDisplay.surfacePitch};
}

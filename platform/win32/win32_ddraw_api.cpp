// win32_ddraw_api.cpp — the real DirectDraw 7: one device object, the
// primary surface and its back buffer, kept here while the display's own
// 320x240x32 mode is used. Where it is not (win32_api.h), the stand-in
// (win32_standin_api.cpp) answers instead and DirectDraw is let go.
#include <windows.h>
// windows.h first: ddraw.h relies on its types.
#include <ddraw.h>

#include "platform/frame_shape.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_present_api.h"

namespace {

// The mode the stand-in supplies: the frame's own size and pixel layout.
constexpr DWORD kModeW = kFrameWidth, kModeH = kFrameHeight, kModeBits = 32;
constexpr DWORD kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF;

IDirectDraw7* Device = nullptr;
IDirectDrawSurface7* Primary = nullptr;
IDirectDrawSurface7* Back = nullptr;
int RefreshHz = 0;      // the desktop's, for pacing the stand-in's presents
HWND Window = nullptr;  // given to SetCooperativeLevel

uint32_t Code(HRESULT result) { return static_cast<uint32_t>(result); }

// The stand-in needs nothing of DirectDraw once the modes are listed: its
// surfaces are memory and GDI or OpenGL draws them. Under Wine an idle
// DirectDraw device still has Direct3D behind it; it goes.
void LetDirectDrawGo() {
  if (Back) Back->Release();  // GetAttachedSurface's reference
  if (Primary) Primary->Release();
  Back = Primary = nullptr;
  if (Device) Device->Release();
  Device = nullptr;
}

HRESULT WINAPI NoteModeWanted(DDSURFACEDESC2* desc, void* user) {
  if (desc->dwWidth == kModeW && desc->dwHeight == kModeH &&
      desc->ddpfPixelFormat.dwRGBBitCount == kModeBits) {
    *static_cast<bool*>(user) = true;
    return DDENUMRET_CANCEL;
  }
  return DDENUMRET_OK;
}

bool DisplayHasMode() {
  bool found = false;
  Device->EnumDisplayModes(0, nullptr, &found, NoteModeWanted);
  return found;
}

IDirectDrawSurface7* Pick(win32::Surface surface) {
  return surface == win32::Surface::kPrimary ? Primary : Back;
}

void FillInfo(const DDSURFACEDESC2& desc, win32::SurfaceInfo* out) {
  out->width = desc.dwWidth;
  out->height = desc.dwHeight;
  out->pitch = desc.lPitch;
  out->pixels = desc.lpSurface;
  out->bits = desc.ddpfPixelFormat.dwRGBBitCount;
  out->redMask = desc.ddpfPixelFormat.dwRBitMask;
  out->greenMask = desc.ddpfPixelFormat.dwGBitMask;
  out->blueMask = desc.ddpfPixelFormat.dwBBitMask;
}

struct EnumContext {
  void* context;
  win32::ModeCallback callback;
  bool cancelled = false;
  bool sawModeWanted = false;  // the real list has the 320x240x32 mode
};

HRESULT WINAPI OnMode(DDSURFACEDESC2* desc, void* user) {
  auto* e = static_cast<EnumContext*>(user);
  win32::SurfaceInfo mode = {};
  FillInfo(*desc, &mode);
  if (mode.width == kModeW && mode.height == kModeH && mode.bits == kModeBits)
    e->sawModeWanted = true;
  HRESULT result = static_cast<HRESULT>(e->callback(mode, e->context));
  if (result == DDENUMRET_CANCEL) e->cancelled = true;
  return result;
}

}  // namespace

namespace win32 {

uint32_t DdCreate() {
  if (Device) return DD_OK;
  void* created = nullptr;
  HRESULT result = DirectDrawCreateEx(nullptr, &created, IID_IDirectDraw7, nullptr);
  if (result == DD_OK) Device = static_cast<IDirectDraw7*>(created);
  return Code(result);
}

// The stand-in is decided here. It sets no cooperative level: the window
// stays an ordinary one, which DirectDraw never touches.
uint32_t DdSetCooperativeLevel(void* window, uint32_t flags) {
  if (StandInActive()) return Code(DD_OK);
  if (!Device) return Code(DDERR_NOTINITIALIZED);
  Window = static_cast<HWND>(window);
  if (StartWindowed() || !DisplayHasMode()) {
    StandInBegin(Window);
    return Code(DD_OK);
  }
  return Code(Device->SetCooperativeLevel(Window, flags));
}

bool DdLeaveExclusive(void* window) {
  if (StandInActive() || !Device || !Primary) return false;
  Device->RestoreDisplayMode();
  LetDirectDrawGo();
  Window = static_cast<HWND>(window);
  StandInBegin(Window);
  // The display device goes on with the same seam objects, now memory.
  StandInCreateSurfaces();
  return true;
}

uint32_t DdEnumDisplayModes(uint32_t flags, void* context, ModeCallback callback) {
  if (!Device) return Code(StandInActive() ? DD_OK : DDERR_NOTINITIALIZED);
  EnumContext e = {context, callback};
  HRESULT result = Device->EnumDisplayModes(flags, nullptr, &e, OnMode);
  if (result != DD_OK || !StandInActive() || e.cancelled || e.sawModeWanted) return Code(result);
  SurfaceInfo mode = {kModeW, kModeH, kFrameRowBytes, nullptr,
                      kModeBits, kRedMask, kGreenMask, kBlueMask};
  callback(mode, context);
  return Code(DD_OK);
}

uint32_t DdSetDisplayMode(uint32_t width, uint32_t height, uint32_t bits, uint32_t refresh,
                          uint32_t flags) {
  if (StandInActive() && width == kModeW && height == kModeH && bits == kModeBits) {
    LetDirectDrawGo();
    DEVMODEA desktop = {};
    desktop.dmSize = sizeof desktop;
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &desktop))
      RefreshHz = static_cast<int>(desktop.dmDisplayFrequency);
    ShowStandIn(Window, StartWindowed());
    return Code(DD_OK);
  }
  if (!Device) return Code(StandInActive() ? DDERR_INVALIDMODE : DDERR_NOTINITIALIZED);
  return Code(Device->SetDisplayMode(width, height, bits, refresh, flags));
}

uint32_t DdCreatePrimary(uint32_t flags, uint32_t caps, uint32_t backBufferCount) {
  if (StandInActive()) return StandInCreateSurfaces();
  if (!Device) return Code(DDERR_NOTINITIALIZED);
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = flags;
  desc.ddsCaps.dwCaps = caps;
  desc.dwBackBufferCount = backBufferCount;
  IDirectDrawSurface7* surface = nullptr;
  HRESULT result = Device->CreateSurface(&desc, &surface, nullptr);
  if (result == DD_OK) Primary = surface;
  return Code(result);
}

uint32_t DdAttachBackBuffer(uint32_t caps) {
  if (StandInActive()) return Code(StandInHasBackBuffer() ? DD_OK : DDERR_NOTFOUND);
  if (!Primary) return Code(DDERR_NOTINITIALIZED);
  DDSCAPS2 wanted = {};
  wanted.dwCaps = caps;
  IDirectDrawSurface7* surface = nullptr;
  HRESULT result = Primary->GetAttachedSurface(&wanted, &surface);
  if (result == DD_OK) Back = surface;
  return Code(result);
}

uint32_t DdLock(Surface surface, const int32_t* rect, uint32_t flags, SurfaceInfo* out) {
  *out = {};
  if (StandInActive()) {
    uint32_t result = StandInLock(surface == Surface::kPrimary, rect, &out->pixels, &out->pitch);
    if (result == DD_OK) {
      out->width = kModeW;
      out->height = kModeH;
      out->bits = kModeBits;
      out->redMask = kRedMask;
      out->greenMask = kGreenMask;
      out->blueMask = kBlueMask;
    }
    return result;
  }
  IDirectDrawSurface7* s = Pick(surface);
  if (!s) return Code(DDERR_SURFACELOST);
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  RECT area;
  if (rect) area = {rect[0], rect[1], rect[2], rect[3]};
  HRESULT result = s->Lock(rect ? &area : nullptr, &desc, flags, nullptr);
  if (result == DD_OK) FillInfo(desc, out);
  return Code(result);
}

uint32_t DdUnlock(Surface surface) {
  if (StandInActive()) return StandInUnlock(surface == Surface::kPrimary);
  IDirectDrawSurface7* s = Pick(surface);
  return s ? Code(s->Unlock(nullptr)) : Code(DDERR_NOTLOCKED);
}

uint32_t DdFlip(uint32_t flags) {
  if (StandInActive()) return StandInFlip(RefreshHz);
  if (!Primary) return Code(DDERR_SURFACELOST);
  HRESULT result = Primary->Flip(nullptr, flags);
  NotePresent("real mode 320x240x32, page flip");
  return Code(result);
}

uint32_t DdIsLost(Surface surface) {
  if (StandInActive()) return StandInIsLost();
  IDirectDrawSurface7* s = Pick(surface);
  return s ? Code(s->IsLost()) : Code(DDERR_SURFACELOST);
}

uint32_t DdRestore(Surface surface) {
  if (StandInActive()) return StandInRestore();
  IDirectDrawSurface7* s = Pick(surface);
  return s ? Code(s->Restore()) : Code(DDERR_SURFACELOST);
}

void DdRestoreDisplayMode() {
  if (Device) Device->RestoreDisplayMode();
}

}  // namespace win32

// win32_ddraw_api.cpp — the real DirectDraw 7: one device object, the
// primary surface and its back buffer, kept here for the process's life;
// and the stand-in 320x240x32 mode for displays without it (win32_api.h).
#include <windows.h>
// windows.h first: ddraw.h relies on its types.
#include <ddraw.h>

#include <vector>

#include "platform/frame_shape.h"
#include "platform/picture_scale.h"
#include "platform/present_pacing.h"
#include "platform/win32/win32_api.h"

namespace {

// The mode the stand-in supplies: the frame's own size and pixel layout.
constexpr DWORD kModeW = kFrameWidth, kModeH = kFrameHeight, kModeBits = 32;
constexpr DWORD kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF;

IDirectDraw7* Device = nullptr;
IDirectDrawSurface7* Primary = nullptr;
IDirectDrawSurface7* Back = nullptr;

// The stand-in puts the enlarged picture on screen with GDI. DirectDraw at
// the normal cooperative level (clipper and Blt to the primary) was tried
// under Wine 8 without a virtual desktop: it took as much CPU or more, and
// the 1440x1080 Blt, though it returned DD_OK, left the window black.
struct StandInState {
  bool active = false;  // decided by DdSetCooperativeLevel
  HWND window = nullptr;
  int refreshHz = 0;
  int clientW = -1, clientH = -1;   // the size `scale` was prepared for
  PictureScale scale;               // place.x/y 0: written into `picture`
  PictureRect place = {0, 0, 0, 0};  // where `picture` goes in the client area
  std::vector<uint32_t> picture;    // the enlarged frame, place.w x place.h
};
StandInState StandIn;

uint32_t Code(HRESULT result) { return static_cast<uint32_t>(result); }

// A failed GDI call's own code, as an HRESULT.
uint32_t LastErrorCode() {
  DWORD error = GetLastError();
  return error ? Code(HRESULT_FROM_WIN32(error)) : Code(DDERR_GENERIC);
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

// A system-memory surface in the frame's pixel layout.
HRESULT CreateMemorySurface(DWORD width, DWORD height, IDirectDrawSurface7** out) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
  desc.ddpfPixelFormat.dwRGBBitCount = kModeBits;
  desc.ddpfPixelFormat.dwRBitMask = kRedMask;
  desc.ddpfPixelFormat.dwGBitMask = kGreenMask;
  desc.ddpfPixelFormat.dwBBitMask = kBlueMask;
  *out = nullptr;
  return Device->CreateSurface(&desc, out, nullptr);
}

// The stand-in's primary (kept for IsLost and Restore; the picture goes to
// the window through GDI) and the back buffer.
HRESULT CreateStandInSurfaces() {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  IDirectDrawSurface7* primary = nullptr;
  HRESULT result = Device->CreateSurface(&desc, &primary, nullptr);
  if (result != DD_OK) return result;
  Primary = primary;
  IDirectDrawSurface7* back = nullptr;
  result = CreateMemorySurface(kModeW, kModeH, &back);
  if (result == DD_OK) Back = back;
  return result;
}

// On a change of the client size: the new rectangle, its buffer and black
// over the whole client area (the bars stay black until the next change).
HRESULT FitToClient(int width, int height) {
  StandIn.clientW = width;
  StandIn.clientH = height;
  StandIn.place = FitPicture(width, height, kModeW, kModeH);
  PictureRect at = {0, 0, StandIn.place.w, StandIn.place.h};
  PrepareScale(&StandIn.scale, kModeW, kModeH, at);
  StandIn.picture.assign(size_t(at.w) * size_t(at.h), 0);
  HDC dc = GetDC(StandIn.window);
  if (!dc) return LastErrorCode();
  RECT all = {0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(StandIn.window, dc);
  return DD_OK;
}

// Enlarges the back buffer into `out` (place.w x place.h, `pitch` bytes a row).
HRESULT EnlargeBack(void* out, int pitch) {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  HRESULT result = Back->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
  if (result != DD_OK) return result;
  ScalePicture(StandIn.scale, desc.lpSurface, desc.lPitch, out, pitch);
  return Back->Unlock(nullptr);
}

HRESULT ShowByGdi() {
  const PictureRect& p = StandIn.place;
  HRESULT result = EnlargeBack(StandIn.picture.data(), p.w * 4);
  if (result != DD_OK) return result;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = p.w;
  info.bmiHeader.biHeight = -p.h;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(StandIn.window);
  if (!dc) return LastErrorCode();
  int rows = SetDIBitsToDevice(dc, p.x, p.y, p.w, p.h, 0, 0, 0, p.h, StandIn.picture.data(),
                               &info, DIB_RGB_COLORS);
  uint32_t code = rows == 0 ? LastErrorCode() : Code(DD_OK);
  ReleaseDC(StandIn.window, dc);
  return code;
}

// The stand-in's Flip: the back buffer enlarged into the window.
HRESULT StandInFlip() {
  if (!Primary || !Back) return DDERR_SURFACELOST;
  int width = 0, height = 0;
  win32::ClientSize(StandIn.window, &width, &height);
  HRESULT result = DD_OK;
  if (width != StandIn.clientW || height != StandIn.clientH) result = FitToClient(width, height);
  if (result == DD_OK && StandIn.place.w > 0 && StandIn.place.h > 0)
    result = ShowByGdi();
  PacePresent(StandIn.refreshHz);
  return result;
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

uint32_t DdSetCooperativeLevel(void* window, uint32_t flags) {
  if (!Device) return Code(DDERR_NOTINITIALIZED);
  StandIn.active = StartWindowed() || !DisplayHasMode();
  if (!StandIn.active) return Code(Device->SetCooperativeLevel(static_cast<HWND>(window), flags));
  StandIn.window = static_cast<HWND>(window);
  return Code(Device->SetCooperativeLevel(StandIn.window, DDSCL_NORMAL));
}

bool DdLeaveExclusive(void* window) {
  if (StandIn.active || !Device || !Primary) return false;
  Device->RestoreDisplayMode();
  if (Back) Back->Release();  // GetAttachedSurface's reference
  Primary->Release();         // and the flipping chain with it
  Back = Primary = nullptr;
  StandIn.active = true;
  StandIn.window = static_cast<HWND>(window);
  StandIn.clientW = StandIn.clientH = -1;
  // Failures leave no surfaces: the display's next Lock reports them.
  if (Device->SetCooperativeLevel(StandIn.window, DDSCL_NORMAL) == DD_OK) CreateStandInSurfaces();
  return true;
}

uint32_t DdEnumDisplayModes(uint32_t flags, void* context, ModeCallback callback) {
  if (!Device) return Code(DDERR_NOTINITIALIZED);
  EnumContext e = {context, callback};
  HRESULT result = Device->EnumDisplayModes(flags, nullptr, &e, OnMode);
  if (result != DD_OK || !StandIn.active || e.cancelled || e.sawModeWanted) return Code(result);
  SurfaceInfo mode = {kModeW, kModeH, kFrameRowBytes, nullptr,
                      kModeBits, kRedMask, kGreenMask, kBlueMask};
  callback(mode, context);
  return Code(DD_OK);
}

uint32_t DdSetDisplayMode(uint32_t width, uint32_t height, uint32_t bits, uint32_t refresh,
                          uint32_t flags) {
  if (!Device) return Code(DDERR_NOTINITIALIZED);
  if (StandIn.active && width == kModeW && height == kModeH && bits == kModeBits) {
    DEVMODEA desktop = {};
    desktop.dmSize = sizeof desktop;
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &desktop))
      StandIn.refreshHz = static_cast<int>(desktop.dmDisplayFrequency);
    ShowStandIn(StandIn.window, StartWindowed());
    return Code(DD_OK);
  }
  return Code(Device->SetDisplayMode(width, height, bits, refresh, flags));
}

uint32_t DdCreatePrimary(uint32_t flags, uint32_t caps, uint32_t backBufferCount) {
  if (!Device) return Code(DDERR_NOTINITIALIZED);
  if (StandIn.active) return Code(CreateStandInSurfaces());
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
  if (!Primary) return Code(DDERR_NOTINITIALIZED);
  if (StandIn.active) return Code(Back ? DD_OK : DDERR_NOTFOUND);
  DDSCAPS2 wanted = {};
  wanted.dwCaps = caps;
  IDirectDrawSurface7* surface = nullptr;
  HRESULT result = Primary->GetAttachedSurface(&wanted, &surface);
  if (result == DD_OK) Back = surface;
  return Code(result);
}

uint32_t DdLock(Surface surface, const int32_t* rect, uint32_t flags, SurfaceInfo* out) {
  *out = {};
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
  IDirectDrawSurface7* s = Pick(surface);
  return s ? Code(s->Unlock(nullptr)) : Code(DDERR_NOTLOCKED);
}

uint32_t DdFlip(uint32_t flags) {
  if (StandIn.active) return Code(StandInFlip());
  return Primary ? Code(Primary->Flip(nullptr, flags)) : Code(DDERR_SURFACELOST);
}

uint32_t DdIsLost(Surface surface) {
  IDirectDrawSurface7* s = Pick(surface);
  return s ? Code(s->IsLost()) : Code(DDERR_SURFACELOST);
}

uint32_t DdRestore(Surface surface) {
  IDirectDrawSurface7* s = Pick(surface);
  if (!s) return Code(DDERR_SURFACELOST);
  HRESULT result = s->Restore();
  // The stand-in's back buffer is not attached: it comes back with the primary.
  if (result == DD_OK && StandIn.active && surface == Surface::kPrimary && Back)
    result = Back->Restore();
  return Code(result);
}

void DdRestoreDisplayMode() {
  if (Device) Device->RestoreDisplayMode();
}

}  // namespace win32

// win32_ddraw_api.cpp — the real DirectDraw 7: one device object, the
// primary surface and its back buffer, kept here for the process's life.
#include <windows.h>
// windows.h first: ddraw.h relies on its types.
#include <ddraw.h>

#include "platform/win32/win32_api.h"

namespace {

IDirectDraw7* Device = nullptr;
IDirectDrawSurface7* Primary = nullptr;
IDirectDrawSurface7* Back = nullptr;

uint32_t Code(HRESULT result) { return static_cast<uint32_t>(result); }

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
};

HRESULT WINAPI OnMode(DDSURFACEDESC2* desc, void* user) {
  auto* e = static_cast<EnumContext*>(user);
  win32::SurfaceInfo mode = {};
  FillInfo(*desc, &mode);
  return static_cast<HRESULT>(e->callback(mode, e->context));
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
  return Code(Device->SetCooperativeLevel(static_cast<HWND>(window), flags));
}

uint32_t DdEnumDisplayModes(uint32_t flags, void* context, ModeCallback callback) {
  if (!Device) return Code(DDERR_NOTINITIALIZED);
  EnumContext e = {context, callback};
  return Code(Device->EnumDisplayModes(flags, nullptr, &e, OnMode));
}

uint32_t DdSetDisplayMode(uint32_t width, uint32_t height, uint32_t bits, uint32_t refresh,
                          uint32_t flags) {
  if (!Device) return Code(DDERR_NOTINITIALIZED);
  return Code(Device->SetDisplayMode(width, height, bits, refresh, flags));
}

uint32_t DdCreatePrimary(uint32_t flags, uint32_t caps, uint32_t backBufferCount) {
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
  return Primary ? Code(Primary->Flip(nullptr, flags)) : Code(DDERR_SURFACELOST);
}

uint32_t DdIsLost(Surface surface) {
  IDirectDrawSurface7* s = Pick(surface);
  return s ? Code(s->IsLost()) : Code(DDERR_SURFACELOST);
}

uint32_t DdRestore(Surface surface) {
  IDirectDrawSurface7* s = Pick(surface);
  return s ? Code(s->Restore()) : Code(DDERR_SURFACELOST);
}

void DdRestoreDisplayMode() {
  if (Device) Device->RestoreDisplayMode();
}

}  // namespace win32

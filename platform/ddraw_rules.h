// ddraw_rules.h — what every display twin does the same way behind
// platform/ddraw.h: the modes it may offer, the argument checks each call
// starts with, the order the calls must come in (SurfaceChain), how a mode
// and a locked surface are described to the caller, the mode listing, and
// which CreateSurface request makes the flipping chain.
//
// The twins keep only what their system needs: sdl/ (an SDL2 window),
// win32/ (the real DirectDraw 7, whose answers it passes on), web/ (the
// page's canvas) and virtual/ (memory, for tests and the capture tool). How
// a twin uses it:
//   EnumDisplayModes:  return ListModes(modes, context, callback);
//   SetDisplayMode:    const DdMode* mode = FindMode(modes, width, height, bits);
//   CreateSurface:     if (HRESULT bad = CheckSurfaceArgs(desc, out, outer); bad != DD_OK)
//                        return bad;
//                      if (HRESULT bad = chain.CheckCreateSurface(*desc); bad != DD_OK)
//                        return bad;
//                      ... make the surfaces; chain.primaryCreated = true;
//   Lock:              CheckLockArgs(desc), chain.CheckLock(onPrimary, lost), then
//                      DescribeLock(desc, mode, width, height, pitch, pixels);
#pragma once
#include <cstdint>
#include <span>

#include "platform/ddraw.h"
#include "platform/frame_shape.h"

// One display mode as the twins list it.
struct DdMode {
  uint32_t width, height, bits;
  uint32_t redMask, greenMask, blueMask;
};

// Masks of the two depths the twins offer: 16 bits RGB 565, 32 bits X8R8G8B8.
constexpr uint32_t kRed16 = 0xF800, kGreen16 = 0x07E0, kBlue16 = 0x001F;
constexpr uint32_t kRed32 = 0x00FF0000, kGreen32 = 0x0000FF00, kBlue32 = 0x000000FF;

// The frame's own mode: its size at 32 bits, X8R8G8B8 being the frame's byte
// order. The only mode web/ lists; the one virtual/ starts in.
constexpr DdMode kFrameMode = {kFrameWidth, kFrameHeight, 32, kRed32, kGreen32, kBlue32};

// The usual VGA/SVGA sizes, smallest first, each at 16 and then at 32 bits:
// what sdl/ lists, and virtual/ unless a test sets its own list. (win32/
// lists what the real display offers; web/ only kFrameMode.)
extern const std::span<const DdMode> kStandardModes;

// Bytes in one row of `mode` with no padding.
int32_t ModeRowBytes(const DdMode& mode);

// What a Lock hands back: the locked area's size, its rows `pitch` bytes
// apart from `pixels` on, in the pixel format of `mode`.
void DescribeLock(DDSURFACEDESC2* desc, const DdMode& mode, uint32_t width, uint32_t height,
                  int32_t pitch, void* pixels);

// What EnumDisplayModes hands its callback for `mode`, rows `pitch` bytes apart.
DDSURFACEDESC2 ListedMode(const DdMode& mode, int32_t pitch);

// EnumDisplayModes over a list: calls `callback` with each mode (rows with no
// padding) until it returns DDENUMRET_CANCEL. DD_OK, or DDERR_INVALIDPARAMS
// without a callback. *listed, when given, counts the calls made.
HRESULT ListModes(std::span<const DdMode> modes, void* context, LPDDENUMMODESCALLBACK2 callback,
                  int* listed = nullptr);

// SetDisplayMode's look-up: the mode of `modes` with that size and depth, or
// null (the twin then answers DDERR_INVALIDMODE).
const DdMode* FindMode(std::span<const DdMode> modes, uint32_t width, uint32_t height,
                       uint32_t bits);

// True when CreateSurface is asked for the one thing the display device makes:
// a flipping primary (DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX)
// with exactly one back buffer. Anything else is DDERR_INVALIDCAPS.
bool IsFlipChainRequest(const DDSURFACEDESC2& desc);

// ---- the argument checks each call starts with, as the interface answers
// them: the out-pointer cleared first, then DDERR_INVALIDPARAMS for what is
// missing, of the wrong size, or not supported (an outer object); else DD_OK.

// DirectDrawCreateEx.
HRESULT CheckCreateArgs(IDirectDraw7** out, void* outer);
// CreateSurface.
HRESULT CheckSurfaceArgs(const DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer);
// Lock: desc->lpSurface is cleared, so a failed Lock leaves no pixel pointer.
HRESULT CheckLockArgs(DDSURFACEDESC2* desc);

// GetAttachedSurface on a twin whose chain is a primary and one back buffer:
// `back` into *out when asked on the primary (`onPrimary`) for
// DDSCAPS_BACKBUFFER once the chain exists (`chainMade`); DDERR_NOTFOUND
// otherwise, DDERR_INVALIDPARAMS without caps or out.
HRESULT AttachedBackBuffer(const DDSCAPS2* caps, IDirectDrawSurface7** out, bool onPrimary,
                           bool chainMade, IDirectDrawSurface7* back);

// ---- the flipping chain's life, as sdl/, web/ and virtual/ keep it (win32/
// passes on what the real DirectDraw answers, which keeps the same rules).
// A twin holds one SurfaceChain, asks the check for a call first, then does
// its own work and records what changed:
//   SetCooperativeLevel  a window; not another one once the chain exists
//   SetDisplayMode       after an exclusive SetCooperativeLevel; not while
//                        the back buffer is locked
//   CreateSurface        the flip chain, after SetDisplayMode, once
//   Lock                 the back buffer only, once the chain exists, not twice
//   Unlock               the back buffer, while it is locked
//   Flip                 on the primary, once the chain exists, not while locked
//   IsLost, Restore      lost until the chain exists
// Each check answers the first rule the call breaks, or DD_OK. `lost` is the
// twin's own word that its surfaces' memory is gone.
struct SurfaceChain {
  WindowHandle window = nullptr;  // from SetCooperativeLevel
  uint32_t cooperativeFlags = 0;
  bool modeSet = false;           // SetDisplayMode succeeded
  bool primaryCreated = false;    // CreateSurface made the chain
  bool locked = false;            // the back buffer is locked

  // DDERR_NOHWND without a window, DDERR_HWNDALREADYSET for another window
  // once the chain exists.
  HRESULT CheckCooperativeLevel(WindowHandle newWindow) const;
  // DDERR_NOCOOPERATIVELEVELSET, DDERR_NOEXCLUSIVEMODE, DDERR_SURFACEBUSY.
  HRESULT CheckSetMode() const;
  // DDERR_NOCOOPERATIVELEVELSET, DDERR_INVALIDCAPS (not the flip chain),
  // DDERR_PRIMARYSURFACEALREADYEXISTS, DDERR_NOEXCLUSIVEMODE (no mode set).
  HRESULT CheckCreateSurface(const DDSURFACEDESC2& desc) const;
  // DDERR_CANTLOCKSURFACE on the primary, DDERR_SURFACELOST, DDERR_SURFACEBUSY.
  HRESULT CheckLock(bool onPrimary, bool lost) const;
  // DDERR_NOTLOCKED on the primary or when nothing is locked.
  HRESULT CheckUnlock(bool onPrimary) const;
  // DDERR_NOTFLIPPABLE on the back buffer, DDERR_SURFACELOST, DDERR_SURFACEBUSY.
  HRESULT CheckFlip(bool onPrimary, bool lost) const;
  // IsLost's answer, and Restore's first check (with `lost` false):
  // DDERR_SURFACELOST before the chain exists or while lost.
  HRESULT CheckLost(bool lost) const;
};

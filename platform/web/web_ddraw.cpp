// web_ddraw.cpp — the page-flipped display on the page's canvas.
//
// One mode, 320x240 at 32 bits (X8R8G8B8, the frame's own layout); the back
// buffer is plain memory. Flip turns it into the canvas's RGBA byte order
// with full alpha and hands it to the page, which puts it on the canvas at
// the next paint (qm7Page.present). Pacing comes from the browser, which
// runs the main loop once per display frame.
#include <emscripten.h>

#include <cstring>
#include <vector>

#include "platform/ddraw_rules.h"

namespace {

// The canvas offers the frame's own mode and no other.
constexpr DdMode kCanvasModes[] = {kFrameMode};
constexpr const DdMode& kCanvasMode = kCanvasModes[0];

struct WebDisplayState {
  SurfaceChain chain;
  std::vector<uint8_t> back;    // X8R8G8B8 rows, little-endian: B, G, R, X
  std::vector<uint8_t> canvas;  // R, G, B, A rows for the page
};

WebDisplayState Web;

EM_JS(void, PresentToPage, (const uint8_t* rgba, int width, int height), {
  if (typeof qm7Page !== 'undefined') qm7Page.present(rgba, width, height);
});

class WebSurface final : public IDirectDrawSurface7 {
 public:
  explicit WebSurface(bool isPrimary) : isPrimary_(isPrimary) {}

  HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) override;

  HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, uint32_t, void*) override {
    if (HRESULT bad = CheckLockArgs(desc); bad != DD_OK) return bad;
    if (HRESULT bad = Web.chain.CheckLock(isPrimary_, false); bad != DD_OK) return bad;
    if (rect) return DDERR_INVALIDRECT;  // whole-surface locks only
    Web.chain.locked = true;
    DescribeLock(desc, kCanvasMode, kCanvasMode.width, kCanvasMode.height, kFrameRowBytes,
                 Web.back.data());
    return DD_OK;
  }

  HRESULT Unlock(RECT*) override {
    if (HRESULT bad = Web.chain.CheckUnlock(isPrimary_); bad != DD_OK) return bad;
    Web.chain.locked = false;
    return DD_OK;
  }

  HRESULT Flip(IDirectDrawSurface7*, uint32_t) override {
    if (HRESULT bad = Web.chain.CheckFlip(isPrimary_, false); bad != DD_OK) return bad;
    const uint8_t* from = Web.back.data();
    uint8_t* to = Web.canvas.data();
    for (std::size_t i = 0; i < Web.back.size(); i += 4) {
      to[i] = from[i + 2];
      to[i + 1] = from[i + 1];
      to[i + 2] = from[i];
      to[i + 3] = 255;
    }
    PresentToPage(to, static_cast<int>(kCanvasMode.width), static_cast<int>(kCanvasMode.height));
    return DD_OK;
  }

  HRESULT IsLost() override { return Web.chain.CheckLost(false); }

  HRESULT Restore() override { return Web.chain.CheckLost(false); }

 private:
  bool isPrimary_;
};

WebSurface PrimarySurface(true);
WebSurface BackSurface(false);

HRESULT WebSurface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) {
  return AttachedBackBuffer(caps, out, isPrimary_, Web.chain.primaryCreated, &BackSurface);
}

class WebDirectDraw final : public IDirectDraw7 {
 public:
  HRESULT SetCooperativeLevel(WindowHandle window, uint32_t flags) override {
    if (HRESULT bad = Web.chain.CheckCooperativeLevel(window); bad != DD_OK) return bad;
    Web.chain.window = window;
    Web.chain.cooperativeFlags = flags;
    return DD_OK;
  }

  HRESULT EnumDisplayModes(uint32_t, DDSURFACEDESC2*, void* context,
                           LPDDENUMMODESCALLBACK2 callback) override {
    return ListModes(kCanvasModes, context, callback);
  }

  HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bits, uint32_t,
                         uint32_t) override {
    if (HRESULT bad = Web.chain.CheckSetMode(); bad != DD_OK) return bad;
    if (!FindMode(kCanvasModes, width, height, bits)) return DDERR_INVALIDMODE;
    Web.chain.modeSet = true;
    return DD_OK;
  }

  HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer) override {
    if (HRESULT bad = CheckSurfaceArgs(desc, out, outer); bad != DD_OK) return bad;
    if (HRESULT bad = Web.chain.CheckCreateSurface(*desc); bad != DD_OK) return bad;
    Web.back.assign(kFrameBytes, 0);
    Web.canvas.assign(kFrameBytes, 0);
    Web.chain.primaryCreated = true;
    *out = &PrimarySurface;
    return DD_OK;
  }
};

WebDirectDraw Device;

}  // namespace

HRESULT DirectDrawCreateEx(const void*, IDirectDraw7** out, void* outer) {
  if (HRESULT bad = CheckCreateArgs(out, outer); bad != DD_OK) return bad;
  *out = &Device;
  return DD_OK;
}

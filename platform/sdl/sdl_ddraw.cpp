// sdl_ddraw.cpp — the page-flipped display on an SDL2 window.
//
// The window (made by the host) is put in desktop full-screen; the desktop
// resolution never changes. "Setting a mode" picks how frames reach the
// screen (sdl_present.h):
//   GPU  a renderer; the back buffer is a streaming texture of the mode's
//        size, locked for the frame. Flip scales it: nearest-neighbour into a
//        target texture at the largest whole multiple that fits, then smooth
//        scaling of that into the largest rectangle of the mode's aspect (4:3
//        for 320x240), black elsewhere, paced by vsync when there is one.
//   CPU  no renderer; the back buffer is memory, and Flip enlarges it into
//        the same rectangle of the window surface (platform/picture_scale.h:
//        every pixel the same size, mixed only at the seams).
// Both give the same look. With QM7_STATS, EndPlatform reports the way the
// last frame took, and says so when that look could not be had
// (ReportPresentation).
//
// Failures never crash: a window that is gone or a renderer that lost its
// device makes Lock and Flip return DDERR_SURFACELOST without touching any
// SDL object of the old window; Restore rebuilds the textures when it can.
#include <SDL.h>

#include <cstdio>
#include <vector>

#include "platform/ddraw_rules.h"
#include "platform/picture_scale.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_present.h"

namespace {

struct SdlDisplayState {
  SDL_Window* window;
  Uint32 windowId;
  SurfaceChain chain;
  bool pathChosen;
  PresentPath path;
  SDL_Renderer* renderer;  // GPU path only
  SDL_Texture* frame;   // GPU path: the back buffer, streaming, the mode's size
  std::vector<uint32_t> memory;  // CPU path: the back buffer, rows of the mode's width
  SDL_Texture* scaled;  // render target at scaledFactor x the mode's size
  int scaledFactor;
  DdMode mode;
  bool deviceLost;  // the renderer reported a device reset: textures are gone
  bool watching;
  // How the last frame was shown, for ReportPresentation.
  enum class Look { kNone, kCpuEven, kCpuBlit, kGpuEven, kGpuNearest } look;
  SDL_Rect lastTarget;
};

SdlDisplayState Sdl = {};

int WatchRenderEvents(void*, SDL_Event* event) {
  if (event->type == SDL_RENDER_DEVICE_RESET) Sdl.deviceLost = true;
  // The CPU path paints the bars only when the window's contents may be gone.
  if (event->type == SDL_WINDOWEVENT && (event->window.event == SDL_WINDOWEVENT_EXPOSED ||
                                         event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED))
    CpuPresentRepaint();
  return 0;
}

bool CpuPath() { return Sdl.path == PresentPath::kCpu; }

int MemoryPitch() { return ModeRowBytes(Sdl.mode); }

// The window still exists (the host may have destroyed it at any time).
bool WindowAlive() {
  return Sdl.window && SDL_GetWindowFromID(Sdl.windowId) == Sdl.window;
}

// The window is gone: forget everything made on it without calling SDL on
// it (SDL destroyed the renderer and its textures with the window).
void ForgetWindow() {
  Sdl.window = nullptr;
  Sdl.renderer = nullptr;
  Sdl.frame = nullptr;
  Sdl.scaled = nullptr;
  Sdl.scaledFactor = 0;
  Sdl.chain.locked = false;
  CpuPresentForget();
}

bool Usable() {
  if (!WindowAlive()) {
    ForgetWindow();
    return false;
  }
  if (CpuPath()) return !Sdl.memory.empty();
  return Sdl.renderer && Sdl.frame && !Sdl.deviceLost;
}

Uint32 TextureFormat(const DdMode& mode) {
  return mode.bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_ARGB8888;
}

bool CreateFrameTexture() {
  if (CpuPath()) {
    size_t bytes = size_t(MemoryPitch()) * Sdl.mode.height;
    Sdl.memory.assign((bytes + 3) / 4, 0);
    return true;
  }
  Sdl.frame = SDL_CreateTexture(Sdl.renderer, TextureFormat(Sdl.mode), SDL_TEXTUREACCESS_STREAMING,
                                static_cast<int>(Sdl.mode.width),
                                static_cast<int>(Sdl.mode.height));
  if (!Sdl.frame) return false;
  SDL_SetTextureScaleMode(Sdl.frame, SDL_ScaleModeNearest);
  return true;
}

void DropTextures() {
  if (Sdl.scaled) SDL_DestroyTexture(Sdl.scaled);
  if (Sdl.frame) SDL_DestroyTexture(Sdl.frame);
  Sdl.scaled = nullptr;
  Sdl.frame = nullptr;
  Sdl.scaledFactor = 0;
}

// The largest rectangle of the mode's aspect that fits the output, centred.
SDL_Rect FitAspect(int outW, int outH) {
  PictureRect p = FitPicture(outW, outH, static_cast<int>(Sdl.mode.width),
                             static_cast<int>(Sdl.mode.height));
  return {p.x, p.y, p.w, p.h};
}

// Nearest-neighbour copy of the frame at `factor` into the target texture;
// false when render targets are not available (the frame is drawn directly).
bool DrawScaled(int factor) {
  if (!SDL_RenderTargetSupported(Sdl.renderer)) return false;
  if (Sdl.scaledFactor != factor || !Sdl.scaled) {
    if (Sdl.scaled) SDL_DestroyTexture(Sdl.scaled);
    Sdl.scaled = SDL_CreateTexture(Sdl.renderer, SDL_PIXELFORMAT_ARGB8888,
                                   SDL_TEXTUREACCESS_TARGET,
                                   static_cast<int>(Sdl.mode.width) * factor,
                                   static_cast<int>(Sdl.mode.height) * factor);
    Sdl.scaledFactor = Sdl.scaled ? factor : 0;
    if (!Sdl.scaled) return false;
    SDL_SetTextureScaleMode(Sdl.scaled, SDL_ScaleModeLinear);
  }
  if (SDL_SetRenderTarget(Sdl.renderer, Sdl.scaled) != 0) return false;
  SDL_RenderCopy(Sdl.renderer, Sdl.frame, nullptr, nullptr);
  SDL_SetRenderTarget(Sdl.renderer, nullptr);
  return true;
}

HRESULT Show() {
  if (CpuPath()) {
    if (!CpuPresent(Sdl.window, Sdl.memory.data(), MemoryPitch(), static_cast<int>(Sdl.mode.width),
                    static_cast<int>(Sdl.mode.height), TextureFormat(Sdl.mode)))
      return DDERR_SURFACELOST;
    Sdl.look = CpuPresentLast(&Sdl.lastTarget) ? SdlDisplayState::Look::kCpuEven
                                               : SdlDisplayState::Look::kCpuBlit;
    PaceSdlPresent(Sdl.window);
    return DD_OK;
  }
  int outW = 0, outH = 0;
  if (SDL_GetRendererOutputSize(Sdl.renderer, &outW, &outH) != 0 || outW <= 0 || outH <= 0)
    return DDERR_SURFACELOST;
  int factor = outW / static_cast<int>(Sdl.mode.width);
  int factorH = outH / static_cast<int>(Sdl.mode.height);
  if (factorH < factor) factor = factorH;
  if (factor < 1) factor = 1;
  bool scaled = DrawScaled(factor);

  SDL_SetRenderDrawColor(Sdl.renderer, 0, 0, 0, 255);
  SDL_RenderClear(Sdl.renderer);
  SDL_Rect target = FitAspect(outW, outH);
  SDL_RenderCopy(Sdl.renderer, scaled ? Sdl.scaled : Sdl.frame, nullptr, &target);
  SDL_RenderPresent(Sdl.renderer);
  Sdl.look = scaled ? SdlDisplayState::Look::kGpuEven : SdlDisplayState::Look::kGpuNearest;
  Sdl.lastTarget = target;
  PaceSdlPresent(Sdl.window);
  return DD_OK;
}

// Picks the presentation on the first mode set: the GPU path keeps an
// accelerated renderer; a renderer that draws on the processor, or none at
// all, gives way to the CPU path. False when neither can draw.
bool ChoosePath() {
  Sdl.path = PreferredPresentPath();
  if (Sdl.path == PresentPath::kGpu) {
    Sdl.renderer = SDL_CreateRenderer(
        Sdl.window, -1,
        SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC | SDL_RENDERER_TARGETTEXTURE);
    if (Sdl.renderer && RendererIsSoftware(Sdl.renderer)) {
      SDL_DestroyRenderer(Sdl.renderer);
      Sdl.renderer = nullptr;
    }
    if (!Sdl.renderer) Sdl.path = PresentPath::kCpu;
  }
  if (Sdl.path == PresentPath::kCpu) {
    // The window surface must be plain memory, not a texture of a renderer
    // that SDL would make behind the scenes.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!SDL_GetWindowSurface(Sdl.window)) return false;
  }
  Sdl.pathChosen = true;
  return true;
}

// Full screen at the desktop's own resolution. A window that already covers
// the display (OpenDemoWindow makes it so in one step) is left alone: every
// further change can wait on the window manager. Any other window is first given the display's size and
// position as a plain window: an X server without a window manager ignores
// the full-screen request and would otherwise keep the window small while
// the picture is drawn for the whole screen.
void CoverScreen(SDL_Window* window) {
  SDL_Rect bounds;
  int w = 0, h = 0, x = 0, y = 0;
  SDL_GetWindowSize(window, &w, &h);
  SDL_GetWindowPosition(window, &x, &y);
  int display = SDL_GetWindowDisplayIndex(window);
  if (SDL_GetDisplayBounds(display, &bounds) == 0 && w == bounds.w && h == bounds.h &&
      x == bounds.x && y == bounds.y)
    return;
  if (SDL_GetDisplayBounds(display, &bounds) == 0) {
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
  }
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

class SdlSurface final : public IDirectDrawSurface7 {
 public:
  explicit SdlSurface(bool isPrimary) : isPrimary_(isPrimary) {}

  HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) override;

  HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, uint32_t, void*) override {
    if (HRESULT bad = CheckLockArgs(desc); bad != DD_OK) return bad;
    if (HRESULT bad = Sdl.chain.CheckLock(isPrimary_, !Usable()); bad != DD_OK) return bad;
    SDL_Rect area = {0, 0, static_cast<int>(Sdl.mode.width), static_cast<int>(Sdl.mode.height)};
    if (rect) {
      if (rect->left < 0 || rect->top < 0 || rect->right > area.w || rect->bottom > area.h ||
          rect->left >= rect->right || rect->top >= rect->bottom)
        return DDERR_INVALIDRECT;
      area = {rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top};
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (CpuPath()) {
      pitch = MemoryPitch();
      pixels = reinterpret_cast<uint8_t*>(Sdl.memory.data()) + size_t(area.y) * pitch +
               size_t(area.x) * (Sdl.mode.bits / 8);
    } else if (SDL_LockTexture(Sdl.frame, &area, &pixels, &pitch) != 0 || !pixels) {
      return DDERR_SURFACELOST;
    }
    Sdl.chain.locked = true;
    DescribeLock(desc, Sdl.mode, static_cast<uint32_t>(area.w), static_cast<uint32_t>(area.h),
                 pitch, pixels);
    return DD_OK;
  }

  HRESULT Unlock(RECT*) override {
    if (HRESULT bad = Sdl.chain.CheckUnlock(isPrimary_); bad != DD_OK) return bad;
    if (!WindowAlive()) {
      ForgetWindow();
      return DDERR_SURFACELOST;
    }
    Sdl.chain.locked = false;
    if (Sdl.frame) SDL_UnlockTexture(Sdl.frame);
    return DD_OK;
  }

  HRESULT Flip(IDirectDrawSurface7*, uint32_t) override {
    if (HRESULT bad = Sdl.chain.CheckFlip(isPrimary_, !Usable()); bad != DD_OK) return bad;
    return Show();
  }

  HRESULT IsLost() override {
    return Sdl.chain.CheckLost(!Usable());
  }

  HRESULT Restore() override {
    if (HRESULT bad = Sdl.chain.CheckLost(false); bad != DD_OK) return bad;
    if (!WindowAlive()) {
      ForgetWindow();
      return DDERR_NOHWND;
    }
    if (CpuPath()) {
      Sdl.chain.locked = false;
      if (Sdl.memory.empty() && !CreateFrameTexture()) return DDERR_OUTOFVIDEOMEMORY;
      return DD_OK;
    }
    if (!Sdl.renderer) return DDERR_WRONGMODE;
    if (Sdl.frame && !Sdl.deviceLost) return DD_OK;
    if (Sdl.chain.locked && Sdl.frame) SDL_UnlockTexture(Sdl.frame);
    Sdl.chain.locked = false;
    DropTextures();
    Sdl.deviceLost = false;
    if (!CreateFrameTexture()) {
      Sdl.deviceLost = true;
      return DDERR_OUTOFVIDEOMEMORY;
    }
    return DD_OK;
  }

 private:
  bool isPrimary_;
};

SdlSurface PrimarySurface(true);
SdlSurface BackSurface(false);

HRESULT SdlSurface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) {
  return AttachedBackBuffer(caps, out, isPrimary_, Sdl.chain.primaryCreated, &BackSurface);
}

class SdlDirectDraw final : public IDirectDraw7 {
 public:
  HRESULT SetCooperativeLevel(WindowHandle window, uint32_t flags) override {
    if (HRESULT bad = Sdl.chain.CheckCooperativeLevel(window); bad != DD_OK) return bad;
    SDL_Window* sdlWindow = static_cast<SDL_Window*>(window);
    Uint32 id = SDL_GetWindowID(sdlWindow);
    if (id == 0) return DDERR_NOHWND;
    Sdl.window = sdlWindow;
    Sdl.windowId = id;
    Sdl.chain.window = window;
    Sdl.chain.cooperativeFlags = flags;
    if ((flags & DDSCL_FULLSCREEN) && !WindowedNow()) CoverScreen(sdlWindow);
    return DD_OK;
  }

  HRESULT EnumDisplayModes(uint32_t, DDSURFACEDESC2*, void* context,
                           LPDDENUMMODESCALLBACK2 callback) override {
    return ListModes(kStandardModes, context, callback);
  }

  HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bits, uint32_t,
                         uint32_t) override {
    if (HRESULT bad = Sdl.chain.CheckSetMode(); bad != DD_OK) return bad;
    if (!WindowAlive()) {
      ForgetWindow();
      return DDERR_NOHWND;
    }
    const DdMode* found = FindMode(kStandardModes, width, height, bits);
    if (!found) return DDERR_INVALIDMODE;

    if ((!Sdl.pathChosen || (!CpuPath() && !Sdl.renderer)) && !ChoosePath())
      return DDERR_NODIRECTDRAWHW;
    if (!Sdl.watching) {
      SDL_AddEventWatch(WatchRenderEvents, nullptr);
      Sdl.watching = true;
    }
    bool changed = !Sdl.chain.modeSet || Sdl.mode.width != found->width ||
                   Sdl.mode.height != found->height || Sdl.mode.bits != found->bits;
    Sdl.mode = *found;
    Sdl.chain.modeSet = true;
    // Surfaces made for another mode go with it; they come back through Restore.
    if (changed && Sdl.frame) {
      DropTextures();
      if (!CreateFrameTexture()) Sdl.deviceLost = true;
    }
    SDL_ShowCursor(SDL_DISABLE);
    // Black until the first frame arrives. The CPU path paints the whole
    // window black with its first frame, which follows within milliseconds.
    if (CpuPath()) {
      CpuPresentRepaint();
    } else {
      SDL_SetRenderDrawColor(Sdl.renderer, 0, 0, 0, 255);
      SDL_RenderClear(Sdl.renderer);
      SDL_RenderPresent(Sdl.renderer);
    }
    return DD_OK;
  }

  HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer) override {
    if (HRESULT bad = CheckSurfaceArgs(desc, out, outer); bad != DD_OK) return bad;
    if (HRESULT bad = Sdl.chain.CheckCreateSurface(*desc); bad != DD_OK) return bad;
    if (!WindowAlive()) {
      ForgetWindow();
      return DDERR_NOHWND;
    }
    if (!CreateFrameTexture()) return DDERR_OUTOFVIDEOMEMORY;
    Sdl.chain.primaryCreated = true;
    *out = &PrimarySurface;
    return DD_OK;
  }
};

SdlDirectDraw Device;

}  // namespace

void ReportPresentation() {
  using Look = SdlDisplayState::Look;
  if (Sdl.look == Look::kNone) return;
  const SDL_Rect& t = Sdl.lastTarget;
  const char* how = "";
  switch (Sdl.look) {
    case Look::kCpuEven: how = "cpu: every pixel the same size, mixed at the seams"; break;
    case Look::kCpuBlit:
      how = "cpu: SDL's scaled blit, the window surface's layout differs "
            "(pixels not all the same size)";
      break;
    case Look::kGpuEven: how = "gpu: nearest neighbour to a whole multiple, then smooth"; break;
    case Look::kGpuNearest:
      how = "gpu: nearest neighbour straight to the rectangle, no render targets "
            "(pixels not all the same size)";
      break;
    case Look::kNone: break;
  }
  std::fprintf(stderr,
               "qm7: presentation %s; picture %dx%d at %d,%d (%.3f screen pixels a pixel)\n", how,
               t.w, t.h, t.x, t.y, Sdl.mode.width ? static_cast<double>(t.w) / Sdl.mode.width : 0.0);
}

HRESULT DirectDrawCreateEx(const void*, IDirectDraw7** out, void* outer) {
  if (HRESULT bad = CheckCreateArgs(out, outer); bad != DD_OK) return bad;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    return DDERR_NODIRECTDRAWSUPPORT;
  *out = &Device;
  return DD_OK;
}

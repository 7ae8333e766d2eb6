// sdl_present_cpu.cpp — the frame enlarged into the window surface on the CPU.
//
// The window surface is the window's own pixels in memory (shared with the X
// server where it can be). Its geometry is worked out again whenever SDL
// hands back a different surface or size (SDL remakes it after a resize), and
// the bars are painted then; each frame after that writes and sends only the
// picture rectangle. A window surface in exactly the frame's layout (32-bit,
// red 0xFF0000, green 0xFF00, blue 0xFF) takes the shared enlargement
// (platform/picture_scale.h: every pixel the same size); any other layout
// goes through SDL's own scaled blit.
#include <SDL.h>

#include "platform/picture_scale.h"
#include "platform/sdl/sdl_present.h"

namespace {

struct CpuPresentState {
  SDL_Surface* surface;  // the window surface the geometry was made for
  int surfaceW, surfaceH;
  PictureScale scale;
  bool repaint;
  SDL_Surface* frame;  // the frame seen as an SDL surface, for the blit path
  bool lastEven;       // the last present took the shared enlargement
};

CpuPresentState Cpu = {};

bool SameLayoutAsFrame(const SDL_PixelFormat* f, Uint32 frameFormat) {
  return frameFormat == SDL_PIXELFORMAT_ARGB8888 && f->BytesPerPixel == 4 &&
         f->Rmask == 0x00FF0000 && f->Gmask == 0x0000FF00 && f->Bmask == 0x000000FF;
}

}  // namespace

bool CpuPresent(SDL_Window* window, const void* pixels, int pitch, int width, int height,
                Uint32 format) {
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (!surface || surface->w <= 0 || surface->h <= 0) return false;
  bool fresh = surface != Cpu.surface || surface->w != Cpu.surfaceW ||
               surface->h != Cpu.surfaceH || Cpu.repaint || Cpu.scale.sourceW != width ||
               Cpu.scale.sourceH != height;
  if (fresh) {
    Cpu.surface = surface;
    Cpu.surfaceW = surface->w;
    Cpu.surfaceH = surface->h;
    Cpu.repaint = false;
    PrepareScale(&Cpu.scale, width, height, FitPicture(surface->w, surface->h, width, height));
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  }
  const PictureRect& p = Cpu.scale.place;
  SDL_Rect place = {p.x, p.y, p.w, p.h};
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
  Cpu.lastEven = SameLayoutAsFrame(surface->format, format);
  if (Cpu.lastEven) {
    ScalePicture(Cpu.scale, pixels, pitch, surface->pixels, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  } else {
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_Surface* frame = Cpu.frame;
    if (!frame || frame->pixels != pixels || frame->pitch != pitch || frame->w != width ||
        frame->h != height || frame->format->format != format) {
      if (frame) SDL_FreeSurface(frame);
      frame = Cpu.frame = SDL_CreateRGBSurfaceWithFormatFrom(
          const_cast<void*>(pixels), width, height, SDL_BITSPERPIXEL(format), pitch, format);
    }
    if (frame) SDL_BlitScaled(frame, nullptr, surface, &place);
  }
  int result = fresh ? SDL_UpdateWindowSurface(window)
                     : SDL_UpdateWindowSurfaceRects(window, &place, 1);
  return result == 0;
}

void CpuPresentRepaint() { Cpu.repaint = true; }

bool CpuPresentLast(SDL_Rect* place) {
  const PictureRect& p = Cpu.scale.place;
  *place = {p.x, p.y, p.w, p.h};
  return Cpu.lastEven;
}

void CpuPresentForget() {
  Cpu.surface = nullptr;
  Cpu.surfaceW = Cpu.surfaceH = 0;
}

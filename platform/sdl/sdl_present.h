// sdl_present.h — the two ways the SDL display puts a finished frame on the
// screen, and the choice between them.
//
//   GPU  a renderer: the frame is a streaming texture, scaled by the graphics
//        card (sdl_ddraw.cpp). Cheap where the renderer is accelerated.
//   CPU  no renderer and no GL context: the frame lives in memory and is
//        enlarged into the window surface on the processor
//        (sdl_present_cpu.cpp, platform/picture_scale.h). Where GL is rasterised by the processor
//        (llvmpipe, swrast, a remote X display) this costs a small fraction
//        of what scaling through a software renderer costs.
// Both show the picture in the same rectangle (FitPicture), with every
// source pixel the same size on screen.
//
// QM7_PRESENT=cpu or QM7_PRESENT=gpu in the environment forces a path.
#pragma once
#include <SDL.h>

enum class PresentPath { kGpu, kCpu };

// Called by OpenDemoWindow (to make the window fit the path) and by the
// display's SetDisplayMode: the forced path, else the CPU path where there is
// plainly no graphics card (no render node, a remote X display, software GL
// asked for), else the GPU path. Decided once per process.
PresentPath PreferredPresentPath();

// Called by SetDisplayMode right after creating a renderer: true when it
// draws on the processor (SDL's software renderer, or GL by llvmpipe,
// softpipe or swrast), so the CPU path should be used instead. The GL
// context of an OpenGL renderer must be current (it is, after creation).
bool RendererIsSoftware(SDL_Renderer* renderer);

// ---- CPU path (sdl_present_cpu.cpp) ----------------------------------------
// Called by Flip: enlarges the frame (`format`, `pitch` bytes a row) into the
// window surface and shows it. Bars are painted only after a size change or
// CpuPresentRepaint; otherwise only the picture rectangle is written and sent.
// False when the window has no surface to draw into.
bool CpuPresent(SDL_Window* window, const void* pixels, int pitch, int width, int height,
                Uint32 format);
// Called from the display's event watch on expose or size change: the next
// CpuPresent paints the whole window again.
void CpuPresentRepaint();
// Called when the window is gone: forgets its surface without touching it.
void CpuPresentForget();
// Called by Flip after CpuPresent, for the QM7_STATS report: the picture
// rectangle, and true when the shared enlargement drew it (false: SDL's blit).
bool CpuPresentLast(SDL_Rect* place);

// win32_present_api.h — the stand-in 320x240x32 mode behind the seam's
// DirectDraw calls, and the two ways it puts a frame on the screen. Only the
// *_api.cpp files include it (it needs <windows.h>).
//
// The stand-in (win32_standin_api.cpp) owns its surfaces: the primary and
// the back buffer are two frames of plain memory. Lock hands out the back
// buffer's pixels; Flip exchanges the two, as a flipping chain does, and
// shows the new front through a presenter:
//   gpu  OpenGL through WGL (win32_gl_api.cpp): the frame is uploaded as a
//        texture once per present, drawn nearest neighbour into a texture
//        at the largest whole multiple that fits, then smoothly into the
//        window's largest 4:3 rectangle; swap interval 1.
//   gdi  the frame enlarged on the processor (platform/picture_scale.h)
//        and put on screen 1:1 with SetDIBitsToDevice.
// Both show the same look in the same rectangle (FitPicture). The choice is
// made at the first present: QM7_PRESENT=gpu or gdi forces one; otherwise
// gpu where OpenGL is there and drawn by a graphics card, gdi where it is
// missing or rasterised by the processor (llvmpipe, "GDI Generic"). A gpu
// presenter that cannot be set up, or whose present fails, gives way to gdi
// for the rest of the run.
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/picture_scale.h"

namespace win32 {

// ---- the stand-in (win32_standin_api.cpp), called by win32_ddraw_api.cpp --
// The stand-in takes over `window`: its surfaces, once made, are the seam's.
void StandInBegin(HWND window);
bool StandInActive();
// CreateSurface / GetAttachedSurface / Lock / Unlock / Flip / IsLost /
// Restore of the stand-in's two surfaces; results are DirectDraw codes.
uint32_t StandInCreateSurfaces();
bool StandInHasBackBuffer();
uint32_t StandInLock(bool primary, const int32_t* rect, void** pixels, int32_t* pitch);
uint32_t StandInUnlock(bool primary);
uint32_t StandInFlip(int refreshHz);
uint32_t StandInIsLost();
uint32_t StandInRestore();

// Every present of any path, after it (stand-in Flip, real Flip): the time
// since the one before goes into the record ReportPresentation prints.
// `path` is a string constant naming the path; a new one starts afresh.
void NotePresent(const char* path);

// ---- the OpenGL presenter (win32_gl_api.cpp) --------------------------------
// What a probe on a hidden window of its own found: whether OpenGL 2.0 or
// later with framebuffer objects is there, and whether it is drawn by the
// processor. `renderer` names it (GL_RENDERER), or says why there is none.
struct GlProbe {
  bool usable;
  bool software;
  char renderer[96];
};
// Called once, at the first stand-in present, unless gdi is forced.
GlProbe ProbeGl();
// Makes the context on `window` (pixel format, context, swap interval 1,
// textures). False, with `why` filled in, when any step is refused; the
// window may then still be drawn with GDI.
bool OpenGlPresenter(HWND window, char* why, int whyBytes);
// Draws the 320x240 frame (`pitch` bytes a row) into the client area
// (width x height, `place` the picture's rectangle in it) and swaps. False
// when the driver refused (the caller then closes it and goes on with gdi).
bool GlPresent(const void* frame, int pitch, int width, int height, const PictureRect& place);
void CloseGlPresenter();

}  // namespace win32

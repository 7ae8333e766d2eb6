// win32_api.h — the Windows calls the win32 platform needs, in plain types.
//
// The seam headers (platform/window.h, platform/ddraw.h, platform/clock.h)
// use Win32-shaped names — PeekMessage, DDSURFACEDESC2, QueryPerformanceCounter
// — that clash with the real ones in <windows.h> and <ddraw.h>. So the
// platform is split in two halves that never meet in one file:
//   win32_window.cpp, win32_ddraw.cpp, ...   include the seam headers and
//                                            call the functions below
//   *_api.cpp                                include <windows.h> / <ddraw.h>
//                                            and implement them
// Handles are void*, results uint32_t (the HRESULT bits as they are).
#pragma once
#include <cstddef>
#include <cstdint>

namespace win32 {

// ---- window and message loop (win32_window_api.cpp) ----------------------
// A message as the loop sees it: the MSG's window, message and parameters.
// The full MSG (time, point) of the last GetMessageA stays in
// win32_window_api.cpp, so that TranslateLastMessage and DispatchLastMessage
// hand on what GetMessageA returned when given that message; any other
// message is rebuilt from these fields.
struct Message {
  void* window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

using Procedure = intptr_t (*)(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The picture for the window's icons (size x size 0xAARRGGBB, kept by the
// caller); used by CreateDemoWindow.
void SetIconPixels(const uint32_t* argb, int size);
// Registers the class "brisk demo" and creates, shows and updates the WS_POPUP
// window titled `title`; every message it receives goes to `procedure`.
// Null when the window cannot be made.
void* CreateDemoWindow(const char* title, Procedure procedure);
int PeekMessageNoRemove(Message* out);
// GetMessageA: 0 for WM_QUIT, -1 on error, else nonzero.
int GetMessageAny(Message* out);
void TranslateLastMessage(const Message& message);
intptr_t DispatchLastMessage(const Message& message);
void WaitForMessage();
intptr_t DefaultProcedure(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void DestroyDemoWindow(void* window);
void PostQuit(int code);
void ShowArrow(bool arrow);
void* ForegroundWindow();
// MessageBoxA with an OK button over `owner`; returns once dismissed, then
// marks the owner's whole client area for repainting (InvalidateRect).
void MessageBoxOk(const char* text, const char* caption, void* owner);
// InvalidateRect on the whole client area, erasing it; nothing for null.
void InvalidateWindow(void* window);
// Program start: --help, --version or a command-line error. Writes `text` to
// standard output (standard error when `error`) where that reaches someone:
// a file or pipe it is redirected to, else the console the program was
// started from (AttachConsole(ATTACH_PARENT_PROCESS), CONOUT$). Without
// either, a message box titled "qm7" shows it (an information box, or an
// error box when `error`).
void ShowText(const char* text, bool error);

// ---- where the demo window is (win32_window_api.cpp) ---------------------
// The window's two places while the display's 320x240 mode is a stand-in
// (see DdSetCooperativeLevel): full screen is a borderless window covering
// its monitor at the desktop's own resolution; a window is resizable with a
// title bar, 4x, 3x or 2x the frame (the largest that fits the work area),
// centred. Alt+Enter and F11 switch between the two (in the real mode, they
// leave it for the window: DdLeaveExclusive); the window procedure takes
// those keys, so the host never sees them.
// Program start (StartInWindow): start in a window rather than full screen.
void SetStartWindowed(bool windowed);
bool StartWindowed();
// SetDisplayMode of the stand-in mode (windowed: as StartWindowed), and the
// switch out of the real mode: puts the window in that place and enables
// the switch keys.
void ShowStandIn(void* window, bool windowed);
// The stand-in's Flip: the window's client size (0 x 0 while minimised).
void ClientSize(void* window, int* width, int* height);

// ---- performance counter (win32_clock_api.cpp) ---------------------------
bool CounterFrequency(int64_t* frequency);
bool CounterNow(int64_t* count);

// ---- DirectDraw 7 (win32_ddraw_api.cpp) ----------------------------------
// One display mode or locked surface, as the seam needs it.
struct SurfaceInfo {
  uint32_t width, height;
  int32_t pitch;
  void* pixels;
  uint32_t bits, redMask, greenMask, blueMask;
};
using ModeCallback = uint32_t (*)(const SurfaceInfo& mode, void* context);

enum class Surface { kPrimary, kBack };

// Two ways to show the 320x240x32 mode, chosen by DdSetCooperativeLevel:
//  - real: the display lists that mode and the program starts full screen.
//    Exclusive full screen, the mode switch and a flipping chain, as asked.
//  - stand-in: the display lacks the mode (or the program starts in a
//    window). The mode list gains a 320x240x32 entry with the frame's
//    masks; setting it only places the window (ShowStandIn) and lets the
//    DirectDraw device go; the primary and the back buffer are two frames of
//    memory, and Flip exchanges them and shows the new front in the
//    window's largest 4:3 rectangle, black around, through OpenGL or GDI
//    (win32_present_api.h), at most at the refresh rate.
// Every result is the code of the real call that gave it, or the code
// DirectDraw gives for the same case.
uint32_t DdCreate();
uint32_t DdSetCooperativeLevel(void* window, uint32_t flags);
uint32_t DdEnumDisplayModes(uint32_t flags, void* context, ModeCallback callback);
uint32_t DdSetDisplayMode(uint32_t width, uint32_t height, uint32_t bits, uint32_t refresh,
                          uint32_t flags);
// CreateSurface with the given DDSURFACEDESC2 dwFlags, ddsCaps.dwCaps and
// dwBackBufferCount; keeps the primary surface (and, for the stand-in, makes
// the back buffer too).
uint32_t DdCreatePrimary(uint32_t flags, uint32_t caps, uint32_t backBufferCount);
// GetAttachedSurface on the primary; keeps the back buffer.
uint32_t DdAttachBackBuffer(uint32_t caps);
// Alt+Enter or F11 in the real mode: gives the desktop its mode back and
// goes on with the stand-in (DirectDraw let go, memory surfaces behind the
// same seam objects). False, doing nothing, when the stand-in is
// already in use or there are no surfaces yet.
bool DdLeaveExclusive(void* window);
// Lock: rect null = whole surface (left, top, right, bottom otherwise).
uint32_t DdLock(Surface surface, const int32_t* rect, uint32_t flags, SurfaceInfo* out);
uint32_t DdUnlock(Surface surface);
uint32_t DdFlip(uint32_t flags);
uint32_t DdIsLost(Surface surface);
uint32_t DdRestore(Surface surface);
// Program end: gives the desktop its own mode back.
void DdRestoreDisplayMode();
// Program end with QM7_STATS (EndPlatform): on standard error, how the
// frames were presented (the path; for the stand-in, the presenter and why
// it was chosen, and the picture's rectangle) and the spread of the time
// between presents.
void ReportPresentation();

}  // namespace win32

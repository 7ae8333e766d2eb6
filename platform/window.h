// window.h — the program's one window and its message queue.
//
// The host creates the window with OpenDemoWindow and runs the classic
// message loop over it: PeekMessage (look, do not remove), GetMessage
// (remove; 0 means WM_QUIT), TranslateMessage, DispatchMessage (calls the
// window procedure), WaitMessage (block while the application is inactive).
// The platform turns its own events into these messages:
//   focus gained / restored  -> WM_ACTIVATEAPP, wParam 1
//   focus lost / minimised   -> WM_ACTIVATEAPP, wParam 0
//   Escape key               -> WM_KEYDOWN, wParam VK_ESCAPE (27)
//   other keys               -> WM_KEYDOWN, wParam the key's ASCII code or 0
//   window closed            -> WM_CLOSE (DefWindowProc destroys the window)
// After each WM_ACTIVATEAPP a WM_SETCURSOR follows, so the procedure can pick
// the cursor for the new state. A window is treated as active once it is
// shown: OpenDemoWindow queues WM_ACTIVATEAPP 1 itself, because a window
// shown on a display without a window manager never receives a focus event.
//
// Real: platform/sdl/sdl_window.cpp. Virtual: platform/virtual/virtual_window.cpp.
#pragma once
#include <cstdint>

#include "platform/window_handle.h"

constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uintptr_t VK_ESCAPE = 27;

struct WindowMessage {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);

enum class CursorShape { kNone, kArrow };

// Program start (main, before RunDemo): the picture the window shows as its
// icon, `size` x `size` 0xAARRGGBB words, kept by the caller for the whole
// run. Without it the window has the system's default icon.
void SetWindowIcon(const uint32_t* argb, int size);

// Program start (main, before RunDemo): nonzero opens the demo in a
// resizable window (2x, 3x or 4x the frame, the largest that fits) instead
// of full screen. Alt+Enter and F11 switch between the two at any time
// without any message to the host.
void StartInWindow(int windowed);

// Host start-up: creates and shows the full-screen window titled `title`
// whose messages go to `procedure` (WM_CREATE is sent before it returns).
// Returns the window, or nullptr when no window can be made (no display).
WindowHandle OpenDemoWindow(const char* title, WindowProcedure procedure);

// Main loop: 1 when a message is waiting (left in the queue), else 0.
int PeekMessage(WindowMessage* message);
// Main loop: removes the next message, waiting for one if none is queued.
// Returns 0 for WM_QUIT (its wParam is the quit code), else 1.
int GetMessage(WindowMessage* message);
// Main loop: WM_KEYDOWN of a printable key also queues WM_CHAR.
void TranslateMessage(const WindowMessage* message);
// Main loop: hands the message to its window's procedure; returns its result.
intptr_t DispatchMessage(const WindowMessage* message);
// Main loop, while inactive: blocks until a new message is queued.
void WaitMessage();

// Window procedure: default handling of a message (WM_CLOSE destroys the window).
intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Window procedure: sends WM_DESTROY to the procedure, then takes the window off screen.
void DestroyWindow(WindowHandle window);
// Window procedure (WM_DESTROY): queues WM_QUIT with wParam `code`; GetMessage
// returns it once every other queued message has been taken.
void PostQuitMessage(int code);
// Host and window procedure: shows the arrow or hides the pointer over the window.
void SetCursor(CursorShape shape);
// Host start-up: the window that has the input focus now, or nullptr.
WindowHandle GetForegroundWindow();
// Program end (main, after RunDemo): stops what the platform still runs
// (the audio thread, the window) before the process exits.
void EndPlatform();

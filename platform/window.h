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
//   other keys               -> WM_KEYDOWN, wParam a key code: on sdl/ and
//                               web/ a letter's capital, other printable
//                               ASCII as is, else 0; on win32/ the
//                               virtual-key code
//   window closed            -> WM_CLOSE (DefWindowProc destroys the window)
// A page cannot be closed from inside, so web/ never sends WM_CLOSE; on
// virtual/ the test or capture driver posts whatever it likes.
//
// Implemented by each platform twin (sdl/, win32/, web/, virtual/), one
// chosen at link time; the build says which files. The sdl/, web/ and
// virtual/ twins keep their own queue and share what does not depend on
// where the messages come from (platform/queued_window.h: the queue,
// dispatching, DefWindowProc, PostQuitMessage, activation changes); each
// keeps its events, its waiting and its window. win32/ maps each call onto
// the system's own window and queue, and the system, not the twin, sends
// WM_ACTIVATEAPP and WM_SETCURSOR there.
//
// On the twins with their own queue a WM_SETCURSOR follows each
// WM_ACTIVATEAPP, so the procedure can pick the cursor for the new state;
// sdl/ and web/ queue WM_ACTIVATEAPP only when the state changes, virtual/
// whenever the driver posts one. OpenDemoWindow queues the first
// WM_ACTIVATEAPP itself, because a window shown on a display without a
// window manager never receives a focus event: 1 on sdl/ (a shown window is
// active), the page's focus state on web/, and on virtual/ 1 unless the
// driver turned it off (VirtualWindowOpensActive).
// On win32/ a newly shown window becomes active as any top-level window of
// the foreground process does.
//
// The browser owns the web/ twin's loop: there GetMessage never waits (an
// empty queue gives an empty message) and WaitMessage returns at once.
#pragma once
#include <cstdint>

#include "platform/window_handle.h"

// The messages the host's window procedure and loop handle, with Win32's
// numbers (the win32/ twin passes the system's own through unchanged).
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uintptr_t VK_ESCAPE = 27;

// One queued message, as PeekMessage and GetMessage give it and
// TranslateMessage and DispatchMessage take it.
struct WindowMessage {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// The host's window procedure (DemoWindowProc): every message the window
// receives, from WM_CREATE inside OpenDemoWindow to WM_DESTROY.
using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);

// SetCursor: no pointer over the window, or the arrow.
enum class CursorShape { kNone, kArrow };

// Program start (main, before RunDemo): the picture the window shows as its
// icon, `size` x `size` 0xAARRGGBB words, kept by the caller for the whole
// run. Without it the window has the system's default icon. The virtual/
// twin ignores it; web/ has no such call (a page has no window icon).
void SetWindowIcon(const uint32_t* argb, int size);

// Program start (main, before RunDemo): nonzero opens the demo in a
// resizable window (2x, 3x or 4x the frame, the largest that fits) instead
// of full screen. Alt+Enter and F11 switch between the two at any time
// without any message to the host. The virtual/ twin ignores it; web/ has
// no such call (the page has its own full-screen button).
void StartInWindow(int windowed);

// Host start-up: creates and shows the full-screen window titled `title`
// whose messages go to `procedure` (WM_CREATE is sent before it returns).
// Returns the window, or nullptr when no window can be made (no display).
WindowHandle OpenDemoWindow(const char* title, WindowProcedure procedure);

// Main loop: 1 when a message is waiting (left in the queue), else 0.
int PeekMessage(WindowMessage* message);
// Main loop: removes the next message, waiting for one if none is queued
// (web/: not waiting; the host calls it only after PeekMessage saw one).
// Returns 0 for WM_QUIT (its wParam is the quit code), else 1.
int GetMessage(WindowMessage* message);
// Main loop: WM_KEYDOWN of a printable key also queues WM_CHAR.
void TranslateMessage(const WindowMessage* message);
// Main loop: hands the message to its window's procedure; returns its result.
intptr_t DispatchMessage(const WindowMessage* message);
// Main loop, while inactive: blocks until a new message is queued (web/:
// returns at once; the next display frame's callback looks again).
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

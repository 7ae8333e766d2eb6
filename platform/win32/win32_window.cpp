// win32_window.cpp — the demo window and its message loop on Win32.
//
// The seam's calls map one to one onto the real ones: the window is a
// WS_POPUP window of class "brisk demo", messages come from the thread's own
// queue (focus changes are the system's WM_ACTIVATEAPP), and DispatchMessage
// reaches the host's procedure through the class's window procedure. The
// window becomes active by being shown, as any newly shown top-level window
// of the foreground process does, so nothing is queued here by hand.
#include <cstdlib>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_platform.h"
#include "platform/window.h"

namespace {

win32::Message ToApi(const WindowMessage& m) { return {m.window, m.message, m.wParam, m.lParam}; }
WindowMessage FromApi(const win32::Message& m) { return {m.window, m.message, m.wParam, m.lParam}; }

}  // namespace

void SetWindowIcon(const uint32_t* argb, int size) { win32::SetIconPixels(argb, size); }

WindowHandle OpenDemoWindow(const char* title, WindowProcedure procedure) {
  return win32::CreateDemoWindow(title, procedure);
}

int PeekMessage(WindowMessage* message) {
  win32::Message m;
  if (!win32::PeekMessageNoRemove(&m)) return 0;
  *message = FromApi(m);
  return 1;
}

int GetMessage(WindowMessage* message) {
  win32::Message m;
  int result = win32::GetMessageAny(&m);
  *message = FromApi(m);
  // -1 (an error) is handled like a message: translated and dispatched.
  return result == 0 ? 0 : 1;
}

void TranslateMessage(const WindowMessage* message) { win32::TranslateLastMessage(ToApi(*message)); }

intptr_t DispatchMessage(const WindowMessage* message) {
  return win32::DispatchLastMessage(ToApi(*message));
}

void WaitMessage() { win32::WaitForMessage(); }

intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return win32::DefaultProcedure(window, message, wParam, lParam);
}

void DestroyWindow(WindowHandle window) { win32::DestroyDemoWindow(window); }

void PostQuitMessage(int code) { win32::PostQuit(code); }

void SetCursor(CursorShape shape) { win32::ShowArrow(shape == CursorShape::kArrow); }

WindowHandle GetForegroundWindow() { return win32::ForegroundWindow(); }

// A window shows the display's 320x240 mode through the stand-in path
// (win32_ddraw_api.cpp), never with a mode switch.
void StartInWindow(int windowed) { win32::SetStartWindowed(windowed != 0); }

void EndPlatform() {
  if (std::getenv("QM7_STATS")) win32::ReportPresentation();
  CloseMusicDevice();
  win32::DdRestoreDisplayMode();
}

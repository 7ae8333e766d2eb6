// queued_window.cpp — see queued_window.h. Linked into the sdl/, web/ and
// virtual/ platforms, not win32/.
#include "platform/queued_window.h"

#include <cstdio>

QueuedWindowState QueuedWindow;

void QueuedWindowState::Open(WindowHandle handle, WindowProcedure windowProcedure) {
  window = handle;
  procedure = windowProcedure;
  open = true;
  procedure(window, WM_CREATE, 0, 0);
}

void QueuedWindowState::Post(uint32_t message, uintptr_t wParam) {
  if (!queue.Push({window, message, wParam, 0}))
    std::fprintf(stderr, "window: message queue full, message 0x%x dropped\n", static_cast<unsigned>(message));
  if (message == WM_ACTIVATEAPP) {
    active = wParam ? 1 : 0;
    Post(WM_SETCURSOR, 0);
  }
}

void QueuedWindowState::Activate(int isActive) {
  if (isActive != active) Post(WM_ACTIVATEAPP, static_cast<uintptr_t>(isActive));
}

bool QueuedWindowState::Close(WindowHandle handle) {
  if (!open || !handle || handle != window) return false;
  procedure(handle, WM_DESTROY, 0, 0);
  open = false;
  return true;
}

void TranslateMessage(const WindowMessage* message) { QueueCharacterFor(QueuedWindow.queue, *message); }

intptr_t DispatchMessage(const WindowMessage* message) {
  if (!QueuedWindow.open || !message->window || message->window != QueuedWindow.window) return 0;
  return QueuedWindow.procedure(message->window, message->message, message->wParam, message->lParam);
}

intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

void PostQuitMessage(int code) { QueuedWindow.queue.PostQuit(code); }

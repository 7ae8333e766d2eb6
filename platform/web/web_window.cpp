// web_window.cpp — the demo window is the page's canvas.
//
// The page turns browser events into window messages through
// qm7_web_post_message and they are queued for the window procedure
// (platform/queued_window.h): the tab hidden, or the browser window or the
// canvas losing the focus, is WM_ACTIVATEAPP 0, their return WM_ACTIVATEAPP
// 1 (the window opens with the state the page has then), Escape is
// WM_KEYDOWN VK_ESCAPE. The browser owns the loop, so WaitMessage cannot
// block: it returns and the next display frame's callback looks again
// (host/main_web.cpp).
#include <emscripten.h>

#include "platform/queued_window.h"
#include "platform/web/web_platform.h"
#include "platform/window.h"

namespace {

char WindowToken;  // the address stands for the window handle

EM_JS(void, SetPageCursor, (int visible), {
  if (typeof qm7Page !== 'undefined') qm7Page.setCursor(visible != 0);
});

EM_JS(int, PageHasFocus, (), {
  return typeof qm7Page !== 'undefined' && qm7Page.hasFocus() ? 1 : 0;
});

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void qm7_web_post_message(uint32_t message, uint32_t wParam) {
  if (!QueuedWindow.open) return;
  if (message == WM_ACTIVATEAPP)
    QueuedWindow.Activate(wParam ? 1 : 0);
  else
    QueuedWindow.Post(message, wParam);
}

WindowHandle OpenDemoWindow(const char*, WindowProcedure procedure) {
  QueuedWindow = QueuedWindowState{};
  QueuedWindow.Open(&WindowToken, procedure);
  // The page's state now (a background tab or a canvas without the focus is
  // inactive); the page reports each change after this.
  QueuedWindow.Activate(PageHasFocus());
  return &WindowToken;
}

int PeekMessage(WindowMessage* message) { return QueuedWindow.queue.Peek(message) ? 1 : 0; }

int GetMessage(WindowMessage* message) {
  // The host takes a message only after PeekMessage saw one. Nothing can
  // arrive while this runs, so an empty queue gives an empty message
  // (dispatched to no one) instead of waiting forever.
  if (!QueuedWindow.queue.HasMessage()) {
    *message = {};
    return 1;
  }
  return QueuedWindow.queue.Take(message);
}

void WaitMessage() {}

void DestroyWindow(WindowHandle window) { QueuedWindow.Close(window); }

void SetCursor(CursorShape shape) { SetPageCursor(shape == CursorShape::kArrow ? 1 : 0); }

WindowHandle GetForegroundWindow() { return QueuedWindow.open && PageHasFocus() ? &WindowToken : nullptr; }

void EndPlatform() { StopWebAudio(); }

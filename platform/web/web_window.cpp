// web_window.cpp — the demo window is the page's canvas.
//
// The page turns browser events into window messages through
// qm7_web_post_message: the tab hidden, or the browser window or the canvas
// losing the focus, is WM_ACTIVATEAPP 0, their return WM_ACTIVATEAPP 1
// (reported only when the state changes; the window opens with the state the
// page has then), Escape is WM_KEYDOWN VK_ESCAPE. The browser owns the loop,
// so WaitMessage cannot block: it returns and the next display frame's
// callback looks again (host/main_web.cpp).
#include <emscripten.h>

#include "platform/message_queue.h"
#include "platform/web/web_platform.h"
#include "platform/window.h"

namespace {

struct WebWindowState {
  bool open;
  bool destroyed;
  WindowProcedure procedure;
  int active;  // last WM_ACTIVATEAPP queued: 1, 0, or -1 for none yet
  MessageQueue queue;
};

WebWindowState Window = {false, false, nullptr, -1, {}};
char WindowToken;  // the address stands for the window handle

void Enqueue(uint32_t message, uintptr_t wParam) { Window.queue.Push({&WindowToken, message, wParam, 0}); }

EM_JS(void, SetPageCursor, (int visible), {
  if (typeof qm7Page !== 'undefined') qm7Page.setCursor(visible != 0);
});

EM_JS(int, PageHasFocus, (), {
  return typeof qm7Page !== 'undefined' && qm7Page.hasFocus() ? 1 : 0;
});

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void qm7_web_post_message(uint32_t message, uint32_t wParam) {
  if (!Window.open || Window.destroyed) return;
  if (message == WM_ACTIVATEAPP) {
    int active = wParam ? 1 : 0;
    if (active == Window.active) return;
    Window.active = active;
    Enqueue(WM_ACTIVATEAPP, static_cast<uintptr_t>(active));
    Enqueue(WM_SETCURSOR, 0);
    return;
  }
  Enqueue(message, wParam);
}

WindowHandle OpenDemoWindow(const char*, WindowProcedure procedure) {
  Window.open = true;
  Window.destroyed = false;
  Window.procedure = procedure;
  Window.active = -1;
  Window.queue = MessageQueue{};
  procedure(&WindowToken, WM_CREATE, 0, 0);
  // The page's state now (a background tab or a canvas without the focus is
  // inactive); the page reports each change after this.
  qm7_web_post_message(WM_ACTIVATEAPP, PageHasFocus());
  return &WindowToken;
}

int PeekMessage(WindowMessage* message) { return Window.queue.Peek(message) ? 1 : 0; }

int GetMessage(WindowMessage* message) {
  // The host takes a message only after PeekMessage saw one. Nothing can
  // arrive while this runs, so an empty queue gives an empty message
  // (dispatched to no one) instead of waiting forever.
  if (!Window.queue.HasMessage()) {
    *message = {};
    return 1;
  }
  return Window.queue.Take(message);
}

void TranslateMessage(const WindowMessage* message) { QueueCharacterFor(Window.queue, *message); }

intptr_t DispatchMessage(const WindowMessage* message) {
  if (!message->window || message->window != &WindowToken || Window.destroyed) return 0;
  return Window.procedure(message->window, message->message, message->wParam, message->lParam);
}

void WaitMessage() {}

intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

void DestroyWindow(WindowHandle window) {
  if (window != &WindowToken || Window.destroyed) return;
  Window.procedure(window, WM_DESTROY, 0, 0);
  Window.destroyed = true;
}

void PostQuitMessage(int code) { Window.queue.PostQuit(code); }

void SetCursor(CursorShape shape) { SetPageCursor(shape == CursorShape::kArrow ? 1 : 0); }

WindowHandle GetForegroundWindow() { return Window.open && PageHasFocus() ? &WindowToken : nullptr; }

void EndPlatform() { StopWebAudio(); }

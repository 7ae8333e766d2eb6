// virtual_window.cpp — the demo window as a message queue the driver fills.
//
// PeekMessage calls the driver's pass hook first, so each pass of the host's
// main loop is one step of the driver; WaitMessage calls it until a message
// arrives. Messages are dispatched to the window procedure as on the real
// platform; WM_QUIT is delivered once the queue is otherwise empty.
#include <cstdio>
#include <cstdlib>

#include "platform/message_queue.h"
#include "platform/virtual/virtual_internal.h"
#include "platform/virtual/virtual_platform.h"
#include "platform/window.h"

namespace {

struct VirtualWindowState {
  MessageQueue queue;
  bool open;
  bool opensActive = true;
  bool failOpen;
  WindowProcedure procedure;
  CursorShape cursor;
  void (*passHook)(VirtualPass, void*);
  void* passUser;
  void (*logSink)(const char*, void*);
  void* logUser;
};

VirtualWindowState Window;
char WindowToken;  // the address stands for the window handle

void Enqueue(uint32_t message, uintptr_t wParam) {
  if (!Window.queue.Push({&WindowToken, message, wParam, 0}))
    std::fprintf(stderr, "virtual window: message queue full, message 0x%x dropped\n",
                 static_cast<unsigned>(message));
}

bool HasMessage() { return Window.queue.HasMessage(); }

void RunHook(VirtualPass kind) {
  if (Window.passHook) Window.passHook(kind, Window.passUser);
}

}  // namespace

void VirtualLogCall(const char* call) {
  if (Window.logSink) Window.logSink(call, Window.logUser);
}

void VirtualPlatformReset() {
  Window = VirtualWindowState{};
  ResetVirtualClock();
  ResetVirtualMusic();
}

void VirtualSetCallLog(void (*sink)(const char*, void*), void* user) {
  Window.logSink = sink;
  Window.logUser = user;
}

void VirtualSetPassHook(void (*hook)(VirtualPass, void*), void* user) {
  Window.passHook = hook;
  Window.passUser = user;
}

void VirtualPostMessage(uint32_t message, uintptr_t wParam) {
  Enqueue(message, wParam);
  if (message == WM_ACTIVATEAPP) Enqueue(WM_SETCURSOR, 0);
}

void VirtualWindowOpensActive(bool active) { Window.opensActive = active; }
void VirtualWindowFailOpen(bool fail) { Window.failOpen = fail; }
bool VirtualWindowIsOpen() { return Window.open; }
CursorShape VirtualCursor() { return Window.cursor; }

WindowHandle OpenDemoWindow(const char* /*title*/, WindowProcedure procedure) {
  VirtualLogCall("OpenDemoWindow");
  if (Window.failOpen) return nullptr;
  Window.procedure = procedure;
  Window.open = true;
  procedure(&WindowToken, WM_CREATE, 0, 0);
  if (Window.opensActive) VirtualPostMessage(WM_ACTIVATEAPP, 1);
  return &WindowToken;
}

int PeekMessage(WindowMessage* message) {
  RunHook(VirtualPass::kPeek);
  return Window.queue.Peek(message) ? 1 : 0;
}

int GetMessage(WindowMessage* message) {
  while (!HasMessage()) RunHook(VirtualPass::kWait);
  return Window.queue.Take(message);
}

void TranslateMessage(const WindowMessage* message) { QueueCharacterFor(Window.queue, *message); }

intptr_t DispatchMessage(const WindowMessage* message) {
  if (message->window != &WindowToken || !Window.open || !Window.procedure) return 0;
  return Window.procedure(message->window, message->message, message->wParam, message->lParam);
}

void WaitMessage() {
  do RunHook(VirtualPass::kWait);
  while (!HasMessage());
}

intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

void DestroyWindow(WindowHandle window) {
  VirtualLogCall("DestroyWindow");
  if (window != &WindowToken || !Window.open) return;
  Window.procedure(window, WM_DESTROY, 0, 0);
  Window.open = false;
}

void PostQuitMessage(int code) { Window.queue.PostQuit(code); }

void SetCursor(CursorShape shape) { Window.cursor = shape; }

WindowHandle GetForegroundWindow() { return Window.open ? &WindowToken : nullptr; }

void SetWindowIcon(const uint32_t*, int) {}  // nothing shows it

void StartInWindow(int) {}  // the virtual display has no screen to fill

void EndPlatform() {}

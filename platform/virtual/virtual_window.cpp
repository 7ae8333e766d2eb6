// virtual_window.cpp — the demo window as a message queue the driver fills.
//
// PeekMessage calls the driver's pass hook first, so each pass of the host's
// main loop is one step of the driver; WaitMessage calls it until a message
// arrives. Messages are dispatched to the window procedure as on the real
// platform; WM_QUIT is delivered once the queue is otherwise empty.
#include <cstdio>
#include <cstdlib>

#include "platform/virtual/virtual_internal.h"
#include "platform/virtual/virtual_platform.h"
#include "platform/window.h"

namespace {

constexpr int kQueueSize = 256;

struct VirtualWindowState {
  WindowMessage queue[kQueueSize];
  int head;
  int count;
  bool quitPosted;
  int quitCode;
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
  if (Window.count == kQueueSize) {
    std::fprintf(stderr, "virtual window: message queue full, message 0x%x dropped\n",
                 static_cast<unsigned>(message));
    return;
  }
  int tail = (Window.head + Window.count) % kQueueSize;
  Window.queue[tail] = {&WindowToken, message, wParam, 0};
  ++Window.count;
}

bool HasMessage() { return Window.count > 0 || Window.quitPosted; }

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
  if (Window.count > 0) {
    *message = Window.queue[Window.head];
    return 1;
  }
  if (Window.quitPosted) {
    *message = {nullptr, WM_QUIT, static_cast<uintptr_t>(Window.quitCode), 0};
    return 1;
  }
  return 0;
}

int GetMessage(WindowMessage* message) {
  while (!HasMessage()) RunHook(VirtualPass::kWait);
  if (Window.count > 0) {
    *message = Window.queue[Window.head];
    Window.head = (Window.head + 1) % kQueueSize;
    --Window.count;
    return 1;
  }
  Window.quitPosted = false;
  *message = {nullptr, WM_QUIT, static_cast<uintptr_t>(Window.quitCode), 0};
  return 0;
}

void TranslateMessage(const WindowMessage* message) {
  if (message->message == WM_KEYDOWN && message->wParam >= 32 && message->wParam < 127)
    Enqueue(WM_CHAR, message->wParam);
}

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

void PostQuitMessage(int code) {
  Window.quitPosted = true;
  Window.quitCode = code;
}

void SetCursor(CursorShape shape) { Window.cursor = shape; }

WindowHandle GetForegroundWindow() { return Window.open ? &WindowToken : nullptr; }

void EndPlatform() {}

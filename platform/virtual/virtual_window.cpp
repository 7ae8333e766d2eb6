// virtual_window.cpp — the demo window as a message queue the driver fills.
//
// PeekMessage calls the driver's pass hook first, so each pass of the host's
// main loop is one step of the driver; WaitMessage calls it until a message
// arrives. What the driver posts is queued for the window procedure as on
// the real platform (platform/queued_window.h), every WM_ACTIVATEAPP as it
// comes, changed or not.
#include "platform/queued_window.h"
#include "platform/virtual/virtual_internal.h"
#include "platform/virtual/virtual_platform.h"
#include "platform/window.h"

namespace {

struct VirtualWindowState {
  bool opensActive = true;
  bool failOpen;
  CursorShape cursor;
  void (*passHook)(VirtualPass, void*);
  void* passUser;
  void (*logSink)(const char*, void*);
  void* logUser;
};

VirtualWindowState Window;
char WindowToken;  // the address stands for the window handle

void RunHook(VirtualPass kind) {
  if (Window.passHook) Window.passHook(kind, Window.passUser);
}

}  // namespace

void VirtualLogCall(const char* call) {
  if (Window.logSink) Window.logSink(call, Window.logUser);
}

void VirtualPlatformReset() {
  Window = VirtualWindowState{};
  QueuedWindow = QueuedWindowState{};
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

void VirtualPostMessage(uint32_t message, uintptr_t wParam) { QueuedWindow.Post(message, wParam); }

void VirtualWindowOpensActive(bool active) { Window.opensActive = active; }
void VirtualWindowFailOpen(bool fail) { Window.failOpen = fail; }
bool VirtualWindowIsOpen() { return QueuedWindow.open; }
CursorShape VirtualCursor() { return Window.cursor; }

WindowHandle OpenDemoWindow(const char* /*title*/, WindowProcedure procedure) {
  VirtualLogCall("OpenDemoWindow");
  if (Window.failOpen) return nullptr;
  QueuedWindow.Open(&WindowToken, procedure);
  if (Window.opensActive) QueuedWindow.Post(WM_ACTIVATEAPP, 1);
  return &WindowToken;
}

int PeekMessage(WindowMessage* message) {
  RunHook(VirtualPass::kPeek);
  return QueuedWindow.queue.Peek(message) ? 1 : 0;
}

int GetMessage(WindowMessage* message) {
  while (!QueuedWindow.queue.HasMessage()) RunHook(VirtualPass::kWait);
  return QueuedWindow.queue.Take(message);
}

void WaitMessage() {
  do RunHook(VirtualPass::kWait);
  while (!QueuedWindow.queue.HasMessage());
}

void DestroyWindow(WindowHandle window) {
  VirtualLogCall("DestroyWindow");
  QueuedWindow.Close(window);
}

void SetCursor(CursorShape shape) { Window.cursor = shape; }

WindowHandle GetForegroundWindow() { return QueuedWindow.open ? &WindowToken : nullptr; }

void SetWindowIcon(const uint32_t*, int) {}  // nothing shows it

void StartInWindow(int) {}  // the virtual display has no screen to fill

void EndPlatform() {}

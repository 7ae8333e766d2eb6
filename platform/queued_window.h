// queued_window.h — the demo window of the twins that keep their own message
// queue (sdl/, web/, virtual/): the rules of platform/window.h that do not
// depend on where the messages come from.
//
// It implements TranslateMessage, DispatchMessage, DefWindowProc and
// PostQuitMessage of platform/window.h for those twins, over the one
// QueuedWindow below (DefWindowProc closes the window through the twin's
// DestroyWindow). A twin keeps what its system needs: OpenDemoWindow (makes
// the window, then QueuedWindow.Open), turning its events into messages
// (QueuedWindow.Post and Activate), PeekMessage, GetMessage and WaitMessage
// (how it waits for events), DestroyWindow (QueuedWindow.Close, then takes
// the window off screen), the cursor and the foreground window. The win32/
// twin has the system's window and queue and none of this.
//
//   QueuedWindow = QueuedWindowState{};          // no window, empty queue
//   QueuedWindow.Open(window, procedure);        // OpenDemoWindow: WM_CREATE
//   QueuedWindow.Activate(1);                    // focus gained: queued on a change
//   QueuedWindow.Post(WM_KEYDOWN, VK_ESCAPE);    // any other event
//   if (QueuedWindow.queue.Peek(&m)) ...         // PeekMessage
//   if (QueuedWindow.Close(window)) ...          // DestroyWindow: WM_DESTROY
#pragma once
#include <cstdint>

#include "platform/message_queue.h"
#include "platform/window.h"

struct QueuedWindowState {
  WindowHandle window = nullptr;         // the twin's handle, from Open on
  WindowProcedure procedure = nullptr;   // from Open on
  bool open = false;                     // from Open until Close
  int active = -1;  // what the last WM_ACTIVATEAPP queued said: 1, 0, or -1 for none yet
  MessageQueue queue = {};

  // OpenDemoWindow, once the twin has made its window: its messages go to
  // `procedure`, which receives WM_CREATE before this returns.
  void Open(WindowHandle handle, WindowProcedure windowProcedure);
  // The twin's event handling (and the virtual driver): queues `message` for
  // the window; a WM_ACTIVATEAPP is followed by a WM_SETCURSOR, so the
  // procedure can pick the cursor for the new state. A message that finds
  // the queue full (a flood of key repeats) is dropped, with a line on
  // standard error.
  void Post(uint32_t message, uintptr_t wParam);
  // The twin's focus, minimise and page-visibility events, and
  // OpenDemoWindow for the state it opens in: queues WM_ACTIVATEAPP
  // `isActive` (1 or 0) only when it differs from the last one queued,
  // whatever mix of events brings it.
  void Activate(int isActive);
  // The twin's DestroyWindow: sends WM_DESTROY to the procedure and marks
  // the window closed. False, doing nothing, unless `handle` is the open
  // window.
  bool Close(WindowHandle handle);
};

// The one window of the twin linked in; the twin resets it by assigning a
// fresh value.
extern QueuedWindowState QueuedWindow;

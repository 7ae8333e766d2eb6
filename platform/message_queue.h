// message_queue.h — the window's message queue on the twins that keep their
// own (sdl/, web/ and virtual/): the queued window (platform/queued_window.h)
// holds one, pushes the messages each twin makes of its events, and the
// twin's PeekMessage and GetMessage take them. The win32/ twin uses the
// system's queue.
//
//   MessageQueue q{};              // zeroed: empty, no quit posted
//   q.Push({window, WM_KEYDOWN, VK_ESCAPE, 0});   // QueuedWindowState::Post
//   if (q.Peek(&m)) ...            // PeekMessage: look, leave it queued
//   if (q.Take(&m) == 0) ...       // GetMessage: 0 when it is WM_QUIT
//
// WM_QUIT is not queued: PostQuit marks it, and it is delivered once every
// queued message has been taken.
#pragma once
#include "platform/window.h"

struct MessageQueue {
  static constexpr int kCapacity = 256;  // messages queued at most
  WindowMessage items[kCapacity];        // a ring: `count` messages from `head` on
  int head;                              // index of the next message to take
  int count;                             // messages queued
  bool quitPosted;                       // WM_QUIT waits behind them
  int quitCode;                          // its wParam

  // QueuedWindowState::Post, for each event a twin turns into a message:
  // false (and the message dropped) when the queue is full.
  bool Push(const WindowMessage& message);
  // The twin's GetMessage and WaitMessage: true when Take has something to
  // give (a queued message or the posted WM_QUIT).
  bool HasMessage() const { return count > 0 || quitPosted; }
  // PeekMessage: the next message without removing it (WM_QUIT once the
  // queue is empty and a quit is posted); false when there is none.
  bool Peek(WindowMessage* out) const;
  // GetMessage: removes the next message: 1, or 0 for WM_QUIT (its wParam the
  // quit code; the quit is then no longer posted). Call only when HasMessage().
  int Take(WindowMessage* out);
  // PostQuitMessage of the queued window: marks WM_QUIT with `code`,
  // delivered after every queued message.
  void PostQuit(int code) {
    quitPosted = true;
    quitCode = code;
  }
};

// TranslateMessage of the queued window: a WM_KEYDOWN of a printable key
// (wParam 32 to 126) also queues WM_CHAR with the same wParam.
void QueueCharacterFor(MessageQueue& queue, const WindowMessage& message);

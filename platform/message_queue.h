// message_queue.h — the window's message queue, shared by the real and the
// virtual window (each turns its own events into messages and pushes them).
//
//   MessageQueue q{};
//   q.Push({window, WM_KEYDOWN, VK_ESCAPE, 0});
//   if (q.Peek(&m)) ...            // PeekMessage: look, leave it queued
//   if (q.Take(&m) == 0) ...       // GetMessage: 0 when it is WM_QUIT
//
// WM_QUIT is not queued: PostQuit marks it, and it is delivered once every
// queued message has been taken.
#pragma once
#include "platform/window.h"

struct MessageQueue {
  static constexpr int kCapacity = 256;
  WindowMessage items[kCapacity];
  int head;
  int count;
  bool quitPosted;
  int quitCode;

  // False (and the message dropped) when the queue is full.
  bool Push(const WindowMessage& message);
  bool HasMessage() const { return count > 0 || quitPosted; }
  // The next message without removing it; false when there is none.
  bool Peek(WindowMessage* out) const;
  // Removes the next message: 1, or 0 for WM_QUIT (its wParam the quit code).
  // Call only when HasMessage().
  int Take(WindowMessage* out);
  void PostQuit(int code) {
    quitPosted = true;
    quitCode = code;
  }
};

// TranslateMessage's work: a WM_KEYDOWN of a printable key also queues WM_CHAR.
void QueueCharacterFor(MessageQueue& queue, const WindowMessage& message);

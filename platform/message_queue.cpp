// message_queue.cpp — see message_queue.h.
#include "platform/message_queue.h"

bool MessageQueue::Push(const WindowMessage& message) {
  if (count == kCapacity) return false;
  items[(head + count) % kCapacity] = message;
  ++count;
  return true;
}

bool MessageQueue::Peek(WindowMessage* out) const {
  if (count > 0) {
    *out = items[head];
    return true;
  }
  if (quitPosted) {
    *out = {nullptr, WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
    return true;
  }
  return false;
}

int MessageQueue::Take(WindowMessage* out) {
  if (count > 0) {
    *out = items[head];
    head = (head + 1) % kCapacity;
    --count;
    return 1;
  }
  quitPosted = false;
  *out = {nullptr, WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
  return 0;
}

void QueueCharacterFor(MessageQueue& queue, const WindowMessage& message) {
  if (message.message == WM_KEYDOWN && message.wParam >= 32 && message.wParam < 127)
    queue.Push({message.window, WM_CHAR, message.wParam, 0});
}

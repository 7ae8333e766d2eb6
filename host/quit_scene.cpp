// quit_scene.cpp — the last timeline entry: a black screen, then the end.
#include "host/quit_scene.h"

#include <cstring>

#include "host/host.h"
#include "host/message_loop.h"
#include "kit/frame.h"

void QuitScene(uint8_t*) {
  std::memset(FrameBuffer, 0, kFrameBytes);
  PresentFrameBuffer(true);
  QuitRequested = 1;
}

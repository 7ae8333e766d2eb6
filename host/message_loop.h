// message_loop.h — the message loop and the frame it runs (host/message_loop.cpp).
#pragma once
#include <cstdint>

// What one pass of the main loop did.
enum class PassResult {
  kMessage,  // dispatched one message
  kFrame,    // ran one active frame
  kWaited,   // inactive: waited for a message (returns at once where waiting cannot block)
  kEnded,    // the loop is over; *endCode holds what RunMainLoop returns
};

// One pass of the main loop: every platform drives the demo through this,
// RunMainLoop in a loop where the program owns its thread, the browser's
// frame callback a few at a time. On kEnded, *endCode is the WM_QUIT code
// (0 after Escape), or -1 when QuitScene ended the loop.
PassResult RunOnePass(int* endCode);

// RunDemo, once start-up is done: passes until QuitRequested or WM_QUIT.
// Returns the WM_QUIT code (0 after Escape), or -1 when QuitScene ended the loop.
int RunMainLoop();

// The whole FrameBuffer to the screen: the plain copy when `plain` or when
// the mode needs no conversion, else the converting path. Counts presents.
void PresentFrameBuffer(bool plain);

// test_frame.h — TEST HOOK: a still frame instead of the demo's pictures.
//
// With QM7_TEST_FRAME in the environment, StartDemo puts a fixed 320x240
// frame in FrameBuffer and every frame of the main loop presents it as it is
// (no timeline, no effects) until Escape or the window closes; focus pauses
// as usual. Tests grab the screen to see how a presentation path enlarges a
// known picture (tests/support/footprint.py). The value is
//   checker   a one-pixel black and white checkerboard, white at the top left
//   a path    a raw frame file of exactly 320 * 240 * 4 bytes (blue, green,
//             red, unused)
// On every platform twin; the web page sets it from its ?testframe= flag.
#pragma once
#include <cstddef>
#include <cstdint>

// Called once by StartDemo after FrameBuffer is allocated: fills `frame`
// (kFrameBytes) and sets TestFrameShown when QM7_TEST_FRAME asks for it.
// False, with the reason in `reason`, when its value is neither "checker"
// nor a readable file of the frame's size.
bool LoadTestFrame(uint8_t* frame, char* reason, std::size_t reasonBytes);

// True while the test frame replaces the demo's pictures (read by the main loop).
extern bool TestFrameShown;

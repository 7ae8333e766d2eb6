// scroller.h — the closing credits scroll (the last scene).
//
// initScroller: once at start-up, after the other effects' initialisers, with
//   the greyscale picture (rows of 320 bytes, read in place for the rest of
//   the run). Builds the fade tables and puts the scroll back to the top.
// renderScroller(target): every frame of its scene, including the first
//   (its scene adapter leaves the scene-start flag set).
// updateScroller(ticks): every frame of its scene with the ticks elapsed.
#pragma once
#include <cstddef>
#include <cstdint>

void initScroller(const uint8_t* picture, std::size_t pictureBytes);
void renderScroller(uint8_t* target);
void updateScroller(int32_t ticks);

// --- state, visible so tests and benchmarks can drive it ---

struct ScrollerState {
  int32_t phase = 0;          // 0..63: sub-row position in 1/64 row
  int32_t rowCount = 0;       // row steps taken; keeps counting after the stop
  int32_t scrollOffset = 0;   // byte offset of the top picture row, at most 489600
  const uint8_t* picture = nullptr;
  std::size_t pictureBytes = 0;
};

extern ScrollerState Scroller;
extern uint8_t FadeDown[256 * 64];   // [i][j] = floor(i * (64 - j) / 64)
extern uint8_t FadeUp[256 * 64];     // [i][j] = floor(i * j / 64)

// scroller_state.h — the scroller's tables and scroll position (tests).
#pragma once
#include <cstdint>

struct ScrollerStateRecord {
  int32_t phase;          // 0..63: sub-row position in 1/64 row
  int32_t rowCount;       // row steps taken; keeps counting after the stop
  int32_t scrollOffset;   // byte offset of the top picture row, at most 489600
};

extern ScrollerStateRecord ScrollerState;
extern uint8_t FadeDown[256 * 64];   // [i][j] = floor(i * (64 - j) / 64)
extern uint8_t FadeUp[256 * 64];     // [i][j] = floor(i * j / 64)

// Puts the scroll position back to the program start (tests).
void resetScrollerState();

// progress.h — one self-rewriting status line on standard error while a
// capture runs, and only when standard error is a terminal:
//   " 37.5%  order 19:32  812 fps  1:05 left"
//
//   Progress p;  StartProgress(&p, frameLimit, escapeSeconds);
//   per active pass: UpdateProgress(&p, position, passes, virtualSeconds);
//   EndProgress(&p);
#pragma once
#include <chrono>
#include <cstdint>

struct Progress {
  bool enabled = false;
  int64_t frameLimit = -1;
  double escapeSeconds = -1;
  std::chrono::steady_clock::time_point start;
  std::chrono::steady_clock::time_point lastShown;
};

void StartProgress(Progress* p, int64_t frameLimit, double escapeSeconds);
void UpdateProgress(Progress* p, uint32_t position, int64_t passes, double virtualSeconds);
void EndProgress(Progress* p);

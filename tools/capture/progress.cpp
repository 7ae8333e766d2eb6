// progress.cpp — the status line of a running capture.
#include "tools/capture/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "host/timeline.h"

namespace {

// Rows counted as if every pattern had 64; the demo's patterns do.
double TimelineFraction(uint32_t position) {
  const SceneEntry& last = SceneTable[kQuitSceneIndex - 1];
  double end = last.endOrder * 64.0 + last.endRow;
  double at = (position & 0xFFFF) * 64.0 + (position >> 16);
  return std::min(1.0, at / end);
}

}  // namespace

void StartProgress(Progress* p, int64_t frameLimit, double escapeSeconds) {
  *p = Progress{};
  p->enabled = isatty(STDERR_FILENO) == 1;
  p->frameLimit = frameLimit;
  p->escapeSeconds = escapeSeconds;
  p->start = p->lastShown = std::chrono::steady_clock::now();
}

void UpdateProgress(Progress* p, uint32_t position, int64_t passes, double virtualSeconds) {
  if (!p->enabled) return;
  auto now = std::chrono::steady_clock::now();
  if (now - p->lastShown < std::chrono::milliseconds(250)) return;
  p->lastShown = now;
  double fraction = TimelineFraction(position);
  if (p->frameLimit > 0)
    fraction = std::max(fraction, static_cast<double>(passes) / static_cast<double>(p->frameLimit));
  if (p->escapeSeconds > 0) fraction = std::max(fraction, virtualSeconds / p->escapeSeconds);
  fraction = std::min(fraction, 1.0);
  double elapsed = std::chrono::duration<double>(now - p->start).count();
  double fps = elapsed > 0 ? static_cast<double>(passes) / elapsed : 0;
  int left = fraction > 0 ? static_cast<int>(elapsed * (1 - fraction) / fraction + 0.5) : 0;
  std::fprintf(stderr, "\r%5.1f%%  order %2u:%02u  %5.0f fps  %d:%02d left \033[K", fraction * 100,
               static_cast<unsigned>(position & 0xFFFF), static_cast<unsigned>(position >> 16), fps,
               left / 60, left % 60);
  std::fflush(stderr);
}

void EndProgress(Progress* p) {
  if (!p->enabled) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
}

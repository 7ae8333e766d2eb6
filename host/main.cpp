// main.cpp — the qm7 program: the demo on the real platform.
//
// With QM7_STATS set in the environment, a line on standard error at exit
// tells how many frames were presented and how soon the first ones came, and
// a second where the music and the timeline stood when the program ended.
#include <cstdio>
#include <cstdlib>

#include "host/host.h"
#include "host/timeline.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/window.h"

int main() {
  int64_t startCount = 0;
  QueryPerformanceCounter(&startCount);
  int code = RunDemo();
  if (std::getenv("QM7_STATS")) {
    int64_t frequency = 1;
    QueryPerformanceFrequency(&frequency);
    auto ms = [&](int64_t count) {
      return count ? static_cast<double>(count - startCount) * 1000.0 / static_cast<double>(frequency)
                   : -1.0;
    };
    std::fprintf(stderr,
                 "qm7: %lld frames presented (%lld by the main loop); first present %.1f ms, "
                 "first main-loop frame %.1f ms after start; exit status %d\n",
                 static_cast<long long>(FramesPresented), static_cast<long long>(LoopFrames),
                 ms(FirstPresentCount), ms(FirstLoopFrameCount), code);
    // Where the music and the timeline stood at the end (Escape leaves the
    // module loaded, so its position is still there to read).
    int64_t endCount = 0;
    QueryPerformanceCounter(&endCount);
    uint32_t position = MusicGetPosition(MusicHandle);
    std::fprintf(stderr, "qm7: music at order %u, row %u, scene %u when the program ended %.1f ms after start\n",
                 position & 0xFFFF, position >> 16, CurrentScene, ms(endCount));
  }
  EndPlatform();
  return code;
}

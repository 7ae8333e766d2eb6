// main.cpp — the qm7 program: the demo on the real platform.
//
//   qm7                 full screen, data from the first folder that holds it
//   qm7 --window        in a window (Alt+Enter or F11 switch at any time)
//   qm7 --data DIR      data from DIR only
//   qm7 --help | --version
//
// Exit status: 0 after the demo (its end or Escape) and for --help and
// --version; 1 when start-up fails; 2 for a bad command line.
//
// With QM7_STATS set in the environment, a line on standard error at exit
// tells how many frames were presented and how soon the first ones came, and
// a second where the music and the timeline stood when the program ended.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/command_line.h"
#include "host/data_folder.h"
#include "host/host.h"
#include "host/window_icon.h"
#include "host/timeline.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/popup.h"
#include "platform/window.h"
#include "qm7_build_info.h"

namespace {

void PrintStats(int64_t startCount, int code) {
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

}  // namespace

int main(int argc, char** argv) {
  int64_t startCount = 0;
  QueryPerformanceCounter(&startCount);

  DemoOptions options;
  std::string error;
  if (!ParseDemoCommandLine(argc, argv, &options, &error)) {
    ShowProgramText(("qm7: " + error + "\n" + kDemoUsage).c_str(), true);
    return 2;
  }
  if (options.common.help) {
    ShowProgramText((std::string(kDemoUsage) + "\n" + kDemoHelp).c_str(), false);
    return 0;
  }
  if (options.common.version) {
    ShowProgramText((std::string("qm7 ") + QM7_VERSION + "\n").c_str(), false);
    return 0;
  }
  if (!EnterDataFolder(options.common.dataDir, &error)) {
    std::fprintf(stderr, "qm7: %s\n", error.c_str());
    ShowModalMessage(error.c_str());
    EndPlatform();
    return 1;
  }

  SetWindowIcon(WindowIconPixels, WindowIconSize);
  StartInWindow(options.window ? 1 : 0);
  int code = RunDemo();
  if (std::getenv("QM7_STATS")) PrintStats(startCount, code);
  EndPlatform();
  return code;
}

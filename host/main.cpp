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
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/command_line.h"
#include "host/data_folder.h"
#include "platform/program_folder.h"
#include "host/host.h"
#include "host/window_icon.h"
#include "host/timeline.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/popup.h"
#include "platform/window.h"
#include "qm7_build_info.h"

namespace {

// Moves into the folder that holds the data. False (with the reason shown)
// when a folder given with --data cannot be entered. When no folder holds
// the data the working folder is kept and the start-up failure says where
// the data was looked for (`note` keeps that text alive).
bool EnterDataFolder(const DemoOptions& options, std::string* note) {
  if (!options.dataDir.empty()) {
    if (chdir(options.dataDir.c_str()) == 0) return true;
    std::string text = "Can't use the data folder " + options.dataDir + ": " + std::strerror(errno);
    std::fprintf(stderr, "qm7: %s\n", text.c_str());
    ShowModalMessage(text.c_str());
    return false;
  }
  char working[4096];
  std::string workingDir = getcwd(working, sizeof working) ? working : ".";
  DataFolderSearch search =
      FindDataFolder(DataFolderCandidates(workingDir, ProgramFolder(), QM7_INSTALLED_DATA_DIR));
  if (!search.found) {
    *note = DescribeDataSearch(search);
    DataSearchNote = note->c_str();
    return true;
  }
  if (search.folder != search.lookedIn.front() && chdir(search.folder.c_str()) != 0) {
    *note = DescribeDataSearch(search) + "; " + search.folder + " could not be entered";
    DataSearchNote = note->c_str();
  }
  return true;
}

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
  if (options.help) {
    ShowProgramText((std::string(kDemoUsage) + "\n" + kDemoHelp).c_str(), false);
    return 0;
  }
  if (options.version) {
    ShowProgramText((std::string("qm7 ") + QM7_VERSION + "\n").c_str(), false);
    return 0;
  }
  std::string searchNote;
  if (!EnterDataFolder(options, &searchNote)) {
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

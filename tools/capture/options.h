// options.h — the capture tool's command line.
//
//   CaptureOptions options;
//   std::string error;
//   if (!ParseCaptureOptions(argc, argv, &options, &error)) { usage; exit 2 }
//
// Options are read as qm7 reads its own (host/command_line.h): --help, -h,
// --version and --data mean the same, and every option with a value may be
// written --name=VALUE. Times are virtual seconds. Every check that needs no file system is done
// here, so a bad command line never starts a run.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/command_line.h"

// Inclusive pass ranges of --dump-frames, sorted and merged.
struct PassRange {
  int64_t first;
  int64_t last;
};

struct PauseSpec {
  double at;        // virtual second the application is deactivated
  double duration;  // seconds it stays inactive
};

struct CaptureOptions {
  CommonOptions common;       // --help, --version, --data (shared with qm7)
  int fps = 60;
  bool jitter = false;
  uint64_t jitterSeed = 0;
  std::vector<PauseSpec> pauses;  // sorted by `at`
  double escapeAt = -1;           // < 0: no Escape
  int64_t frames = -1;            // < 0: no limit
  std::string tracePath;
  std::vector<PassRange> dumpPasses;
  std::string dumpDir;
  std::string pngDir;
  int pngEvery = 1;
  std::string wavPath;
  std::string videoPath;
  int videoScale = 4;
  bool bench = false;
  int threads = 2;            // 1: everything on the main thread
};

// The one-line synopsis printed with every command-line error.
extern const char* const kCaptureUsage;
// What each option does, for --help.
extern const char* const kCaptureHelp;

// False with a short reason in `error` when the arguments are not usable.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error);

// "0-99,500,1200-1210" -> sorted, merged ranges; false when malformed.
bool ParsePassList(const std::string& text, std::vector<PassRange>* ranges);

// True when `pass` falls in one of the sorted ranges.
bool PassListed(const std::vector<PassRange>& ranges, int64_t pass);

// command_line.cpp — parses the qm7 program's options (see command_line.h).
#include "host/command_line.h"

#include <cstring>

const char* const kDemoUsage = "Usage: qm7 [--window] [--data DIR] [--help] [--version]\n";

const char* const kDemoHelp =
    "Plays the qm7 demo: seventeen scenes of software-rendered effects in step\n"
    "with its own tracker music, about four minutes, then ends by itself.\n"
    "Escape quits; switching away pauses the pictures while the music plays on.\n"
    "\n"
    "Options:\n"
    "  --window      play in a window (2x, 3x or 4x the 320x240 picture, the\n"
    "                largest that fits the screen) instead of full screen\n"
    "  --data DIR    take qm7.dat and qm7.it from DIR\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "Keys: Escape quits; Alt+Enter or F11 switches between window and full screen.\n"
    "\n"
    "Without --data the data is taken from the first of these folders that holds\n"
    "it: the current folder, the program's own folder, the installed data folder\n"
    "(share/qm7 beside the program's bin folder, then the one it was built for).\n"
    "\n"
    "With no sound device the demo stops at start; SDL_AUDIODRIVER=dummy plays\n"
    "it silently. QM7_STATS=1 prints frame and music figures at exit.\n";

bool ParseDemoCommandLine(int argc, char** argv, DemoOptions* options, std::string* error) {
  *options = DemoOptions{};
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
      options->help = true;
    } else if (!std::strcmp(arg, "--version")) {
      options->version = true;
    } else if (!std::strcmp(arg, "--window")) {
      options->window = true;
    } else if (!std::strcmp(arg, "--data") || !std::strncmp(arg, "--data=", 7)) {
      const char* dir = nullptr;
      if (arg[6] == '=') {
        dir = arg + 7;
      } else if (i + 1 < argc) {
        dir = argv[++i];
      } else {
        *error = "--data needs a folder";
        return false;
      }
      if (!*dir) {
        *error = "--data needs a folder, not an empty name";
        return false;
      }
      options->dataDir = dir;
    } else if (arg[0] == '-') {
      *error = std::string("unknown option '") + arg + "'";
      return false;
    } else {
      *error = std::string("unexpected argument '") + arg + "'";
      return false;
    }
  }
  return true;
}

// command_line.cpp — reads the programs' command lines (see command_line.h).
#include "host/command_line.h"

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

bool SplitCommandLine(int argc, char** argv, const std::vector<OptionSpec>& known,
                      std::vector<GivenOption>* given, std::string* error) {
  given->clear();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionSpec* match = nullptr;
    for (const OptionSpec& s : known)
      if (name == s.name) match = &s;
    if (!match || (equals != std::string::npos && !match->value)) {
      *error = (arg[0] == '-' ? "unknown option '" : "unexpected argument '") + arg + "'";
      return false;
    }
    GivenOption option{name, ""};
    if (equals != std::string::npos) {
      option.value = arg.substr(equals + 1);
    } else if (match->value) {
      if (i + 1 >= argc) {
        *error = name + " needs " + match->value;
        return false;
      }
      option.value = argv[++i];
    }
    given->push_back(option);
  }
  return true;
}

const std::vector<OptionSpec> kCommonOptions = {
    {"--help", nullptr}, {"-h", nullptr}, {"--version", nullptr}, {"--data", "a folder"}};

bool TakeCommonOption(const GivenOption& option, CommonOptions* common, std::string* error) {
  if (option.name == "--help" || option.name == "-h") {
    common->help = true;
  } else if (option.name == "--version") {
    common->version = true;
  } else if (option.name == "--data") {
    if (option.value.empty()) *error = "--data needs a folder, not an empty name";
    common->dataDir = option.value;
  } else {
    return false;
  }
  return true;
}

bool ParseDemoCommandLine(int argc, char** argv, DemoOptions* options, std::string* error) {
  *options = DemoOptions{};
  error->clear();
  std::vector<OptionSpec> known = kCommonOptions;
  known.push_back({"--window", nullptr});
  std::vector<GivenOption> given;
  if (!SplitCommandLine(argc, argv, known, &given, error)) return false;
  for (const GivenOption& option : given) {
    if (TakeCommonOption(option, &options->common, error)) {
      if (!error->empty()) return false;
    } else if (option.name == "--window") {
      options->window = true;
    }
  }
  return true;
}

// command_line.h — the command lines of qm7 and qm7-capture: the reading
// both share, the options both take, and qm7's own.
//
//   DemoOptions options;
//   std::string error;
//   if (!ParseDemoCommandLine(argc, argv, &options, &error)) {
//     fprintf(stderr, "qm7: %s\n%s", error.c_str(), kDemoUsage);
//     return 2;
//   }
//
// A program's parser lists its options in an `OptionSpec` table (with
// `kCommonOptions` in it), lets `SplitCommandLine` read argv into
// (name, value) pairs, and then reads each pair: `TakeCommonOption` first,
// its own options after. Every option with a value is taken as
// `--name VALUE` and as `--name=VALUE`.
//
// No arguments is the plain run: full screen, data found as usual. Called
// by host/main.cpp and tools/capture/options.cpp before anything touches
// the display or the sound.
#pragma once
#include <string>
#include <vector>

// One option a program takes. `value` names what follows it for the error
// text ("a folder", "a number"); null for a flag.
struct OptionSpec {
  const char* name;
  const char* value;
};

// One option as given: `value` is empty for a flag.
struct GivenOption {
  std::string name;
  std::string value;
};

// Reads argv[1..argc-1] into `given`, in order. False with a one-line reason
// in `error` for an option not in `known`, a stray argument, a missing value
// or a value given to a flag.
bool SplitCommandLine(int argc, char** argv, const std::vector<OptionSpec>& known,
                      std::vector<GivenOption>* given, std::string* error);

// The options every program takes.
struct CommonOptions {
  bool help = false;     // --help, -h: print the help and end
  bool version = false;  // --version: print the version and end
  std::string dataDir;   // --data DIR: the only folder the data is taken from
};

// --help, -h, --version and --data, for a program's OptionSpec table.
extern const std::vector<OptionSpec> kCommonOptions;

// True when `option` is one of kCommonOptions, after storing it in
// `common`; then `error` is set when its value is not usable (an empty
// folder name).
bool TakeCommonOption(const GivenOption& option, CommonOptions* common, std::string* error);

struct DemoOptions {
  CommonOptions common;
  bool window = false;   // --window: start in a window instead of full screen
};

// The one-line synopsis, printed on standard error with every command-line
// error and at the top of --help. Ends with a newline.
extern const char* const kDemoUsage;
// What the program does and what each option means, for --help (and the
// manual page made from it). Ends with a newline.
extern const char* const kDemoHelp;

// Fills `options` from argv[1..argc-1]. False with a one-line reason in
// `error` when the command line is not usable.
bool ParseDemoCommandLine(int argc, char** argv, DemoOptions* options, std::string* error);

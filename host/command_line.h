// command_line.h — the qm7 program's command line.
//
//   DemoOptions options;
//   std::string error;
//   if (!ParseDemoCommandLine(argc, argv, &options, &error)) {
//     fprintf(stderr, "qm7: %s\n%s", error.c_str(), kDemoUsage);
//     return 2;
//   }
//
// No arguments is the plain run: full screen, data found as usual. Called
// by host/main.cpp before anything touches the display or the sound.
#pragma once
#include <string>

struct DemoOptions {
  bool help = false;     // --help, -h: print kDemoHelp and end
  bool version = false;  // --version: print the version and end
  bool window = false;   // --window: start in a window instead of full screen
  std::string dataDir;   // --data DIR: the only folder the data is taken from
};

// The one-line synopsis, printed on standard error with every command-line
// error and at the top of --help. Ends with a newline.
extern const char* const kDemoUsage;
// What the program does and what each option means, for --help (and the
// manual page made from it). Ends with a newline.
extern const char* const kDemoHelp;

// Fills `options` from argv[1..argc-1]. False with a one-line reason in
// `error` for an unknown option, a stray argument or a missing value.
// `--data=DIR` is taken as well as `--data DIR`.
bool ParseDemoCommandLine(int argc, char** argv, DemoOptions* options, std::string* error);

// main.cpp — qm7-pack's entry point; see pack_tool.h. Answers --version
// itself and forwards everything else.
#include <cstdio>
#include <string>
#include <vector>

#include "qm7_build_info.h"
#include "tools/pack/pack_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::printf("qm7-pack %s\n", QM7_VERSION);
    return 0;
  }
  return RunPackTool(args);
}

// main.cpp — qm7-pack's entry point; see pack_tool.h.
#include <string>
#include <vector>

#include "tools/pack/pack_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunPackTool(args);
}

// Fuzzes qm7-pack's reading commands on an arbitrary pack: list, check, and
// extract of every entry into a scratch folder, emptied after each run.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_common.h"
#include "tools/pack/pack_tool.h"

namespace {

// Removed (empty) when the fuzzer exits.
const std::string& ScratchFolder() {
  static const std::string path = ScratchPackPath() + ".out";
  static const bool removedAtExit = std::atexit([] { rmdir(path.c_str()); }) == 0;
  (void)removedAtExit;
  return path;
}

void EmptyScratchFolder() {
  DIR* dir = opendir(ScratchFolder().c_str());
  if (dir == nullptr) return;
  while (dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") unlink((ScratchFolder() + "/" + name).c_str());
  }
  closedir(dir);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SilenceOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (SlowToLoad(data, size) || !WriteScratch(data, size)) return 0;
  const std::string pack = ScratchPackPath();
  RunPackTool({"list", pack});
  RunPackTool({"check", pack});
  RunPackTool({"extract", pack, "-C", ScratchFolder()});
  EmptyScratchFolder();
  return 0;
}

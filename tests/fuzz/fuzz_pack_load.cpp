// Fuzzes LoadFile: every entry of an arbitrary pack is loaded and released.
#include <cstdlib>
#include <cstring>

#include "pack/pack_archive.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SilenceStdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteScratch(data, size)) return 0;
  OpenPack(ScratchPackPath().c_str());
  for (int i = 0; i < PackArchive.entryCount; ++i) {
    const PackEntry& entry = PackArchive.directory[i];
    // Loose-file fallback is not what is fuzzed here: only names the pack holds.
    if (entry.name[0] == '\0' || std::strchr(entry.name, '/')) continue;
    uint8_t* out = nullptr;
    size_t length = 0;
    if (LoadFile(entry.name, &out, &length) == 0) {
      // Touch every byte so a buffer shorter than its reported length shows.
      volatile uint8_t sum = 0;
      for (size_t k = 0; k < length; ++k) sum = static_cast<uint8_t>(sum + out[k]);
      (void)sum;
    }
    std::free(out);
  }
  ClosePack();
  return 0;
}

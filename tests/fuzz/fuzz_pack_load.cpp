// Fuzzes LoadFile: every entry of an arbitrary pack is loaded and released.
#include <cstdlib>
#include <cstring>

#include "pack/pack_archive.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SilenceOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (SlowToLoad(data, size) || !WriteScratch(data, size)) return 0;
  OpenPack(ScratchPackPath().c_str());
  for (int i = 0; i < PackArchive.entryCount; ++i) {
    const PackEntry& entry = PackArchive.directory[i];
    // Loose-file fallback is not what is fuzzed here: only names the pack holds.
    if (entry.name[0] == '\0' || std::strchr(entry.name, '/')) continue;
    uint8_t* out = nullptr;
    size_t length = 0;
    if (LoadFile(entry.name, &out, &length)) {
      // Touch both ends so a buffer shorter than its reported length shows
      // (AddressSanitizer flags the last byte); the bytes between say nothing more.
      if (length > 0) {
        volatile uint8_t ends = static_cast<uint8_t>(out[0] + out[length - 1]);
        (void)ends;
      }
    }
    std::free(out);
  }
  ClosePack();
  return 0;
}

// Fuzzes the pack directory reader: OpenPack and FindEntry on arbitrary bytes.
#include <cstdlib>

#include "pack/pack_archive.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SilenceOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteScratch(data, size)) return 0;
  OpenPack(ScratchPackPath().c_str());
  PackEntry entry;
  FindEntry("brisk.bin", &entry);
  FindEntry("", &entry);
  for (int i = 0; i < PackArchive.entryCount; ++i) {
    if (!FindEntry(PackArchive.directory[i].name, &entry)) std::abort();
  }
  ClosePack();
  return 0;
}

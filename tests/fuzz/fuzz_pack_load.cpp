// Fuzzes LoadFile: every entry of an arbitrary pack is loaded and released,
// and what the readers' rule (HoldsNeededBytes, as start-up and qm7-pack
// check apply it) accepts must really have come from the entry's data.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pack/lzw_decoder.h"
#include "pack/pack_archive.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

// A compressed entry is decoded once more, into a buffer filled with 0xFF
// instead of zeros: a byte the stream wrote is the same in both, a byte it
// did not write is 0 in the loader's buffer and 0xFF here. So the count of
// leading bytes that agree is what the stream produced, found without
// trusting the count the loader reports.
std::size_t BytesTheStreamWrote(const uint8_t* pack, const PackEntry& entry, const uint8_t* loaded,
                                std::size_t length) {
  static std::vector<uint8_t> again;
  again.assign(length, 0xFF);
  std::size_t ignored = 0;
  if (Decode(pack + entry.offset, entry.storedSize, again.data(), length, &ignored) != kLzwOk)
    std::abort();
  std::size_t n = 0;
  while (n < length && again[n] == loaded[n]) ++n;
  for (std::size_t i = n; i < length; ++i)
    if (loaded[i] != 0 || again[i] != 0xFF) std::abort();  // the rest is zero and untouched
  return n;
}

}  // namespace

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
    size_t length = 0, decoded = 0;
    if (LoadFile(entry.name, &out, &length, &decoded)) {
      // Touch both ends so a buffer shorter than its reported length shows
      // (AddressSanitizer flags the last byte); the bytes between say nothing more.
      if (length > 0) {
        volatile uint8_t ends = static_cast<uint8_t>(out[0] + out[length - 1]);
        (void)ends;
      }
      PackEntry loaded;  // the first entry of that name, the one LoadFile serves
      if (!FindEntry(entry.name, &loaded)) std::abort();
      const std::size_t wrote =
          loaded.compressed == 1 ? BytesTheStreamWrote(data, loaded, out, length) : length;
      // A reader of `needed` bytes is accepted exactly when every one of
      // them came from the pack: at the whole entry (qm7-pack check), at
      // what the stream produced, and one byte past it.
      char why[96];
      for (std::size_t needed : {length, wrote, wrote + 1}) {
        if (needed > length) continue;
        if (HoldsNeededBytes(decoded, needed, why, sizeof why) != (needed <= wrote)) std::abort();
      }
    }
    std::free(out);
  }
  ClosePack();
  return 0;
}

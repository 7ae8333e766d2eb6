// Fuzzes LoadFile: every entry of an arbitrary pack is loaded and released,
// and what the readers' rule (HoldsNeededBytes, as start-up and qm7-pack
// check apply it) accepts must really have come from the entry's data. A
// qm7.sum entry is read as start-up reads it: accepted only in exactly the
// form qm7-pack writes, and a file matches it only when its packed bytes
// hash, by a plain bitwise CRC-32, to the recorded value.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pack/lzw_decoder.h"
#include "pack/pack_archive.h"
#include "pack/pack_sums.h"
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

// CRC-32 one bit at a time, apart from the table the pack code uses.
uint32_t BitwiseCrc32(const uint8_t* bytes, std::size_t length) {
  uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) {
    c ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// The pack's qm7.sum when it has one that ReadPackSums accepts: then its
// bytes must be exactly what EncodePackSums makes of the records read, so
// nothing but what qm7-pack writes passes. Null otherwise.
const PackSums* ReadSums(const uint8_t* pack) {
  static PackSums sums;
  PackEntry entry;
  if (!FindEntry(kPackSumsName, &entry)) return nullptr;
  char why[96];
  if (!ReadPackSums(PackArchive.file, PackArchive.fileBytes, PackArchive.packName, entry, &sums, why,
                    sizeof why))
    return nullptr;
  const std::vector<PackSum> records(sums.sums, sums.sums + sums.count);
  const std::vector<uint8_t> again = EncodePackSums(records);
  if (entry.compressed == 1) {
    // A compressed qm7.sum was decoded whole; compare what it decodes to.
    uint8_t* out = nullptr;
    std::size_t length = 0;
    if (!LoadPackEntry(PackArchive.file, PackArchive.fileBytes, PackArchive.packName, entry, &out,
                       &length, nullptr))
      std::abort();
    const bool same = std::vector<uint8_t>(out, out + length) == again;
    std::free(out);
    if (!same) std::abort();
  } else if (entry.storedSize != again.size() ||
             std::memcmp(pack + entry.offset, again.data(), again.size()) != 0) {
    std::abort();
  }
  return &sums;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SilenceOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (SlowToLoad(data, size) || !WriteScratch(data, size)) return 0;
  OpenPack(ScratchPackPath().c_str());
  const PackSums* sums = ReadSums(data);
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
      // The checksum rule: the record's size in bytes, all from the stream,
      // with the recorded CRC-32.
      const PackSum* sum = sums != nullptr ? FindPackSum(*sums, entry.name) : nullptr;
      if (sum != nullptr) {
        const bool whole = sum->size <= wrote && BitwiseCrc32(out, sum->size) == sum->crc;
        if (MatchesPackSum(*sums, entry.name, out, decoded, why, sizeof why) != whole) std::abort();
      }
    }
    std::free(out);
  }
  ClosePack();
  return 0;
}

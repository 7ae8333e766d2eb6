// fuzz_common.h — helpers shared by the fuzz targets.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>

#include "pack/pack_archive.h"

// The pack reader prints a banner and dots on every open and names damaged
// entries on standard error, flushing each time. Keep the fuzzer's own output
// readable and its runs free of those system calls (a write costs more than
// a whole run of a small input): std::cout goes into a buffer that drops
// everything, and C standard output to /dev/null through a large buffer, as
// does standard error (libFuzzer and the sanitizers write their reports on
// descriptors of their own).
inline void SilenceOutput() {
  struct Discard : std::streambuf {
    int overflow(int c) override { return c == EOF ? 0 : c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  };
  static Discard discard;
  std::cout.rdbuf(&discard);
  std::freopen("/dev/null", "w", stdout);
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  std::setvbuf(stderr, nullptr, _IOFBF, 1 << 16);
}

// A per-process scratch file holding the current input as a pack (in memory
// when /dev/shm is there: one is written per run).
// Removed when the fuzzer exits.
inline const std::string& ScratchPackPath() {
  static const std::string path =
      std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/qm7-fuzz-" +
      std::to_string(getpid()) + ".dat";
  static const bool removedAtExit = std::atexit([] { unlink(path.c_str()); }) == 0;
  (void)removedAtExit;
  return path;
}

// True when a directory entry of the pack declares a compressed entry of
// 1 to 64 MiB. Such entries are loaded (a zeroed buffer of that size) by the
// same code as small ones; skipping them keeps each run fast instead of
// letting a few inputs of tens of megabytes take most of the fuzzing time.
// Sizes over the 64 MiB limit are still fuzzed: they are refused at once.
inline bool SlowToLoad(const uint8_t* data, size_t size) {
  auto u32 = [data](size_t at) {
    return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
           static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
  };
  if (size < 4) return false;
  const int32_t count = static_cast<int32_t>(u32(0));
  const size_t entries = count < 0 ? 0 : count > kPackMaxEntries ? kPackMaxEntries : static_cast<size_t>(count);
  const size_t end = kPackDirectoryStart + kPackEntryBytes * entries;
  for (size_t at = kPackDirectoryStart; at + kPackEntryBytes <= size && at < end; at += kPackEntryBytes) {
    const uint32_t unpacked = u32(at + kPackUnpackedField);
    if (data[at + kPackCompressedField] == 1 && unpacked > (1u << 20) && unpacked <= kPackMaxUnpackedBytes)
      return true;
  }
  return false;
}

inline bool WriteScratch(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(ScratchPackPath().c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

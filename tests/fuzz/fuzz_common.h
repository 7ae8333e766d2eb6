// fuzz_common.h — helpers shared by the fuzz targets.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

// The pack reader prints a banner and dots on every open; keep the fuzzer's
// own output readable by sending standard output nowhere.
inline void SilenceStdout() { std::freopen("/dev/null", "w", stdout); }

// A per-process scratch file holding the current input as a pack.
inline const std::string& ScratchPackPath() {
  static const std::string path = "/tmp/qm7-fuzz-" + std::to_string(getpid()) + ".dat";
  return path;
}

inline bool WriteScratch(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(ScratchPackPath().c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

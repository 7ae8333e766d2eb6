// pack_files.h — a temporary folder and a pack builder for the pack tests.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "pack/pack_archive.h"
#include "tests/support/scratch_folder.h"

// Runs each test inside a fresh temporary folder (loose files are opened
// relative to the working folder) and removes it afterwards.
class TempFolderTest : public ::testing::Test {
 protected:
  static void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) {
      ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
  }
  static std::vector<uint8_t> ReadWhole(const std::string& name) {
    std::vector<uint8_t> bytes;
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (f == nullptr) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return bytes;
  }
  ScratchFolder folder_{ScratchFolder::kWorkIn};
};

inline std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// Builds a pack file: directory entries as given, data appended after the
// directory unless an entry fixes its own offset.
struct PackBuilder {
  struct Entry {
    std::string name;
    std::vector<uint8_t> data;
    uint32_t unpackedSize;
    uint8_t compressed;
    int64_t offset = -1;      // -1: where the data lands
    int64_t storedSize = -1;  // -1: data.size()
  };
  std::vector<Entry> entries;
  std::optional<int32_t> count;  // unset: entries.size()

  static void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> out;
    PutU32(out, static_cast<uint32_t>(count.value_or(static_cast<int32_t>(entries.size()))));
    uint32_t dataAt = static_cast<uint32_t>(kPackDirectoryStart + kPackEntryBytes * entries.size());
    for (const Entry& e : entries) {
      char name[kPackNameBytes] = {};
      std::memcpy(name, e.name.data(), std::min(e.name.size(), kPackNameBytes));
      out.insert(out.end(), name, name + kPackNameBytes);
      PutU32(out, e.offset >= 0 ? static_cast<uint32_t>(e.offset) : dataAt);
      PutU32(out, e.storedSize >= 0 ? static_cast<uint32_t>(e.storedSize)
                                    : static_cast<uint32_t>(e.data.size()));
      PutU32(out, e.unpackedSize);
      out.push_back(e.compressed);
      if (e.offset < 0) dataAt += static_cast<uint32_t>(e.data.size());
    }
    for (const Entry& e : entries)
      if (e.offset < 0) out.insert(out.end(), e.data.begin(), e.data.end());
    return out;
  }
};

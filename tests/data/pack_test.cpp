// qm7.dat as the build packed it: every picture is in the pack (not only on
// disk), comes back through LoadFile byte for byte as qm7-assets wrote it, and
// the mostly black scroll picture is stored compressed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/data_buffers.h"
#include "pack/pack_archive.h"
#include "tests/data/data_files.h"
#include "tests/support/scratch_folder.h"

namespace {

TEST(Pack, HoldsAllFivePicturesAndReturnsThemIntact) {
  const std::string packPath = std::string(QM7_DATA_DIR) + "/qm7.dat";
  if (!QM7_PACK_TOOL_BUILT && !std::filesystem::exists(packPath)) {
    // Without the pack tool the build copies the loose pictures instead.
    for (const DataFile& file : kDataFiles)
      EXPECT_TRUE(ReadBytes(std::string(QM7_DATA_DIR) + "/" + file.name) ==
                  ReadBytes(GeneratedData() + "/" + file.name)) << file.name;
    GTEST_SKIP() << "no pack tool in this build; checked the loose pictures";
  }
  ASSERT_TRUE(std::filesystem::exists(packPath));
  ASSERT_FALSE(GeneratedData().empty());

  // Load from an empty folder, so a loose file cannot stand in for an entry.
  ScratchFolder empty(ScratchFolder::kWorkIn);
  OpenPack(packPath.c_str());
  for (const DataFile& file : kDataFiles) {
    const char* name = file.name;
    SCOPED_TRACE(name);
    PackEntry entry{};
    EXPECT_TRUE(FindEntry(name, &entry));
    uint8_t* data = nullptr;
    std::size_t length = 0;
    ASSERT_TRUE(LoadFile(name, &data, &length));
    std::vector<uint8_t> loaded(data, data + length);
    std::free(data);
    EXPECT_TRUE(loaded == ReadBytes(GeneratedData() + "/" + name));
    if (std::string(name) == "scroll.bin") {
      EXPECT_EQ(entry.compressed, 1);
      EXPECT_LT(entry.storedSize, entry.unpackedSize);
    }
  }
  ClosePack();
}

}  // namespace

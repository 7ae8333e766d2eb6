// OpenPack / FindEntry / LoadFile / ClosePack on packs and loose files in a temporary folder.
#include <sys/stat.h>
#include <unistd.h>

#include "pack/lzw_encoder.h"
#include "pack/pack_archive.h"
#include "tests/pack/pack_files.h"

namespace {

struct Loaded {
  int status;
  std::vector<uint8_t> data;
  std::size_t length;
  bool null;
  std::size_t decoded;
};

Loaded Load(const char* name) {
  uint8_t* out = reinterpret_cast<uint8_t*>(1);
  std::size_t length = 999, decoded = 999;
  const int status = LoadFile(name, &out, &length, &decoded) ? 0 : 1;
  Loaded r{status, {}, length, out == nullptr, decoded};
  if (out != nullptr) {
    r.data.assign(out, out + length);
    std::free(out);
  }
  return r;
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
  return LzwEncode(data.data(), data.size());
}

class PackArchiveTest : public TempFolderTest {
 protected:
  void TearDown() override {
    ClosePack();
    TempFolderTest::TearDown();
  }
};

TEST_F(PackArchiveTest, LoadsStoredAndCompressedEntriesWithOneDotEach) {
  const std::vector<uint8_t> palette = Bytes("palette bytes");
  std::vector<uint8_t> logo(14160);
  for (std::size_t i = 0; i < logo.size(); ++i) logo[i] = static_cast<uint8_t>(i / 240 % 64);
  PackBuilder pack;
  pack.entries = {{"w.pal", palette, 0, 0},
                  {"brisk.bin", Compress(logo), static_cast<uint32_t>(logo.size()), 1},
                  {"empty.bin", {}, 0, 0}};
  WriteFile("qm7.dat", pack.Build());

  testing::internal::CaptureStdout();
  OpenPack("qm7.dat");
  const Loaded a = Load("w.pal"), b = Load("brisk.bin"), c = Load("empty.bin");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Filesystem 3.10\n...");
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.data, palette);
  EXPECT_EQ(a.decoded, palette.size());
  EXPECT_EQ(b.status, 0);
  EXPECT_EQ(b.length, logo.size());
  EXPECT_EQ(b.decoded, logo.size());
  EXPECT_EQ(b.data, logo);
  EXPECT_EQ(c.status, 0);
  EXPECT_EQ(c.length, 0u);
  EXPECT_EQ(c.decoded, 0u);
  EXPECT_FALSE(c.null);

  PackEntry found;
  ASSERT_TRUE(FindEntry("brisk.bin", &found));
  EXPECT_EQ(found.compressed, 1);
  EXPECT_EQ(found.unpackedSize, logo.size());
  EXPECT_FALSE(FindEntry("nothing", &found));
}

TEST_F(PackArchiveTest, MissingPackAndMissingNamesFallBackToLooseFiles) {
  WriteFile("scroll.bin", Bytes("loose picture"));
  testing::internal::CaptureStdout();
  OpenPack("qm7.dat");  // no such pack
  const Loaded loose = Load("scroll.bin");
  const Loaded missing = Load("nope.bin");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Filesystem 3.10\n.Could not open nope.bin\n");
  EXPECT_EQ(PackArchive.packOpen, 0);
  EXPECT_EQ(loose.status, 0);
  EXPECT_EQ(loose.data, Bytes("loose picture"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.null);
  EXPECT_EQ(missing.length, 0u);
}

TEST_F(PackArchiveTest, NamesMatchExactlyAndTheFirstDuplicateWins) {
  PackBuilder pack;
  pack.entries = {{"W.PAL", Bytes("upper"), 0, 0},
                  {"wctk.bin", Bytes("first"), 0, 0},
                  {"wctk.bin", Bytes("second"), 0, 0},
                  {"twelve.chars", Bytes("12"), 0, 0}};
  WriteFile("qm7.dat", pack.Build());
  WriteFile("w.pal", Bytes("lower, loose"));
  testing::internal::CaptureStdout();
  OpenPack("qm7.dat");
  EXPECT_EQ(Load("w.pal").data, Bytes("lower, loose"));
  EXPECT_EQ(Load("W.PAL").data, Bytes("upper"));
  EXPECT_EQ(Load("wctk.bin").data, Bytes("first"));
  EXPECT_EQ(Load("twelve.chars").data, Bytes("12"));
  EXPECT_EQ(Load("twelve.char").status, 1);
  testing::internal::GetCapturedStdout();
}

TEST_F(PackArchiveTest, EmptyPackSendsEveryLoadToLooseFiles) {
  PackBuilder pack;
  WriteFile("qm7.dat", pack.Build());
  WriteFile("w.pal", Bytes("loose"));
  testing::internal::CaptureStdout();
  OpenPack("qm7.dat");
  EXPECT_EQ(PackArchive.packOpen, 1);
  EXPECT_EQ(Load("w.pal").data, Bytes("loose"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Filesystem 3.10\n.");
}

TEST_F(PackArchiveTest, FolderInPlaceOfThePackIsNotUsed) {
  ASSERT_EQ(mkdir("qm7.dat", 0700), 0);
  WriteFile("w.pal", Bytes("loose"));
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  OpenPack("qm7.dat");
  const Loaded r = Load("w.pal");
  testing::internal::GetCapturedStdout();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Pack qm7.dat: not a regular file"),
            std::string::npos);
  EXPECT_EQ(PackArchive.packOpen, 0);
  EXPECT_EQ(r.data, Bytes("loose"));
}

// The buffer has the unpacked size, the rest zero; the decoded count says
// how much of it is the file's, and the readers' rule goes by that count.
TEST_F(PackArchiveTest, ShortCompressedStreamLeavesTheRestZeroAndSaysHowMuchCame) {
  PackBuilder pack;
  pack.entries = {{"short.bin", Compress(Bytes("abc")), 8, 1}};
  WriteFile("qm7.dat", pack.Build());
  WriteFile("loose.bin", Bytes("loose"));
  testing::internal::CaptureStdout();
  OpenPack("qm7.dat");
  const Loaded r = Load("short.bin"), loose = Load("loose.bin");
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.length, 8u);
  EXPECT_EQ(r.decoded, 3u);
  EXPECT_EQ(r.data, (std::vector<uint8_t>{'a', 'b', 'c', 0, 0, 0, 0, 0}));
  EXPECT_EQ(loose.decoded, 5u);

  char why[96] = "";
  EXPECT_TRUE(HoldsNeededBytes(r.decoded, 3, why, sizeof why));
  EXPECT_TRUE(HoldsNeededBytes(r.decoded, 0, why, sizeof why));
  EXPECT_STREQ(why, "");
  EXPECT_FALSE(HoldsNeededBytes(r.decoded, 4, why, sizeof why));
  EXPECT_STREQ(why, "decodes to 3 of the 4 bytes needed");
}

// Each case: a damaged pack, the name loaded, the status expected, a phrase the
// message on standard error must hold, and whether "good.bin" still loads.
TEST_F(PackArchiveTest, DamagedPacksFailCleanlyAndKeepWhatIsSafe) {
  const std::vector<uint8_t> good = Bytes("good data");
  const PackBuilder::Entry goodEntry{"good.bin", good, 0, 0};
  std::vector<uint8_t> notAStream = {0xFF, 0xFF, 0xFF, 0xFF};
  std::vector<uint8_t> example = {0x41, 0x84, 0x08, 0x24, 0x18, 0x10};
  std::vector<uint8_t> cutExample(example.begin(), example.end() - 1);

  struct Case {
    const char* what;
    PackBuilder pack;
    std::size_t keepBytes;  // 0: the whole built file
    const char* load;
    int status;
    const char* message;
    bool goodLoads;
  };
  auto with = [&](std::vector<PackBuilder::Entry> entries, std::optional<int32_t> count = {}) {
    PackBuilder p;
    p.entries = std::move(entries);
    p.count = count;
    return p;
  };
  const Case cases[] = {
      {"negative entry count", with({goodEntry}, -5), 0, "good.bin", 1, "negative", false},
      {"count too short", with({}), 2, "good.bin", 1, "too short", false},
      {"directory past the end of the file", with({goodEntry}, 1000), 0, "good.bin", 0,
       "directory ends after 1 of 1000", true},
      {"data offset past the end", with({goodEntry, {"far.bin", good, 0, 0, 1 << 20, 4}}), 0,
       "far.bin", 1, "far.bin: its data lies past the end", true},
      {"offset and size wrap 32 bits", with({goodEntry, {"wrap.bin", good, 0, 0, 0xFFFFFFF0, 0x20}}),
       0, "wrap.bin", 1, "past the end", true},
      {"stored size past the end", with({goodEntry, {"long.bin", good, 0, 0, -1, 4000}}), 0,
       "long.bin", 1, "past the end", true},
      {"undefined code", with({goodEntry, {"bad.bin", notAStream, 64, 1}}), 0, "bad.bin", 1,
       "bad.bin: its compressed data in qm7.dat uses a code that is not defined", true},
      {"stream longer than unpacked size", with({goodEntry, {"big.bin", example, 6, 1}}), 0,
       "big.bin", 1, "more bytes than its unpacked size", true},
      {"stream without end code", with({goodEntry, {"cut.bin", cutExample, 7, 1}}), 0, "cut.bin",
       1, "ends before its end code", true},
      {"unpacked size of gigabytes", with({goodEntry, {"huge.bin", example, 0xD4000000u, 1}}), 0,
       "huge.bin", 1, "over the 67108864-byte limit", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> file = c.pack.Build();
    if (c.keepBytes > 0) file.resize(c.keepBytes);
    WriteFile("qm7.dat", file);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    OpenPack("qm7.dat");
    const Loaded r = Load(c.load);
    const Loaded g = Load("good.bin");
    testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    ClosePack();
    EXPECT_EQ(r.status, c.status);
    if (c.status != 0) {
      EXPECT_TRUE(r.null);
      EXPECT_EQ(r.decoded, 0u);
    }
    EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
    EXPECT_EQ(g.status == 0 && g.data == good, c.goodLoads);
  }
}

TEST_F(PackArchiveTest, OnlyThe300FirstEntriesAreUsed) {
  PackBuilder pack;
  for (int i = 0; i < 301; ++i) {
    std::string name = "e";
    name += std::to_string(i);
    pack.entries.push_back({name, Bytes(std::to_string(i)), 0, 0});
  }
  WriteFile("qm7.dat", pack.Build());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  OpenPack("qm7.dat");
  const Loaded last = Load("e299");
  const Loaded beyond = Load("e300");
  testing::internal::GetCapturedStdout();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("301 is over 300"), std::string::npos);
  EXPECT_EQ(PackArchive.entryCount, 300);
  EXPECT_EQ(last.data, Bytes("299"));
  EXPECT_EQ(beyond.status, 1);  // not in the pack, not on disk
}

TEST_F(PackArchiveTest, ShortReadsAreFailures) {
  std::vector<uint8_t> noise(50000);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
  PackBuilder pack;
  pack.entries = {{"a.bin", std::vector<uint8_t>(100000, 1), 0, 0},
                  {"b.bin", Compress(noise), 50000, 1}};
  WriteFile("qm7.dat", pack.Build());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  OpenPack("qm7.dat");
  // The pack shrinks after it was opened: the directory promised more.
  ASSERT_EQ(truncate("qm7.dat", kPackDirectoryStart + 2 * kPackEntryBytes + 50), 0);
  const Loaded a = Load("a.bin"), b = Load("b.bin");
  // A folder opens as a file here but cannot be read as one.
  ASSERT_EQ(mkdir("folder.bin", 0700), 0);
  const Loaded c = Load("folder.bin");
  testing::internal::GetCapturedStdout();
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(a.status, 1);
  EXPECT_TRUE(a.null);
  EXPECT_EQ(b.status, 1);
  EXPECT_TRUE(b.null);
  EXPECT_EQ(c.status, 1);
  EXPECT_TRUE(c.null);
  EXPECT_NE(errors.find("Could not load a.bin: short read from qm7.dat ("), std::string::npos)
      << errors;
  EXPECT_NE(errors.find("of 100000 bytes)"), std::string::npos) << errors;
  EXPECT_NE(errors.find("Could not load b.bin: short read"), std::string::npos) << errors;
  EXPECT_NE(errors.find("Could not load folder.bin: not a regular file"), std::string::npos)
      << errors;
}

TEST_F(PackArchiveTest, ReopeningAndClosingStartAfresh) {
  PackBuilder one, two;
  one.entries = {{"x.bin", Bytes("one"), 0, 0}};
  two.entries = {{"y.bin", Bytes("two"), 0, 0}};
  WriteFile("one.dat", one.Build());
  WriteFile("two.dat", two.Build());
  testing::internal::CaptureStdout();
  OpenPack("one.dat");
  OpenPack("two.dat");
  EXPECT_FALSE(FindEntry("x.bin", nullptr));
  EXPECT_EQ(Load("y.bin").data, Bytes("two"));
  ClosePack();
  EXPECT_EQ(PackArchive.packOpen, 0);
  EXPECT_FALSE(FindEntry("y.bin", nullptr));
  ClosePack();  // closing twice is harmless
  testing::internal::GetCapturedStdout();
}

}  // namespace

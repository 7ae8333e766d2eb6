// qm7-pack create / list / extract, run in-process in a temporary folder.
#include <sys/stat.h>

#include <random>

#include "pack/lzw_encoder.h"
#include "pack/pack_archive.h"
#include "pack/pack_sums.h"
#include "tests/pack/pack_files.h"
#include "tools/pack/pack_tool.h"

namespace {

struct ToolRun {
  int status;
  std::string out, err;
};

ToolRun Tool(const std::vector<std::string>& args) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = RunPackTool(args);
  std::fflush(stdout);
  return {status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
}

class PackToolTest : public TempFolderTest {};

TEST_F(PackToolTest, CreatedPackLoadsThroughThePackReaderAndExtractsUnchanged) {
  std::mt19937 random(7);
  std::vector<uint8_t> noise(3000);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  std::vector<uint8_t> picture(320 * 1731);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i / 320 % 200);
  ASSERT_EQ(mkdir("in", 0700), 0);
  WriteFile("in/scroll.bin", picture);
  WriteFile("in/noise.bin", noise);
  WriteFile("in/empty.bin", {});

  const ToolRun create = Tool({"create", "qm7.dat", "in/scroll.bin", "in/noise.bin", "in/empty.bin"});
  ASSERT_EQ(create.status, 0) << create.err;

  const ToolRun list = Tool({"list", "qm7.dat"});
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("scroll.bin"), std::string::npos);
  EXPECT_NE(list.out.find("553920  lzw"), std::string::npos) << list.out;  // compresses well
  EXPECT_NE(list.out.find("3000  stored"), std::string::npos) << list.out;  // would grow
  EXPECT_NE(list.out.find("0  stored"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("stored  checksums"), std::string::npos) << list.out;  // qm7.sum

  testing::internal::CaptureStdout();
  OpenPack("qm7.dat");
  uint8_t* data = nullptr;
  std::size_t length = 0;
  EXPECT_TRUE(LoadFile("scroll.bin", &data, &length));
  ClosePack();
  testing::internal::GetCapturedStdout();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(std::vector<uint8_t>(data, data + length) == picture);
  std::free(data);

  const ToolRun extract = Tool({"extract", "qm7.dat", "-C", "out"});
  EXPECT_EQ(extract.status, 0) << extract.err;
  EXPECT_TRUE(ReadWhole("out/scroll.bin") == picture);
  EXPECT_EQ(ReadWhole("out/noise.bin"), noise);
  struct stat info;
  EXPECT_EQ(stat("out/empty.bin", &info), 0);
  EXPECT_NE(stat("out/qm7.sum", &info), 0);  // not a file of the demo's; written only when named

  const ToolRun check = Tool({"check", "qm7.dat"});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(check.err, "");
  EXPECT_NE(check.out.find("4 entries, all load in full and match their checksums"), std::string::npos)
      << check.out;

  const ToolRun one = Tool({"extract", "qm7.dat", "noise.bin"});
  EXPECT_EQ(one.status, 0);
  EXPECT_EQ(ReadWhole("noise.bin"), noise);
  EXPECT_NE(stat("scroll.bin", &info), 0);
}

TEST_F(PackToolTest, StoreKeepsEveryEntryAsItIs) {
  WriteFile("w.pal", std::vector<uint8_t>(768, 5));
  ASSERT_EQ(Tool({"create", "p.dat", "--store", "w.pal"}).status, 0);
  const ToolRun list = Tool({"list", "p.dat"});
  EXPECT_NE(list.out.find("w.pal                56        768        768  stored"), std::string::npos)
      << list.out;
}

TEST_F(PackToolTest, BadCommandLinesAndFilesFailWithAMessage) {
  WriteFile("a.bin", Bytes("a"));
  ASSERT_EQ(mkdir("sub", 0700), 0);
  WriteFile("sub/a.bin", Bytes("other a"));
  WriteFile("thirteen.char", Bytes("x"));
  WriteFile("sub/qm7.sum", Bytes("x"));
  PackBuilder evil;
  evil.entries = {{"../escape", Bytes("x"), 0, 0}};
  WriteFile("evil.dat", evil.Build());
  PackBuilder broken;
  broken.entries = {{"z.bin", {0xFF, 0xFF, 0xFF}, 10, 1}};
  WriteFile("broken.dat", broken.Build());
  PackBuilder huge;
  huge.count = 5000;
  WriteFile("huge.dat", huge.Build());
  // A valid stream of "abc" declaring nearly 4 GiB: refused by the reader's
  // 64 MiB limit, not written out as gigabytes of zeros.
  const std::vector<uint8_t> abc = LzwEncode(reinterpret_cast<const uint8_t*>("abc"), 3);
  PackBuilder gigabytes;
  gigabytes.entries = {{"ok.bin", Bytes("fine"), 0, 0}, {"huge.bin", abc, 0xFFFFFFF0u, 1}};
  WriteFile("gigabytes.dat", gigabytes.Build());
  // A stream that ends before the unpacked size: valid, the rest is zero.
  PackBuilder cut;
  cut.entries = {{"short.bin", abc, 8, 1}};
  WriteFile("cut.dat", cut.Build());
  PackBuilder past;
  past.entries = {{"far.bin", Bytes("x"), 0, 0, 1 << 20, 1}};
  WriteFile("past.dat", past.Build());

  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{}, 2, "usage: qm7-pack create"},
      {{"pack"}, 2, "usage:"},
      {{"create", "out.dat"}, 2, "usage:"},
      {{"create", "out.dat", "--fast", "a.bin"}, 2, "usage:"},
      {{"list"}, 2, "usage:"},
      {{"list", "a.dat", "b.dat"}, 2, "usage:"},
      {{"extract", "p.dat", "-C"}, 2, "usage:"},
      {{"create", "out.dat", "missing.bin"}, 1, "cannot read missing.bin"},
      {{"create", "out.dat", "thirteen.char"}, 1, "must have 1 to 12 characters"},
      {{"create", "out.dat", "a.bin", "sub/a.bin"}, 1, "already in the pack"},
      {{"create", "out.dat", "sub/qm7.sum"}, 1, "the name 'qm7.sum' is kept for the pack's checksums"},
      {{"create", "no-such-folder/out.dat", "a.bin"}, 1, "cannot write no-such-folder/out.dat.part"},
      {{"list", "missing.dat"}, 1, "cannot read missing.dat"},
      {{"list", "huge.dat"}, 1, "entry count 5000 is not between 0 and 300"},
      {{"list", "a.bin"}, 1, "too short to be a pack"},
      {{"extract", "evil.dat"}, 1, "'../escape' is not a plain file name"},
      {{"extract", "broken.dat"}, 1, "entry z.bin cannot be loaded"},
      {{"check", "broken.dat"}, 1, "uses a code that is not defined"},
      {{"extract", "gigabytes.dat", "huge.bin"}, 1, "huge.bin: its unpacked size in gigabytes.dat (4294967280 bytes) is over"},
      {{"extract", "gigabytes.dat", "-C", "all"}, 1, "entry huge.bin cannot be loaded"},
      {{"check", "gigabytes.dat"}, 1, "1 of 2 entries damaged"},
      {{"extract", "past.dat"}, 1, "far.bin: its data lies past the end of past.dat"},
      {{"extract", "cut.dat"}, 0, "cut.dat: entry short.bin decodes to 3 of the 8 bytes needed; the rest is zero"},
      {{"check", "cut.dat"}, 1, "short.bin decodes to 3 of the 8 bytes needed"},
      {{"check"}, 2, "usage:"},
      {{"check", "missing.dat"}, 1, "cannot read missing.dat"},
      {{"check", "sub"}, 1, "not a regular file"},
      {{"extract", "broken.dat", "y.bin"}, 1, "no entry named y.bin"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += a + " ";
    SCOPED_TRACE(line);
    const ToolRun r = Tool(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  struct stat info;
  EXPECT_NE(stat("out.dat", &info), 0);  // no failed create leaves a pack behind
  EXPECT_NE(stat("../escape", &info), 0);
  // Refused entries leave nothing, not even a partial file; the rest is written.
  EXPECT_NE(stat("huge.bin", &info), 0);
  EXPECT_NE(stat("huge.bin.part", &info), 0);
  EXPECT_NE(stat("all/huge.bin", &info), 0);
  EXPECT_EQ(ReadWhole("all/ok.bin"), Bytes("fine"));
  EXPECT_EQ(ReadWhole("short.bin"), (std::vector<uint8_t>{'a', 'b', 'c', 0, 0, 0, 0, 0}));
}

// A pack made by create, then damaged in one place: check names what is
// wrong, extract writes nothing it cannot vouch for.
TEST_F(PackToolTest, ChecksumsCatchWrongBytesAndADamagedChecksumEntryRefusesThePack) {
  WriteFile("a.bin", Bytes("first file, stored"));
  WriteFile("b.bin", Bytes("second file"));
  ASSERT_EQ(Tool({"create", "p.dat", "--store", "a.bin", "b.bin"}).status, 0);
  const std::vector<uint8_t> pack = ReadWhole("p.dat");
  const std::size_t sumsAt = kPackDirectoryStart + 2 * kPackEntryBytes;
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(pack.data()) + sumsAt), "qm7.sum");
  const std::size_t aData = kPackDirectoryStart + 3 * kPackEntryBytes;  // a.bin's bytes come first
  const std::size_t sumsData = pack.size() - (kPackSumsMagicBytes + 2 * kPackSumRecordBytes + kPackSumsTrailerBytes);

  std::vector<uint8_t> wrongByte = pack, wrongSum = pack, renamed = pack, older = pack;
  wrongByte[aData + 3] ^= 0x20;
  wrongSum[sumsData + kPackSumsMagicBytes + kPackNameBytes + 4] ^= 1;  // a.bin's checksum
  renamed[kPackDirectoryStart + 4] = 'X';                             // "a.bin" -> "a.biX"
  older[0] = 2;                                                       // as made before qm7.sum
  WriteFile("wrong-byte.dat", wrongByte);
  WriteFile("wrong-sum.dat", wrongSum);
  WriteFile("renamed.dat", renamed);
  WriteFile("older.dat", older);

  struct Case {
    std::vector<std::string> args;
    int status;
    const char* out;
    std::vector<const char*> err;
  };
  const Case cases[] = {
      {{"check", "p.dat"}, 0, "3 entries, all load in full and match their checksums", {}},
      {{"check", "older.dat"}, 0, "2 entries, all load in full (no checksums to compare them with)", {}},
      {{"check", "wrong-byte.dat"}, 1, "",
       {"entry a.bin does not match its checksum in qm7.sum", "1 of 3 entries damaged"}},
      {{"check", "wrong-sum.dat"}, 1, "",
       {"entry qm7.sum does not match its own checksum", "1 of 3 entries damaged"}},
      {{"check", "renamed.dat"}, 1, "",
       {"qm7.sum lists a.bin, which the pack lacks", "entry a.biX has no checksum in qm7.sum",
        "2 of 3 entries damaged"}},
      {{"extract", "wrong-byte.dat", "-C", "wrong-byte"}, 1, "",
       {"entry a.bin does not match its checksum in qm7.sum"}},
      {{"extract", "wrong-sum.dat", "-C", "wrong-sum"}, 1, "", {"entry qm7.sum does not match its own checksum"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    const ToolRun r = Tool(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    for (const char* line : c.err) EXPECT_NE(r.err.find(line), std::string::npos) << r.err;
    if (c.err.empty()) {
      EXPECT_EQ(r.err, "");
    }
  }
  // The damaged entry is not written, the intact one is; from a pack whose
  // checksums are damaged, nothing is.
  struct stat info;
  EXPECT_NE(stat("wrong-byte/a.bin", &info), 0);
  EXPECT_EQ(ReadWhole("wrong-byte/b.bin"), Bytes("second file"));
  EXPECT_NE(stat("wrong-sum/b.bin", &info), 0);
  // Named, qm7.sum itself is written as it is in the pack.
  ASSERT_EQ(Tool({"extract", "p.dat", "qm7.sum", "-C", "sums"}).status, 0);
  EXPECT_EQ(ReadWhole("sums/qm7.sum"), std::vector<uint8_t>(pack.begin() + sumsData, pack.end()));
}

TEST_F(PackToolTest, ListMarksEntriesWhoseDeclaredSizesAreImpossible) {
  const std::vector<uint8_t> abc = LzwEncode(reinterpret_cast<const uint8_t*>("abc"), 3);
  PackBuilder pack;
  pack.entries = {{"ok.bin", abc, 3, 1},
                  {"huge.bin", abc, 0xFFFFFFF0u, 1},
                  {"far.bin", Bytes("x"), 0, 0, 1 << 20, 1},
                  {"wrap.bin", Bytes("x"), 0, 0, 0xFFFFFFF0, 0x20}};
  WriteFile("p.dat", pack.Build());
  const ToolRun list = Tool({"list", "p.dat"});
  EXPECT_EQ(list.status, 0);
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = list.out.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(list.out.substr(at, end - at));
  ASSERT_EQ(lines.size(), 5u) << list.out;
  EXPECT_EQ(lines[1].find("IMPOSSIBLE"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("lzw  IMPOSSIBLE: its unpacked size is over the 64 MiB limit"), std::string::npos) << lines[2];
  EXPECT_NE(lines[3].find("IMPOSSIBLE: its data lies past the end"), std::string::npos) << lines[3];
  EXPECT_NE(lines[4].find("IMPOSSIBLE: its data lies past the end"), std::string::npos) << lines[4];
}

}  // namespace

// qm7.sum: the CRC-32, the entry's bytes written and read back, any damage
// to them refused, and the rule a file is checked by.
#include <cstring>
#include <string>

#include "pack/pack_sums.h"
#include "tests/pack/pack_files.h"

namespace {

std::vector<uint8_t> Text(const char* s) { return Bytes(s); }

PackSum Sum(const char* name, const std::vector<uint8_t>& bytes) {
  return MakePackSum(name, bytes.data(), bytes.size());
}

bool Parse(const std::vector<uint8_t>& bytes, PackSums* sums, std::string* why) {
  char text[96] = "";
  const bool ok = ParsePackSums(bytes.data(), bytes.size(), sums, text, sizeof text);
  *why = text;
  return ok;
}

TEST(PackSums, Crc32IsTheZipAndPngChecksum) {
  EXPECT_EQ(Crc32(Text("123456789").data(), 9), 0xCBF43926u);
  EXPECT_EQ(Crc32(nullptr, 0), 0u);
  EXPECT_EQ(Crc32(Text("a").data(), 1), 0xE8B7BE43u);
}

TEST(PackSums, RecordsComeBackAsWrittenAndAnyChangedByteIsRefused) {
  const std::vector<uint8_t> logo(14160, 7);
  const std::vector<PackSum> written = {Sum("brisk.bin", logo), Sum("w.pal", Text("pal")),
                                        Sum("twelve.chars", {})};
  const std::vector<uint8_t> bytes = EncodePackSums(written);
  ASSERT_EQ(bytes.size(), kPackSumsMagicBytes + 3 * kPackSumRecordBytes + kPackSumsTrailerBytes);

  PackSums sums;
  std::string why;
  ASSERT_TRUE(Parse(bytes, &sums, &why)) << why;
  ASSERT_EQ(sums.count, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(sums.sums[i].name, written[i].name);
    EXPECT_EQ(sums.sums[i].size, written[i].size);
    EXPECT_EQ(sums.sums[i].crc, written[i].crc);
  }
  EXPECT_EQ(sums.sums[0].size, 14160u);
  EXPECT_EQ(sums.sums[1].crc, Crc32(Text("pal").data(), 3));

  // One changed bit anywhere, in the magic, a name, a size, a checksum or
  // the trailer, and the list is refused as a whole.
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    for (int bit = 0; bit < 8; ++bit) {
      std::vector<uint8_t> damaged = bytes;
      damaged[at] ^= static_cast<uint8_t>(1 << bit);
      EXPECT_FALSE(Parse(damaged, &sums, &why)) << "byte " << at << " bit " << bit;
    }
  }
  EXPECT_TRUE(Parse(EncodePackSums({}), &sums, &why)) << why;
  EXPECT_EQ(sums.count, 0);
}

TEST(PackSums, ListsThatAreNotWhatCreateWritesAreRefused) {
  std::vector<uint8_t> twice = EncodePackSums({Sum("a.bin", Text("a")), Sum("a.bin", Text("b"))});
  std::vector<uint8_t> unnamed = EncodePackSums({Sum("", Text("a"))});
  // A name with a byte after its terminating zero, the trailer made anew.
  std::vector<uint8_t> unpadded = EncodePackSums({Sum("a.bin", Text("a"))});
  unpadded[kPackSumsMagicBytes + 8] = 'x';
  unpadded.erase(unpadded.end() - kPackSumsTrailerBytes, unpadded.end());
  const uint32_t crc = Crc32(unpadded.data(), unpadded.size());
  for (int i = 0; i < 4; ++i) unpadded.push_back(static_cast<uint8_t>(crc >> (8 * i)));
  std::vector<uint8_t> tooMany = EncodePackSums(std::vector<PackSum>(300, Sum("a.bin", {})));
  std::vector<uint8_t> cut = EncodePackSums({Sum("a.bin", Text("a"))});
  cut.pop_back();

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* why;
  };
  const Case cases[] = {
      {"empty", {}, "is not a list of checksums (0 bytes)"},
      {"cut", cut, "is not a list of checksums (28 bytes)"},
      {"other bytes", Text("some text, not checksums....."), "is not a list of checksums"},
      {"a name twice", twice, "lists a.bin twice"},
      {"no name", unnamed, "has a record 1 without a proper name"},
      {"not NUL-padded", unpadded, "has a record 1 without a proper name"},
      {"300 records", tooMany, "lists 300 files, more than 299"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackSums sums;
    std::string why;
    EXPECT_FALSE(Parse(c.bytes, &sums, &why));
    EXPECT_NE(why.find(c.why), std::string::npos) << why;
  }
}

TEST(PackSums, AFileMatchesWhenThePackedBytesAreAllThereAndUnchanged) {
  const std::vector<uint8_t> file = Text("the packed file");
  PackSums sums;
  std::string parseWhy;
  ASSERT_TRUE(Parse(EncodePackSums({Sum("f.bin", file)}), &sums, &parseWhy));

  // Bytes after the packed size (a larger unpacked size in the directory,
  // zero) are not the file's: they do not count.
  std::vector<uint8_t> longer = file;
  longer.resize(file.size() + 10, 0);
  std::vector<uint8_t> changed = file;
  changed[3] ^= 1;

  struct Case {
    const char* name;
    const char* file;
    std::vector<uint8_t> data;
    std::size_t decoded;
    const char* why;  // nullptr: matches
  };
  const Case cases[] = {
      {"as packed", "f.bin", file, file.size(), nullptr},
      {"longer, the packed bytes intact", "f.bin", longer, file.size(), nullptr},
      {"one byte changed", "f.bin", changed, file.size(), "does not match its checksum in qm7.sum"},
      {"decoded one byte short", "f.bin", file, file.size() - 1,
       "does not match its checksum in qm7.sum"},
      {"not listed", "g.bin", file, file.size(), "has no checksum in qm7.sum"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    char why[96] = "";
    EXPECT_EQ(MatchesPackSum(sums, c.file, c.data.data(), c.decoded, why, sizeof why), c.why == nullptr);
    EXPECT_STREQ(why, c.why == nullptr ? "" : c.why);
  }
}

}  // namespace

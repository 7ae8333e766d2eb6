// hostile_data_test.cpp — the demo's start-up against broken data folders.
//
// Each case builds a folder from the real generated data (the pack, the
// module and the loose pictures), breaks it in one way and runs qm7-capture,
// which takes exactly the demo's start-up path, on it. A broken folder must
// end with the host's message and status 1, or, where the damage leaves
// every file readable at its size, play on; never a crash, a hang or a
// sanitizer report.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/data_buffers.h"
#include "pack/lzw_decoder.h"
#include "pack/lzw_encoder.h"
#include "pack/pack_archive.h"
#include "pack/pack_sums.h"
#include "tests/support/program_run.h"
#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

// Generous: a start-up takes well under a second and a whole 24 fps run
// some seconds, several times that under the sanitizers or an emulator.
constexpr double kTimeLimitSeconds = 120 * kTimeScale;

// The host's data files by name, in the order start-up loads them.
const std::vector<const char*> kDataNames = [] {
  std::vector<const char*> names;
  for (const DataFile& file : kDataFiles) names.push_back(file.name);
  return names;
}();

uint32_t GetU32(const std::string& bytes, std::size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

void PutU32(std::string* bytes, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

// A data folder under construction.
class DataFolder {
 public:
  explicit DataFolder(fs::path dir) : dir_(std::move(dir)) { fs::create_directories(dir_); }
  const fs::path& path() const { return dir_; }

  void AddModule() { fs::copy_file(fs::path(QM7_DATA_DIR) / "qm7.it", dir_ / "qm7.it"); }
  void AddPack() { fs::copy_file(fs::path(QM7_DATA_DIR) / "qm7.dat", dir_ / "qm7.dat"); }
  void AddLooseFiles() {
    for (const char* name : kDataNames) fs::copy_file(fs::path(QM7_LOOSE_DIR) / name, dir_ / name);
  }

  std::string Read(const char* name) const { return ReadWholeFile(dir_ / name); }
  void Write(const char* name, const std::string& bytes) { WriteWholeFile(dir_ / name, bytes); }
  void Remove(const char* name) { fs::remove(dir_ / name); }
  void CutLastBytes(const char* name, std::size_t count) {
    fs::resize_file(dir_ / name, fs::file_size(dir_ / name) - count);
  }

  // Directory entry of `name` in the folder's pack: its byte position.
  std::size_t EntryAt(const char* name) const {
    std::string pack = Read("qm7.dat");
    uint32_t count = GetU32(pack, 0);
    for (uint32_t i = 0; i < count; ++i) {
      std::size_t at = kPackDirectoryStart + i * kPackEntryBytes;
      if (std::strncmp(pack.data() + at, name, kPackNameBytes) == 0) return at;
    }
    ADD_FAILURE() << name << " is not in the generated pack";
    return kPackDirectoryStart;
  }
  void SetEntryField(const char* name, std::size_t field, uint32_t value) {
    std::string pack = Read("qm7.dat");
    PutU32(&pack, EntryAt(name) + field, value);
    Write("qm7.dat", pack);
  }
  uint32_t EntryField(const char* name, std::size_t field) const {
    return GetU32(Read("qm7.dat"), EntryAt(name) + field);
  }
  // Gives `name`'s entry a stream of only the first `keep` bytes of the real
  // file, as a stream damaged into an early end code decodes: the unpacked
  // size stays, the rest of the file would be zero. The stream goes at the
  // end of the pack.
  void EndStreamAfter(const char* name, std::size_t keep) {
    const std::string file = ReadWholeFile(fs::path(QM7_LOOSE_DIR) / name);
    const std::vector<uint8_t> stream =
        LzwEncode(reinterpret_cast<const uint8_t*>(file.data()), keep);
    std::string pack = Read("qm7.dat");
    PutU32(&pack, EntryAt(name) + kPackOffsetField, static_cast<uint32_t>(pack.size()));
    PutU32(&pack, EntryAt(name) + kPackStoredField, static_cast<uint32_t>(stream.size()));
    pack.append(stream.begin(), stream.end());
    Write("qm7.dat", pack);
  }
  // Changes one bit of `name`'s stream so that one LZW code becomes another
  // of the same length: the entry still decodes to exactly its unpacked
  // size, with some bytes wrong. The first such bit from the middle of the
  // stream on.
  void SwapCodeKeepingLength(const char* name) {
    const std::string file = ReadWholeFile(fs::path(QM7_LOOSE_DIR) / name);
    std::string pack = Read("qm7.dat");
    const std::size_t at = EntryAt(name);
    const uint32_t offset = GetU32(pack, at + kPackOffsetField);
    const uint32_t stored = GetU32(pack, at + kPackStoredField);
    std::vector<uint8_t> out(file.size());
    for (uint32_t i = stored / 2; i < stored; ++i) {
      for (int bit = 0; bit < 8; ++bit) {
        pack[offset + i] ^= static_cast<char>(1 << bit);
        std::size_t written = 0;
        if (Decode(reinterpret_cast<const uint8_t*>(pack.data()) + offset, stored, out.data(),
                   out.size(), &written) == kLzwOk &&
            written == out.size() && std::memcmp(out.data(), file.data(), out.size()) != 0) {
          Write("qm7.dat", pack);
          return;
        }
        pack[offset + i] ^= static_cast<char>(1 << bit);
      }
    }
    ADD_FAILURE() << "no bit of " << name << "'s stream swaps a code for one of the same length";
  }
  // Replaces the pack's qm7.sum by one holding the real files' checksums,
  // all but `leftOut`'s, written correctly (its data goes at the end).
  void SumsWithout(const char* leftOut) {
    std::vector<PackSum> sums;
    for (const char* name : kDataNames) {
      if (std::strcmp(name, leftOut) == 0) continue;
      const std::string file = ReadWholeFile(fs::path(QM7_LOOSE_DIR) / name);
      sums.push_back(MakePackSum(name, reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    }
    const std::vector<uint8_t> bytes = EncodePackSums(sums);
    std::string pack = Read("qm7.dat");
    PutU32(&pack, EntryAt(kPackSumsName) + kPackOffsetField, static_cast<uint32_t>(pack.size()));
    PutU32(&pack, EntryAt(kPackSumsName) + kPackStoredField, static_cast<uint32_t>(bytes.size()));
    pack.append(bytes.begin(), bytes.end());
    Write("qm7.dat", pack);
  }
  // The entry whose data ends last in the pack.
  std::string LastEntryInPack() const {
    std::string pack = Read("qm7.dat"), last;
    uint64_t end = 0;
    for (uint32_t i = 0; i < GetU32(pack, 0); ++i) {
      std::size_t at = kPackDirectoryStart + i * kPackEntryBytes;
      uint64_t e = uint64_t{GetU32(pack, at + kPackOffsetField)} + GetU32(pack, at + kPackStoredField);
      if (e > end) {
        end = e;
        last = std::string(pack.data() + at);
      }
    }
    return last;
  }

 private:
  fs::path dir_;
};

// What a case must end with. Status 0 cases play a few frames; status 1
// cases must show `stderrText` (the host's reason) and, when given,
// `stdoutText` (the loader's console line).
struct Expect {
  int status;
  std::string stderrText;
  std::string stdoutText;
  bool wholeTimeline = false;  // play to the end (24 fps) instead of 20 frames
};

struct HostileCase {
  std::string name;
  std::function<Expect(DataFolder&)> build;
};

Expect CannotLoad(const std::string& file) { return {1, "qm7: Can't load the data file " + file, ""}; }
Expect NotOnDisk(const std::string& file) {
  return {1, "qm7: Can't load the data file " + file, "Could not open " + file};
}
Expect TooShort(const std::string& file, std::size_t got, std::size_t want) {
  return {1,
          "qm7: The data file " + file + " is too short: " + std::to_string(got) + " bytes of " +
              std::to_string(want),
          ""};
}
Expect DecodesShort(const std::string& file, std::size_t got, std::size_t want) {
  return {1,
          "qm7: Can't load the data file " + file + ": it decodes to " + std::to_string(got) +
              " of the " + std::to_string(want) + " bytes needed",
          ""};
}
Expect DoesNotMatch(const std::string& file) {
  return {1, "qm7: Can't load the data file " + file + ": it does not match its checksum in qm7.sum", ""};
}
Expect Plays() { return {0, "", ""}; }
Expect PlaysToTheEnd() { return {0, "", "", true}; }
const Expect kCannotPlay = {1, "qm7: Can't play the file", ""};

std::vector<HostileCase> HostileCases() {
  std::vector<HostileCase> cases;
  auto add = [&](std::string name, std::function<Expect(DataFolder&)> build) {
    cases.push_back({std::move(name), std::move(build)});
  };

  // ---- nothing there
  add("empty folder", [](DataFolder&) { return NotOnDisk("brisk.bin"); });
  add("module only", [](DataFolder& f) {
    f.AddModule();
    return NotOnDisk("brisk.bin");
  });
  add("loose files, no module", [](DataFolder& f) {
    f.AddLooseFiles();
    return kCannotPlay;
  });
  add("pack, no module", [](DataFolder& f) {
    f.AddPack();
    return kCannotPlay;
  });

  // ---- loose files: each one missing, one byte short, empty, a folder
  for (const char* name : kDataNames) {
    std::string n = name;
    add("loose " + n + " missing", [n](DataFolder& f) {
      f.AddModule();
      f.AddLooseFiles();
      f.Remove(n.c_str());
      return NotOnDisk(n);
    });
    add("loose " + n + " one byte short", [n](DataFolder& f) {
      f.AddModule();
      f.AddLooseFiles();
      std::size_t size = fs::file_size(f.path() / n);
      f.CutLastBytes(n.c_str(), 1);
      return TooShort(n, size - 1, size);
    });
    add("loose " + n + " empty", [n](DataFolder& f) {
      f.AddModule();
      f.AddLooseFiles();
      std::size_t size = fs::file_size(f.path() / n);
      f.Write(n.c_str(), "");
      return TooShort(n, 0, size);
    });
    add("loose " + n + " is a folder", [n](DataFolder& f) {
      f.AddModule();
      f.AddLooseFiles();
      f.Remove(n.c_str());
      fs::create_directory(f.path() / n);
      Expect e = CannotLoad(n);
      e.stdoutText = "";
      return e;
    });
  }
  // Pictures of the right size whose bytes lie outside the ranges the
  // effects expect (logo intensities and palette components above 63):
  // every scene draws them without reading or writing outside its tables.
  add("loose pictures all 255", [](DataFolder& f) {
    f.AddModule();
    for (const char* name : kDataNames)
      f.Write(name, std::string(fs::file_size(fs::path(QM7_LOOSE_DIR) / name), '\xFF'));
    return PlaysToTheEnd();
  });
  add("loose pictures of noise", [](DataFolder& f) {
    f.AddModule();
    uint32_t x = 7;
    for (const char* name : kDataNames) {
      std::string noise(fs::file_size(fs::path(QM7_LOOSE_DIR) / name), '\0');
      for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
      f.Write(name, noise);
    }
    return PlaysToTheEnd();
  });
  // A file the pack lacks is read loose: the pack serves the rest.
  add("pack plus one loose file", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.AddLooseFiles();
    return Plays();
  });

  // ---- the module
  add("module one byte short", [](DataFolder& f) {
    // The last byte is sample data. A module whose samples or patterns run
    // past its end is refused as damaged: the music library would play a
    // file cut short further in as silence, without a word.
    f.AddPack();
    f.AddModule();
    f.CutLastBytes("qm7.it", 1);
    return kCannotPlay;
  });
  add("module cut to its header", [](DataFolder& f) {
    f.AddPack();
    f.AddModule();
    fs::resize_file(f.path() / "qm7.it", 192);
    return kCannotPlay;
  });
  add("module empty", [](DataFolder& f) {
    f.AddPack();
    f.Write("qm7.it", "");
    return kCannotPlay;
  });
  add("module is text", [](DataFolder& f) {
    f.AddPack();
    f.Write("qm7.it", "this is not a tracker module\n");
    return kCannotPlay;
  });
  add("module is a picture", [](DataFolder& f) {
    f.AddPack();
    fs::copy_file(fs::path(QM7_LOOSE_DIR) / "scroll.bin", f.path() / "qm7.it");
    return kCannotPlay;
  });
  add("module is a folder", [](DataFolder& f) {
    f.AddPack();
    fs::create_directory(f.path() / "qm7.it");
    return kCannotPlay;
  });

  // ---- the pack file itself
  add("pack one byte short", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    std::string last = f.LastEntryInPack();
    f.CutLastBytes("qm7.dat", 1);
    Expect e = CannotLoad(last);
    e.stdoutText = "";
    return e;
  });
  add("pack empty, loose files there", [](DataFolder& f) {
    f.AddModule();
    f.AddLooseFiles();
    f.Write("qm7.dat", "");
    return Plays();
  });
  add("pack empty, nothing else", [](DataFolder& f) {
    f.AddModule();
    f.Write("qm7.dat", "");
    return NotOnDisk("brisk.bin");
  });
  add("pack is a folder", [](DataFolder& f) {
    f.AddModule();
    f.AddLooseFiles();
    fs::create_directory(f.path() / "qm7.dat");
    return Plays();
  });
  add("pack of random bytes", [](DataFolder& f) {
    f.AddModule();
    std::string noise(4000, '\0');
    uint32_t x = 12345;
    for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    f.Write("qm7.dat", noise);
    return NotOnDisk("brisk.bin");
  });

  // ---- the directory: its count and its length
  add("directory cut inside its third entry", [](DataFolder& f) {
    // The two whole entries are used but their data is gone; the host's
    // first file among them fails, whatever the others would do.
    f.AddModule();
    f.AddPack();
    f.AddLooseFiles();
    std::string pack = f.Read("qm7.dat");
    std::string kept[2] = {pack.substr(kPackDirectoryStart, kPackNameBytes).c_str(),
                           pack.substr(kPackDirectoryStart + kPackEntryBytes, kPackNameBytes).c_str()};
    fs::resize_file(f.path() / "qm7.dat", kPackDirectoryStart + 2 * kPackEntryBytes + 10);
    for (const char* name : kDataNames)
      if (kept[0] == name || kept[1] == name) return CannotLoad(name);
    ADD_FAILURE() << "the pack's first entries are not data files";
    return Plays();
  });
  add("directory without any entry data", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    fs::resize_file(f.path() / "qm7.dat", kPackDirectoryStart + GetU32(f.Read("qm7.dat"), 0) * kPackEntryBytes);
    return CannotLoad("brisk.bin");
  });
  add("directory count negative", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    std::string pack = f.Read("qm7.dat");
    PutU32(&pack, 0, 0x80000000u);
    f.Write("qm7.dat", pack);
    return NotOnDisk("brisk.bin");
  });
  add("directory count past the end of the file", [](DataFolder& f) {
    // Entries read from the data area have names no file carries; the real
    // entries come first and are served.
    f.AddModule();
    f.AddPack();
    std::string pack = f.Read("qm7.dat");
    PutU32(&pack, 0, 0x7FFFFFFFu);
    f.Write("qm7.dat", pack);
    return Plays();
  });
  add("directory count zero, nothing loose", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    std::string pack = f.Read("qm7.dat");
    PutU32(&pack, 0, 0);
    f.Write("qm7.dat", pack);
    return NotOnDisk("brisk.bin");
  });

  // ---- one entry pointing past the end of the pack
  add("entry offset at the end of the pack", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.SetEntryField("wctk.bin", kPackOffsetField, static_cast<uint32_t>(fs::file_size(f.path() / "qm7.dat")));
    return Expect{1, "qm7: Can't load the data file wctk.bin", ""};
  });
  add("entry offset plus size wraps 32 bits", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.SetEntryField("w.pal", kPackOffsetField, 0xFFFFFF00u);
    f.SetEntryField("w.pal", kPackStoredField, 0x200u);
    return CannotLoad("w.pal");
  });
  add("entry stored size 4 GiB", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.SetEntryField("opener7.bin", kPackStoredField, 0xFFFFFFFFu);
    return CannotLoad("opener7.bin");
  });
  add("entry stored size one byte too long", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    std::string last = f.LastEntryInPack();
    f.SetEntryField(last.c_str(), kPackStoredField, f.EntryField(last.c_str(), kPackStoredField) + 1);
    return CannotLoad(last);
  });

  // ---- compressed entries that decode short or long
  add("compressed entry decodes long", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.SetEntryField("brisk.bin", kPackUnpackedField, 14159);
    return CannotLoad("brisk.bin");
  });
  add("compressed entry with unpacked size 0", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.SetEntryField("scroll.bin", kPackUnpackedField, 0);
    return CannotLoad("scroll.bin");
  });
  add("compressed entry decodes short", [](DataFolder& f) {
    // The stream ends before the unpacked size, but after the 768 bytes
    // the palette's readers read: nothing reads the zeros after them.
    f.AddModule();
    f.AddPack();
    f.SetEntryField("w.pal", kPackUnpackedField, 1000);
    return Plays();
  });
  // A stream that ends early where the readers would reach the zeros: the
  // closing scroll would play garbled, then blank, without a word.
  add("compressed scroll.bin ends halfway", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.EndStreamAfter("scroll.bin", 553920 / 2);
    return DecodesShort("scroll.bin", 553920 / 2, 553920);
  });
  add("compressed brisk.bin ends one byte short", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.EndStreamAfter("brisk.bin", 14159);
    return DecodesShort("brisk.bin", 14159, 14160);
  });
  add("compressed entry with unpacked size 4 GiB", [](DataFolder& f) {
    // Refused before anything is allocated for it.
    f.AddModule();
    f.AddPack();
    f.SetEntryField("w.pal", kPackUnpackedField, 0xFFFFFFFFu);
    return CannotLoad("w.pal");
  });
  add("compressed stream cut before its end code", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.SetEntryField("wctk.bin", kPackStoredField, f.EntryField("wctk.bin", kPackStoredField) / 2);
    return CannotLoad("wctk.bin");
  });
  add("compressed stream of noise", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    std::string pack = f.Read("qm7.dat");
    std::size_t at = f.EntryAt("opener7.bin");
    uint32_t offset = GetU32(pack, at + kPackOffsetField), stored = GetU32(pack, at + kPackStoredField);
    uint32_t x = 99;
    for (uint32_t i = 16; i < stored; ++i)
      pack[offset + i] = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    f.Write("qm7.dat", pack);
    return CannotLoad("opener7.bin");
  });
  add("compressed entry read as stored", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    std::string pack = f.Read("qm7.dat");
    std::size_t at = f.EntryAt("brisk.bin");
    pack[at + kPackCompressedField] = 0;
    uint32_t stored = GetU32(pack, at + kPackStoredField);
    f.Write("qm7.dat", pack);
    return TooShort("brisk.bin", stored, 14160);
  });

  // ---- the checksums (qm7.sum, the pack's last entry)
  // One changed bit turns a code into another of the same length: the
  // logo decodes to its full size with wrong bytes. Only the checksum
  // tells; without it the demo played the damaged logo.
  add("compressed entry with a code swapped for one of the same length", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.SwapCodeKeepingLength("brisk.bin");
    return DoesNotMatch("brisk.bin");
  });
  add("checksum entry damaged in a file's checksum", [](DataFolder& f) {
    // The first record's checksum byte changed: qm7.sum is refused by its
    // own checksum, not the intact file it would now call damaged.
    f.AddModule();
    f.AddPack();
    std::string pack = f.Read("qm7.dat");
    pack[f.EntryField(kPackSumsName, kPackOffsetField) + kPackSumsMagicBytes + kPackNameBytes + 4] ^= 0x10;
    f.Write("qm7.dat", pack);
    return Expect{1, "qm7: Can't load the data file qm7.sum: it does not match its own checksum", ""};
  });
  add("checksum entry without a file the pack serves", [](DataFolder& f) {
    f.AddModule();
    f.AddPack();
    f.SumsWithout("w.pal");
    return Expect{1, "qm7: Can't load the data file w.pal: it has no checksum in qm7.sum", ""};
  });
  add("pack without a checksum entry, as made before them", [](DataFolder& f) {
    // qm7.sum is the last entry: one entry fewer leaves a pack as an older
    // qm7-pack wrote it, which loads as before.
    f.AddModule();
    f.AddPack();
    std::string pack = f.Read("qm7.dat");
    if (f.LastEntryInPack() != kPackSumsName) ADD_FAILURE() << "qm7.sum is not the last entry";
    PutU32(&pack, 0, GetU32(pack, 0) - 1);
    f.Write("qm7.dat", pack);
    return Plays();
  });
  return cases;
}

// Keeps gtest from printing the case as raw bytes.
void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

std::string TestName(const testing::TestParamInfo<HostileCase>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class HostileData : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileData, EndsWithItsMessageAndStatusNeverACrash) {
  ScratchFolder scratch;
  DataFolder folder(scratch.path() / "data");
  const Expect wanted = GetParam().build(folder);
  std::vector<std::string> argv = {QM7_CAPTURE_PROGRAM, "--data", folder.path().string()};
  if (wanted.wholeTimeline) {
    argv.insert(argv.end(), {"--fps", "24", "--trace", (scratch.path() / "trace.tsv").string()});
  } else {
    argv.insert(argv.end(), {"--frames", "20"});
  }
  ProgramResult r = RunProgram(argv, scratch.path(), kTimeLimitSeconds);

  ASSERT_TRUE(r.exited) << r.Describe();
  EXPECT_FALSE(r.SanitizerReported()) << r.err;
  const Expect& want = wanted;
  EXPECT_EQ(r.status, want.status) << r.Describe() << "\n--- standard output:\n" << r.out;
  EXPECT_EQ(r.out.rfind("Filesystem 3.10\n", 0), 0u) << r.out;
  if (wanted.wholeTimeline) {
    // The last trace line is the quit entry: the run went all the way.
    std::string trace = ReadWholeFile(scratch.path() / "trace.tsv");
    ASSERT_GT(trace.size(), 2u) << "no trace";
    std::string last = trace.substr(trace.rfind('\n', trace.size() - 2) + 1);
    EXPECT_NE(last.find("\t52\t63\t17\t"), std::string::npos) << "did not end on the quit entry: " << last;
  }
  if (want.status != 0) {
    EXPECT_NE(r.err.find(want.stderrText + "\n"), std::string::npos)
        << "expected \"" << want.stderrText << "\"\n" << r.Describe();
    if (!want.stdoutText.empty()) {
      EXPECT_NE(r.out.find(want.stdoutText + "\n"), std::string::npos) << r.out;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Folders, HostileData, testing::ValuesIn(HostileCases()), TestName);

}  // namespace

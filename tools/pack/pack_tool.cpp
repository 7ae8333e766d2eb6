// pack_tool.cpp — create, list, extract and check for qm7.dat packs.
#include "tools/pack/pack_tool.h"

#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "pack/lzw_encoder.h"
#include "pack/pack_archive.h"
#include "pack/pack_sums.h"
#include "tools/common/checked_file.h"

namespace {

constexpr int kUsageError = 2;

int Usage(std::FILE* to = stderr) {
  std::fputs(
      "usage: qm7-pack create OUT.dat [--store] FILE...\n"
      "       qm7-pack list PACK\n"
      "       qm7-pack extract PACK [NAME...] [-C DIR]\n"
      "       qm7-pack check PACK\n",
      to);
  return kUsageError;
}

int Fail(const char* format, const std::string& a, const std::string& b = "") {
  std::fputs("qm7-pack: ", stderr);
  std::fprintf(stderr, format, a.c_str(), b.c_str());
  std::fputc('\n', stderr);
  return 1;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* why) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    *why = std::strerror(errno);
    return false;
  }
  bytes->clear();
  uint8_t chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
  const bool failed = std::ferror(f) != 0;
  if (failed) *why = std::strerror(errno);
  std::fclose(f);
  return !failed;
}

// Writes beside the target and renames, so a failed run leaves no half file.
int WriteReplacing(const std::string& path, const uint8_t* bytes, std::size_t size) {
  std::string why;
  if (!WriteFileChecked(path, bytes, size, &why)) return Fail("%s", why);
  return 0;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Create(const std::vector<std::string>& args) {
  std::string outPath;
  bool store = false;
  std::vector<std::string> inputs;
  for (const std::string& a : args) {
    if (a == "--store") {
      store = true;
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else if (outPath.empty()) {
      outPath = a;
    } else {
      inputs.push_back(a);
    }
  }
  if (outPath.empty() || inputs.empty()) return Usage();
  if (inputs.size() > static_cast<std::size_t>(kPackMaxSums))
    return Fail("%s: more than 299 files (the pack's last entry holds their checksums)", outPath);

  struct Item {
    std::string name;
    std::vector<uint8_t> data;  // as stored
    uint32_t unpackedSize;
    uint8_t compressed;
  };
  std::vector<Item> items;
  std::vector<PackSum> sums;
  for (const std::string& path : inputs) {
    const std::string name = BaseName(path);
    if (name.empty() || name.size() > kPackNameBytes - 1)
      return Fail("%s: the name '%s' must have 1 to 12 characters", path, name);
    if (name == kPackSumsName)
      return Fail("%s: the name '%s' is kept for the pack's checksums", path, name);
    for (const Item& other : items)
      if (other.name == name) return Fail("%s: a file named '%s' is already in the pack", path, name);
    std::vector<uint8_t> data;
    std::string why;
    if (!ReadWholeFile(path, &data, &why)) return Fail("cannot read %s: %s", path, why);
    if (data.size() > UINT32_MAX) return Fail("%s: larger than 4 GB", path);
    sums.push_back(MakePackSum(name.c_str(), data.data(), data.size()));
    Item item{name, {}, static_cast<uint32_t>(data.size()), 0};
    if (!store) {
      std::vector<uint8_t> packed = LzwEncode(data.data(), data.size());
      if (packed.size() <= data.size()) {
        item.data = std::move(packed);
        item.compressed = 1;
      }
    }
    if (item.compressed == 0) item.data = std::move(data);
    items.push_back(std::move(item));
  }
  // Last, stored: the checksums of every entry's unpacked bytes.
  std::vector<uint8_t> sumBytes = EncodePackSums(sums);
  const uint32_t sumSize = static_cast<uint32_t>(sumBytes.size());
  items.push_back(Item{kPackSumsName, std::move(sumBytes), sumSize, 0});

  std::vector<uint8_t> pack;
  PutU32(pack, static_cast<uint32_t>(items.size()));
  uint64_t offset = kPackDirectoryStart + kPackEntryBytes * items.size();
  for (const Item& item : items) {
    if (offset + item.data.size() > UINT32_MAX) return Fail("%s: the pack would pass 4 GB", outPath);
    char name[kPackNameBytes] = {};
    std::memcpy(name, item.name.data(), item.name.size());
    pack.insert(pack.end(), name, name + kPackNameBytes);
    PutU32(pack, static_cast<uint32_t>(offset));
    PutU32(pack, static_cast<uint32_t>(item.data.size()));
    PutU32(pack, item.unpackedSize);
    pack.push_back(item.compressed);
    offset += item.data.size();
  }
  for (const Item& item : items) pack.insert(pack.end(), item.data.begin(), item.data.end());

  return WriteReplacing(outPath, pack.data(), pack.size());
}

// An open pack and its whole directory, read strictly: a count outside
// 0..300 or a directory past the end of the file is refused. Entries are
// loaded through the pack reader (LoadPackEntry), limits included, and
// checked against the pack's qm7.sum once ReadSums has read it.
struct OpenedPack {
  std::string path;
  std::FILE* file = nullptr;
  uint64_t fileBytes = 0;
  std::vector<PackEntry> entries;
  bool hasSums = false;
  PackSums sums{};
  ~OpenedPack() {
    if (file != nullptr) std::fclose(file);
  }
};

bool ReadPack(const std::string& path, OpenedPack* pack) {
  pack->path = path;
  std::error_code error;
  const bool regular = std::filesystem::is_regular_file(path, error);
  if (!regular && !error && std::filesystem::exists(path, error)) {
    Fail("cannot read %s: not a regular file", path);
    return false;
  }
  pack->file = regular ? std::fopen(path.c_str(), "rb") : nullptr;
  if (pack->file == nullptr) {
    Fail("cannot read %s: %s", path, std::strerror(errno ? errno : ENOENT));
    return false;
  }
  pack->fileBytes = static_cast<uint64_t>(std::filesystem::file_size(path, error));
  if (error) {
    Fail("cannot read %s: %s", path, error.message());
    return false;
  }
  uint8_t countBytes[4];
  if (pack->fileBytes < 4 || std::fread(countBytes, 1, 4, pack->file) != 4) {
    Fail("%s: too short to be a pack", path);
    return false;
  }
  const int32_t count = static_cast<int32_t>(static_cast<uint32_t>(countBytes[0]) |
                                             static_cast<uint32_t>(countBytes[1]) << 8 |
                                             static_cast<uint32_t>(countBytes[2]) << 16 |
                                             static_cast<uint32_t>(countBytes[3]) << 24);
  if (count < 0 || count > kPackMaxEntries) {
    Fail("%s: entry count %s is not between 0 and 300", path, std::to_string(count));
    return false;
  }
  pack->entries.assign(static_cast<std::size_t>(count), PackEntry{});
  for (PackEntry& e : pack->entries) {
    uint8_t raw[kPackEntryBytes];
    if (std::fread(raw, 1, kPackEntryBytes, pack->file) != kPackEntryBytes) {
      Fail("%s: the directory runs past the end of the file", path);
      return false;
    }
    ParsePackEntry(raw, &e);
  }
  return true;
}

bool IsSumsEntry(const PackEntry& e) { return std::strcmp(e.name, kPackSumsName) == 0; }

// Reads the pack's qm7.sum (the first entry of that name), if it has one.
// False, said on standard error, when it is there but unusable; the pack is
// then checked as one without checksums.
bool ReadSums(OpenedPack* pack) {
  pack->hasSums = false;
  for (const PackEntry& e : pack->entries) {
    if (!IsSumsEntry(e)) continue;
    char why[96];
    if (!ReadPackSums(pack->file, pack->fileBytes, pack->path.c_str(), e, &pack->sums, why,
                      sizeof why)) {
      if (why[0] != '\0')
        Fail("%s: entry %s", pack->path, std::string(kPackSumsName) + " " + why);
      else
        Fail("%s: entry %s cannot be loaded", pack->path, kPackSumsName);
      return false;
    }
    pack->hasSums = true;
    return true;
  }
  return true;
}

int List(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return Usage();
  OpenedPack pack;
  if (!ReadPack(args[0], &pack)) return 1;
  std::printf("%-12s %10s %10s %10s  %s\n", "name", "offset", "stored", "unpacked", "compressed");
  for (const PackEntry& e : pack.entries) {
    const char* problem = PackEntrySizeProblem(e, pack.fileBytes);
    std::printf("%-12s %10" PRIu32 " %10" PRIu32 " %10" PRIu32 "  %s%s%s%s\n", e.name, e.offset,
                e.storedSize, e.unpackedSize, e.compressed == 1 ? "lzw" : "stored",
                IsSumsEntry(e) ? "  checksums" : "", problem != nullptr ? "  IMPOSSIBLE: " : "",
                problem != nullptr ? problem : "");
  }
  return 0;
}

// A pack entry name is used as a file name: it must not leave the folder.
bool SafeFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Loads one entry through the pack reader. 0: *data (std::free) holds it;
// a stream that ends early is said on standard error and sets *short_. The
// tool knows no entry's readers, so the whole entry is what is needed, by the
// rule start-up applies to the bytes the demo reads. In a pack with
// checksums an entry that does not match its own is refused, as start-up
// refuses it (qm7.sum itself was checked whole by ReadSums).
int LoadEntry(const OpenedPack& pack, const PackEntry& e, uint8_t** data, std::size_t* length,
              bool* short_) {
  std::size_t decoded = 0;
  *short_ = false;
  if (!LoadPackEntry(pack.file, pack.fileBytes, pack.path.c_str(), e, data, length, &decoded))
    return Fail("%s: entry %s cannot be loaded", pack.path, e.name);
  char why[96];
  if (pack.hasSums && !IsSumsEntry(e) &&
      !MatchesPackSum(pack.sums, e.name, *data, decoded, why, sizeof why)) {
    std::free(*data);
    *data = nullptr;
    return Fail("%s: entry %s", pack.path, std::string(e.name) + " " + why);
  }
  if (!HoldsNeededBytes(decoded, *length, why, sizeof why)) {
    std::fprintf(stderr, "qm7-pack: %s: entry %s %s; the rest is zero\n", pack.path.c_str(),
                 e.name, why);
    *short_ = true;
  }
  return 0;
}

int ExtractEntry(const OpenedPack& pack, const PackEntry& e, const std::string& folder) {
  const std::string name = e.name;
  if (!SafeFileName(name)) return Fail("%s: entry name '%s' is not a plain file name", pack.path, name);
  uint8_t* data = nullptr;
  std::size_t length = 0;
  bool isShort = false;
  if (LoadEntry(pack, e, &data, &length, &isShort) != 0) return 1;
  const std::string path = folder.empty() ? name : folder + "/" + name;
  const int result = WriteReplacing(path, data, length);
  std::free(data);
  return result;
}

// The first entry of each name, in directory order (later duplicates are
// never loaded by the demo).
std::vector<const PackEntry*> FirstOfEachName(const OpenedPack& pack) {
  std::vector<const PackEntry*> firsts;
  for (const PackEntry& e : pack.entries) {
    bool seen = false;
    for (const PackEntry* f : firsts) seen = seen || std::strcmp(f->name, e.name) == 0;
    if (!seen) firsts.push_back(&e);
  }
  return firsts;
}

int Extract(const std::vector<std::string>& args) {
  std::string packPath, folder;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-C") {
      if (i + 1 >= args.size() || !folder.empty()) return Usage();
      folder = args[++i];
      if (folder.empty()) return Usage();
    } else if (!args[i].empty() && args[i][0] == '-') {
      return Usage();
    } else if (packPath.empty()) {
      packPath = args[i];
    } else {
      names.push_back(args[i]);
    }
  }
  if (packPath.empty()) return Usage();
  OpenedPack pack;
  if (!ReadPack(packPath, &pack)) return 1;
  // Nothing is written from a pack whose checksums are damaged: none of
  // its entries can be told whole.
  if (!ReadSums(&pack)) return 1;
  if (!folder.empty()) {
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    if (error) return Fail("cannot create %s: %s", folder, error.message());
  }

  const std::vector<const PackEntry*> firsts = FirstOfEachName(pack);
  int result = 0;
  if (names.empty()) {
    // The pack's own checksums are no file of the demo's (create makes them
    // anew); they are written only when named.
    for (const PackEntry* e : firsts)
      if (!IsSumsEntry(*e) && ExtractEntry(pack, *e, folder) != 0) result = 1;
    return result;
  }
  for (const std::string& name : names) {
    const PackEntry* found = nullptr;
    for (const PackEntry* e : firsts)
      if (name == e->name) found = e;
    if (found == nullptr) {
      result = Fail("%s: no entry named %s", packPath, name);
    } else if (ExtractEntry(pack, *found, folder) != 0) {
      result = 1;
    }
  }
  return result;
}

// Loads every entry the demo could load; any entry that fails, decodes
// short or does not match its checksum, a damaged qm7.sum, or a file
// qm7.sum lists that the pack lacks (a damaged name) makes the pack damaged.
int Check(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return Usage();
  OpenedPack pack;
  if (!ReadPack(args[0], &pack)) return 1;
  int damaged = ReadSums(&pack) ? 0 : 1;
  const std::vector<const PackEntry*> firsts = FirstOfEachName(pack);
  for (int i = 0; pack.hasSums && i < pack.sums.count; ++i) {
    bool there = false;
    for (const PackEntry* e : firsts) there = there || std::strcmp(e->name, pack.sums.sums[i].name) == 0;
    if (!there) {
      Fail("%s: %s", args[0], std::string(kPackSumsName) + " lists " + pack.sums.sums[i].name +
                                  ", which the pack lacks");
      ++damaged;
    }
  }
  for (const PackEntry* e : firsts) {
    if (IsSumsEntry(*e)) continue;  // read by ReadSums
    uint8_t* data = nullptr;
    std::size_t length = 0;
    bool isShort = false;
    if (LoadEntry(pack, *e, &data, &length, &isShort) != 0 || isShort) ++damaged;
    std::free(data);
  }
  if (damaged > 0) {
    std::fprintf(stderr, "qm7-pack: %s: %d of %zu entries damaged\n", args[0].c_str(), damaged,
                 pack.entries.size());
    return 1;
  }
  std::printf("%s: %zu entries, all load in full%s\n", args[0].c_str(), pack.entries.size(),
              pack.hasSums ? " and match their checksums" : " (no checksums to compare them with)");
  return 0;
}

}  // namespace

int RunPackTool(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "create") return Create(rest);
  if (command == "list") return List(rest);
  if (command == "extract") return Extract(rest);
  if (command == "check") return Check(rest);
  if (command == "-h" || command == "--help") {
    Usage(stdout);
    std::fputs(
        "\n"
        "Builds, lists and unpacks qm7.dat, the demo's pack of pictures.\n"
        "  create OUT.dat FILE...   packs the files under their base names, each\n"
        "                           LZW-compressed when that makes it smaller, and\n"
        "                           their checksums as a last entry, qm7.sum\n"
        "  --store                  ... keeps every file uncompressed\n"
        "  list PACK                one line per entry: name, offset, sizes, lzw or stored\n"
        "  extract PACK [NAME...]   writes the entries (all but qm7.sum when none\n"
        "                           are named)\n"
        "  -C DIR                   ... into DIR instead of the current folder\n"
        "  check PACK               loads every entry, says which are damaged\n",
        stdout);
    return 0;
  }
  return Usage();
}

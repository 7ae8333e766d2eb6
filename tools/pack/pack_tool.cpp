// pack_tool.cpp — create, list and extract for qm7.dat packs.
#include "tools/pack/pack_tool.h"

#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "pack/lzw_decoder.h"
#include "pack/lzw_encoder.h"
#include "pack/pack_archive.h"

namespace {

constexpr int kUsageError = 2;

int Usage(std::FILE* to = stderr) {
  std::fputs(
      "usage: qm7-pack create OUT.dat [--store] FILE...\n"
      "       qm7-pack list PACK\n"
      "       qm7-pack extract PACK [NAME...] [-C DIR]\n",
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

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* why) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    *why = std::strerror(errno);
    return false;
  }
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) *why = std::strerror(errno);
  return written && closed;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
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
  if (inputs.size() > static_cast<std::size_t>(kPackMaxEntries))
    return Fail("%s: more than 300 files", outPath);

  struct Item {
    std::string name;
    std::vector<uint8_t> data;  // as stored
    uint32_t unpackedSize;
    uint8_t compressed;
  };
  std::vector<Item> items;
  for (const std::string& path : inputs) {
    const std::string name = BaseName(path);
    if (name.empty() || name.size() > kPackNameBytes - 1)
      return Fail("%s: the name '%s' must have 1 to 12 characters", path, name);
    for (const Item& other : items)
      if (other.name == name) return Fail("%s: a file named '%s' is already in the pack", path, name);
    std::vector<uint8_t> data;
    std::string why;
    if (!ReadWholeFile(path, &data, &why)) return Fail("cannot read %s: %s", path, why);
    if (data.size() > UINT32_MAX) return Fail("%s: larger than 4 GB", path);
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

  std::vector<uint8_t> pack;
  PutU32(pack, static_cast<uint32_t>(items.size()));
  uint64_t offset = 4 + kPackEntryBytes * items.size();
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

  // Written beside the target and renamed, so a failed run leaves no half pack.
  const std::string temporary = outPath + ".part";
  std::string why;
  if (!WriteWholeFile(temporary, pack, &why)) {
    std::remove(temporary.c_str());
    return Fail("cannot write %s: %s", temporary, why);
  }
  if (std::rename(temporary.c_str(), outPath.c_str()) != 0) {
    why = std::strerror(errno);
    std::remove(temporary.c_str());
    return Fail("cannot write %s: %s", outPath, why);
  }
  return 0;
}

// Reads a whole pack and its directory, refusing anything out of bounds.
bool ReadPack(const std::string& path, std::vector<uint8_t>* file, std::vector<PackEntry>* entries) {
  std::string why;
  if (!ReadWholeFile(path, file, &why)) {
    Fail("cannot read %s: %s", path, why);
    return false;
  }
  if (file->size() < 4) {
    Fail("%s: too short to be a pack", path);
    return false;
  }
  const int32_t count = static_cast<int32_t>(GetU32(file->data()));
  if (count < 0 || count > kPackMaxEntries) {
    Fail("%s: entry count %s is not between 0 and 300", path, std::to_string(count));
    return false;
  }
  if (4 + kPackEntryBytes * static_cast<std::size_t>(count) > file->size()) {
    Fail("%s: the directory runs past the end of the file", path);
    return false;
  }
  entries->clear();
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* raw = file->data() + 4 + kPackEntryBytes * static_cast<std::size_t>(i);
    PackEntry e{};
    std::memcpy(e.name, raw, kPackNameBytes);
    e.offset = GetU32(raw + 13);
    e.storedSize = GetU32(raw + 17);
    e.unpackedSize = GetU32(raw + 21);
    e.compressed = raw[25];
    entries->push_back(e);
  }
  return true;
}

int List(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return Usage();
  std::vector<uint8_t> file;
  std::vector<PackEntry> entries;
  if (!ReadPack(args[0], &file, &entries)) return 1;
  std::printf("%-12s %10s %10s %10s  %s\n", "name", "offset", "stored", "unpacked", "compressed");
  for (const PackEntry& e : entries)
    std::printf("%-12s %10" PRIu32 " %10" PRIu32 " %10" PRIu32 "  %s\n", e.name, e.offset,
                e.storedSize, e.unpackedSize, e.compressed == 1 ? "lzw" : "stored");
  return 0;
}

// A pack entry name is used as a file name: it must not leave the folder.
bool SafeFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

int ExtractEntry(const std::string& packPath, const std::vector<uint8_t>& file, const PackEntry& e,
                 const std::string& folder) {
  const std::string name = e.name;
  if (!SafeFileName(name)) return Fail("%s: entry name '%s' is not a plain file name", packPath, name);
  if (static_cast<uint64_t>(e.offset) + e.storedSize > file.size())
    return Fail("%s: the data of %s lies past the end of the file", packPath, name);
  const uint8_t* stored = file.data() + e.offset;
  std::vector<uint8_t> data;
  if (e.compressed == 1) {
    data.assign(e.unpackedSize, 0);
    std::size_t written = 0;
    const LzwStatus status = Decode(stored, e.storedSize, data.data(), data.size(), &written);
    if (status != kLzwOk) return Fail("%s: entry %s", packPath, name + " is corrupt: its stream " + LzwStatusText(status));
  } else {
    data.assign(stored, stored + e.storedSize);
  }
  const std::string path = folder.empty() ? name : folder + "/" + name;
  std::string why;
  if (!WriteWholeFile(path, data, &why)) return Fail("cannot write %s: %s", path, why);
  return 0;
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
  std::vector<uint8_t> file;
  std::vector<PackEntry> entries;
  if (!ReadPack(packPath, &file, &entries)) return 1;
  if (!folder.empty()) {
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    if (error) return Fail("cannot create %s: %s", folder, error.message());
  }

  int result = 0;
  auto first = [&](const std::string& name) -> const PackEntry* {
    for (const PackEntry& e : entries)
      if (name == e.name) return &e;
    return nullptr;
  };
  if (names.empty()) {
    for (const PackEntry& e : entries)
      if (first(e.name) == &e && ExtractEntry(packPath, file, e, folder) != 0) result = 1;
    return result;
  }
  for (const std::string& name : names) {
    const PackEntry* e = first(name);
    if (e == nullptr) {
      result = Fail("%s: no entry named %s", packPath, name);
    } else if (ExtractEntry(packPath, file, *e, folder) != 0) {
      result = 1;
    }
  }
  return result;
}

}  // namespace

int RunPackTool(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "create") return Create(rest);
  if (command == "list") return List(rest);
  if (command == "extract") return Extract(rest);
  if (command == "-h" || command == "--help") {
    Usage(stdout);
    return 0;
  }
  return Usage();
}

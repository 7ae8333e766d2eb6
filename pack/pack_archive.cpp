// pack_archive.cpp — the pack directory, loading by name, loose-file fallback.
#include "pack/pack_archive.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "pack/lzw_decoder.h"

PackArchiveState PackArchive;

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// malloc that also gives a usable pointer for zero bytes.
uint8_t* Allocate(std::size_t bytes, bool zeroed) {
  void* p = zeroed ? std::calloc(bytes > 0 ? bytes : 1, 1) : std::malloc(bytes > 0 ? bytes : 1);
  return static_cast<uint8_t*>(p);
}

// Reports a failed allocation; false for the loader to return.
bool AllocFault() {
  std::cout << "Mem alloc fault\n" << std::flush;
  return false;
}

// Length of an open file, leaving its position where it was; -1 if unknown.
long FileLength(std::FILE* file) {
  const long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(file);
  if (std::fseek(file, here, SEEK_SET) != 0) return -1;
  return end;
}

bool LoadLooseFile(const char* name, uint8_t** out, std::size_t* length, std::size_t* decoded) {
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) {
    std::printf("Could not open %s\n", name);
    std::fflush(stdout);
    return false;
  }
  std::cout << "." << std::flush;
  // A folder or a device opens like a file but has no length worth trusting.
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fprintf(stderr, "Could not load %s: not a regular file\n", name);
    std::fclose(file);
    return false;
  }
  const long size = FileLength(file);
  if (size < 0) {
    std::fprintf(stderr, "Could not load %s: cannot take its length\n", name);
    std::fclose(file);
    return false;
  }
  uint8_t* data = Allocate(static_cast<std::size_t>(size), false);
  if (data == nullptr) {
    std::fclose(file);
    return AllocFault();
  }
  const std::size_t got = std::fread(data, 1, static_cast<std::size_t>(size), file);
  std::fclose(file);
  if (got != static_cast<std::size_t>(size)) {
    std::fprintf(stderr, "Could not load %s: short read (%zu of %ld bytes)\n", name, got, size);
    std::free(data);
    return false;
  }
  *out = data;
  *length = static_cast<std::size_t>(size);
  *decoded = *length;
  return true;
}

// Reads the directory of the freshly opened pack; keeps the entries that are
// wholly inside the file and within the 300-entry limit.
void ReadDirectory() {
  PackArchiveState& a = PackArchive;
  uint8_t countBytes[4];
  if (std::fread(countBytes, 1, 4, a.file) != 4) {
    std::fprintf(stderr, "Pack %s: too short for an entry count; no entries used\n", a.packName);
    return;
  }
  const int32_t count = static_cast<int32_t>(ReadU32(countBytes));
  if (count < 0) {
    std::fprintf(stderr, "Pack %s: entry count %d is negative; no entries used\n", a.packName,
                 count);
    return;
  }
  int32_t wanted = count;
  if (count > kPackMaxEntries) {
    std::fprintf(stderr, "Pack %s: entry count %d is over %d; only the first %d are used\n",
                 a.packName, count, kPackMaxEntries, kPackMaxEntries);
    wanted = kPackMaxEntries;
  }
  for (int32_t i = 0; i < wanted; ++i) {
    uint8_t raw[kPackEntryBytes];
    if (std::fread(raw, 1, kPackEntryBytes, a.file) != kPackEntryBytes) {
      std::fprintf(stderr, "Pack %s: directory ends after %d of %d entries; only those are used\n",
                   a.packName, i, count);
      return;
    }
    ParsePackEntry(raw, &a.directory[i]);
    a.entryCount = i + 1;
  }
}

}  // namespace

void ParsePackEntry(const uint8_t* raw, PackEntry* entry) {
  std::memcpy(entry->name, raw, kPackNameBytes);
  entry->name[kPackNameBytes] = '\0';
  entry->offset = ReadU32(raw + kPackOffsetField);
  entry->storedSize = ReadU32(raw + kPackStoredField);
  entry->unpackedSize = ReadU32(raw + kPackUnpackedField);
  entry->compressed = raw[kPackCompressedField];
}

const char* PackEntrySizeProblem(const PackEntry& entry, uint64_t fileBytes) {
  if (static_cast<uint64_t>(entry.offset) + entry.storedSize > fileBytes)
    return "its data lies past the end of the pack";
  // The unpacked size comes from the untrusted directory: refuse sizes no
  // data file of the demo comes near instead of allocating gigabytes.
  if (entry.compressed == 1 && entry.unpackedSize > kPackMaxUnpackedBytes)
    return "its unpacked size is over the 64 MiB limit";
  return nullptr;
}

bool LoadPackEntry(std::FILE* file, uint64_t fileBytes, const char* packName,
                   const PackEntry& entry, uint8_t** out, std::size_t* length,
                   std::size_t* decoded) {
  std::size_t ignoredLength, ignoredDecoded;
  if (length == nullptr) length = &ignoredLength;
  if (decoded == nullptr) decoded = &ignoredDecoded;
  *out = nullptr;
  *length = 0;
  *decoded = 0;
  if (static_cast<uint64_t>(entry.offset) + entry.storedSize > fileBytes) {
    std::fprintf(stderr, "Could not load %s: its data lies past the end of %s\n", entry.name, packName);
    return false;
  }
  if (entry.compressed == 1 && entry.unpackedSize > kPackMaxUnpackedBytes) {
    std::fprintf(stderr, "Could not load %s: its unpacked size in %s (%u bytes) is over the %u-byte limit\n",
                 entry.name, packName, entry.unpackedSize, kPackMaxUnpackedBytes);
    return false;
  }
  if (std::fseek(file, static_cast<long>(entry.offset), SEEK_SET) != 0) {
    std::fprintf(stderr, "Could not load %s: cannot seek in %s\n", entry.name, packName);
    return false;
  }
  uint8_t* stored = Allocate(entry.storedSize, false);
  if (stored == nullptr) return AllocFault();
  const std::size_t got = std::fread(stored, 1, entry.storedSize, file);
  if (got != entry.storedSize) {
    std::fprintf(stderr, "Could not load %s: short read from %s (%zu of %u bytes)\n", entry.name,
                 packName, got, entry.storedSize);
    std::free(stored);
    return false;
  }
  if (entry.compressed != 1) {
    *out = stored;
    *length = entry.storedSize;
    *decoded = entry.storedSize;
    return true;
  }

  // Zeroed, so a stream that ends early leaves the rest of the file zero.
  uint8_t* data = Allocate(entry.unpackedSize, true);
  if (data == nullptr) {
    std::free(stored);
    return AllocFault();
  }
  std::size_t written = 0;
  const LzwStatus status = Decode(stored, entry.storedSize, data, entry.unpackedSize, &written);
  std::free(stored);
  if (status != kLzwOk) {
    std::fprintf(stderr, "Could not load %s: its compressed data in %s %s\n", entry.name, packName,
                 LzwStatusText(status));
    std::free(data);
    return false;
  }
  *out = data;
  *length = entry.unpackedSize;
  *decoded = written;
  return true;
}

void OpenPack(const char* packName) {
  ClosePack();
  std::cout << "Filesystem 3.10\n" << std::flush;
  PackArchiveState& a = PackArchive;
  std::snprintf(a.packName, sizeof a.packName, "%s", packName);
  a.file = std::fopen(packName, "rb");
  if (a.file == nullptr) return;
  struct stat info;
  const bool regular = fstat(fileno(a.file), &info) == 0 && S_ISREG(info.st_mode);
  const long size = regular ? FileLength(a.file) : -1;
  if (size < 0) {
    std::fprintf(stderr, "Pack %s: not a regular file of known length; not used\n", packName);
    std::fclose(a.file);
    a.file = nullptr;
    return;
  }
  a.packOpen = 1;
  a.fileBytes = static_cast<uint64_t>(size);
  ReadDirectory();
}

bool FindEntry(const char* name, PackEntry* found) {
  for (int32_t i = 0; i < PackArchive.entryCount; ++i) {
    if (std::strcmp(PackArchive.directory[i].name, name) == 0) {
      if (found != nullptr) *found = PackArchive.directory[i];
      return true;
    }
  }
  return false;
}

bool LoadFile(const char* name, uint8_t** out, std::size_t* length, std::size_t* decoded) {
  std::size_t ignoredLength, ignoredDecoded;
  if (length == nullptr) length = &ignoredLength;
  if (decoded == nullptr) decoded = &ignoredDecoded;
  *out = nullptr;
  *length = 0;
  *decoded = 0;
  PackEntry entry;
  if (PackArchive.packOpen == 1 && FindEntry(name, &entry)) {
    std::cout << "." << std::flush;
    return LoadPackEntry(PackArchive.file, PackArchive.fileBytes, PackArchive.packName, entry, out,
                         length, decoded);
  }
  return LoadLooseFile(name, out, length, decoded);
}

bool HoldsNeededBytes(std::size_t decoded, std::size_t needed, char* why, std::size_t whyBytes) {
  if (decoded >= needed) return true;
  std::snprintf(why, whyBytes, "decodes to %zu of the %zu bytes needed", decoded, needed);
  return false;
}

void ClosePack() {
  PackArchiveState& a = PackArchive;
  if (a.packOpen == 1) std::fclose(a.file);
  a.packOpen = 0;
  a.file = nullptr;
  a.entryCount = 0;
  a.fileBytes = 0;
}

// pack_archive.h — whole data files by name, from the pack or from loose files.
//
// Usage (host, at start-up):
//   OpenPack("qm7.dat");
//   uint8_t* data; size_t length, decoded;
//   if (!LoadFile("brisk.bin", &data, &length, &decoded)) ... failure, data is nullptr ...
//   if (!HoldsNeededBytes(decoded, 14160, why, sizeof why)) ... refuse it ...
//   ... the caller owns data (std::free) ...
//   ClosePack();   // at shutdown
//
// Output: "Filesystem 3.10\n" when opening, one "." per file found, and
// "Mem alloc fault\n" / "Could not open <name>\n" on standard output. Damage
// in the pack (a bad entry count, a directory or entry data past the end of
// the file, a short read, a corrupt compressed entry) is reported on standard
// error with the file's name.
//
// Pack file: little-endian signed 32-bit entry count, then that many 26-byte
// directory entries (13-byte NUL-padded name, offset, stored size, unpacked
// size as unsigned 32-bit, one compressed byte: 1 = LZW stream, see
// lzw_decoder.h). At most 300 entries are used. Names are matched exactly,
// case-sensitively, first entry first. A name the pack lacks, or every name
// when the pack could not be opened, is read from a loose file of that name.
// qm7-pack adds a last entry, qm7.sum, with every other entry's checksum
// (pack/pack_sums.h); to this reader it is an entry like any other.
//
// One archive per process (PackArchive); OpenPack on an open archive closes
// the old one first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int kPackMaxEntries = 300;
constexpr std::size_t kPackDirectoryStart = 4;  // after the entry count
constexpr std::size_t kPackEntryBytes = 26;
constexpr std::size_t kPackNameBytes = 13;
// Where each field after the name lies inside a directory entry.
constexpr std::size_t kPackOffsetField = 13;
constexpr std::size_t kPackStoredField = 17;
constexpr std::size_t kPackUnpackedField = 21;
constexpr std::size_t kPackCompressedField = 25;
static_assert(kPackOffsetField == kPackNameBytes && kPackCompressedField + 1 == kPackEntryBytes);
// Largest unpacked size a compressed entry may declare (64 MiB); the demo's
// biggest file is about half a megabyte.
constexpr uint32_t kPackMaxUnpackedBytes = 64u << 20;

struct PackEntry {
  char name[kPackNameBytes + 1];  // the 13 bytes on disk plus a terminating zero
  uint32_t offset;
  uint32_t storedSize;
  uint32_t unpackedSize;
  uint8_t compressed;  // 1: LZW stream; anything else: stored as is
};

struct PackArchiveState {
  uint8_t packOpen;  // 1 while the pack file is open
  std::FILE* file;
  int32_t entryCount;  // entries usable in directory (0..300)
  uint64_t fileBytes;  // length of the pack file when opened
  PackEntry directory[kPackMaxEntries];
  char packName[4096];
};

extern PackArchiveState PackArchive;

// Host, once at start-up. Never fails: without a usable pack every load goes
// to loose files.
void OpenPack(const char* packName);

// True and *found filled when the pack holds the name, false when not.
bool FindEntry(const char* name, PackEntry* found);

// Host at start-up (tests, tools). True: *out holds a fresh std::malloc'd
// buffer with the file's bytes, *length its size (the unpacked size for
// compressed entries), *decoded how many of them are the file's data: all of
// them, except for a compressed entry whose stream ended early, whose buffer
// is zero after the bytes it produced. False: failure, reported on the
// console; *out is nullptr, *length and *decoded 0. `length` and `decoded`
// may be nullptr.
bool LoadFile(const char* name, uint8_t** out, std::size_t* length,
              std::size_t* decoded = nullptr);

// The one rule for a file that decoded short, applied by start-up to the
// bytes each data file's readers read and by qm7-pack check to the whole
// entry: a reader of the first `needed` bytes may use the file only when its
// data reaches them all (`decoded` >= `needed`). The zeros that a stream
// ending early leaves are not the file's: a picture cut there would play
// garbled. False: `why` holds the reason ("decodes to D of the N bytes
// needed").
bool HoldsNeededBytes(std::size_t decoded, std::size_t needed, char* why, std::size_t whyBytes);

// The entry loading behind LoadFile, also used by qm7-pack on packs it opens
// itself: loads `entry` from `file`, a pack of `fileBytes` bytes named
// `packName` in messages. Same limits, messages and result as LoadFile;
// *decoded (may be nullptr) is how many bytes a compressed stream produced,
// less than *length when the stream ended early and the rest was left zero.
bool LoadPackEntry(std::FILE* file, uint64_t fileBytes, const char* packName,
                   const PackEntry& entry, uint8_t** out, std::size_t* length,
                   std::size_t* decoded);

// Directory reading (OpenPack, qm7-pack): one 26-byte entry as on disk.
void ParsePackEntry(const uint8_t* raw, PackEntry* entry);

// qm7-pack list: why LoadPackEntry would refuse the entry's declared sizes
// in a pack of `fileBytes` bytes, or nullptr when they are possible.
const char* PackEntrySizeProblem(const PackEntry& entry, uint64_t fileBytes);

// Host at shutdown (tests between cases): closes the pack and forgets its
// directory.
void ClosePack();

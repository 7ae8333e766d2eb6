// pack_sums.h — qm7.sum, the pack entry holding a checksum of every other
// entry, and the one rule for a file checked against it.
//
// A damaged byte can turn one LZW code into another of the same length: the
// entry then decodes to its full size with wrong bytes, and nothing else in
// the pack tells. qm7-pack create therefore adds, as an ordinary stored
// entry named qm7.sum (last in the directory, its data last in the file),
// the size and CRC-32 of each other entry's unpacked bytes, under the
// entry's name. The pack layout itself is unchanged: an older reader sees
// one more entry nobody asks for, and a pack without qm7.sum loads as
// before.
//
// qm7.sum's bytes: "Q7S1", then one 21-byte record per entry (13-byte
// NUL-padded name as in the directory, unpacked size and CRC-32 as unsigned
// little-endian 32-bit), then the CRC-32 of everything before it. Names are
// unique; at most 299 records (the pack's 300 entries less qm7.sum itself).
//
// Usage (start-up, qm7-pack check and extract):
//   PackSums sums;  // about 6 KB
//   if (!ReadPackSums(file, fileBytes, packName, sumsEntry, &sums, why, sizeof why)) ... refuse ...
//   if (!MatchesPackSum(sums, "brisk.bin", data, decoded, why, sizeof why)) ... refuse ...
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "pack/pack_archive.h"

constexpr char kPackSumsName[] = "qm7.sum";
constexpr std::size_t kPackSumsMagicBytes = 4;
constexpr std::size_t kPackSumRecordBytes = kPackNameBytes + 8;
constexpr std::size_t kPackSumsTrailerBytes = 4;
constexpr int kPackMaxSums = kPackMaxEntries - 1;

struct PackSum {
  char name[kPackNameBytes + 1];  // the 13 bytes of the record plus a terminating zero
  uint32_t size;
  uint32_t crc;
};

struct PackSums {
  int count;
  PackSum sums[kPackMaxSums];
};

// CRC-32 as in zip and PNG (reflected polynomial 0xEDB88320, all ones in
// and out): 0xCBF43926 for "123456789".
uint32_t Crc32(const uint8_t* bytes, std::size_t length);

// qm7-pack create: one record for a file of `length` bytes under `name`
// (1 to 12 characters).
PackSum MakePackSum(const char* name, const uint8_t* bytes, std::size_t length);

// qm7-pack create: the bytes of qm7.sum for these records.
std::vector<uint8_t> EncodePackSums(const std::vector<PackSum>& sums);

// qm7.sum's bytes read back. False, with `why` ("does not match its own
// checksum", ...), when they are not exactly
// what EncodePackSums writes: wrong magic or length, more than 299
// records, an empty or not NUL-padded name, a name listed twice, or a trailing
// checksum that does not match (any damage inside the entry).
bool ParsePackSums(const uint8_t* bytes, std::size_t length, PackSums* sums, char* why,
                   std::size_t whyBytes);

// Loads the qm7.sum `entry` of an open pack (see LoadPackEntry) and parses
// it; it must decode whole. False: unusable. `why` holds the reason (as
// ParsePackSums or HoldsNeededBytes say it), or is empty when the entry
// could not be loaded at all (the pack reader has said why on standard
// error).
bool ReadPackSums(std::FILE* file, uint64_t fileBytes, const char* packName,
                  const PackEntry& entry, PackSums* sums, char* why, std::size_t whyBytes);

// The record for `name`, or nullptr.
const PackSum* FindPackSum(const PackSums& sums, const char* name);

// The one rule for a file loaded from a pack that carries qm7.sum, applied by
// start-up to each data file and by qm7-pack to each entry: the first `size`
// bytes of `data` (the size the record holds) must all have been decoded
// (`decoded` of them were) and hash to the recorded CRC-32. Bytes past that
// size are not the packed file's and no reader reaches them. False: `why`
// holds the reason ("has no checksum in qm7.sum" or "does not match its
// checksum in qm7.sum").
bool MatchesPackSum(const PackSums& sums, const char* name, const uint8_t* data,
                    std::size_t decoded, char* why, std::size_t whyBytes);

// pack_sums.cpp — qm7.sum: writing, reading, and checking a file against it.
#include "pack/pack_sums.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t kMagic[kPackSumsMagicBytes] = {'Q', '7', 'S', '1'};

struct CrcTable {
  uint32_t entry[256];
  constexpr CrcTable() : entry() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entry[i] = c;
    }
  }
};
constexpr CrcTable kCrcTable;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Copies at most 12 characters of `name` into `to`, which is zeroed.
void CopyName(char* to, const char* name) {
  std::memcpy(to, name, strnlen(name, kPackNameBytes - 1));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

uint32_t Crc32(const uint8_t* bytes, std::size_t length) {
  uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) c = kCrcTable.entry[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

PackSum MakePackSum(const char* name, const uint8_t* bytes, std::size_t length) {
  PackSum sum{};
  CopyName(sum.name, name);
  sum.size = static_cast<uint32_t>(length);
  sum.crc = Crc32(bytes, length);
  return sum;
}

std::vector<uint8_t> EncodePackSums(const std::vector<PackSum>& sums) {
  std::vector<uint8_t> out(kMagic, kMagic + kPackSumsMagicBytes);
  for (const PackSum& sum : sums) {
    char name[kPackNameBytes] = {};
    CopyName(name, sum.name);
    out.insert(out.end(), name, name + kPackNameBytes);
    PutU32(out, sum.size);
    PutU32(out, sum.crc);
  }
  PutU32(out, Crc32(out.data(), out.size()));
  return out;
}

bool ParsePackSums(const uint8_t* bytes, std::size_t length, PackSums* sums, char* why,
                   std::size_t whyBytes) {
  sums->count = 0;
  constexpr std::size_t kFrame = kPackSumsMagicBytes + kPackSumsTrailerBytes;
  if (length < kFrame || (length - kFrame) % kPackSumRecordBytes != 0 ||
      std::memcmp(bytes, kMagic, kPackSumsMagicBytes) != 0) {
    std::snprintf(why, whyBytes, "is not a list of checksums (%zu bytes)", length);
    return false;
  }
  // Checked first: any damaged byte, wherever it lies, is said the same way.
  const std::size_t body = length - kPackSumsTrailerBytes;
  if (Crc32(bytes, body) != ReadU32(bytes + body)) {
    std::snprintf(why, whyBytes, "does not match its own checksum");
    return false;
  }
  const std::size_t records = (length - kFrame) / kPackSumRecordBytes;
  if (records > static_cast<std::size_t>(kPackMaxSums)) {
    std::snprintf(why, whyBytes, "lists %zu files, more than %d", records, kPackMaxSums);
    return false;
  }
  for (std::size_t i = 0; i < records; ++i) {
    const uint8_t* raw = bytes + kPackSumsMagicBytes + i * kPackSumRecordBytes;
    PackSum& sum = sums->sums[i];
    std::memcpy(sum.name, raw, kPackNameBytes);
    sum.name[kPackNameBytes] = '\0';
    const std::size_t nameLength = std::strlen(sum.name);
    bool padded = nameLength > 0 && nameLength < kPackNameBytes;
    for (std::size_t at = nameLength; padded && at < kPackNameBytes; ++at) padded = raw[at] == 0;
    if (!padded) {
      std::snprintf(why, whyBytes, "has a record %zu without a proper name", i + 1);
      return false;
    }
    if (FindPackSum(*sums, sum.name) != nullptr) {
      std::snprintf(why, whyBytes, "lists %s twice", sum.name);
      return false;
    }
    sum.size = ReadU32(raw + kPackNameBytes);
    sum.crc = ReadU32(raw + kPackNameBytes + 4);
    sums->count = static_cast<int>(i) + 1;
  }
  return true;
}

bool ReadPackSums(std::FILE* file, uint64_t fileBytes, const char* packName,
                  const PackEntry& entry, PackSums* sums, char* why, std::size_t whyBytes) {
  sums->count = 0;
  why[0] = '\0';
  uint8_t* data = nullptr;
  std::size_t length = 0, decoded = 0;
  if (!LoadPackEntry(file, fileBytes, packName, entry, &data, &length, &decoded)) return false;
  const bool ok = HoldsNeededBytes(decoded, length, why, whyBytes) &&
                  ParsePackSums(data, length, sums, why, whyBytes);
  std::free(data);
  return ok;
}

const PackSum* FindPackSum(const PackSums& sums, const char* name) {
  for (int i = 0; i < sums.count; ++i)
    if (std::strcmp(sums.sums[i].name, name) == 0) return &sums.sums[i];
  return nullptr;
}

bool MatchesPackSum(const PackSums& sums, const char* name, const uint8_t* data,
                    std::size_t decoded, char* why, std::size_t whyBytes) {
  const PackSum* sum = FindPackSum(sums, name);
  if (sum == nullptr) {
    std::snprintf(why, whyBytes, "has no checksum in %s", kPackSumsName);
    return false;
  }
  if (decoded < sum->size || Crc32(data, sum->size) != sum->crc) {
    std::snprintf(why, whyBytes, "does not match its checksum in %s", kPackSumsName);
    return false;
  }
  return true;
}

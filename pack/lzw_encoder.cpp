// lzw_encoder.cpp — greedy LZW with a hashed dictionary, mirroring the decoder's widths.
#include "pack/lzw_encoder.h"

#include <algorithm>

#include "pack/lzw_decoder.h"

namespace {

constexpr uint32_t kHashSlots = 1u << 18;  // four times the dictionary: short probes
constexpr uint32_t kEncoderLastEntry = kLzwLastEntry - 1;  // 65533: see header

struct Encoder {
  std::vector<uint8_t>& out;
  std::vector<uint32_t> keys;   // (prefix << 8 | byte) + 1; 0 marks a free slot
  std::vector<uint16_t> codes;
  uint64_t bits = 0;
  uint32_t bitCount = 0;
  // The decoder's view: next entry it will define and the width it reads at.
  uint32_t nextCode = kLzwFirstCode;
  uint32_t width = kLzwStartWidth;
  uint32_t segmentCodes = 0;  // codes since the start or the last clear

  explicit Encoder(std::vector<uint8_t>& o) : out(o), keys(kHashSlots, 0), codes(kHashSlots, 0) {}

  void Reset() {
    std::fill(keys.begin(), keys.end(), 0u);
    nextCode = kLzwFirstCode;
    width = kLzwStartWidth;
    segmentCodes = 0;
  }

  void WriteBits(uint32_t code) {
    bits |= static_cast<uint64_t>(code) << bitCount;
    bitCount += width;
    while (bitCount >= 8) {
      out.push_back(static_cast<uint8_t>(bits));
      bits >>= 8;
      bitCount -= 8;
    }
  }

  void Flush() {
    if (bitCount > 0) out.push_back(static_cast<uint8_t>(bits));
    bits = 0;
    bitCount = 0;
  }

  // A data code; every one but the first of a segment makes the decoder
  // define an entry, after which it may widen its codes.
  void EmitCode(uint32_t code) {
    WriteBits(code);
    if (segmentCodes > 0) {
      nextCode += 1;
      if (nextCode == (1u << width) - 1) width += 1;
    }
    segmentCodes += 1;
  }

  uint32_t Slot(uint32_t key) const { return (key * 2654435761u) >> (32 - 18); }

  // Code of string `prefix` + byte, or -1.
  int32_t Find(uint32_t prefix, uint8_t byte) const {
    const uint32_t key = (prefix << 8 | byte) + 1;
    for (uint32_t s = Slot(key);; s = (s + 1) & (kHashSlots - 1)) {
      if (keys[s] == key) return codes[s];
      if (keys[s] == 0) return -1;
    }
  }

  void Add(uint32_t prefix, uint8_t byte, uint32_t code) {
    const uint32_t key = (prefix << 8 | byte) + 1;
    uint32_t s = Slot(key);
    while (keys[s] != 0) s = (s + 1) & (kHashSlots - 1);
    keys[s] = key;
    codes[s] = static_cast<uint16_t>(code);
  }
};

}  // namespace

std::vector<uint8_t> LzwEncode(const uint8_t* data, std::size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size / 2 + 16);
  Encoder e(out);
  if (size > 0) {
    uint32_t current = data[0];
    for (std::size_t k = 1; k < size; ++k) {
      const uint8_t c = data[k];
      const int32_t extended = e.Find(current, c);
      if (extended >= 0) {
        current = static_cast<uint32_t>(extended);
        continue;
      }
      e.EmitCode(current);
      // The next code would define entry nextCode in the decoder; past the
      // last entry the dictionary starts over instead.
      if (e.nextCode > kEncoderLastEntry) {
        e.WriteBits(kLzwClearCode);
        e.Reset();
      } else {
        e.Add(current, c, e.nextCode);
      }
      current = c;
    }
    e.EmitCode(current);
  }
  e.WriteBits(kLzwEndCode);
  e.Flush();
  return out;
}

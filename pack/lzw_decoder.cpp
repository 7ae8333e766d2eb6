// lzw_decoder.cpp — variable-width LZW decoding with bounds on both buffers.
#include "pack/lzw_decoder.h"

LzwDecoderState LzwDecoder;

namespace {

void ResetDictionary() {
  LzwDecoderState& d = LzwDecoder;
  for (uint32_t code = 0; code < 256; ++code) {
    d.prefix[code] = -1;
    d.suffix[code] = static_cast<uint8_t>(code);
    d.first[code] = static_cast<uint8_t>(code);
    d.length[code] = 1;
  }
  for (uint32_t code = kLzwClearCode; code <= kLzwEndCode; ++code) {
    d.prefix[code] = -1;
    d.suffix[code] = 0;
    d.first[code] = 0;
    d.length[code] = 0;
  }
  d.nextCode = kLzwFirstCode;
  d.codeWidth = kLzwStartWidth;
}

// Reads `width` bits (at most 17) starting at bit `bitPos`, lowest bit first.
// False when the stream ends before the code does.
bool ReadCode(const uint8_t* stream, std::size_t streamBytes, uint64_t bitPos, uint32_t width,
              uint32_t* code) {
  if (bitPos + width > static_cast<uint64_t>(streamBytes) * 8) return false;
  const std::size_t i = static_cast<std::size_t>(bitPos >> 3);
  const uint32_t b = static_cast<uint32_t>(bitPos & 7);
  // Only the bytes that hold bits of the code are read; b + width <= 24.
  uint32_t bits = stream[i];
  if (b + width > 8) bits |= static_cast<uint32_t>(stream[i + 1]) << 8;
  if (b + width > 16) bits |= static_cast<uint32_t>(stream[i + 2]) << 16;
  *code = (bits >> b) & ((1u << width) - 1);
  return true;
}

// Writes the string of `code` at out[pos], back to front along the prefix links.
void WriteString(uint32_t code, uint8_t* out, std::size_t pos) {
  const LzwDecoderState& d = LzwDecoder;
  uint8_t* p = out + pos + d.length[code];
  int32_t c = static_cast<int32_t>(code);
  while (c >= 0) {
    *--p = d.suffix[c];
    c = d.prefix[c];
  }
}

}  // namespace

const char* LzwStatusText(LzwStatus status) {
  switch (status) {
    case kLzwOk: return "ok";
    case kLzwOutputOverrun: return "decodes to more bytes than its unpacked size";
    case kLzwStreamOverrun: return "stream ends before its end code";
    case kLzwUndefinedCode: return "uses a code that is not defined";
    case kLzwDictionaryFull: return "defines more than 65535 dictionary entries";
  }
  return "unknown error";
}

LzwStatus Decode(const uint8_t* stream, std::size_t streamBytes, uint8_t* out,
                 std::size_t outCapacity, std::size_t* written) {
  LzwDecoderState& d = LzwDecoder;
  ResetDictionary();
  uint64_t bitPos = 0;
  std::size_t outPos = 0;
  bool segmentStart = true;  // the next code must be a literal and defines nothing
  uint32_t previous = 0;
  LzwStatus status = kLzwOk;

  for (;;) {
    uint32_t code;
    if (!ReadCode(stream, streamBytes, bitPos, d.codeWidth, &code)) {
      status = kLzwStreamOverrun;
      break;
    }
    bitPos += d.codeWidth;
    if (code == kLzwEndCode) break;
    if (code == kLzwClearCode) {
      ResetDictionary();
      segmentStart = true;
      continue;
    }
    if (segmentStart) {
      if (code > 255) {
        status = kLzwUndefinedCode;
        break;
      }
      if (outPos >= outCapacity) {
        status = kLzwOutputOverrun;
        break;
      }
      out[outPos++] = static_cast<uint8_t>(code);
      previous = code;
      segmentStart = false;
      continue;
    }

    if (d.nextCode > kLzwLastEntry) {
      status = kLzwDictionaryFull;
      break;
    }
    uint8_t firstByte;
    if (code < d.nextCode) {
      const uint32_t n = d.length[code];
      if (n > outCapacity - outPos) {
        status = kLzwOutputOverrun;
        break;
      }
      WriteString(code, out, outPos);
      outPos += n;
      firstByte = d.first[code];
    } else if (code == d.nextCode) {
      // The string repeats its own first byte: previous string + its first byte.
      const uint32_t n = d.length[previous] + 1;
      if (n > outCapacity - outPos) {
        status = kLzwOutputOverrun;
        break;
      }
      firstByte = d.first[previous];
      WriteString(previous, out, outPos);
      out[outPos + n - 1] = firstByte;
      outPos += n;
    } else {
      status = kLzwUndefinedCode;
      break;
    }

    const uint32_t entry = d.nextCode;
    d.prefix[entry] = static_cast<int32_t>(previous);
    d.suffix[entry] = firstByte;
    d.first[entry] = d.first[previous];
    d.length[entry] = d.length[previous] + 1;
    previous = code;
    d.nextCode = entry + 1;
    if (d.nextCode == (1u << d.codeWidth) - 1) d.codeWidth += 1;
  }

  if (written != nullptr) *written = outPos;
  return status;
}

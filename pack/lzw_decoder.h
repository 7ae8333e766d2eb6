// lzw_decoder.h — turns a compressed pack entry back into the file's bytes.
//
// Usage:
//   size_t written;
//   LzwStatus s = Decode(stream, streamBytes, out, outCapacity, &written);
//   if (s != kLzwOk) ... LzwStatusText(s) says what was wrong ...
//
// Called by LoadFile for compressed entries, with out zero-filled at the
// entry's unpacked size. The stream is untrusted: decoding stops with an error
// before anything would be written past outCapacity or read past streamBytes.
// Bytes of out beyond `written` are left as they were.
//
// Stream format: codes packed least-significant bit first; bit k of the stream
// is bit (k mod 8) of byte k / 8. Codes 0-255 are the single bytes, 256 clears
// the dictionary, 257 ends the stream, 258 is the first code the stream
// defines. Every code after the first of a segment defines one entry
// (previous code's string + first byte of this code's string); a code equal to
// the next free entry is the string of the previous code plus its own first
// byte. Codes are read 9 bits wide at the start and after every clear; the
// width grows by one when the next free entry reaches 2^width - 1 (10 bits
// after entry 510 is defined, 11 after 1022, ... 16 after 32766). The
// dictionary ends at entry 65534; a stream must clear before going past it.
//
// The decoder's dictionary is process-wide (LzwDecoder) and reset at the
// start of every call.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t kLzwClearCode = 256;
constexpr uint32_t kLzwEndCode = 257;
constexpr uint32_t kLzwFirstCode = 258;
constexpr uint32_t kLzwLastEntry = 65534;
constexpr uint32_t kLzwStartWidth = 9;

enum LzwStatus {
  kLzwOk = 0,
  kLzwOutputOverrun,   // the stream decodes to more than the buffer holds
  kLzwStreamOverrun,   // the stream ends before its end code
  kLzwUndefinedCode,   // a code above the next free entry, or not a literal where one is due
  kLzwDictionaryFull,  // the stream would define an entry past 65534
};

// Short English description of a status, for error messages.
const char* LzwStatusText(LzwStatus status);

LzwStatus Decode(const uint8_t* stream, std::size_t streamBytes, uint8_t* out,
                 std::size_t outCapacity, std::size_t* written);

struct LzwDecoderState {
  int32_t prefix[kLzwLastEntry + 1];   // code of the string minus its last byte, -1 for none
  uint8_t suffix[kLzwLastEntry + 1];   // last byte of the string
  uint8_t first[kLzwLastEntry + 1];    // first byte of the string
  uint32_t length[kLzwLastEntry + 1];  // bytes in the string
  uint32_t nextCode;
  uint32_t codeWidth;
};

extern LzwDecoderState LzwDecoder;

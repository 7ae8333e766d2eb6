// lzw_encoder.h — writes the LZW streams that Decode (lzw_decoder.h) reads.
//
// Usage (the pack tool and tests): std::vector<uint8_t> s = LzwEncode(data, n);
//
// Codes are written at exactly the widths the decoder reads (9 bits, one more
// each time the decoder's next free entry reaches 2^width - 1). A clear code
// goes out before the decoder's dictionary would pass 65534 entries (codes
// 0-65533), so codes never grow past 16 bits. Empty input gives a stream of
// the end code alone.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<uint8_t> LzwEncode(const uint8_t* data, std::size_t size);

// The LZW decoder on hand-made streams, and round trips through the encoder.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "pack/lzw_decoder.h"
#include "pack/lzw_encoder.h"

namespace {

// Packs codes least-significant bit first at the widths given.
struct CodeWriter {
  std::vector<uint8_t> bytes;
  uint64_t bitCount = 0;
  void Put(uint32_t code, uint32_t width) {
    for (uint32_t b = 0; b < width; ++b, ++bitCount) {
      if (bitCount % 8 == 0) bytes.push_back(0);
      if (code >> b & 1) bytes.back() |= static_cast<uint8_t>(1u << (bitCount % 8));
    }
  }
};

std::vector<uint8_t> Nine(std::initializer_list<uint32_t> codes) {
  CodeWriter w;
  for (uint32_t c : codes) w.Put(c, 9);
  return w.bytes;
}

// Width of the code that follows the definition of entry `lastDefined`:
// w + 1 from the code after entry 2^w - 2.
uint32_t WidthAfter(uint32_t lastDefined) {
  uint32_t width = 9;
  while (width < 17 && lastDefined >= (1u << width) - 2) ++width;
  return width;
}

// A stream of `count` literals (each but the first defines an entry) and the end code.
std::vector<uint8_t> LiteralRun(uint32_t count, std::vector<uint8_t>* expected) {
  CodeWriter w;
  uint32_t lastDefined = 257;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t byte = static_cast<uint8_t>(i * 7 + 3);
    w.Put(byte, i == 0 ? 9 : WidthAfter(lastDefined));
    if (i > 0) ++lastDefined;
    expected->push_back(byte);
  }
  w.Put(kLzwEndCode, WidthAfter(lastDefined));
  return w.bytes;
}

struct Decoded {
  LzwStatus status;
  std::string text;
  bool guardIntact;
};

Decoded DecodeInto(const std::vector<uint8_t>& stream, std::size_t capacity) {
  std::vector<uint8_t> out(capacity + 16, 0xEE);
  std::size_t written = 12345;
  const LzwStatus status = Decode(stream.data(), stream.size(), out.data(), capacity, &written);
  bool guard = true;
  for (std::size_t i = capacity; i < out.size(); ++i) guard = guard && out[i] == 0xEE;
  EXPECT_LE(written, capacity);
  return {status, std::string(out.begin(), out.begin() + static_cast<long>(written)), guard};
}

TEST(LzwDecoder, SixByteExampleWithTheRepeatedFirstByteCase) {
  const std::vector<uint8_t> stream = {0x41, 0x84, 0x08, 0x24, 0x18, 0x10};
  EXPECT_EQ(stream, Nine({65, 66, 258, 260, 257}));
  const Decoded d = DecodeInto(stream, 7);
  EXPECT_EQ(d.status, kLzwOk);
  EXPECT_EQ(d.text, "ABABABA");
  // A larger buffer keeps its zeros after the decoded bytes.
  std::vector<uint8_t> out(10, 0);
  std::size_t written = 0;
  EXPECT_EQ(Decode(stream.data(), stream.size(), out.data(), out.size(), &written), kLzwOk);
  EXPECT_EQ(written, 7u);
  EXPECT_EQ(out[7] | out[8] | out[9], 0);
}

TEST(LzwDecoder, ValidStreams) {
  struct Case {
    const char* what;
    std::vector<uint8_t> stream;
    std::string expected;
  };
  const Case cases[] = {
      {"one literal", Nine({'Q', 257}), "Q"},
      {"code equal to the next entry", Nine({'A', 258, 257}), "AAA"},
      // Before the clear 258 is "AB"; after it 258 is defined anew as "CD".
      {"clear mid-stream", Nine({'A', 'B', 258, 256, 'C', 'D', 258, 257}), "ABABCDCD"},
      {"clear then one literal", Nine({'A', 'B', 256, 'C', 257}), "ABC"},
      {"end code alone", Nine({257}), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Decoded d = DecodeInto(c.stream, c.expected.size());
    EXPECT_EQ(d.status, kLzwOk);
    EXPECT_EQ(d.text, c.expected);
  }
}

TEST(LzwDecoder, CodesWidenOneEntryBeforeEachPowerOfTwoUpTo16Bits) {
  // 65278 literals define entries 258..65534: every width from 9 to 16 bits,
  // and the end code read at 17 bits after the last entry.
  std::vector<uint8_t> expected;
  const std::vector<uint8_t> stream = LiteralRun(65278, &expected);
  std::vector<uint8_t> out(expected.size());
  std::size_t written = 0;
  ASSERT_EQ(Decode(stream.data(), stream.size(), out.data(), out.size(), &written), kLzwOk);
  EXPECT_EQ(written, expected.size());
  EXPECT_EQ(out, expected);
  EXPECT_EQ(LzwDecoder.nextCode, 65535u);
}

TEST(LzwDecoder, MalformedStreamsAreRejectedWithoutWritingPastTheBuffer) {
  std::vector<uint8_t> ignored;
  const std::vector<uint8_t> tooManyEntries = LiteralRun(65279, &ignored);
  const std::vector<uint8_t> example = {0x41, 0x84, 0x08, 0x24, 0x18, 0x10};
  struct Case {
    const char* what;
    std::vector<uint8_t> stream;
    std::size_t capacity;
    LzwStatus expected;
  };
  const Case cases[] = {
      {"empty stream", {}, 8, kLzwStreamOverrun},
      {"no end code", Nine({'A', 'B'}), 8, kLzwStreamOverrun},
      {"last code cut short", std::vector<uint8_t>(example.begin(), example.end() - 1), 8,
       kLzwStreamOverrun},
      {"output one byte too long", example, 6, kLzwOutputOverrun},
      {"literal into an empty buffer", Nine({'A', 257}), 0, kLzwOutputOverrun},
      {"code above the next entry", Nine({'A', 259, 257}), 8, kLzwUndefinedCode},
      {"first code not a literal", Nine({258, 257}), 8, kLzwUndefinedCode},
      {"code after a clear not a literal", Nine({'A', 'B', 256, 258, 257}), 8, kLzwUndefinedCode},
      {"entry past 65534", tooManyEntries, 70000, kLzwDictionaryFull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Decoded d = DecodeInto(c.stream, c.capacity);
    EXPECT_EQ(d.status, c.expected);
    EXPECT_TRUE(d.guardIntact);
    EXPECT_STRNE(LzwStatusText(d.status), "ok");
  }
}

std::vector<uint8_t> RoundTrip(const std::vector<uint8_t>& data, std::size_t* streamBytes) {
  const std::vector<uint8_t> stream = LzwEncode(data.data(), data.size());
  *streamBytes = stream.size();
  std::vector<uint8_t> out(data.size() + 1, 0xEE);
  std::size_t written = 0;
  EXPECT_EQ(Decode(stream.data(), stream.size(), out.data(), data.size(), &written), kLzwOk);
  EXPECT_EQ(written, data.size());
  EXPECT_EQ(out.back(), 0xEE);
  out.pop_back();
  return out;
}

TEST(LzwEncoder, RoundTrips) {
  std::mt19937 random(12345);
  auto randomBytes = [&](std::size_t n) {
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(random());
    return v;
  };
  // Text-like data: short words from a small alphabet.
  std::vector<uint8_t> words(3 << 20);
  for (auto& b : words) b = static_cast<uint8_t>("etaoin shrdlu"[random() % 13]);
  std::vector<uint8_t> ramp(5 << 20);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint8_t>((i / 320) ^ (i % 320));

  struct Case {
    const char* what;
    std::vector<uint8_t> data;
  };
  const Case cases[] = {
      {"empty", {}},
      {"one byte", {0x7F}},
      {"two equal bytes", {9, 9}},
      {"random 1000", randomBytes(1000)},
      {"random 1 MB (dictionary fills and clears)", randomBytes(1 << 20)},
      {"one byte repeated 2 MB", std::vector<uint8_t>(2 << 20, 0xA5)},
      {"3 MB of words", words},
      {"5 MB picture-like ramp", ramp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::size_t streamBytes = 0;
    EXPECT_TRUE(RoundTrip(c.data, &streamBytes) == c.data);
    if (c.data.size() == 2u << 20) {
      EXPECT_LT(streamBytes, c.data.size() / 100);
    }
  }
}

TEST(LzwEncoder, EmptyInputIsTheEndCodeAlone) {
  EXPECT_EQ(LzwEncode(nullptr, 0), Nine({257}));
  const uint8_t one = 'A';
  EXPECT_EQ(LzwEncode(&one, 1), Nine({'A', 257}));
}

}  // namespace

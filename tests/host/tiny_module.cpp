// tiny_module.cpp — writes a minimal Impulse Tracker module (see tiny_module.h).
#include "tests/host/tiny_module.h"

#include <algorithm>

void Put16(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void Put32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  Put16(v, at, x & 0xFFFF);
  Put16(v, at + 2, x >> 16);
}

std::vector<uint8_t> MakeTinyModule(int orders, int speed, int tempo) {
  const std::size_t header = 0xC0;
  const std::size_t orderBytes = static_cast<std::size_t>(orders) + 1;  // + end marker
  const std::size_t sampleOffsetAt = header + orderBytes;
  const std::size_t patternOffsetAt = sampleOffsetAt + 4;
  const std::size_t sampleHeaderAt = patternOffsetAt + 4;
  const std::size_t sampleDataAt = sampleHeaderAt + 0x50;
  const std::size_t sampleLength = 64;
  const std::size_t patternAt = sampleDataAt + sampleLength;
  // Row 0: channel 1 plays C-5 with sample 1; rows 1..63 are empty.
  const std::vector<uint8_t> rows = [] {
    std::vector<uint8_t> r = {0x81, 0x03, 60, 1, 0};
    r.insert(r.end(), 63, 0);
    return r;
  }();
  std::vector<uint8_t> m(patternAt + 8 + rows.size(), 0);

  std::copy_n("IMPM", 4, m.begin());
  std::copy_n("qm7 test module", 15, m.begin() + 4);
  Put16(m, 0x20, static_cast<uint32_t>(orderBytes));
  Put16(m, 0x22, 0);  // instruments
  Put16(m, 0x24, 1);  // samples
  Put16(m, 0x26, 1);  // patterns
  Put16(m, 0x28, 0x0214);
  Put16(m, 0x2A, 0x0214);
  Put16(m, 0x2C, 1 | 8);  // stereo, linear slides
  m[0x30] = 128;          // global volume
  m[0x31] = 48;           // mixing volume
  m[0x32] = static_cast<uint8_t>(speed);
  m[0x33] = static_cast<uint8_t>(tempo);
  m[0x34] = 128;
  for (int c = 0; c < 64; ++c) {
    m[0x40 + c] = c < 4 ? 32 : 32 + 128;  // four channels on, centred
    m[0x80 + c] = 64;
  }
  for (int o = 0; o < orders; ++o) m[header + o] = 0;
  m[header + orders] = 255;
  Put32(m, sampleOffsetAt, static_cast<uint32_t>(sampleHeaderAt));
  Put32(m, patternOffsetAt, static_cast<uint32_t>(patternAt));

  std::size_t s = sampleHeaderAt;
  std::copy_n("IMPS", 4, m.begin() + s);
  m[s + 0x11] = 64;        // global volume
  m[s + 0x12] = 1 | 16;    // present, looped, 8-bit
  m[s + 0x13] = 64;        // volume
  m[s + 0x2E] = 1;         // signed samples
  m[s + 0x2F] = 32;        // default pan
  Put32(m, s + 0x30, static_cast<uint32_t>(sampleLength));
  Put32(m, s + 0x34, 0);
  Put32(m, s + 0x38, static_cast<uint32_t>(sampleLength));
  Put32(m, s + 0x3C, 8363 * 4);
  Put32(m, s + 0x48, static_cast<uint32_t>(sampleDataAt));
  for (std::size_t i = 0; i < sampleLength; ++i)
    m[sampleDataAt + i] = static_cast<uint8_t>(i < sampleLength / 2 ? 48 : -48);

  Put16(m, patternAt, static_cast<uint32_t>(rows.size()));
  Put16(m, patternAt + 2, 64);
  std::copy(rows.begin(), rows.end(), m.begin() + static_cast<std::ptrdiff_t>(patternAt + 8));
  return m;
}

// it_writer.cpp — Impulse Tracker file layout: header, order list, offset
// tables, sample headers, packed patterns, then the sample data.
#include "tools/compose/it_writer.h"

#include <algorithm>
#include <cstring>

namespace {

struct ByteWriter {
  std::vector<uint8_t> bytes;
  void u8(int v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void u16(int v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); }
  void u32(uint32_t v) { u16(static_cast<int>(v & 0xFFFF)); u16(static_cast<int>(v >> 16)); }
  void text(const std::string& s, size_t width) {  // zero-padded, always terminated
    for (size_t i = 0; i < width; ++i) u8(i + 1 < width && i < s.size() ? s[i] : 0);
  }
  void patch32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  size_t size() const { return bytes.size(); }
};

// Packs one pattern: every used cell gets a fresh mask byte (no value reuse).
std::vector<uint8_t> PackPattern(const ItPattern& pattern, int channels) {
  ByteWriter out;
  for (const auto& row : pattern.rows) {
    for (int c = 0; c < channels; ++c) {
      const ItCell& cell = row[c];
      int mask = (cell.note >= 0 ? 1 : 0) | (cell.sample > 0 ? 2 : 0) |
                 (cell.volume >= 0 ? 4 : 0) | (cell.command > 0 ? 8 : 0);
      if (!mask) continue;
      out.u8((c + 1) | 0x80);
      out.u8(mask);
      if (mask & 1) out.u8(cell.note);
      if (mask & 2) out.u8(cell.sample);
      if (mask & 4) out.u8(cell.volume);
      if (mask & 8) { out.u8(cell.command); out.u8(cell.param); }
    }
    out.u8(0);
  }
  return out.bytes;
}

}  // namespace

std::vector<uint8_t> WriteItModule(const ItModule& m) {
  ByteWriter w;
  const int orderCount = static_cast<int>(m.orders.size()) + 1;  // + end marker
  const int sampleCount = static_cast<int>(m.samples.size());
  const int patternCount = static_cast<int>(m.patterns.size());

  w.bytes = {'I', 'M', 'P', 'M'};
  w.text(m.title, 26);
  w.u8(8); w.u8(32);               // row highlight: beat, bar
  w.u16(orderCount); w.u16(0); w.u16(sampleCount); w.u16(patternCount);
  w.u16(0x0214); w.u16(0x0214);    // made with / compatible with
  w.u16(1 | 8);                    // stereo, linear slides, sample mode
  w.u16(0);                        // no message
  w.u8(m.globalVolume); w.u8(m.mixVolume);
  w.u8(m.initialSpeed); w.u8(m.initialTempo);
  w.u8(128); w.u8(0);              // full stereo separation, no pitch wheel depth
  w.u16(0); w.u32(0); w.u32(0);    // message length, offset, reserved
  for (int c = 0; c < 64; ++c) w.u8(c < m.channels ? m.pan[c] : 32 + 128);  // unused: off
  for (int c = 0; c < 64; ++c) w.u8(64);
  for (int order : m.orders) w.u8(order);
  w.u8(255);

  const size_t sampleTable = w.size();
  for (int i = 0; i < sampleCount + patternCount; ++i) w.u32(0);

  std::vector<size_t> dataPointerAt(sampleCount);
  for (int i = 0; i < sampleCount; ++i) {
    const ItSample& s = m.samples[i];
    w.patch32(sampleTable + 4 * i, static_cast<uint32_t>(w.size()));
    w.bytes.insert(w.bytes.end(), {'I', 'M', 'P', 'S'});
    w.text("", 13);                     // DOS file name and its terminator
    w.u8(s.globalVolume);
    w.u8(1 | 2 | (s.looped ? 16 : 0));  // present, 16-bit, loop
    w.u8(s.defaultVolume);
    w.text(s.name, 26);
    w.u8(1);                            // signed samples
    w.u8(32);                           // default pan not used (bit 7 clear)
    w.u32(static_cast<uint32_t>(s.data.size()));
    w.u32(s.looped ? s.loopBegin : 0);
    w.u32(s.looped ? s.loopEnd : 0);
    w.u32(s.c5Speed);
    w.u32(0); w.u32(0);                 // no sustain loop
    dataPointerAt[i] = w.size();
    w.u32(0);
    w.u8(0); w.u8(0); w.u8(0); w.u8(0); // no auto-vibrato
  }

  for (int i = 0; i < patternCount; ++i) {
    std::vector<uint8_t> packed = PackPattern(m.patterns[i], m.channels);
    w.patch32(sampleTable + 4 * (sampleCount + i), static_cast<uint32_t>(w.size()));
    w.u16(static_cast<int>(packed.size()));
    w.u16(kItRows);
    w.u32(0);
    w.bytes.insert(w.bytes.end(), packed.begin(), packed.end());
  }

  for (int i = 0; i < sampleCount; ++i) {
    w.patch32(dataPointerAt[i], static_cast<uint32_t>(w.size()));
    for (int16_t v : m.samples[i].data) w.u16(static_cast<uint16_t>(v));
  }
  return w.bytes;
}

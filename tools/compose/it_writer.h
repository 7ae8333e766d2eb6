// it_writer.h — serialises a module held in memory as an Impulse Tracker file.
//
//   ItModule song = ComposeSong();
//   std::vector<uint8_t> bytes = WriteItModule(song);
//
// Sample mode only (no instruments): a note plays its sample directly. Samples
// are 16-bit signed mono, stored uncompressed. Every pattern has 64 rows.
// Called once by qm7-compose's main.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kItRows = 64;
constexpr int kItMaxChannels = 16;
constexpr int kItNoteCut = 254;

// One pattern cell. Fields left at -1 (or command 0) are not written.
struct ItCell {
  int note = -1;     // 0..119 (60 = the sample's base pitch), or kItNoteCut
  int sample = -1;   // 1-based sample number
  int volume = -1;   // volume column: 0..64 set volume
  int command = 0;   // effect letter as 1..26 (A = 1), 0 = none
  int param = 0;
};

struct ItPattern {
  std::array<std::array<ItCell, kItMaxChannels>, kItRows> rows{};
};

struct ItSample {
  std::string name;
  std::vector<int16_t> data;
  bool looped = false;
  uint32_t loopBegin = 0, loopEnd = 0;  // loopEnd is one past the last looped sample
  uint32_t c5Speed = 44100;             // playback rate of note 60
  int globalVolume = 64;                // 0..64
  int defaultVolume = 64;               // 0..64
};

struct ItModule {
  std::string title;
  int initialSpeed = 3, initialTempo = 110;
  int globalVolume = 128, mixVolume = 48;
  int channels = 0;                       // channels in use, at most kItMaxChannels
  std::array<int, kItMaxChannels> pan{};  // 0..64, 32 = centre
  std::vector<int> orders;                // pattern index per order (no end marker)
  std::vector<ItPattern> patterns;
  std::vector<ItSample> samples;
};

std::vector<uint8_t> WriteItModule(const ItModule& module);

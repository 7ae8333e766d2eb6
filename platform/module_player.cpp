// module_player.cpp — libopenmpt behind the small interface of module_player.h.
// Exceptions from the library stop here.
#include "platform/module_player.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <libopenmpt/libopenmpt.hpp>
#include <map>
#include <string>
#include <vector>

#include "platform/music.h"
#include "platform/position_ring.h"

struct ModulePlayer {
  openmpt::module* module;
  int rate;  // frames a second rendered
};

namespace {

uint32_t Read16(const std::vector<char>& b, std::size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
uint32_t Read32(const std::vector<char>& b, std::size_t at) { return Read16(b, at) | Read16(b, at + 2) << 16; }

// The player loads an Impulse Tracker file cut short without a word and
// plays what is left (silence where the samples were). This checks that
// every sample and pattern the header points to lies inside the file.
bool ImpulseTrackerComplete(const std::vector<char>& b) {
  constexpr std::size_t kHeader = 0xC0;
  if (b.size() < kHeader || std::memcmp(b.data(), "IMPM", 4) != 0) return true;  // not IT: the player decides
  std::size_t orders = Read16(b, 0x20), instruments = Read16(b, 0x22);
  std::size_t samples = Read16(b, 0x24), patterns = Read16(b, 0x26);
  std::size_t table = kHeader + orders + instruments * 4;
  if (table + (samples + patterns) * 4 > b.size()) return false;
  for (std::size_t i = 0; i < samples; ++i) {
    uint64_t header = Read32(b, table + i * 4);
    if (header + 0x50 > b.size()) return false;
    uint32_t flags = static_cast<uint8_t>(b[header + 0x12]);
    bool present = flags & 1, compressed = flags & 8;
    uint64_t bytes = uint64_t{Read32(b, header + 0x30)} * ((flags & 2) ? 2 : 1) * ((flags & 4) ? 2 : 1);
    if (present && !compressed && Read32(b, header + 0x48) + bytes > b.size()) return false;
  }
  for (std::size_t i = 0; i < patterns; ++i) {
    uint64_t at = Read32(b, table + samples * 4 + i * 4);
    if (at == 0) continue;  // an empty pattern
    if (at + 8 > b.size() || at + 8 + Read16(b, at) > b.size()) return false;
  }
  return true;
}

}  // namespace

ModulePlayer* LoadModulePlayer(const char* path, int rate) {
  // A folder opens like a file and then throws on the first read.
  std::error_code error;
  const auto type = std::filesystem::status(path, error).type();
  if (type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::regular) {
    std::fprintf(stderr, "music: %s is not a file\n", path);
    return nullptr;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "music: cannot open %s\n", path);
    return nullptr;
  }
  try {
    // One read of the whole file (a byte-at-a-time copy costs the page's
    // start-up tens of milliseconds for a megabyte).
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    std::vector<char> bytes(size > 0 ? static_cast<std::size_t>(size) : 0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (!ImpulseTrackerComplete(bytes)) {
      std::fprintf(stderr, "music: %s is cut short: its samples or patterns lie past its end\n", path);
      return nullptr;
    }
    // No walk through the whole song for its subsongs at load (most of the
    // load time; it only speeds up seeking, and the player seeks to order 0
    // alone). Playback is the same sample for sample.
    const std::map<std::string, std::string> ctls = {{"load.skip_subsongs_init", "1"}};
    auto* module = new openmpt::module(bytes.data(), bytes.size(), std::clog, ctls);
    // Repeat forever: after the last row play goes on from the start
    // (order 0 for a module without a restart jump).
    module->set_repeat_count(-1);
    // No dither: its noise is random, and the same module must render the
    // same samples on every run (repeatable captures and tests).
    module->ctl_set_integer("dither", 0);
    return new ModulePlayer{module, rate > 0 ? rate : kMusicRate};
  } catch (const std::exception& e) {
    std::fprintf(stderr, "music: %s is not a module the player reads: %s\n", path, e.what());
    return nullptr;
  }
}

void FreeModulePlayer(ModulePlayer* player) {
  if (!player) return;
  delete player->module;
  delete player;
}

void RestartModule(ModulePlayer* player) {
  try {
    player->module->set_position_order_row(0, 0);
  } catch (const std::exception&) {
  }
}

void RenderModule(ModulePlayer* player, int16_t* out, std::size_t frames) {
  while (frames > 0) {
    std::size_t got = 0;
    try {
      got = player->module->read_interleaved_stereo(player->rate, frames, out);
    } catch (const std::exception&) {
      got = 0;
    }
    // Repeating forever, the module only stops short when it has nothing
    // playable at all: silence then.
    if (got == 0) {
      std::memset(out, 0, frames * 2 * sizeof(int16_t));
      return;
    }
    out += got * 2;
    frames -= got;
  }
}

uint64_t RenderModuleTicks(ModulePlayer* player, int16_t* out, std::size_t frames,
                           uint64_t framesBefore, PositionRing* positions) {
  uint64_t done = framesBefore;
  while (frames > 0) {
    std::size_t slice = ModuleTickFrames(player);
    if (slice > frames) slice = frames;
    RenderModule(player, out, slice);
    out += slice * 2;
    frames -= slice;
    done += slice;
    positions->Publish(done, ModulePosition(player));
  }
  return done;
}

std::size_t ModuleTickFrames(const ModulePlayer* player) {
  // A tick lasts 2.5 / tempo seconds (classic tempo mode).
  int tempo = player->module->get_current_tempo();
  if (tempo < 1) tempo = 125;
  std::size_t frames = static_cast<std::size_t>(player->rate) * 5 / (2 * static_cast<std::size_t>(tempo));
  return frames > 0 ? frames : 1;
}

uint32_t ModulePosition(const ModulePlayer* player) {
  uint32_t order = static_cast<uint32_t>(player->module->get_current_order()) & 0xFFFF;
  uint32_t row = static_cast<uint32_t>(player->module->get_current_row()) & 0xFFFF;
  return order | row << 16;
}

// module_player.cpp — libopenmpt behind the small interface of module_player.h.
// Exceptions from the library stop here.
#include "platform/module_player.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <libopenmpt/libopenmpt.hpp>
#include <vector>

#include "platform/music.h"

struct ModulePlayer {
  openmpt::module* module;
};

ModulePlayer* LoadModulePlayer(const char* path) {
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
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto* module = new openmpt::module(bytes.data(), bytes.size());
    // Repeat forever: after the last row play goes on from the start
    // (order 0 for a module without a restart jump).
    module->set_repeat_count(-1);
    // No dither: its noise is random, and the same module must render the
    // same samples on every run (repeatable captures and tests).
    module->ctl_set_integer("dither", 0);
    return new ModulePlayer{module};
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
      got = player->module->read_interleaved_stereo(kMusicRate, frames, out);
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

std::size_t ModuleTickFrames(const ModulePlayer* player) {
  // A tick lasts 2.5 / tempo seconds (classic tempo mode).
  int tempo = player->module->get_current_tempo();
  if (tempo < 1) tempo = 125;
  std::size_t frames = static_cast<std::size_t>(kMusicRate) * 5 / (2 * static_cast<std::size_t>(tempo));
  return frames > 0 ? frames : 1;
}

uint32_t ModulePosition(const ModulePlayer* player) {
  uint32_t order = static_cast<uint32_t>(player->module->get_current_order()) & 0xFFFF;
  uint32_t row = static_cast<uint32_t>(player->module->get_current_row()) & 0xFFFF;
  return order | row << 16;
}

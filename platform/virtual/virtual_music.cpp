// virtual_music.cpp — the module rendered only when the driver asks, in
// lockstep with the virtual clock; no audio device. The position is the one
// after the last rendered frame. What is rendered can go to a WAV file.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/module_player.h"
#include "platform/music.h"
#include "platform/virtual/virtual_internal.h"
#include "platform/virtual/virtual_platform.h"

namespace {

constexpr uint32_t kHandle = 1;
constexpr std::size_t kChunkFrames = 4096;

struct VirtualMusicState {
  bool failInit;
  bool initialised;
  bool started;
  bool playing;
  ModulePlayer* player;
  int64_t framesRendered;
  std::FILE* wav;
  int64_t wavFrames;
};

VirtualMusicState Music;
int16_t Chunk[kChunkFrames * 2];

void PutLe(uint8_t* p, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void WriteWavHeader(std::FILE* f, int64_t frames) {
  uint8_t h[44];
  uint32_t dataBytes = static_cast<uint32_t>(frames * 4);
  std::memcpy(h, "RIFF", 4);
  PutLe(h + 4, 36 + dataBytes, 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutLe(h + 16, 16, 4);
  PutLe(h + 20, 1, 2);  // PCM
  PutLe(h + 22, 2, 2);  // stereo
  PutLe(h + 24, kMusicRate, 4);
  PutLe(h + 28, kMusicRate * 4, 4);
  PutLe(h + 32, 4, 2);
  PutLe(h + 34, 16, 2);
  std::memcpy(h + 36, "data", 4);
  PutLe(h + 40, dataBytes, 4);
  std::fwrite(h, 1, sizeof h, f);
}

}  // namespace

void ResetVirtualMusic() {
  VirtualMusicCloseWav();
  FreeModulePlayer(Music.player);
  Music = VirtualMusicState{};
}

int MusicInit(int, int rate, uint32_t, WindowHandle) {
  VirtualLogCall("MusicInit");
  if (Music.failInit || rate != kMusicRate) return 0;
  Music.initialised = true;
  return 1;
}

uint32_t MusicLoad(const char* file) {
  VirtualLogCall((std::string("MusicLoad ") + file).c_str());
  if (!Music.initialised) return 0;
  FreeModulePlayer(Music.player);
  Music.player = LoadModulePlayer(file);
  Music.playing = false;
  return Music.player ? kHandle : 0;
}

int MusicStart() {
  VirtualLogCall("MusicStart");
  if (!Music.initialised) return 0;
  Music.started = true;
  return 1;
}

int MusicPlay(uint32_t handle) {
  VirtualLogCall("MusicPlay");
  if (handle != kHandle || !Music.player) return 0;
  RestartModule(Music.player);
  Music.playing = true;
  return 1;
}

uint32_t MusicGetPosition(uint32_t handle) {
  if (handle != kHandle || !Music.player) return 0;
  return ModulePosition(Music.player);
}

int MusicFree() {
  VirtualLogCall("MusicFree");
  FreeModulePlayer(Music.player);
  Music.player = nullptr;
  Music.initialised = Music.started = Music.playing = false;
  return 1;
}

void VirtualMusicFailInit(bool fail) { Music.failInit = fail; }

void VirtualMusicRender(int64_t frames) {
  while (frames > 0) {
    std::size_t n = frames < static_cast<int64_t>(kChunkFrames) ? static_cast<std::size_t>(frames)
                                                                 : kChunkFrames;
    if (Music.playing && Music.started && Music.player)
      RenderModule(Music.player, Chunk, n);
    else
      std::memset(Chunk, 0, n * 4);
    if (Music.wav) {
      std::fwrite(Chunk, 4, n, Music.wav);
      Music.wavFrames += static_cast<int64_t>(n);
    }
    Music.framesRendered += static_cast<int64_t>(n);
    frames -= static_cast<int64_t>(n);
  }
}

int64_t VirtualMusicFramesRendered() { return Music.framesRendered; }

uint32_t VirtualMusicPosition() {
  return Music.player ? ModulePosition(Music.player) : 0;
}

bool VirtualMusicOpenWav(const char* path) {
  VirtualMusicCloseWav();
  Music.wav = std::fopen(path, "wb");
  if (!Music.wav) return false;
  Music.wavFrames = 0;
  WriteWavHeader(Music.wav, 0);
  return true;
}

void VirtualMusicCloseWav() {
  if (!Music.wav) return;
  std::fseek(Music.wav, 0, SEEK_SET);
  WriteWavHeader(Music.wav, Music.wavFrames);
  std::fclose(Music.wav);
  Music.wav = nullptr;
}

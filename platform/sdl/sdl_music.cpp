// sdl_music.cpp — the module played through an SDL2 audio device.
//
// The audio callback is the only code that renders: it fills each device
// buffer in slices of at most one module tick and, after each slice,
// publishes {frames written so far, order, row} in a small ring. The main
// thread never touches the module while the device runs (MusicPlay and
// MusicLoad lock the device); MusicGetPosition only reads the ring and picks
// the entry for the frame now being heard: frames written minus one device
// buffer. The position is thus the audible one, within about one buffer.
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/module_player.h"
#include "platform/music.h"
#include "platform/position_ring.h"
#include "platform/sdl/sdl_platform.h"

namespace {

constexpr uint32_t kHandle = 1;
constexpr int kBufferFrames = 512;  // 11.6 ms at 44100 Hz

struct SdlMusicState {
  SDL_AudioDeviceID device;
  int bufferFrames;
  ModulePlayer* player;            // rendered by the callback only
  std::atomic<bool> playing;
  std::atomic<uint64_t> framesWritten;
  PositionRing positions;  // written by the callback, read by MusicGetPosition
  uint64_t playStartFrames;  // framesWritten when MusicPlay started the module
};

SdlMusicState Music;

void SDLCALL FillAudio(void*, Uint8* stream, int len) {
  auto* out = reinterpret_cast<int16_t*>(stream);
  std::size_t frames = static_cast<std::size_t>(len) / 4;
  uint64_t written = Music.framesWritten.load(std::memory_order_relaxed);
  if (!Music.playing.load(std::memory_order_acquire) || !Music.player) {
    std::memset(stream, 0, static_cast<std::size_t>(len));
    Music.framesWritten.store(written + frames, std::memory_order_release);
    return;
  }
  written = RenderModuleTicks(Music.player, out, frames, written, &Music.positions);
  Music.framesWritten.store(written, std::memory_order_release);
}

// The frame being heard when `written` frames have gone to the device: the
// device buffer is still ahead of the listener.
uint64_t HeardFrame(uint64_t written) {
  const uint64_t buffered = static_cast<uint64_t>(Music.bufferFrames);
  return written > buffered ? written - buffered : 0;
}

}  // namespace

int MusicInit(int, int rate, uint32_t, WindowHandle) {
  if (Music.device) return 1;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    SDL_Log("audio: %s", SDL_GetError());
    return 0;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = rate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kBufferFrames;
  want.callback = FillAudio;
  // No allowed changes: SDL converts to the device's own format if it must.
  Music.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (Music.device == 0) {
    SDL_Log("audio: %s", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  Music.bufferFrames = have.samples;
  Music.playing = false;
  Music.framesWritten = 0;
  Music.positions.Reset();
  return 1;
}

uint32_t MusicLoad(const char* file) {
  if (!Music.device) return 0;
  ModulePlayer* player = LoadModulePlayer(file);
  if (!player) return 0;
  SDL_LockAudioDevice(Music.device);
  ModulePlayer* old = Music.player;
  Music.playing = false;
  Music.player = player;
  SDL_UnlockAudioDevice(Music.device);
  FreeModulePlayer(old);
  return kHandle;
}

int MusicStart() {
  if (!Music.device) return 0;
  SDL_PauseAudioDevice(Music.device, 0);
  return 1;
}

int MusicPlay(uint32_t handle) {
  if (!Music.device || handle != kHandle || !Music.player) return 0;
  SDL_LockAudioDevice(Music.device);
  RestartModule(Music.player);
  Music.playStartFrames = Music.framesWritten.load(std::memory_order_relaxed);
  Music.positions.Publish(Music.playStartFrames, 0);
  Music.playing = true;
  SDL_UnlockAudioDevice(Music.device);
  return 1;
}

uint32_t MusicGetPosition(uint32_t handle) {
  if (handle != kHandle || !Music.playing.load(std::memory_order_acquire)) return 0;
  uint64_t written = Music.framesWritten.load(std::memory_order_acquire);
  uint64_t heard = HeardFrame(written);
  return Music.positions.At(heard);
}

uint32_t MusicMixedPosition() {
  if (!Music.playing.load(std::memory_order_acquire)) return 0;
  return Music.positions.Newest();
}

int MusicFree() {
  CloseMusicDevice();
  return 1;
}

void CloseMusicDevice() {
  if (!Music.device) return;
  // With QM7_STATS (see host/main.cpp): how far the music had been heard when
  // the device closed, by the same reckoning as MusicGetPosition, so a test
  // recording the sound can tell how far that is from what was really heard.
  if (std::getenv("QM7_STATS") && Music.playing.load(std::memory_order_acquire)) {
    SDL_LockAudioDevice(Music.device);
    const uint64_t written = Music.framesWritten.load(std::memory_order_acquire);
    SDL_UnlockAudioDevice(Music.device);
    const uint64_t heard = HeardFrame(written);
    std::fprintf(stderr,
                 "qm7: audio driver %s, device buffer %d frames; music heard to frame %llu "
                 "(%llu written) when the device closed\n",
                 SDL_GetCurrentAudioDriver(), Music.bufferFrames,
                 static_cast<unsigned long long>(heard > Music.playStartFrames ? heard - Music.playStartFrames : 0),
                 static_cast<unsigned long long>(written - Music.playStartFrames));
  }
  // Closing waits for the callback to finish; after it the module is ours.
  SDL_CloseAudioDevice(Music.device);
  Music.device = 0;
  Music.playing = false;
  FreeModulePlayer(Music.player);
  Music.player = nullptr;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

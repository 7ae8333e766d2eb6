// sdl_music.cpp — the module played through an SDL2 audio device.
//
// The audio callback is the only code that renders: it fills each device
// buffer from the shared music stream (platform/music_stream.h), which
// publishes where each slice of the module ends. The main thread never
// touches the module while the device runs (MusicPlay and MusicLoad lock the
// device); MusicGetPosition looks up the position for the frame now being
// heard. That frame is reckoned from the
// newest hand-over: the buffer just filled waits behind what the device side
// (a sound server's queue, a card's own buffer) still holds, which with
// PulseAudio was about half a buffer at 512 to 2048 frames (measured by
// tests/host/sound/real_sound.sh); so at the hand-over the listener stands
// one and a half buffers behind the frames written, and moves on in real
// time from there until the next.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/module_player.h"
#include "platform/music.h"
#include "platform/music_stream.h"
#include "platform/sdl/sdl_platform.h"

namespace {

// 46 ms at 44100 Hz. A quarter of that let the sound server run dry several
// times a minute, more on a busy machine: each time an audible click.
constexpr int kBufferFrames = 2048;

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

struct SdlMusicState {
  SDL_AudioDeviceID device;
  int bufferFrames;
  int rate;
  // The newest hand-over: frames written so far and when (steady clock, ns).
  // The callback writes the pair under a sequence count (odd while it
  // writes) so the main thread reads both from the same hand-over.
  std::atomic<uint32_t> handOverSequence;
  std::atomic<uint64_t> framesWritten;
  std::atomic<int64_t> handOverNs;
};

SdlMusicState Music;
MusicStream Stream;  // rendered by the callback only; changed under the device lock

void PublishHandOver(uint64_t written) {
  Music.handOverSequence.fetch_add(1);
  Music.framesWritten.store(written);
  Music.handOverNs.store(NowNs());
  Music.handOverSequence.fetch_add(1);
}

void SDLCALL FillAudio(void*, Uint8* stream, int len) {
  PublishHandOver(Stream.RenderHeard(reinterpret_cast<int16_t*>(stream), static_cast<std::size_t>(len) / 4));
}

// The frame being heard at steady-clock time `nowNs`: one and a half
// buffers behind the frames written at the newest hand-over, plus the time
// since (up to one buffer, when the next hand-over is due).
uint64_t HeardFrame(int64_t nowNs) {
  uint32_t sequence;
  uint64_t written;
  int64_t handOverNs;
  do {
    sequence = Music.handOverSequence.load();
    written = Music.framesWritten.load();
    handOverNs = Music.handOverNs.load();
  } while ((sequence & 1) != 0 || sequence != Music.handOverSequence.load());
  const uint64_t buffer = static_cast<uint64_t>(Music.bufferFrames);
  const uint64_t behind = buffer + buffer / 2;
  const int64_t sinceNs = std::clamp<int64_t>(nowNs - handOverNs, 0, 1000000000);
  const uint64_t played =
      std::min<uint64_t>(buffer, static_cast<uint64_t>(sinceNs) * static_cast<uint64_t>(Music.rate) / 1000000000u);
  return written > behind ? written - behind + played : 0;
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
  Music.rate = have.freq;
  Music.framesWritten = 0;
  Music.handOverNs = NowNs();
  Stream.Reset();
  return 1;
}

uint32_t MusicLoad(const char* file) {
  if (!Music.device) return 0;
  return Stream.Load(LoadModulePlayer(file), [](bool on) {
    if (on)
      SDL_LockAudioDevice(Music.device);
    else
      SDL_UnlockAudioDevice(Music.device);
  });
}

int MusicStart() {
  if (!Music.device) return 0;
  SDL_PauseAudioDevice(Music.device, 0);
  return 1;
}

int MusicPlay(uint32_t handle) {
  if (!Music.device || handle != kMusicHandle) return 0;
  SDL_LockAudioDevice(Music.device);
  bool playing = Stream.Play();
  SDL_UnlockAudioDevice(Music.device);
  return playing ? 1 : 0;
}

uint32_t MusicGetPosition(uint32_t handle) {
  if (handle != kMusicHandle || !Stream.Playing()) return 0;
  return Stream.HeardPosition(HeardFrame(NowNs()));
}

uint32_t MusicMixedPosition() { return Stream.NewestPosition(); }

int MusicFree() {
  CloseMusicDevice();
  return 1;
}

void CloseMusicDevice() {
  if (!Music.device) return;
  // With QM7_STATS (see host/main.cpp), by the same reckoning as
  // MusicGetPosition and on the steady clock (CLOCK_MONOTONIC on Linux).
  const int64_t nowNs = NowNs();
  Stream.ReportHeardAtClose(SDL_GetCurrentAudioDriver(), Music.bufferFrames, HeardFrame(nowNs), nowNs);
  // Closing waits for the callback to finish; after it the module is ours.
  SDL_CloseAudioDevice(Music.device);
  Music.device = 0;
  Stream.Release();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// web_music.cpp — the module played through the page's Web Audio output.
//
// The audio output (an AudioWorklet, or a ScriptProcessorNode where there is
// none) asks the page for more sound as its queue runs low; the page calls
// qm7_web_render_audio, which renders in slices of at most one module tick
// and records {frames rendered so far, order, row} after each slice in a
// small ring. Everything runs on the page's main thread, so the ring needs
// no atomics. MusicGetPosition asks the page how many frames have been heard
// (those the output has played, less the latency the audio context reports)
// and picks the ring entry for that frame.
#include <emscripten.h>

#include <algorithm>
#include <vector>

#include "platform/module_player.h"
#include "platform/music.h"
#include "platform/web/web_platform.h"

namespace {

constexpr uint32_t kHandle = 1;
constexpr std::size_t kRingSize = 1024;
constexpr int kMaxRenderFrames = 16384;

struct RingEntry {
  double framesEnd;  // frames rendered up to the end of the slice
  uint32_t position;  // order | row << 16 after it
};

struct WebMusicState {
  bool ready;
  bool playing;
  ModulePlayer* player;
  double framesRendered;
  RingEntry ring[kRingSize];
  uint64_t ringCount;
  std::vector<int16_t> samples;
};

WebMusicState Music;

EM_JS(int, StartPageAudio, (int rate), {
  return typeof qm7Page !== 'undefined' && qm7Page.startAudio(rate) ? 1 : 0;
});
EM_JS(void, StopPageAudio, (), {
  if (typeof qm7Page !== 'undefined') qm7Page.stopAudio();
});
// Frames of module sound heard so far: played by the output, less latency.
EM_JS(double, PageHeardFrames, (), {
  return typeof qm7Page !== 'undefined' ? qm7Page.heardFrames() : 0;
});

void Publish(uint32_t position) {
  Music.ring[Music.ringCount % kRingSize] = {Music.framesRendered, position};
  ++Music.ringCount;
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* qm7_web_render_audio(int frames) {
  if (frames < 0) frames = 0;
  if (frames > kMaxRenderFrames) frames = kMaxRenderFrames;
  Music.samples.resize(static_cast<std::size_t>(kMaxRenderFrames) * 2);
  int16_t* out = Music.samples.data();
  std::size_t left = static_cast<std::size_t>(frames);
  if (!Music.playing || !Music.player) {
    std::fill(out, out + left * 2, int16_t{0});
    Music.framesRendered += static_cast<double>(left);
    return out;
  }
  while (left > 0) {
    std::size_t slice = ModuleTickFrames(Music.player);
    if (slice > left) slice = left;
    RenderModule(Music.player, out, slice);
    out += slice * 2;
    left -= slice;
    Music.framesRendered += static_cast<double>(slice);
    Publish(ModulePosition(Music.player));
  }
  return Music.samples.data();
}

void StopWebAudio() {
  if (Music.ready) StopPageAudio();
  Music.ready = false;
  Music.playing = false;
}

int MusicInit(int, int rate, uint32_t, WindowHandle) {
  if (Music.ready) return 1;
  Music.framesRendered = 0;
  Music.ringCount = 0;
  Music.playing = false;
  Music.samples.reserve(static_cast<std::size_t>(kMaxRenderFrames) * 2);
  if (!StartPageAudio(rate)) return 0;
  Music.ready = true;
  return 1;
}

uint32_t MusicLoad(const char* file) {
  if (!Music.ready) return 0;
  ModulePlayer* player = LoadModulePlayer(file);
  if (!player) return 0;
  FreeModulePlayer(Music.player);
  Music.playing = false;
  Music.player = player;
  return kHandle;
}

int MusicStart() { return Music.ready ? 1 : 0; }

int MusicPlay(uint32_t handle) {
  if (!Music.ready || handle != kHandle || !Music.player) return 0;
  RestartModule(Music.player);
  Publish(0);
  Music.playing = true;
  return 1;
}

uint32_t MusicGetPosition(uint32_t handle) {
  if (handle != kHandle || !Music.playing || Music.ringCount == 0) return 0;
  double heard = PageHeardFrames();
  // Newest entry at or before the frame being heard.
  uint32_t position = 0;
  uint64_t oldest = Music.ringCount > kRingSize ? Music.ringCount - kRingSize : 0;
  for (uint64_t i = Music.ringCount; i > oldest; --i) {
    const RingEntry& e = Music.ring[(i - 1) % kRingSize];
    position = e.position;
    if (e.framesEnd <= heard) break;
  }
  return position;
}

extern "C" EMSCRIPTEN_KEEPALIVE uint32_t qm7_web_music_position() { return MusicGetPosition(kHandle); }

int MusicFree() {
  StopWebAudio();
  FreeModulePlayer(Music.player);
  Music.player = nullptr;
  return 1;
}

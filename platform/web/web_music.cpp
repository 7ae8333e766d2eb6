// web_music.cpp — the module played through the page's Web Audio output.
//
// The page opens the output (an AudioWorklet, or a ScriptProcessorNode where
// there is none) when its audio context exists, whether or not the context's
// clock runs yet (it may take seconds), and says at which rate it runs: 44100 Hz where the browser
// grants it, its own default rate otherwise. The module is rendered at that
// rate. The output asks the page for more sound as its queue runs low; the
// page calls qm7_web_render_audio, which renders from the shared music
// stream (platform/music_stream.h). MusicGetPosition asks the page how many
// frames have been heard (those the output has played, less the latency the
// audio context reports) and looks that frame up. Everything runs on the
// page's main thread.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/module_player.h"
#include "platform/music.h"
#include "platform/music_stream.h"
#include "platform/web/web_platform.h"

namespace {

constexpr int kMaxRenderFrames = 16384;

struct WebMusicState {
  bool ready;
  int rate;  // the output's frames a second
  std::vector<int16_t> samples;
};

WebMusicState Music;
MusicStream Stream;

// The rate the page's audio output runs at, or 0 when it has none.
EM_JS(int, StartPageAudio, (int rate), {
  return typeof qm7Page !== 'undefined' ? qm7Page.startAudio(rate) : 0;
});
EM_JS(void, StopPageAudio, (), {
  if (typeof qm7Page !== 'undefined') qm7Page.stopAudio();
});
// Frames of module sound heard so far: played by the output, less latency.
EM_JS(double, PageHeardFrames, (), {
  return typeof qm7Page !== 'undefined' ? qm7Page.heardFrames() : 0;
});

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* qm7_web_render_audio(int frames) {
  frames = std::clamp(frames, 0, kMaxRenderFrames);
  Stream.RenderHeard(Music.samples.data(), static_cast<std::size_t>(frames));
  return Music.samples.data();
}

extern "C" EMSCRIPTEN_KEEPALIVE void qm7_web_prepare_music() {
  FreeModulePlayer(LoadModulePlayer("qm7.it"));
}

void StopWebAudio() {
  if (Music.ready) StopPageAudio();
  Music.ready = false;
  Stream.Stop();
}

int MusicInit(int, int rate, uint32_t, WindowHandle) {
  if (Music.ready) return 1;
  Stream.Reset();
  Music.samples.assign(static_cast<std::size_t>(kMaxRenderFrames) * 2, 0);
  Music.rate = StartPageAudio(rate);
  if (Music.rate <= 0) return 0;
  Music.ready = true;
  return 1;
}

uint32_t MusicLoad(const char* file) {
  if (!Music.ready) return 0;
  return Stream.Load(LoadModulePlayer(file, Music.rate));
}

int MusicStart() { return Music.ready ? 1 : 0; }

int MusicPlay(uint32_t handle) {
  if (!Music.ready || handle != kMusicHandle) return 0;
  return Stream.Play() ? 1 : 0;
}

uint32_t MusicGetPosition(uint32_t handle) {
  if (handle != kMusicHandle || !Stream.Playing()) return 0;
  double heard = std::floor(PageHeardFrames());
  return Stream.HeardPosition(heard > 0 ? static_cast<uint64_t>(heard) : 0);
}

extern "C" EMSCRIPTEN_KEEPALIVE uint32_t qm7_web_music_position() { return MusicGetPosition(kMusicHandle); }

int MusicFree() {
  StopWebAudio();
  Stream.Release();
  return 1;
}

// virtual_music.cpp — the module rendered only when the driver asks, in
// lockstep with the virtual clock; no audio device. The position is the one
// after the last rendered frame. What is rendered can be handed to a sink
// (the capture tool's WAV files).
//
// The driver may ask for the next frames early (VirtualMusicRenderAhead):
// a thread of its own then renders them with the same calls, in the same
// pieces, into a buffer that the next VirtualMusicRender takes. Only one
// thread uses the player at a time: while the music thread has it, the main
// thread answers the position from before and waits before any other use.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define QM7_MUSIC_THREAD 0
#else
#define QM7_MUSIC_THREAD 1
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif

#include "platform/module_player.h"
#include "platform/music.h"
#include "platform/music_stream.h"
#include "platform/virtual/virtual_internal.h"
#include "platform/virtual/virtual_platform.h"

namespace {

constexpr std::size_t kChunkFrames = 4096;

struct VirtualMusicState {
  bool failInit;
  bool initialised;
  bool started;
  int64_t framesRendered;
  void (*sink)(const int16_t* samples, std::size_t frames, void* user);
  void* sinkUser;
};

VirtualMusicState Music;
MusicStream Stream;
int16_t Chunk[kChunkFrames * 2];

// Hands rendered frames to the sink, if there is one, and counts them.
void Deliver(const int16_t* samples, std::size_t frames) {
  if (Music.sink) Music.sink(samples, frames, Music.sinkUser);
  Music.framesRendered += static_cast<int64_t>(frames);
}

// Renders `frames` frames in pieces of at most kChunkFrames (silence before
// MusicStart and MusicPlay, and after MusicFree): one after another into
// `out`, or, when `out` is null, each into Chunk and delivered. The pieces are part of the result: the module renders
// slightly different samples when a stretch is asked for in other pieces.
void RenderInPieces(int16_t* out, int64_t frames) {
  while (frames > 0) {
    std::size_t n = frames < static_cast<int64_t>(kChunkFrames) ? static_cast<std::size_t>(frames)
                                                                 : kChunkFrames;
    int16_t* piece = out ? out : Chunk;
    if (Music.started)
      Stream.RenderLockstep(piece, n);
    else
      std::memset(piece, 0, n * 4);
    if (out)
      out += n * 2;
    else
      Deliver(Chunk, n);
    frames -= static_cast<int64_t>(n);
  }
}

struct MusicAhead {
  int64_t frames = 0;           // rendered or being rendered, not yet taken; 0: none
  uint32_t positionBefore = 0;  // the position while they are not taken
  std::vector<int16_t> samples; // grows to the longest stretch, never shrinks
#if QM7_MUSIC_THREAD
  std::mutex lock;
  std::condition_variable wake;  // both ways: work given, work done
  bool given = false;            // under `lock`: a stretch to render, not finished
  bool started = false;          // under `lock`: the thread has begun it
  bool quit = false;
  std::thread thread;

  ~MusicAhead() {
    if (!thread.joinable()) return;
    {
      std::unique_lock<std::mutex> hold(lock);
      wake.wait(hold, [this] { return !given || !started; });
      given = false;
      quit = true;
    }
    wake.notify_all();
    thread.join();
  }
#endif
};

// After Music and Stream, so that it is destroyed (and its thread stopped) first.
MusicAhead Ahead;

#if QM7_MUSIC_THREAD
// Longest stretch rendered ahead (16 MB of samples); longer ones are left
// to VirtualMusicRender.
constexpr int64_t kMaxAheadFrames = int64_t{1} << 22;

void MusicThread() {
  std::unique_lock<std::mutex> hold(Ahead.lock);
  for (;;) {
    Ahead.wake.wait(hold, [] { return (Ahead.given && !Ahead.started) || Ahead.quit; });
    if (Ahead.quit) return;
    Ahead.started = true;
    int64_t frames = Ahead.frames;
    hold.unlock();
    RenderInPieces(Ahead.samples.data(), frames);
    hold.lock();
    Ahead.given = false;
    Ahead.wake.notify_all();
  }
}
#endif

// Makes sure the stretch given to the music thread is rendered: waits for
// the thread if it has begun, else renders it here (on a busy machine the
// thread may not have been scheduled yet, and waiting for it would cost more
// than the work).
void WaitForAhead() {
  if (!Ahead.frames) return;
#if QM7_MUSIC_THREAD
  std::unique_lock<std::mutex> hold(Ahead.lock);
  if (Ahead.given && !Ahead.started) {
    Ahead.given = false;
    hold.unlock();
    RenderInPieces(Ahead.samples.data(), Ahead.frames);
    return;
  }
  Ahead.wake.wait(hold, [] { return !Ahead.given; });
#endif
}

// Before any other use of the player: throws away a stretch given to the
// thread, waiting for the thread if it has begun (the drivers ask for nothing
// else while one is pending).
void DropAhead() {
  if (!Ahead.frames) return;
#if QM7_MUSIC_THREAD
  std::unique_lock<std::mutex> hold(Ahead.lock);
  if (Ahead.given && !Ahead.started) Ahead.given = false;
  Ahead.wake.wait(hold, [] { return !Ahead.given; });
#endif
  Ahead.frames = 0;
}

}  // namespace

void ResetVirtualMusic() {
  DropAhead();
  Stream.Release();
  Music = VirtualMusicState{};
}

int MusicInit(int, int rate, uint32_t, WindowHandle) {
  VirtualLogCall("MusicInit");
  if (Music.failInit || rate != kMusicRate) return 0;
  Music.initialised = true;
  return 1;
}

uint32_t MusicLoad(const char* file) {
  DropAhead();
  VirtualLogCall((std::string("MusicLoad ") + file).c_str());
  if (!Music.initialised) return 0;
  return Stream.Load(LoadModulePlayer(file));
}

int MusicStart() {
  DropAhead();
  VirtualLogCall("MusicStart");
  if (!Music.initialised) return 0;
  Music.started = true;
  return 1;
}

int MusicPlay(uint32_t handle) {
  DropAhead();
  VirtualLogCall("MusicPlay");
  if (handle != kMusicHandle || !Stream.Play()) return 0;
  return 1;
}

uint32_t MusicGetPosition(uint32_t handle) {
  if (handle != kMusicHandle || !Stream.Loaded()) return 0;
  if (Ahead.frames) return Ahead.positionBefore;
  return Stream.LockstepPosition();
}

int MusicFree() {
  DropAhead();
  VirtualLogCall("MusicFree");
  Stream.Release();
  Music.initialised = Music.started = false;
  return 1;
}

void VirtualMusicFailInit(bool fail) { Music.failInit = fail; }

void VirtualMusicRender(int64_t frames) {
  if (frames <= 0) return;
  if (Ahead.frames) {
    if (frames != Ahead.frames) {
      std::fprintf(stderr,
                   "qm7: the music was rendered ahead for %" PRId64 " frames, but %" PRId64
                   " were asked for\n",
                   Ahead.frames, frames);
      std::abort();
    }
    WaitForAhead();
    Deliver(Ahead.samples.data(), static_cast<std::size_t>(frames));
    Ahead.frames = 0;
    return;
  }
  RenderInPieces(nullptr, frames);
}

void VirtualMusicRenderAhead(int64_t frames) {
#if QM7_MUSIC_THREAD
  if (frames <= 0 || frames > kMaxAheadFrames || Ahead.frames) return;
  if (!Ahead.thread.joinable()) {
    try {
      Ahead.thread = std::thread(MusicThread);
    } catch (const std::system_error&) {
      return;  // no thread to be had: the plain render does the work
    }
  }
  std::size_t samples = static_cast<std::size_t>(frames) * 2;
  if (Ahead.samples.size() < samples) Ahead.samples.resize(samples);
  Ahead.positionBefore = Stream.LockstepPosition();
  {
    std::lock_guard<std::mutex> hold(Ahead.lock);
    Ahead.frames = frames;
    Ahead.given = true;
    Ahead.started = false;
  }
  Ahead.wake.notify_all();
#else
  (void)frames;
#endif
}

int64_t VirtualMusicFramesRendered() { return Music.framesRendered; }

uint32_t VirtualMusicPosition() {
  if (Ahead.frames) return Ahead.positionBefore;
  return Stream.LockstepPosition();
}

void VirtualMusicSetSink(void (*sink)(const int16_t* samples, std::size_t frames, void* user),
                         void* user) {
  Music.sink = sink;
  Music.sinkUser = user;
}

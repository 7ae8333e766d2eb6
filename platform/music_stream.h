// music_stream.h — the module as a stream of sound: the part of every music
// twin that does not depend on the output.
//
// Sound code splits the way it always has: mixing and timing are portable
// and live here once; a twin (the driver) opens its output, hands it
// buffers, keeps the rendering on one thread at a time, and says how far the
// listener has heard.
//
//   MusicStream Stream;                          // zeroed: nothing loaded or playing
//   Stream.Reset();                              // MusicInit
//   return Stream.Load(LoadModulePlayer(file), Hold);  // MusicLoad
//   Stream.Play();                               // MusicPlay, rendering held off
//   Stream.RenderHeard(out, frames);             // the output asks for more
//   Stream.HeardPosition(heardFrame);            // MusicGetPosition
//   Stream.Release();                            // MusicFree, rendering stopped
//
// The twins that play aloud (an audio device, the waveOut device, the page's
// Web Audio output) render through RenderHeard: silence until MusicPlay, then
// the module in slices of at most one tick, each slice's end published in a
// PositionRing, so the position for the frame now being heard can be looked
// up. The virtual twin renders in lockstep with its clock through
// RenderLockstep and reads the position after the last rendered frame; its
// captures are compared sample for sample, and the module renders slightly
// different samples when the same stretch is asked for in other pieces.
//
// Rendering and MusicGetPosition may run on different threads: the play
// flag, the frame count and the ring are atomics. Load, Play and Release
// change the module and must not overlap a render; each twin sees to that
// (a device lock, a mutex, one thread).
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/position_ring.h"

struct ModulePlayer;

// The handle every twin's MusicLoad hands out and MusicPlay and
// MusicGetPosition accept: there is one module at a time.
constexpr uint32_t kMusicHandle = 1;

class MusicStream {
 public:
  // MusicInit, before the output starts asking: no frames rendered, no
  // positions, nothing playing (a loaded module stays).
  void Reset();
  // MusicLoad: a freshly loaded `player` takes the old one's place, with
  // rendering held off by `hold(true)` .. `hold(false)` (the twin's device
  // lock or mutex; none where nothing renders meanwhile); the old one is
  // freed afterwards and playing stops. kMusicHandle, or 0 when `player` is
  // null (the file did not load), which leaves the loaded module as it was.
  uint32_t Load(ModulePlayer* player, void (*hold)(bool on) = nullptr);
  // MusicPlay: the module from order 0, row 0, starting with the next
  // rendered frame; false without a module.
  bool Play();
  // Web twin's MusicFree and EndPlatform: silence from now on; the module
  // stays loaded.
  void Stop() { playing_.store(false, std::memory_order_release); }
  // MusicFree, once nothing renders any more: frees the module, stops.
  void Release();

  // The output of a twin that plays aloud, whenever it wants more (sdl/
  // audio callback, win32/ feeder thread, web/ page): fills `out` with
  // `frames` interleaved stereo frames, silence unless playing. Returns the
  // frames rendered since Reset, these included.
  uint64_t RenderHeard(int16_t* out, std::size_t frames);
  // The virtual twin, for each piece its driver asks for: `frames` frames of
  // the module into `out` in one go, or silence unless playing. Counts
  // nothing and publishes nothing.
  void RenderLockstep(int16_t* out, std::size_t frames);

  // MusicLoad and MusicGetPosition of the virtual twin: a module is loaded.
  bool Loaded() const { return player_ != nullptr; }
  // MusicGetPosition and the output's own checks: true from Play until
  // Load, Stop or Release.
  bool Playing() const { return playing_.load(std::memory_order_acquire); }
  // The heard-position reckoning and the QM7_STATS report: frames
  // RenderHeard has rendered since Reset.
  uint64_t FramesRendered() const { return frames_.load(std::memory_order_acquire); }
  // MusicGetPosition of a twin that plays aloud: order | row << 16 after the
  // newest slice that had ended by frame `heardFrame` (counted as
  // FramesRendered counts; the start before the first); 0 unless playing.
  uint32_t HeardPosition(uint64_t heardFrame) const;
  // Tests of the sdl/ twin (MusicMixedPosition): the position after the
  // newest rendered slice; 0 unless playing.
  uint32_t NewestPosition() const;
  // Virtual MusicGetPosition: order | row << 16 after the last frame
  // RenderLockstep rendered (0 without a module). Only while nothing renders.
  uint32_t LockstepPosition() const;

  // CloseMusicDevice of a twin that plays aloud, just before its output
  // closes: with QM7_STATS set and the module playing, one line on standard
  // error saying how far the music had been heard (`heardFrame`, by the
  // twin's MusicGetPosition reckoning) at `nowNs` on the twin's monotonic
  // clock, so a test recording the sound can tell how far that is from
  // what was really heard. `driver` and `bufferFrames` name the output.
  void ReportHeardAtClose(const char* driver, int bufferFrames, uint64_t heardFrame, int64_t nowNs) const;

 private:
  ModulePlayer* player_ = nullptr;
  std::atomic<bool> playing_{false};
  std::atomic<uint64_t> frames_{0};  // rendered by RenderHeard since Reset
  uint64_t playStartFrames_ = 0;      // frames_ when Play started the module
  PositionRing positions_;            // RenderHeard's slices, from Play on
};

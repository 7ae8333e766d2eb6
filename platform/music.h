// music.h — the module player the timeline follows.
//
// The host calls, in this order (host/startup.cpp): MusicInit once,
// MusicLoad("qm7.it"), MusicStart, MusicPlay; once per active frame the
// main loop reads the position with MusicGetPosition and hands it to the
// timeline (host/message_loop.cpp); MusicFree releases everything at the
// end (or after a failed start). The module repeats forever: after its last
// row it starts again from order 0.
//
// Implemented by each platform twin (sdl/, win32/, web/, virtual/), one
// chosen at link time; the build says which files. What does not depend on
// the output is shared: every twin renders 16-bit stereo from the music
// stream (platform/music_stream.h) over the module player
// (platform/module_player.h). A twin keeps its output and its reckoning of
// the frame being heard:
//   sdl/      an SDL2 audio device; its callback renders, and the heard
//             frame is reckoned from the newest buffer handed over and the
//             time since.
//   win32/    Windows' shared-mode stream (WASAPI), or the waveOut device
//             where that cannot be opened, fed by a thread of its own; the
//             heard frame is the stream's clock (the device's played-sample
//             count for waveOut).
//   web/      the page's Web Audio output, which asks the page for more; the
//             heard frame is what the page says has played, less the output's
//             latency. It may run at its own rate where the browser refuses
//             44100 Hz.
//   virtual/  no device: renders in lockstep with the virtual clock when the
//             driver says so; its position is the one after the last
//             rendered frame.
// The first three report the position being heard, looked up to the module
// tick.
#pragma once
#include <cstdint>

#include "platform/window_handle.h"

// The rate the host opens the output at (MusicInit), and the module
// player's unless an output has another.
constexpr int kMusicRate = 44100;

// Host start-up: opens the output at `rate` Hz. Nonzero when ready, 0 on
// failure (on virtual/ also for any rate but kMusicRate). The host passes
// `device` -1 (default), `flags` 0 and its window; no twin uses those three.
int MusicInit(int device, int rate, uint32_t flags, WindowHandle window);
// Host start-up: loads the module file; nonzero handle, 0 on failure.
uint32_t MusicLoad(const char* file);
// Host start-up: starts the output. 1 on success, 0 before MusicInit.
int MusicStart();
// Host start-up: plays the module from order 0, row 0. 1 on success.
int MusicPlay(uint32_t handle);
// Timeline, every active frame (and the host once at the end, for its
// report): order | row << 16 of what is playing now.
uint32_t MusicGetPosition(uint32_t handle);
// Host shutdown or failed start: stops and releases the output and the
// module. Returns 1.
int MusicFree();

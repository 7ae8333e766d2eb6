// music.h — the module player the timeline follows.
//
// The host calls, in this order (host/startup.cpp): MusicInit once,
// MusicLoad("qm7.it"), MusicStart, MusicPlay; once per active frame the
// timeline reads the position through ReadMusicPosition
// (host/message_loop.cpp), which calls MusicGetPosition; MusicFree releases
// everything at the end (or after a failed start). The module repeats
// forever: after its last row it starts again from order 0.
//
// Implemented by each platform twin (sdl/, win32/, web/, virtual/), one
// chosen at link time; platform/CMakeLists.txt lists which files. All render
// 16-bit stereo through the shared module player (platform/module_player.h).
// The three that play aloud (an SDL2 audio device, the waveOut device, the
// page's Web Audio output) report the position being heard, looked up in a
// PositionRing (platform/position_ring.h); the page's output may run at its own rate where
// the browser refuses 44100 Hz. The virtual twin has no device: it renders
// in lockstep with the virtual clock, and its position is the one after the
// last rendered frame.
#pragma once
#include <cstdint>

#include "platform/window_handle.h"

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

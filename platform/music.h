// music.h — the module player the timeline follows.
//
// The host calls, in this order: MusicInit once, MusicLoad("qm7.it"),
// MusicStart, MusicPlay; the timeline reads MusicGetPosition once per active
// frame; MusicFree releases everything at the end (or after a failed start).
// The module repeats forever: after its last row it starts again from order 0.
//
// Real: libopenmpt playing through an SDL2 audio device at 44100 Hz, 16-bit
// stereo (platform/sdl/sdl_music.cpp); the position is the one being heard.
// Virtual: libopenmpt rendered in lockstep with the virtual clock, no device
// (platform/virtual/virtual_music.cpp); the position is after the last
// rendered frame.
#pragma once
#include <cstdint>

#include "platform/window_handle.h"

constexpr int kMusicRate = 44100;

// Host start-up: opens the output (`device` −1 = default) at `rate` Hz.
// Nonzero when ready, 0 on failure.
int MusicInit(int device, int rate, uint32_t flags, WindowHandle window);
// Host start-up: loads the module file; nonzero handle, 0 on failure.
uint32_t MusicLoad(const char* file);
// Host start-up: starts the output. 1 on success.
int MusicStart();
// Host start-up: plays the module from order 0, row 0. 1 on success.
int MusicPlay(uint32_t handle);
// Timeline, every active frame: order | row << 16 of what is playing now.
uint32_t MusicGetPosition(uint32_t handle);
// Host shutdown or failed start: stops and releases the output and the module.
int MusicFree();

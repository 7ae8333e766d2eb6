// module_player.h — the module renderer every music twin shares, through
// the music stream (platform/music_stream.h).
//
// Wraps one libopenmpt module: load from a file, render 16-bit stereo at the
// output's rate (44100 Hz unless the output has another: the page's may),
// report order and row. The module repeats forever: after its last row it
// goes on from the start (order 0, row 0). Not thread-safe: the caller keeps
// every call on one thread at a time (the sdl/ twin locks its device, win32/
// holds a mutex, virtual/ waits for its rendering thread, web/ runs
// everything on the page's main thread).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/music.h"

struct ModulePlayer;
class PositionRing;

// MusicLoad (and the web/ page before Play, to warm the loader up): reads
// and parses the file; nullptr when it is missing or not a module (the
// reason goes to standard error). It renders at `rate` frames a second.
ModulePlayer* LoadModulePlayer(const char* path, int rate = kMusicRate);
// MusicLoad (the module it replaces), MusicFree and MusicStream::Release:
// releases the player; nothing for nullptr.
void FreeModulePlayer(ModulePlayer* player);

// MusicStream::Play: back to order 0, row 0.
void RestartModule(ModulePlayer* player);
// MusicStream::RenderLockstep (the virtual twin, whenever its driver
// advances): renders exactly `frames` interleaved stereo frames into `out`.
void RenderModule(ModulePlayer* player, int16_t* out, std::size_t frames);
// MusicStream::RenderHeard (the rendering thread of a twin that plays
// aloud): renders `frames` frames in slices of at most one module tick and,
// after each slice, publishes the frame count (counted on from
// `framesBefore`) and the position into `positions`, so the heard position
// can be looked up to the tick. Returns the count after them.
uint64_t RenderModuleTicks(ModulePlayer* player, int16_t* out, std::size_t frames,
                           uint64_t framesBefore, PositionRing* positions);
// RenderModuleTicks, for each slice (and tests): frames one module tick
// lasts at the current tempo (at least 1).
std::size_t ModuleTickFrames(const ModulePlayer* player);
// MusicStream::LockstepPosition and RenderModuleTicks: order | row << 16
// after the last rendered frame. (The twins that play aloud look the heard
// position up in the stream's ring.)
uint32_t ModulePosition(const ModulePlayer* player);

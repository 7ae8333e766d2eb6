// module_player.h — the module renderer both music backends share.
//
// Wraps one libopenmpt module: load from a file, render 16-bit stereo at the
// output's rate (44100 Hz unless the output has another), report order and row. The module repeats forever: after its last
// row it goes on from the start (order 0, row 0). Not thread-safe: the caller keeps
// every call on one thread at a time (the real backend locks its device).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/music.h"

struct ModulePlayer;
class PositionRing;

// Reads and parses the file; nullptr when it is missing or not a module
// (the reason goes to standard error). It renders at `rate` frames a second.
ModulePlayer* LoadModulePlayer(const char* path, int rate = kMusicRate);
void FreeModulePlayer(ModulePlayer* player);

// Back to order 0, row 0.
void RestartModule(ModulePlayer* player);
// Renders exactly `frames` interleaved stereo frames into `out`.
void RenderModule(ModulePlayer* player, int16_t* out, std::size_t frames);
// Audio thread of a real player: renders `frames` frames in slices of at
// most one module tick and, after each slice, publishes the frame count
// (counted on from `framesBefore`) and the position into `positions`, so the
// heard position can be looked up to the tick. Returns the count after them.
uint64_t RenderModuleTicks(ModulePlayer* player, int16_t* out, std::size_t frames,
                           uint64_t framesBefore, PositionRing* positions);
// Frames one module tick lasts at the current tempo (at least 1).
std::size_t ModuleTickFrames(const ModulePlayer* player);
// order | row << 16 of the last rendered frame.
uint32_t ModulePosition(const ModulePlayer* player);

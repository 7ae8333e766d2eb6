// position_ring.h — where the module stood at each rendered frame, so the
// position being heard can be looked up once the output's delay is known.
//
//   PositionRing ring;                       // zeroed state is empty
//   ring.Reset();                            // MusicInit, before rendering starts
//   ring.Publish(framesSoFar, position);     // rendering thread, after each slice
//   uint32_t now = ring.At(heardFrame);      // MusicGetPosition, once per frame
//
// The music stream (platform/music_stream.h) keeps one for the twins that
// play aloud (sdl/, win32/, web/); the virtual twin renders in lockstep and
// reads the position straight from the module.
//
// One writer and one reader, no locks: each entry is a single atomic word
// ({frames, order, row} packed 44/10/10 bits) and the count is published
// with release order. The reader scans back from the newest entry and stays
// well clear of the slots the writer may be rewriting meanwhile.
#pragma once
#include <atomic>
#include <cstdint>

class PositionRing {
 public:
  // MusicStream::Reset (MusicInit), before the rendering thread starts:
  // forgets every entry.
  void Reset() { count_.store(0, std::memory_order_relaxed); }

  // Rendering thread (RenderModuleTicks), after each slice, and
  // MusicStream::Play (position 0 at the restart): `frames` rendered so far,
  // then `position` (order | row << 16). Only one thread at a time may
  // publish.
  void Publish(uint64_t frames, uint32_t position) {
    uint64_t n = count_.load(std::memory_order_relaxed);
    ring_[n % kSize].store(Pack(frames, position), std::memory_order_relaxed);
    count_.store(n + 1, std::memory_order_release);
  }

  // MusicStream::HeardPosition (MusicGetPosition, on the main thread): the
  // position of the newest entry at or before `heardFrame` (the oldest entry
  // still kept when all are later; 0 when empty).
  uint32_t At(uint64_t heardFrame) const {
    uint64_t count = count_.load(std::memory_order_acquire);
    uint32_t position = 0;
    uint64_t oldest = count > kSize - kGuard ? count - (kSize - kGuard) : 0;
    for (uint64_t i = count; i > oldest; --i) {
      uint64_t e = ring_[(i - 1) % kSize].load(std::memory_order_relaxed);
      position = Position(e);
      if (Frames(e) <= heardFrame) break;
    }
    return position;
  }

  // MusicStream::NewestPosition (the sdl/ twin's MusicMixedPosition, for
  // tests): the position after the newest slice (0 when empty).
  uint32_t Newest() const {
    uint64_t count = count_.load(std::memory_order_acquire);
    return count == 0 ? 0 : Position(ring_[(count - 1) % kSize].load(std::memory_order_relaxed));
  }

 private:
  static constexpr uint64_t kSize = 512;
  static constexpr uint64_t kGuard = 8;  // slots the reader leaves to the writer
  static constexpr uint64_t Pack(uint64_t frames, uint32_t position) {
    return frames << 20 | (position & 0x3FF) << 10 | ((position >> 16) & 0x3FF);
  }
  static constexpr uint64_t Frames(uint64_t e) { return e >> 20; }
  static constexpr uint32_t Position(uint64_t e) {
    return static_cast<uint32_t>((e >> 10) & 0x3FF) | static_cast<uint32_t>(e & 0x3FF) << 16;
  }

  std::atomic<uint64_t> ring_[kSize] = {};
  std::atomic<uint64_t> count_{0};
};

// music_stream.cpp — see music_stream.h.
#include "platform/music_stream.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/module_player.h"

void MusicStream::Reset() {
  playing_.store(false, std::memory_order_relaxed);
  frames_.store(0, std::memory_order_relaxed);
  positions_.Reset();
}

uint32_t MusicStream::Load(ModulePlayer* player, void (*hold)(bool on)) {
  if (!player) return 0;
  if (hold) hold(true);
  ModulePlayer* old = player_;
  playing_.store(false, std::memory_order_release);
  player_ = player;
  if (hold) hold(false);
  FreeModulePlayer(old);
  return kMusicHandle;
}

bool MusicStream::Play() {
  if (!player_) return false;
  RestartModule(player_);
  playStartFrames_ = frames_.load(std::memory_order_relaxed);
  positions_.Publish(playStartFrames_, 0);
  playing_.store(true, std::memory_order_release);
  return true;
}

void MusicStream::Release() {
  playing_.store(false, std::memory_order_release);
  FreeModulePlayer(player_);
  player_ = nullptr;
}

uint64_t MusicStream::RenderHeard(int16_t* out, std::size_t frames) {
  uint64_t done = frames_.load(std::memory_order_relaxed);
  if (Playing() && player_) {
    done = RenderModuleTicks(player_, out, frames, done, &positions_);
  } else {
    std::memset(out, 0, frames * 2 * sizeof(int16_t));
    done += frames;
  }
  frames_.store(done, std::memory_order_release);
  return done;
}

void MusicStream::RenderLockstep(int16_t* out, std::size_t frames) {
  if (Playing() && player_)
    RenderModule(player_, out, frames);
  else
    std::memset(out, 0, frames * 2 * sizeof(int16_t));
}

uint32_t MusicStream::HeardPosition(uint64_t heardFrame) const {
  return Playing() ? positions_.At(heardFrame) : 0;
}

uint32_t MusicStream::NewestPosition() const { return Playing() ? positions_.Newest() : 0; }

uint32_t MusicStream::LockstepPosition() const { return player_ ? ModulePosition(player_) : 0; }

void MusicStream::ReportHeardAtClose(const char* driver, int bufferFrames, uint64_t heardFrame,
                                     int64_t nowNs) const {
  if (!std::getenv("QM7_STATS") || !Playing()) return;
  const uint64_t written = FramesRendered();
  std::fprintf(stderr,
               "qm7: audio driver %s, device buffer %d frames; music heard to frame %llu "
               "(%llu written) at %lld ns when the device closed\n",
               driver, bufferFrames,
               static_cast<unsigned long long>(heardFrame > playStartFrames_ ? heardFrame - playStartFrames_ : 0),
               static_cast<unsigned long long>(written - playStartFrames_), static_cast<long long>(nowNs));
}

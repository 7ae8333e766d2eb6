// pass_schedule.cpp — virtual time, focus changes and Escape for the host's
// main loop, driven from the virtual platform's pass hook.
#include "tools/capture/pass_schedule.h"

#include <algorithm>
#include <cmath>

#include "host/host.h"
#include "platform/music.h"
#include "platform/window.h"
#include "tools/capture/stop_request.h"

namespace {

constexpr int64_t kFrameUnits = 1000;

int64_t SecondsToUnits(double seconds, int64_t unitsPerSecond) {
  return std::llround(seconds * static_cast<double>(unitsPerSecond));
}

// splitmix64: small, fast and the same on every machine.
uint64_t NextRandom(uint64_t* state) {
  uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int64_t NextInterval(PassSchedule* s) {
  if (!s->jitter) return kFrameUnits;
  return kFrameUnits / 2 + static_cast<int64_t>(NextRandom(&s->jitterState) % (2 * kFrameUnits + 1));
}

// Moves virtual time on: the counter and the music follow the unit count.
void Advance(PassSchedule* s, int64_t units) {
  s->now += units;
  int64_t counts = RoundedRatio(s->now, kVirtualClockFrequency, s->unitsPerSecond);
  VirtualClockAdvance(counts - VirtualClockNow());
  int64_t frames = RoundedRatio(s->now, kMusicRate, s->unitsPerSecond);
  VirtualMusicRender(frames - VirtualMusicFramesRendered());
}

// PeekMessage from inside the hook (which it would call again) only looks:
// it tells whether this pass of the main loop is going to dispatch a message.
bool MessageWaiting(PassSchedule* s) {
  s->inHook = true;
  WindowMessage message;
  bool waiting = PeekMessage(&message) != 0;
  s->inHook = false;
  return waiting;
}

void SendEscape(PassSchedule* s) {
  VirtualPostMessage(WM_KEYDOWN, VK_ESCAPE);
  s->escapeSent = true;
}

// Starts the music of the next pass on the music thread. Called when this
// pass advanced and is about to run a frame; the frame observer counts that
// frame before the next pass, whose hook then advances by the next interval
// unless Escape or a pause comes first. Messages the frame itself sends only
// end the run, which drops what was rendered ahead.
void RenderNextAhead(PassSchedule* s) {
  if (s->escapeSent) return;
  if (s->escapeAt >= 0 && s->now >= s->escapeAt) return;
  if (s->frameLimit >= 0 && s->activePasses + 1 >= s->frameLimit) return;
  if (s->now >= s->timeLimit) return;
  if (s->pauseEnd < 0 && s->nextPause < s->pauses.size() && s->now >= s->pauses[s->nextPause].at)
    return;
  uint64_t jitterState = s->jitterState;
  int64_t next = NextInterval(s);
  s->jitterState = jitterState;
  int64_t frames = RoundedRatio(s->now + next, kMusicRate, s->unitsPerSecond);
  VirtualMusicRenderAhead(frames - VirtualMusicFramesRendered());
}

bool EscapeDue(PassSchedule* s) {
  if (s->escapeSent) return false;
  if (StopRequested()) return true;  // a failed file or a signal ends the run early
  if (s->escapeAt >= 0 && s->now >= s->escapeAt) return true;
  if (s->frameLimit >= 0 && s->activePasses >= s->frameLimit) return true;
  if (s->now >= s->timeLimit) {
    s->stoppedByTimeLimit = true;
    return true;
  }
  return false;
}

void PeekHook(PassSchedule* s) {
  if (EscapeDue(s)) {
    SendEscape(s);
    return;
  }
  if (AppActive && s->pauseEnd < 0 && s->nextPause < s->pauses.size() &&
      s->now >= s->pauses[s->nextPause].at) {
    s->pauseEnd = s->now + s->pauses[s->nextPause].duration;
    ++s->nextPause;
    VirtualPostMessage(WM_ACTIVATEAPP, 0);
    return;
  }
  if (MessageWaiting(s)) return;
  if (!AppActive) return;
  Advance(s, NextInterval(s));
  if (s->renderAhead) RenderNextAhead(s);
}

// Inside WaitMessage: the music plays on until the pause is over.
void WaitHook(PassSchedule* s) {
  if (EscapeDue(s)) {
    SendEscape(s);
    return;
  }
  if (s->pauseEnd > s->now) {
    Advance(s, std::min(kFrameUnits, s->pauseEnd - s->now));
    return;
  }
  s->pauseEnd = -1;
  VirtualPostMessage(WM_ACTIVATEAPP, 1);
}

}  // namespace

int64_t RoundedRatio(int64_t value, int64_t num, int64_t den) {
  __int128 product = static_cast<__int128>(value) * num;
  int64_t whole = static_cast<int64_t>(product / den);
  int64_t rest = static_cast<int64_t>(product % den);
  if (rest * 2 > den || (rest * 2 == den && (whole & 1))) ++whole;
  return whole;
}

void StartSchedule(PassSchedule* s, const CaptureOptions& o) {
  *s = PassSchedule{};
  s->fps = o.fps;
  s->unitsPerSecond = kFrameUnits * o.fps;
  s->jitter = o.jitter;
  s->jitterState = o.jitterSeed;
  s->renderAhead = o.threads > 1;
  int64_t pausedTotal = 0;
  for (const PauseSpec& p : o.pauses) {
    s->pauses.push_back({SecondsToUnits(p.at, s->unitsPerSecond),
                         SecondsToUnits(p.duration, s->unitsPerSecond)});
    pausedTotal += s->pauses.back().duration;
  }
  s->escapeAt = o.escapeAt >= 0 ? SecondsToUnits(o.escapeAt, s->unitsPerSecond) : -1;
  s->frameLimit = o.frames;
  // A bound the user gave (Escape or a frame count) replaces the safety limit.
  bool bounded = s->escapeAt >= 0 || s->frameLimit >= 0;
  s->timeLimit = bounded ? INT64_MAX : kMaxRunSeconds * s->unitsPerSecond + pausedTotal;
  s->pauseEnd = -1;
}

void SchedulePassHook(VirtualPass kind, void* user) {
  auto* s = static_cast<PassSchedule*>(user);
  if (s->inHook) return;
  if (s->hookEntered) s->hookEntered(s->timingUser);
  if (kind == VirtualPass::kPeek)
    PeekHook(s);
  else
    WaitHook(s);
  if (s->hookLeft) s->hookLeft(s->timingUser);
}

double ScheduleSeconds(const PassSchedule& s, int64_t units) {
  return static_cast<double>(units) / static_cast<double>(s.unitsPerSecond);
}

// win32_music.cpp — the module played through the waveOut device.
//
// A thread of its own keeps kBuffers wave buffers queued: whenever the
// device hands one back (the event of CALLBACK_EVENT) it renders the next
// block from the shared music stream (platform/music_stream.h), which
// publishes where each slice of the module ends. The main thread never
// touches the module while the thread may render (MusicLoad and MusicPlay
// take the same lock); MusicGetPosition reads the device's played sample
// count (waveOutGetPosition, TIME_SAMPLES) and looks up the position for
// the frame being heard. Where the device does not count samples, the
// heard frame is the end of the last buffer the device handed back: the
// feeder counts those in an atomic, the only thing the main thread reads
// (the headers' dwFlags belong to the feeder and the driver).
#include <windows.h>
// mmsystem.h needs windows.h before it.
#include <mmsystem.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/module_player.h"
#include "platform/music.h"
#include "platform/music_stream.h"
#include "platform/win32/win32_platform.h"

namespace {

constexpr int kBuffers = 6;
constexpr int kBufferFrames = 1024;  // 23 ms at 44100 Hz; 139 ms queued in all

struct WaveMusicState {
  HWAVEOUT device;
  HANDLE bufferDone;  // signalled by the device for every finished buffer
  WAVEHDR headers[kBuffers];
  int16_t samples[kBuffers][kBufferFrames * 2];
  std::thread feeder;
  std::atomic<bool> stop;
  std::mutex lock;  // held while rendering and while the module changes
  std::atomic<uint64_t> buffersReturned;  // finished by the device, counted by the feeder
};

WaveMusicState Music;
MusicStream Stream;  // rendered by the feeder; changed under Music.lock

void Render(int16_t* out, std::size_t frames) {
  std::lock_guard<std::mutex> hold(Music.lock);
  Stream.RenderHeard(out, frames);
}

// Renders into every buffer the device has finished with (or never had) and
// queues it again.
void Refill() {
  for (WAVEHDR& header : Music.headers) {
    bool done = header.dwFlags & WHDR_DONE;
    bool idle = !(header.dwFlags & WHDR_INQUEUE) || done;
    if (!idle || Music.stop.load(std::memory_order_relaxed)) continue;
    if (done) Music.buffersReturned.fetch_add(1, std::memory_order_release);
    header.dwFlags &= ~WHDR_DONE;
    Render(reinterpret_cast<int16_t*>(header.lpData), kBufferFrames);
    waveOutWrite(Music.device, &header, sizeof header);
  }
}

void Feed() {
  while (!Music.stop.load(std::memory_order_acquire)) {
    Refill();
    WaitForSingleObject(Music.bufferDone, 100);
  }
}

// The frame being heard: the device's played-sample count, or the end of
// the last buffer it handed back where it does not count samples.
uint64_t HeardFrames() {
  uint64_t rendered = Stream.FramesRendered();
  uint64_t heard;
  MMTIME time = {};
  time.wType = TIME_SAMPLES;
  if (waveOutGetPosition(Music.device, &time, sizeof time) == MMSYSERR_NOERROR &&
      time.wType == TIME_SAMPLES) {
    heard = time.u.sample;
  } else {
    heard = Music.buffersReturned.load(std::memory_order_acquire) * kBufferFrames;
  }
  return heard > rendered ? rendered : heard;
}

}  // namespace

int MusicInit(int, int rate, uint32_t, WindowHandle) {
  if (Music.device) return 1;
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  Music.bufferDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!Music.bufferDone) return 0;
  MMRESULT result = waveOutOpen(&Music.device, WAVE_MAPPER, &format,
                                reinterpret_cast<DWORD_PTR>(Music.bufferDone), 0, CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    std::fprintf(stderr, "audio: waveOutOpen failed (%u)\n", static_cast<unsigned>(result));
    Music.device = nullptr;
    CloseHandle(Music.bufferDone);
    Music.bufferDone = nullptr;
    return 0;
  }
  for (int i = 0; i < kBuffers; ++i) {
    WAVEHDR& header = Music.headers[i];
    header = {};
    header.lpData = reinterpret_cast<LPSTR>(Music.samples[i]);
    header.dwBufferLength = sizeof Music.samples[i];
    waveOutPrepareHeader(Music.device, &header, sizeof header);
  }
  Music.buffersReturned = 0;
  Stream.Reset();
  Music.stop = false;
  return 1;
}

uint32_t MusicLoad(const char* file) {
  if (!Music.device) return 0;
  return Stream.Load(LoadModulePlayer(file), [](bool on) {
    if (on)
      Music.lock.lock();
    else
      Music.lock.unlock();
  });
}

int MusicStart() {
  if (!Music.device) return 0;
  if (!Music.feeder.joinable()) Music.feeder = std::thread(Feed);
  return 1;
}

int MusicPlay(uint32_t handle) {
  if (!Music.device || handle != kMusicHandle) return 0;
  std::lock_guard<std::mutex> hold(Music.lock);
  return Stream.Play() ? 1 : 0;
}

uint32_t MusicGetPosition(uint32_t handle) {
  if (handle != kMusicHandle || !Music.device || !Stream.Playing()) return 0;
  return Stream.HeardPosition(HeardFrames());
}

int MusicFree() {
  CloseMusicDevice();
  return 1;
}

void CloseMusicDevice() {
  if (!Music.device) return;
  // With QM7_STATS (see host/main.cpp), by MusicGetPosition's reckoning and
  // on the performance counter in ns (under Wine the host's
  // CLOCK_MONOTONIC_RAW); the same line as the SDL build's.
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  long long ns = static_cast<long long>(static_cast<double>(count.QuadPart) * 1e9 /
                                        static_cast<double>(frequency.QuadPart));
  Stream.ReportHeardAtClose("waveOut", kBuffers * kBufferFrames, HeardFrames(), ns);
  Music.stop = true;
  SetEvent(Music.bufferDone);
  if (Music.feeder.joinable()) Music.feeder.join();
  waveOutReset(Music.device);  // hands every queued buffer back
  for (WAVEHDR& header : Music.headers) waveOutUnprepareHeader(Music.device, &header, sizeof header);
  waveOutClose(Music.device);
  Music.device = nullptr;
  CloseHandle(Music.bufferDone);
  Music.bufferDone = nullptr;
  Stream.Release();
}

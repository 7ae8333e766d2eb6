// win32_music.cpp — the module played through Windows' shared-mode audio
// (WASAPI), or through the waveOut device where that cannot be opened.
//
// A thread of its own keeps the output fed: WASAPI's event (or the waveOut
// device handing a buffer back) wakes it, and it renders the next frames
// from the shared music stream (platform/music_stream.h), which publishes
// where each slice of the module ends. The main thread never touches the
// module while the thread may render (MusicLoad and MusicPlay take the same
// lock). MusicGetPosition asks the output which frame is being heard and
// looks up the position for it:
//   WASAPI   the stream's clock (IAudioClock::GetPosition), which counts
//            the frames the device has played. Under Wine the clock starts
//            only once the sound server has played a whole device period
//            (IAudioClient::GetDevicePeriod), one to two periods after it
//            starts, and then moves a period at a time, after each has
//            played (half a period behind on average): there the frame being
//            heard is about two periods past the clock, and they are added.
//            The stream latency (GetStreamLatency) is how far ahead the feeder
//            must stay, not a lag of the clock, and is only reported.
//   waveOut  the device's played-sample count (waveOutGetPosition,
//            TIME_SAMPLES); where the device does not count samples, the
//            end of the last buffer it handed back, counted by the feeder in
//            an atomic (the headers' dwFlags belong to the feeder and the
//            driver).
// QM7_AUDIO=waveout skips WASAPI.
#include <windows.h>
// mmsystem.h, mmdeviceapi.h and audioclient.h need windows.h before them.
#include <audioclient.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/module_player.h"
#include "platform/music.h"
#include "platform/music_stream.h"
#include "platform/win32/win32_platform.h"

namespace {

constexpr int kBuffers = 6;
constexpr int kBufferFrames = 1024;  // 23 ms at 44100 Hz; 139 ms queued in all
// WASAPI's buffer: what the feeder keeps queued ahead of the device.
constexpr REFERENCE_TIME kWasapiBuffer = 1000000;  // 100 ms, in 100 ns units

enum class Driver { kNone, kWasapi, kWaveOut };

struct WasapiState {
  IMMDeviceEnumerator* enumerator;
  IMMDevice* endpoint;
  IAudioClient* client;
  IAudioRenderClient* render;
  IAudioClock* clock;
  UINT32 bufferFrames;
  UINT64 clockFrequency;  // clock units a second
  uint64_t leadFrames;     // added to the clock: two device periods under Wine, else 0
  int rate;
  bool comStarted;         // CoInitializeEx succeeded on the main thread
};

struct WaveMusicState {
  Driver driver;
  void* device;       // the open output: the HWAVEOUT, or WASAPI's IAudioClient
  HANDLE bufferDone;  // signalled by the output whenever it wants more
  WAVEHDR headers[kBuffers];
  int16_t samples[kBuffers][kBufferFrames * 2];
  WasapiState wasapi;
  std::thread feeder;
  std::atomic<bool> stop;
  std::mutex lock;  // held while rendering and while the module changes
  std::atomic<uint64_t> buffersReturned;  // finished by the device, counted by the feeder
};

WaveMusicState Music;
MusicStream Stream;  // rendered by the feeder; changed under Music.lock

HWAVEOUT WaveOut() { return static_cast<HWAVEOUT>(Music.device); }

void Render(int16_t* out, std::size_t frames) {
  std::lock_guard<std::mutex> hold(Music.lock);
  Stream.RenderHeard(out, frames);
}

// 16-bit stereo PCM at `rate`, the stream's format on either output.
WAVEFORMATEX StereoFormat(int rate) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  return format;
}

// ---- WASAPI -------------------------------------------------------------------

template <typename T>
void Drop(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

void CloseWasapi() {
  WasapiState& w = Music.wasapi;
  Drop(w.clock);
  Drop(w.render);
  Drop(w.client);
  Drop(w.endpoint);
  Drop(w.enumerator);
  if (w.comStarted) CoUninitialize();
  w = WasapiState{};
}

// Wine's ntdll exports its version; Windows' does not.
bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A shared-mode stream on the default output at `rate`, 16-bit stereo,
// woken by `bufferDone`. False (nothing left open) when any step fails.
bool OpenWasapi(int rate) {
  WasapiState& w = Music.wasapi;
  w = WasapiState{};
  w.rate = rate;
  // The main thread joins the multithreaded apartment, as the feeder does:
  // the clock is read from here, the buffer written from there.
  HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  w.comStarted = SUCCEEDED(hr);
  hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                        __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&w.enumerator));
  if (SUCCEEDED(hr)) hr = w.enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &w.endpoint);
  WAVEFORMATEX format = StereoFormat(rate);
  // The system converts the rate and format to its mix format where they
  // differ; an older system without that conversion takes the format as it
  // is or refuses (then waveOut plays).
  const DWORD flagSets[] = {AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM |
                                AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
                            AUDCLNT_STREAMFLAGS_EVENTCALLBACK};
  for (DWORD flags : flagSets) {
    if (FAILED(hr)) break;
    Drop(w.client);
    hr = w.endpoint->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                              reinterpret_cast<void**>(&w.client));
    if (FAILED(hr)) break;
    hr = w.client->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, kWasapiBuffer, 0, &format, nullptr);
    if (SUCCEEDED(hr)) break;
  }
  if (SUCCEEDED(hr)) hr = w.client->GetBufferSize(&w.bufferFrames);
  if (SUCCEEDED(hr)) hr = w.client->SetEventHandle(Music.bufferDone);
  if (SUCCEEDED(hr))
    hr = w.client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&w.render));
  if (SUCCEEDED(hr))
    hr = w.client->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&w.clock));
  if (SUCCEEDED(hr)) hr = w.clock->GetFrequency(&w.clockFrequency);
  if (SUCCEEDED(hr) && w.clockFrequency == 0) hr = E_FAIL;
  REFERENCE_TIME period = 0;
  if (SUCCEEDED(hr) && RunningUnderWine() && SUCCEEDED(w.client->GetDevicePeriod(&period, nullptr)) &&
      period > 0)
    w.leadFrames = 2 * static_cast<uint64_t>(period) * static_cast<uint64_t>(rate) / 10000000;
  REFERENCE_TIME latency = 0;  // reported only: see the top of this file
  if (SUCCEEDED(hr) && std::getenv("QM7_STATS") && SUCCEEDED(w.client->GetStreamLatency(&latency)))
    std::fprintf(stderr,
                 "qm7: wasapi: buffer %u frames, stream latency %.1f ms, clock %llu Hz, "
                 "heard frame = clock + %llu\n",
                 static_cast<unsigned>(w.bufferFrames), static_cast<double>(latency) / 1e4,
                 static_cast<unsigned long long>(w.clockFrequency),
                 static_cast<unsigned long long>(w.leadFrames));
  if (FAILED(hr)) {
    std::fprintf(stderr, "audio: WASAPI unavailable (0x%08lx), trying waveOut\n",
                 static_cast<unsigned long>(hr));
    CloseWasapi();
    return false;
  }
  return true;
}

// Fills whatever part of the buffer the device has played.
void RefillWasapi() {
  WasapiState& w = Music.wasapi;
  UINT32 padding = 0;
  if (FAILED(w.client->GetCurrentPadding(&padding)) || padding >= w.bufferFrames) return;
  UINT32 frames = w.bufferFrames - padding;
  BYTE* data = nullptr;
  if (FAILED(w.render->GetBuffer(frames, &data)) || !data) return;
  Render(reinterpret_cast<int16_t*>(data), frames);
  w.render->ReleaseBuffer(frames, 0);
}

void FeedWasapi() {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  RefillWasapi();  // a full buffer before the stream starts
  Music.wasapi.client->Start();
  while (!Music.stop.load(std::memory_order_acquire)) {
    WaitForSingleObject(Music.bufferDone, 100);
    if (Music.stop.load(std::memory_order_acquire)) break;
    RefillWasapi();
  }
  Music.wasapi.client->Stop();
  CoUninitialize();
}

// The frame being heard by the stream's clock (see the top of this file).
uint64_t WasapiHeardFrames() {
  const WasapiState& w = Music.wasapi;
  UINT64 position = 0;
  if (FAILED(w.clock->GetPosition(&position, nullptr))) return 0;
  uint64_t played = position / w.clockFrequency * static_cast<uint64_t>(w.rate) +
                    position % w.clockFrequency * static_cast<uint64_t>(w.rate) / w.clockFrequency;
  return played ? played + w.leadFrames : 0;  // nothing is heard before the clock moves
}

// ---- waveOut ------------------------------------------------------------------

bool OpenWaveOut(int rate) {
  WAVEFORMATEX format = StereoFormat(rate);
  HWAVEOUT device = nullptr;
  MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &format,
                                reinterpret_cast<DWORD_PTR>(Music.bufferDone), 0, CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    std::fprintf(stderr, "audio: waveOutOpen failed (%u)\n", static_cast<unsigned>(result));
    return false;
  }
  Music.device = device;
  for (int i = 0; i < kBuffers; ++i) {
    WAVEHDR& header = Music.headers[i];
    header = {};
    header.lpData = reinterpret_cast<LPSTR>(Music.samples[i]);
    header.dwBufferLength = sizeof Music.samples[i];
    waveOutPrepareHeader(WaveOut(), &header, sizeof header);
  }
  return true;
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
    waveOutWrite(WaveOut(), &header, sizeof header);
  }
}

void FeedWaveOut() {
  while (!Music.stop.load(std::memory_order_acquire)) {
    Refill();
    WaitForSingleObject(Music.bufferDone, 100);
  }
}

// The device's played-sample count, or the end of the last buffer it handed
// back where it does not count samples.
uint64_t WaveOutHeardFrames() {
  MMTIME time = {};
  time.wType = TIME_SAMPLES;
  if (waveOutGetPosition(WaveOut(), &time, sizeof time) == MMSYSERR_NOERROR &&
      time.wType == TIME_SAMPLES)
    return time.u.sample;
  return Music.buffersReturned.load(std::memory_order_acquire) * kBufferFrames;
}

void CloseWaveOut() {
  waveOutReset(WaveOut());  // hands every queued buffer back
  for (WAVEHDR& header : Music.headers) waveOutUnprepareHeader(WaveOut(), &header, sizeof header);
  waveOutClose(WaveOut());
}

// ---- either -------------------------------------------------------------------

void Feed() {
  if (Music.driver == Driver::kWasapi)
    FeedWasapi();
  else
    FeedWaveOut();
}

// The frame being heard, never past what has been rendered.
uint64_t HeardFrames() {
  uint64_t rendered = Stream.FramesRendered();
  uint64_t heard = Music.driver == Driver::kWasapi ? WasapiHeardFrames() : WaveOutHeardFrames();
  return heard > rendered ? rendered : heard;
}

}  // namespace

int MusicInit(int, int rate, uint32_t, WindowHandle) {
  if (Music.device) return 1;
  Music.bufferDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!Music.bufferDone) return 0;
  const char* forced = std::getenv("QM7_AUDIO");
  bool waveOutOnly = forced && lstrcmpiA(forced, "waveout") == 0;
  if (!waveOutOnly && OpenWasapi(rate)) {
    Music.driver = Driver::kWasapi;
    Music.device = Music.wasapi.client;
  } else if (OpenWaveOut(rate)) {
    Music.driver = Driver::kWaveOut;
  } else {
    Music.device = nullptr;
    CloseHandle(Music.bufferDone);
    Music.bufferDone = nullptr;
    return 0;
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
  bool wasapi = Music.driver == Driver::kWasapi;
  Stream.ReportHeardAtClose(wasapi ? "wasapi" : "waveOut",
                            wasapi ? static_cast<int>(Music.wasapi.bufferFrames) : kBuffers * kBufferFrames,
                            HeardFrames(), ns);
  Music.stop = true;
  SetEvent(Music.bufferDone);
  if (Music.feeder.joinable()) Music.feeder.join();
  if (wasapi)
    CloseWasapi();
  else
    CloseWaveOut();
  Music.device = nullptr;
  Music.driver = Driver::kNone;
  CloseHandle(Music.bufferDone);
  Music.bufferDone = nullptr;
  Stream.Release();
}

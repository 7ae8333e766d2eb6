// virtual_platform.h — driving the unchanged host without a screen, a sound
// card or wall-clock time (tests and the capture tool).
//
// The virtual window, clock and music replace the real ones at link time
// (link qm7_platform_virtual instead of qm7_platform_sdl). Nothing moves by
// itself: time advances, audio is rendered and messages arrive only when
// the driver says so. The usual driver:
//
//   VirtualPlatformReset();                  // fresh clock, queue, music, log
//   VirtualSetPassHook(MyPass, &state);      // called once per loop pass
//   chdir(folder with qm7.dat / loose data files and qm7.it);
//   int code = RunDemo();                    // host/host.h
//
//   void MyPass(VirtualPass kind, void* user) {
//     VirtualAdvance(kVirtualClockFrequency / 60);  // 1/60 s: clock + audio
//     if (time to leave) VirtualPostMessage(WM_KEYDOWN, VK_ESCAPE);
//   }
//
// The hook runs at the top of every PeekMessage (kind kPeek: one pass of the
// main loop) and inside WaitMessage (kind kWait), which calls it again and
// again until a message is queued, so an inactive stretch is simulated by
// the hook advancing time until it posts WM_ACTIVATEAPP 1. A driver that
// never posts anything while the host waits loops forever.
//
// The window opens active: OpenDemoWindow queues WM_ACTIVATEAPP 1, as the
// sdl/ twin does (VirtualWindowOpensActive(false) leaves it to the driver).
//
// Per-frame data (position polled, scene, event, pendingTicks, the frame
// after the render step) comes from the host's FrameObserver (host/host.h);
// presented frames from the virtual display (platform/virtual/virtual_display.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/window.h"

// ---- whole platform
// Back to the state at process start: clock 0, empty queue, no window,
// music released and failure switches off, call log off, no hook.
void VirtualPlatformReset();

// Every platform call of the window and the music, as "OpenDemoWindow",
// "DestroyWindow", "MusicInit", "MusicLoad qm7.it", "MusicStart", "MusicPlay",
// "MusicFree", is passed to `sink` (null: no log).
void VirtualSetCallLog(void (*sink)(const char* call, void* user), void* user);

// ---- the loop pass hook
enum class VirtualPass { kPeek, kWait };
void VirtualSetPassHook(void (*hook)(VirtualPass kind, void* user), void* user);

// ---- clock: kVirtualClockFrequency counts per second, starts at 0
constexpr int64_t kVirtualClockFrequency = 10000000;
int64_t VirtualClockNow();
void VirtualClockAdvance(int64_t counts);
// Makes QueryPerformanceFrequency report failure.
void VirtualClockFailFrequency(bool fail);

// Advances the clock by `counts` and renders the audio that belongs to the
// new clock time: the music's frame total is kept at
// round(clock × 44100 / kVirtualClockFrequency), ties to even.
void VirtualAdvance(int64_t counts);

// ---- window
// Queues a message for the demo window, as the other twins do for their events.
void VirtualPostMessage(uint32_t message, uintptr_t wParam);
void VirtualWindowOpensActive(bool active);
// Makes OpenDemoWindow fail (as on a machine without a display).
void VirtualWindowFailOpen(bool fail);
bool VirtualWindowIsOpen();        // opened and not destroyed
CursorShape VirtualCursor();       // the shape last set

// ---- music: 44100 Hz, 16-bit stereo, rendered only on request
// Makes MusicInit fail.
void VirtualMusicFailInit(bool fail);
// Renders exactly `frames` stereo frames (silence before MusicPlay and after
// MusicFree) and hands them to the sink if there is one.
void VirtualMusicRender(int64_t frames);
int64_t VirtualMusicFramesRendered();
// Starts rendering the next `frames` frames on the music thread while the
// caller goes on (drawing a frame). The next VirtualMusicRender must ask for
// exactly that many (anything else stops the program with a message): it then
// only waits for the thread and takes the result. Until then the position and
// the frames rendered are still those before; every other music call waits
// for the thread first. The samples, the position and what the sink gets are
// byte-for-byte those of the plain VirtualMusicRender. Without threads (a web
// page) it does nothing.
void VirtualMusicRenderAhead(int64_t frames);
// The position after the last rendered frame, order | row << 16.
uint32_t VirtualMusicPosition();
// Everything rendered from now on is also handed to `sink` (null: to
// nobody): `frames` stereo frames of 16-bit samples at a time, in order, on
// the thread that calls VirtualMusicRender. The capture tool writes them to
// its WAV files.
void VirtualMusicSetSink(void (*sink)(const int16_t* samples, std::size_t frames, void* user),
                         void* user);

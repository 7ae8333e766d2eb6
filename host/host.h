// host.h — the process: start-up, main loop and shutdown of the demo.
//
// Usage (host/main.cpp, and drivers of the virtual platform):
//   int code = RunDemo();   // plays the whole timeline, or until Escape
//   EndPlatform();          // platform/window.h
//   return code;
// RunDemo returns 0 after the normal end and after Escape, 1 when start-up
// fails (the reason is on standard error and in one message box). It starts
// from the host's process-start state each time, and every effect initialiser
// starts its effect afresh, so a test may run the demo again in the same
// process.
//
// Everything here runs on the one thread that calls RunDemo. The state below
// is process-wide so that tests and tools can look at it.
#pragma once
#include <cstdint>

#include "display/display_device.h"
#include "platform/window_handle.h"

int RunDemo();

// RunDemo in three parts, for a platform whose main loop belongs to someone
// else (the browser calls back once per display frame):
//   if (StartDemo() != 0) -> start-up failed (already shown), status 1
//   each callback: RunOnePass (host/message_loop.h) until a frame ran or it waited
//   on PassResult::kEnded: status = FinishDemo(endCode)
// StartDemo returns 0 when the main loop may start, 1 after a failure.
int StartDemo();
// After the last pass: releases what the normal end releases and returns
// RunDemo's status for the loop's end code.
int FinishDemo(int endCode);

// Start-up, once the data files are in their buffers (host/data_buffers.h):
// the kit's shared tables (initKit), then every effect's init in the
// program's order — lens warp, tunnel, ripple swirl, kaleidoscope, flying
// blobs, frame cube, scroller — each step named to StartupObserver. Called by
// StartDemo; tests and tools that drive the scenes without the demo call it
// after filling the buffers.
void InitEffects();

// ---- host state (zero at process start); the display device is `Display`
// (display/display_device.h)
extern WindowHandle MainWindow;   // the demo window, also the display's
extern int32_t AppActive;         // last WM_ACTIVATEAPP wParam; frames run while nonzero
extern int32_t ShowArrowCursor;   // 1 after a deactivation: the pointer shows
extern uint8_t QuitRequested;     // set by QuitScene; the loop ends on its next pass
extern int32_t NeedsConversion;   // 1: the display mode's pixel layout differs from the frame's
extern uint32_t MusicHandle;      // the playing module
extern uint8_t* FrameBuffer;      // 320x240 pixels of 4 bytes (kit/frame.h), never freed
// Set by host/main.cpp when no folder held the data: where it was looked for.
// Added to the message of a data file or module that cannot be loaded.
extern const char* DataSearchNote;  // null: the data folder was found or given

// Window procedure of the demo window (WM_ACTIVATEAPP, WM_SETCURSOR,
// Escape, WM_DESTROY), called by DispatchMessage and DestroyWindow.
intptr_t DemoWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Start-up failure: writes `text` on standard error, shows it in a message
// box unless the failing step has already shown its own (showBox false), and
// releases the music library. The caller then ends RunDemo with status 1.
void StartupFailed(const char* text, bool showBox = true);

// ---- observation (null by default; no cost when unused)
// What one active frame did, handed to FrameObserver after the render step
// and the tick measurement, before the scene's update runs.
struct FrameProbe {
  uint32_t polledPosition;  // order | row << 16 this frame read and handed to SyncToMusic
  uint32_t scene;           // CurrentScene after the poll
  int32_t eventFired;       // EventTable entry fired by the poll, or -1
  int32_t pendingTicks;     // whole 70 Hz ticks measured this frame
  const uint8_t* frame;     // FrameBuffer as the render step left it
};
extern void (*FrameObserver)(const FrameProbe& probe);

// Each start-up step that is not a platform call, by name ("OpenPack",
// "LoadFile brisk.bin", "initLensWarp", ...), as it is taken.
extern void (*StartupObserver)(const char* step);

// ---- counters for the program's own report (QM7_STATS, host/main.cpp)
extern int64_t FramesPresented;     // every present, start-up ones included
extern int64_t FirstPresentCount;   // performance counter at the first present
extern int64_t LoopFrames;          // frames run by the main loop
extern int64_t FirstLoopFrameCount; // performance counter at the main loop's first present

// message_loop.cpp — the message loop: a pass (RunOnePass) dispatches one message, or runs
// one frame while the application is active, or waits while it is not.
#include "host/message_loop.h"

#include "host/frame_clock.h"
#include "host/host.h"
#include "host/scene_state.h"
#include "host/test_frame.h"
#include "host/timeline.h"
#include "kit/frame.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/window.h"

void PresentFrameBuffer(bool plain) {
  if (plain || !NeedsConversion)
    Display.PresentPlain(FrameBuffer, 0, kFrameHeight);
  else
    Display.PresentConverted(FrameBuffer, 0, kFrameHeight);
  if (FramesPresented++ == 0) QueryPerformanceCounter(&FirstPresentCount);
}

// One active frame: show the previous picture, follow the music, draw the
// next picture, measure the ticks, advance the scene by them.
static void RunFrame() {
  PresentFrameBuffer(false);
  if (LoopFrames++ == 0) QueryPerformanceCounter(&FirstLoopFrameCount);
  if (TestFrameShown) return;  // TEST HOOK: the still frame only (host/test_frame.h)

  uint32_t eventBefore = LastEvent;
  const uint32_t position = MusicGetPosition(MusicHandle);
  SyncToMusic(position);
  if (CurrentScene >= kSceneCount) {  // only if the quit entry failed to end the loop
    QuitRequested = 1;
    return;
  }
  uint32_t scene = CurrentScene;
  if (SceneTable[scene].renderScene) SceneTable[scene].renderScene(FrameBuffer + kAreaOffset);

  int64_t now;
  QueryPerformanceCounter(&now);
  MeasureFrameTicks(now);

  if (FrameObserver) {
    FrameProbe probe{position, scene,
                     LastEvent != eventBefore ? static_cast<int32_t>(LastEvent) : -1,
                     SceneState.pendingTicks, FrameBuffer};
    FrameObserver(probe);
  }

  if (SceneTable[scene].updateScene) SceneTable[scene].updateScene();
}

PassResult RunOnePass(int* endCode) {
  if (QuitRequested) {
    *endCode = -1;
    return PassResult::kEnded;
  }
  WindowMessage message;
  if (PeekMessage(&message)) {
    if (GetMessage(&message) == 0) {
      *endCode = static_cast<int>(message.wParam);
      return PassResult::kEnded;
    }
    TranslateMessage(&message);
    DispatchMessage(&message);
    return PassResult::kMessage;
  }
  if (AppActive) {
    RunFrame();
    return PassResult::kFrame;
  }
  WaitMessage();
  return PassResult::kWaited;
}

int RunMainLoop() {
  int endCode = 0;
  while (RunOnePass(&endCode) != PassResult::kEnded) {
  }
  return endCode;
}

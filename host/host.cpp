// host.cpp — host state, the demo window and its procedure, start-up failure.
#include "host/host.h"

#include <cstdio>

#include "platform/music.h"
#include "platform/popup.h"
#include "platform/window.h"

WindowHandle MainWindow;
int32_t AppActive;
int32_t ShowArrowCursor;
uint8_t QuitRequested;
int32_t NeedsConversion;
uint32_t MusicHandle;
uint8_t* FrameBuffer;
const char* DataSearchNote;

void (*FrameObserver)(const FrameProbe& probe);
void (*StartupObserver)(const char* step);

int64_t FramesPresented;
int64_t FirstPresentCount;
int64_t LoopFrames;
int64_t FirstLoopFrameCount;

intptr_t DemoWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATEAPP:
      AppActive = static_cast<int32_t>(wParam);
      ShowArrowCursor = wParam == 0 ? 1 : 0;
      break;
    case WM_SETCURSOR:
      SetCursor(ShowArrowCursor ? CursorShape::kArrow : CursorShape::kNone);
      return 1;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        DestroyWindow(window);
        return 0;
      }
      break;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

void StartupFailed(const char* text, bool showBox) {
  std::fprintf(stderr, "qm7: %s\n", text);
  if (showBox) ShowModalMessage(text, MainWindow);
  MusicFree();
}

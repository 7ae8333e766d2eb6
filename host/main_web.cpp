// main_web.cpp — the qm7 program in a web page.
//
// The page calls main when the viewer presses Play (platform/web/qm7-page.js),
// so the sound may start. Start-up runs at once, while the sound output's
// clock comes up; the browser then calls RunPasses once per display frame,
// which runs passes of the host's main loop until one frame was drawn or the
// demo waits (inactive), so a message never costs a frame. At the end the page is told the exit status. Each
// start-up step is told to the page as it is taken (qm7Stats.startup).
#include <emscripten.h>

#include <cstdlib>

#include "host/host.h"
#include "host/message_loop.h"
#include "pack/pack_archive.h"
#include "platform/window.h"

namespace {

// Messages one callback takes at most before it yields to the browser.
constexpr int kMaxPassesPerCallback = 512;

EM_JS(void, TellPageEnded, (int status), {
  if (typeof qm7Page !== 'undefined') qm7Page.ended(status);
});
EM_JS(void, TellPageStep, (const char* step), {
  if (typeof qm7Page !== 'undefined') qm7Page.startupStep(UTF8ToString(step));
});

// TEST HOOK: the page's ?testframe=checker flag, the page's QM7_TEST_FRAME
// (host/test_frame.h).
EM_JS(int, PageAsksForTestFrame, (), {
  return new URLSearchParams(location.search).get('testframe') === 'checker' ? 1 : 0;
});

void RunPasses() {
  for (int i = 0; i < kMaxPassesPerCallback; ++i) {
    int endCode = 0;
    PassResult pass = RunOnePass(&endCode);
    if (pass == PassResult::kMessage) continue;
    if (pass == PassResult::kEnded) {
      emscripten_cancel_main_loop();
      int status = FinishDemo(endCode);
      EndPlatform();
      TellPageEnded(status);
    }
    return;
  }
}

}  // namespace

// The page, when the output taken at start-up has not started its clock
// within its limit: the music could not start after all, so the program ends
// as its first start-up step would have, with "Can't initialize device".
extern "C" EMSCRIPTEN_KEEPALIVE void qm7_web_no_sound() {
  emscripten_cancel_main_loop();
  ClosePack();
  StartupFailed("Can't initialize device");
  EndPlatform();
  TellPageEnded(1);
}

int main() {
  StartupObserver = [](const char* step) { TellPageStep(step); };
  if (PageAsksForTestFrame()) setenv("QM7_TEST_FRAME", "checker", 1);
  if (StartDemo() != 0) {
    EndPlatform();
    TellPageEnded(1);
    return 1;
  }
  // 0 fps: the browser's own display rate. No simulated infinite loop:
  // main returns and the callbacks go on.
  emscripten_set_main_loop(RunPasses, 0, 0);
  return 0;
}

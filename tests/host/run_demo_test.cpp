// RunDemo on the virtual platform: start-up order, Escape, the normal end,
// a pause while inactive, and every start-up failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/data_buffers.h"
#include "host/frame_clock.h"
#include "host/host.h"
#include "host/message_loop.h"
#include "host/scene_state.h"
#include "host/timeline.h"
#include "kit/frame.h"
#include "pack/pack_archive.h"
#include "platform/virtual/virtual_display.h"
#include "platform/virtual/virtual_platform.h"
#include "tests/host/demo_fixture.h"

namespace {

bool AllZero(const uint8_t* p, std::size_t n) {
  return std::all_of(p, p + n, [](uint8_t b) { return b == 0; });
}

bool FrontBufferBlack() {
  VirtualFrame f = VirtualFrontBuffer();
  if (!f.pixels) return false;
  for (int y = 0; y < f.height; ++y)
    if (!AllZero(f.pixels + static_cast<std::size_t>(y) * f.pitch, static_cast<std::size_t>(f.width) * 4))
      return false;
  return true;
}

// What each frame reported through FrameObserver, with the clock and flips.
struct FrameRecord {
  FrameProbe probe;
  int64_t clock;
  double carryBefore;
  uint32_t flips;
  bool black;
};

class RunDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Current = this;
    VirtualDisplayReset();
    driver.Install();
    VirtualSetCallLog([](const char* call, void*) { Current->Note(call); }, nullptr);
    StartupObserver = [](const char* step) { Current->Note(step); };
    FrameObserver = [](const FrameProbe& probe) {
      Current->frames.push_back({probe, VirtualClockNow(), Current->carry, VirtualDisplay.flipCount,
                                 AllZero(probe.frame, kFrameBytes)});
      Current->carry = FrameClock.carry;
    };
  }
  void TearDown() override {
    FrameObserver = nullptr;
    StartupObserver = nullptr;
    ClosePack();
    VirtualPlatformReset();
    VirtualDisplayReset();
    Current = nullptr;
  }

  void Note(const char* call) {
    std::string entry = call;
    if (entry == "OpenPack" && VirtualDisplay.chain.primaryCreated) entry += " (surfaces made)";
    if (entry.rfind("MusicLoad", 0) == 0)
      entry += " (" + std::to_string(VirtualDisplay.flipCount) + " flips" +
               (FrontBufferBlack() ? ", black)" : ")");
    log.push_back(entry);
  }
  bool Logged(const std::string& call) const {
    return std::find(log.begin(), log.end(), call) != log.end();
  }

  static RunDemoTest* Current;
  DemoFolder folder;
  DemoDriver driver;
  std::vector<std::string> log;
  std::vector<FrameRecord> frames;
  double carry = 0.0;
};

RunDemoTest* RunDemoTest::Current;

TEST_F(RunDemoTest, StartsUpInOrderAndShowsBlackTwiceBeforeTheMusic) {
  driver.onPass = [](DemoDriver& d) {
    if (d.passes == 20) VirtualPostMessage(WM_KEYDOWN, VK_ESCAPE);
  };
  ASSERT_EQ(RunDemo(), 0);

  const std::vector<std::string> expected = {
      "MusicInit", "OpenDemoWindow", "OpenPack (surfaces made)",
      "LoadFile brisk.bin", "LoadFile opener7.bin", "LoadFile wctk.bin", "LoadFile w.pal",
      "LoadFile scroll.bin", "initKit", "initLensWarp", "initTunnel", "initRippleSwirl",
      "initKaleidoscope", "initFlyingBlobs", "initFrameCube", "initScroller",
      "MusicLoad qm7.it (2 flips, black)", "MusicStart", "MusicPlay", "DestroyWindow"};
  EXPECT_EQ(log, expected);

  // The fixed buffers hold the first bytes of their files; scroll.bin stays
  // where the loader put it, whole.
  for (std::size_t i = 0; i < kBriskLogoBytes; ++i) ASSERT_EQ(BriskLogo[i], (i * 7 + 1) % 64);
  for (std::size_t i = 0; i < kPaletteBytes; ++i) ASSERT_EQ(PaletteData[i], (i * 7 + 4) % 64);
  ASSERT_NE(ScrollPicture, nullptr);
  EXPECT_EQ(ScrollPictureBytes, kScrollPictureMinBytes);
  EXPECT_EQ(ScrollPicture[kScrollPictureMinBytes - 1], ((kScrollPictureMinBytes - 1) * 7 + 5) % 64);

  // The first active frame shows the black start frame, then the scene draws.
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames[0].flips, 3u);
  EXPECT_EQ(frames[0].probe.scene, 0u);
  EXPECT_EQ(VirtualCursor(), CursorShape::kNone);
}

TEST_F(RunDemoTest, EscapeEndsAtOnceWithoutClosingThePack) {
  int64_t framesAtEscape = -1;
  int64_t passAtEscape = -1;
  driver.onPass = [&](DemoDriver& d) {
    if (d.passes == 300) {
      framesAtEscape = LoopFrames;
      passAtEscape = d.passes;
      VirtualPostMessage(WM_KEYDOWN, VK_ESCAPE);
    }
  };
  EXPECT_EQ(RunDemo(), 0);
  EXPECT_EQ(LoopFrames, framesAtEscape);        // no frame after the key
  EXPECT_EQ(driver.passes, passAtEscape + 1);   // the next pass took WM_QUIT
  EXPECT_TRUE(Logged("DestroyWindow"));
  EXPECT_FALSE(VirtualWindowIsOpen());
  EXPECT_FALSE(Logged("MusicFree"));
  EXPECT_EQ(PackArchive.packOpen, 1);
}

TEST_F(RunDemoTest, ClosingTheWindowEndsLikeEscape) {
  driver.onPass = [](DemoDriver& d) {
    if (d.passes == 30) VirtualPostMessage(WM_CLOSE, 0);
  };
  EXPECT_EQ(RunDemo(), 0);
  EXPECT_EQ(driver.passes, 31);
  EXPECT_FALSE(Logged("MusicFree"));
}

TEST_F(RunDemoTest, PlaysTheWholeTimelineAndEndsOnABlackFrame) {
  driver.passCounts = 80000;  // 8 ms: shorter than a row, so no position is missed
  EXPECT_EQ(RunDemo(), 0);
  EXPECT_LT(driver.passes, driver.maxPasses) << "ended by the driver's Escape, not the timeline";

  // Scenes follow one another up to the quit entry.
  ASSERT_FALSE(frames.empty());
  uint32_t scene = 0;
  for (const FrameRecord& f : frames) {
    ASSERT_TRUE(f.probe.scene == scene || f.probe.scene == scene + 1)
        << "jump from scene " << scene << " to " << f.probe.scene;
    scene = f.probe.scene;
  }
  EXPECT_EQ(scene, kQuitSceneIndex);
  EXPECT_EQ(frames.back().probe.polledPosition, 52u | 63u << 16);
  EXPECT_EQ(LastEvent, static_cast<uint32_t>(kEventCount - 1));  // every event fired

  // Pictures were drawn along the way, and the last one shown is black.
  EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [](const FrameRecord& f) { return !f.black; }));
  EXPECT_TRUE(FrontBufferBlack());
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_TRUE(Logged("MusicFree"));
  EXPECT_EQ(PackArchive.packOpen, 0);
  EXPECT_FALSE(Logged("DestroyWindow"));
}

// The browser's way: start-up, then a callback per display frame running
// passes until one frame ran or the pass waited, then the end. The same
// frames, scenes and end as RunDemo's own loop, with a pause on the way.
TEST_F(RunDemoTest, PassesDrivenOneCallbackAtATimeMatchRunDemo) {
  driver.passCounts = 80000;
  auto pauseOnce = [](DemoDriver& d) {
    if (d.passes == 400) VirtualPostMessage(WM_ACTIVATEAPP, 0);
    if (d.passes == 600) VirtualPostMessage(WM_ACTIVATEAPP, 1);
  };
  driver.onPass = pauseOnce;
  ASSERT_EQ(RunDemo(), 0);
  std::vector<FrameRecord> looped = frames;
  int64_t loopedPasses = driver.passes;

  ClosePack();
  VirtualDisplayReset();
  frames.clear();
  carry = 0.0;
  driver = DemoDriver{};
  driver.passCounts = 80000;
  driver.onPass = pauseOnce;
  driver.Install();
  ASSERT_EQ(StartDemo(), 0);
  int endCode = 0;
  int64_t callbacks = 0, framesPerCallbackMax = 0;
  for (bool ended = false; !ended;) {
    ++callbacks;
    int64_t framesNow = 0;
    for (;;) {
      PassResult pass = RunOnePass(&endCode);
      if (pass == PassResult::kFrame) ++framesNow;
      if (pass == PassResult::kEnded) ended = true;
      if (pass != PassResult::kMessage) break;
    }
    framesPerCallbackMax = std::max(framesPerCallbackMax, framesNow);
  }
  EXPECT_EQ(FinishDemo(endCode), 0);
  EXPECT_EQ(driver.passes, loopedPasses);
  EXPECT_EQ(framesPerCallbackMax, 1);
  EXPECT_GT(callbacks, static_cast<int64_t>(frames.size()));  // the pause's waits too
  ASSERT_EQ(frames.size(), looped.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ASSERT_EQ(frames[i].probe.polledPosition, looped[i].probe.polledPosition) << i;
    ASSERT_EQ(frames[i].probe.scene, looped[i].probe.scene) << i;
    ASSERT_EQ(frames[i].probe.pendingTicks, looped[i].probe.pendingTicks) << i;
    ASSERT_EQ(frames[i].clock, looped[i].clock) << i;
  }
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_TRUE(Logged("MusicFree"));
}

TEST_F(RunDemoTest, PauseWhileInactiveArrivesAsOneBatchOfTicks) {
  uint32_t flipsAtPause = 0;
  bool flippedWhilePaused = false;
  CursorShape cursorWhilePaused = CursorShape::kNone;
  std::size_t framesBeforePause = 0;
  int waits = 0;
  bool escaped = false;
  driver.onPass = [&](DemoDriver& d) {
    if (d.passes == 100) {
      VirtualPostMessage(WM_ACTIVATEAPP, 0);
      flipsAtPause = VirtualDisplay.flipCount;
      framesBeforePause = frames.size();
    }
    if (d.kind == VirtualPass::kWait && ++waits == 200) {  // one second away
      cursorWhilePaused = VirtualCursor();
      VirtualPostMessage(WM_ACTIVATEAPP, 1);
    }
    if (waits > 0 && waits < 200 && VirtualDisplay.flipCount != flipsAtPause) flippedWhilePaused = true;
    if (framesBeforePause > 0 && frames.size() == framesBeforePause + 5 && !escaped) {
      VirtualPostMessage(WM_KEYDOWN, VK_ESCAPE);
      escaped = true;
    }
  };
  EXPECT_EQ(RunDemo(), 0);

  EXPECT_FALSE(flippedWhilePaused);
  EXPECT_EQ(cursorWhilePaused, CursorShape::kArrow);
  EXPECT_EQ(VirtualCursor(), CursorShape::kNone);
  ASSERT_GT(frames.size(), framesBeforePause + 1);
  const FrameRecord& before = frames[framesBeforePause - 1];
  const FrameRecord& after = frames[framesBeforePause];
  // Every tick of the pause in the first frame back, none lost or repeated.
  double ticks = static_cast<double>(after.clock - before.clock) / 142857.0 + after.carryBefore;
  EXPECT_EQ(after.probe.pendingTicks, static_cast<int32_t>(std::floor(ticks)));
  EXPECT_GE(after.probe.pendingTicks, 70);
  // The music went on meanwhile: about a hundred rows further.
  uint32_t rowsBefore = (before.probe.polledPosition & 0xFFFF) * 64 + (before.probe.polledPosition >> 16);
  uint32_t rowsAfter = (after.probe.polledPosition & 0xFFFF) * 64 + (after.probe.polledPosition >> 16);
  EXPECT_GT(rowsAfter, rowsBefore + 95);
}

// ---- start-up failures: a message, the music released, status 1

struct FailureCase {
  const char* name;
  void (*arrange)(DemoFolder& folder);
  const char* message;         // the host's line on standard error
  const char* box = nullptr;   // the one message box, when not the same text
};

const FailureCase kFailures[] = {
    {"music device", [](DemoFolder&) { VirtualMusicFailInit(true); }, "Can't initialize device"},
    {"no counter", [](DemoFolder&) { VirtualClockFailFrequency(true); },
     "Can't read the performance counter"},
    {"no display", [](DemoFolder&) { VirtualWindowFailOpen(true); }, "Can't open a window on the display"},
    {"display device", [](DemoFolder&) { VirtualDisplay.results[kVirtualCreate] = DDERR_GENERIC; },
     "Can't use the display", "There is an undefined error condition. "},
    {"display device unknown code",
     [](DemoFolder&) { VirtualDisplay.results[kVirtualCreate] = 0x88760001; }, "Can't use the display"},
    {"no 32-bit mode",
     [](DemoFolder&) { VirtualDisplay.modes = {{320, 240, 16, 0xF800, 0x07E0, 0x001F}}; },
     "The display offers no 320x240 mode with 32 bits per pixel"},
    {"mode refused", [](DemoFolder&) { VirtualDisplay.results[kVirtualSetDisplayMode] = DDERR_INVALIDMODE; },
     "Can't set the 320x240 display mode", "DirectDraw does not support the requested mode. "},
    {"logo missing", [](DemoFolder& f) { f.WritePack("brisk.bin", 0, true); },
     "Can't load the data file brisk.bin"},
    {"scroll missing", [](DemoFolder& f) { f.WritePack("scroll.bin", 0, true); },
     "Can't load the data file scroll.bin"},
    {"palette short", [](DemoFolder& f) { f.WritePack("w.pal", 767); },
     "The data file w.pal is too short: 767 bytes of 768"},
    {"texture empty", [](DemoFolder& f) { f.WritePack("wctk.bin", 0); },
     "The data file wctk.bin is too short: 0 bytes of 4096"},
    {"scroll short", [](DemoFolder& f) { f.WritePack("scroll.bin", 553919); },
     "The data file scroll.bin is too short: 553919 bytes of 553920"},
    {"module missing", [](DemoFolder& f) { std::filesystem::remove(f.path() / "qm7.it"); },
     "Can't play the file"},
    {"not a module", [](DemoFolder& f) { WriteFile(f.path() / "qm7.it", {'n', 'o', 't', ' ', 'i', 't'}); },
     "Can't play the file"},
    {"module cut short",
     [](DemoFolder& f) {
       std::vector<uint8_t> module = MakeTinyModule(53, 1, 255);
       module.pop_back();
       WriteFile(f.path() / "qm7.it", module);
     },
     "Can't play the file"},
};

class StartupFailureTest : public RunDemoTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailureTest, IsShownReleasesTheMusicAndEndsWithStatusOne) {
  const FailureCase& c = GetParam();
  driver.onPass = [](DemoDriver& d) {
    if (d.passes == 5) VirtualPostMessage(WM_KEYDOWN, VK_ESCAPE);
  };
  c.arrange(folder);
  testing::internal::CaptureStderr();
  int status = RunDemo();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  ASSERT_EQ(VirtualPopups.size(), 1u) << "one message box per failure";
  EXPECT_EQ(VirtualPopups[0], c.box != nullptr ? c.box : c.message);
  const std::string line = std::string("qm7: ") + c.message + "\n";
  EXPECT_NE(err.find(line), std::string::npos) << err;
  EXPECT_EQ(err.find(line), err.rfind(line)) << "written once: " << err;
  EXPECT_TRUE(Logged("MusicFree"));
  EXPECT_FALSE(Logged("MusicPlay"));
  EXPECT_EQ(PackArchive.packOpen, 0);
  EXPECT_TRUE(frames.empty());
}

// The test hook (host/test_frame.h): a good value shows its frame on every
// frame until Escape; a bad one ends start-up with status 1 on standard
// error only.
TEST_F(RunDemoTest, TestFrameIsShownUntilEscapeAndABadOneEndsStartUp) {
  std::vector<uint8_t> picture(kFrameBytes);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t(i * 31 + i / 1280);
  WriteFile(folder.path() / "frame.raw", picture);
  std::vector<uint8_t> shortFile(picture.begin(), picture.end() - 1);
  WriteFile(folder.path() / "short.raw", shortFile);
  std::vector<uint8_t> longFile(picture);
  longFile.push_back(0);
  WriteFile(folder.path() / "long.raw", longFile);
  std::vector<uint8_t> checker(kFrameBytes);
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x)
      for (int c = 0; c < 3; ++c) checker[size_t(y * kFrameRowBytes + x * 4 + c)] = (x + y) % 2 ? 0 : 255;
  struct Case {
    const char* value;
    const std::vector<uint8_t>* shown;  // null: start-up fails
  } cases[] = {{"checker", &checker}, {"frame.raw", &picture}, {"missing.raw", nullptr},
               {"short.raw", nullptr}, {"long.raw", nullptr}, {"Checker", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    VirtualDisplayReset();
    driver = DemoDriver{};
    driver.Install();
    VirtualPopups.clear();
    log.clear();
    int64_t shownFrames = 0;
    driver.onPass = [&](DemoDriver& d) {
      VirtualFrame f = VirtualFrontBuffer();
      if (c.shown && f.pixels && d.passes > 10 && d.passes <= 200 &&
          std::equal(c.shown->begin(), c.shown->end(), f.pixels))
        ++shownFrames;
      if (d.passes == 200) VirtualPostMessage(WM_KEYDOWN, VK_ESCAPE);
    };
    setenv("QM7_TEST_FRAME", c.value, 1);
    testing::internal::CaptureStderr();
    int status = RunDemo();
    std::string err = testing::internal::GetCapturedStderr();
    unsetenv("QM7_TEST_FRAME");
    if (c.shown) {
      EXPECT_EQ(status, 0);
      EXPECT_EQ(shownFrames, 200 - 10);  // every pass after the first few, nothing else drawn
      EXPECT_TRUE(frames.empty()) << "the timeline ran";
    } else {
      EXPECT_EQ(status, 1);
      EXPECT_NE(err.find(std::string("qm7: QM7_TEST_FRAME: ")), std::string::npos) << err;
      EXPECT_TRUE(VirtualPopups.empty());
      EXPECT_FALSE(Logged("MusicPlay"));
    }
    ClosePack();
  }
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupFailureTest, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

}  // namespace

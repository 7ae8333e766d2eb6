// startup.cpp — RunDemo: start-up in its fixed order, the main loop, shutdown;
// StartDemo and FinishDemo are its two ends for a caller that runs the passes.
//
// Every start-up failure ends with a message and status 1; the normal end
// and Escape end with 0. Data files are checked against the sizes their
// readers rely on before anything reads them.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "effects/tunnel.h"
#include "host/data_buffers.h"
#include "host/frame_clock.h"
#include "host/host.h"
#include "host/message_loop.h"
#include "host/scene_state.h"
#include "host/test_frame.h"
#include "host/timeline.h"
#include "kit/frame.h"
#include "kit/kit_start.h"
#include "pack/pack_archive.h"
#include "pack/pack_sums.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/window.h"

namespace {

// The loader's buffers, kept for the rest of the process (scroll.bin is read
// in place). A second RunDemo in the same process frees the first run's.
uint8_t* LoadedFiles[kDataFileCount];

// The pack's qm7.sum, read once at start-up when the pack carries one.
PackSums Sums;

void Step(const char* step) {
  if (StartupObserver) StartupObserver(step);
}

// The one place the host's state is put back to its program-start values,
// first thing in StartDemo, so a second run starts as the first did.
void ResetHostState() {
  MainWindow = nullptr;
  AppActive = 0;
  ShowArrowCursor = 0;
  QuitRequested = 0;
  NeedsConversion = 0;
  MusicHandle = 0;
  FrameClock = FrameClockState{};
  FramesPresented = LoopFrames = FirstPresentCount = FirstLoopFrameCount = 0;
  for (uint8_t*& buffer : LoadedFiles) {
    std::free(buffer);
    buffer = nullptr;
  }
  ScrollPicture = nullptr;
  ScrollPictureBytes = 0;
  PopupText = nullptr;
}

// A pack that carries qm7.sum (qm7-pack writes one): every data file it
// served must be the file packed. A damaged stream that still decodes to the
// full size, with wrong bytes, shows only here. A damaged qm7.sum refuses
// the pack as well: it can no longer vouch for anything, and the damage
// that hit it may have hit more. Older packs without one load as before;
// loose files are not checked.
bool MatchPackSums(const bool* fromPack, const std::size_t* decoded, char* reason,
                   std::size_t reasonBytes) {
  PackEntry entry;
  if (PackArchive.packOpen != 1 || !FindEntry(kPackSumsName, &entry)) return true;
  char why[96];
  if (!ReadPackSums(PackArchive.file, PackArchive.fileBytes, PackArchive.packName, entry, &Sums,
                    why, sizeof why)) {
    std::snprintf(reason, reasonBytes, "Can't load the data file %s%s%s", kPackSumsName,
                  why[0] != '\0' ? ": it " : "", why);
    return false;
  }
  for (int i = 0; i < kDataFileCount; ++i) {
    if (fromPack[i] && !MatchesPackSum(Sums, kDataFiles[i].name, LoadedFiles[i], decoded[i], why,
                                       sizeof why)) {
      std::snprintf(reason, reasonBytes, "Can't load the data file %s: it %s", kDataFiles[i].name,
                    why);
      return false;
    }
  }
  return true;
}

// Loads the five data files; true when all are there, long enough and (from
// a pack with checksums) as packed, else false with the first missing, short
// or damaged one's reason in `reason`.
bool LoadDataFiles(char* reason, std::size_t reasonBytes) {
  bool fromPack[kDataFileCount];
  std::size_t decodedBytes[kDataFileCount];
  for (int i = 0; i < kDataFileCount; ++i) {
    const DataFile& file = kDataFiles[i];
    char step[64];
    std::snprintf(step, sizeof step, "LoadFile %s", file.name);
    Step(step);
    std::size_t length = 0, decoded = 0;
    fromPack[i] = PackArchive.packOpen == 1 && FindEntry(file.name, nullptr);
    if (!LoadFile(file.name, &LoadedFiles[i], &length, &decoded)) {
      std::snprintf(reason, reasonBytes, "Can't load the data file %s", file.name);
      return false;
    }
    if (length < file.minimumBytes) {
      std::snprintf(reason, reasonBytes, "The data file %s is too short: %zu bytes of %zu",
                    file.name, length, file.minimumBytes);
      return false;
    }
    // A pack entry whose stream ended early: damage in the pack, refused
    // like any other damaged entry when the readers would reach the zeros.
    char why[96];
    if (!HoldsNeededBytes(decoded, file.minimumBytes, why, sizeof why)) {
      std::snprintf(reason, reasonBytes, "Can't load the data file %s: it %s", file.name, why);
      return false;
    }
    decodedBytes[i] = decoded;
    if (file.fixedCopy == nullptr) {
      ScrollPicture = LoadedFiles[i];
      ScrollPictureBytes = length;
    }
  }
  if (!MatchPackSums(fromPack, decodedBytes, reason, reasonBytes)) return false;
  for (const DataFile& file : kDataFiles)
    if (file.fixedCopy) std::memcpy(file.fixedCopy, LoadedFiles[&file - kDataFiles], file.minimumBytes);
  return true;
}

int Fail(const char* text) {
  StartupFailed(text);
  return 1;
}

// A display step that failed with a known result code has already shown that
// code's popup; the host then only writes its reason (one box per failure).
int FailDisplay(const char* text) {
  StartupFailed(text, PopupText == nullptr);
  return 1;
}

// A data file or the module could not be loaded: says where the data was
// looked for when no folder held it.
int FailAfterPack(const char* text) {
  ClosePack();
  if (!DataSearchNote) return Fail(text);
  char message[1024];
  std::snprintf(message, sizeof message, "%s (%s)", text, DataSearchNote);
  return Fail(message);
}

}  // namespace

void InitEffects() {
  // The kit's shared tables first: every effect below draws from them.
  Step("initKit");
  initKit(TextureData, PaletteData, OpenerLogo, BriskLogo);
  Step("initLensWarp");
  initLensWarp();
  Step("initTunnel");
  initTunnel();
  Step("initRippleSwirl");
  initRippleSwirl();
  Step("initKaleidoscope");
  initKaleidoscope();
  Step("initFlyingBlobs");
  initFlyingBlobs();
  Step("initFrameCube");
  initFrameCube();
  Step("initScroller");
  initScroller(ScrollPicture, ScrollPictureBytes);
}

int StartDemo() {
  ResetHostState();

  if (!MusicInit(-1, kMusicRate, 0, GetForegroundWindow())) return Fail("Can't initialize device");

  int64_t frequency = 0;
  if (!QueryPerformanceFrequency(&frequency) || !StartFrameClock(frequency))
    return Fail("Can't read the performance counter");

  ResetTimeline();

  MainWindow = OpenDemoWindow("GLIDER TEST PROGRAM", DemoWindowProc);
  if (!MainWindow) return Fail("Can't open a window on the display");

  if (!Display.InitDisplay(MainWindow)) return FailDisplay("Can't use the display");
  if (!Display.ChooseMode(kFrameWidth, kFrameHeight, 32))
    return Fail("The display offers no 320x240 mode with 32 bits per pixel");
  NeedsConversion = Display.SetSourceFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF) ? 0 : 1;
  if (!Display.CreateSurfaces()) return FailDisplay("Can't set the 320x240 display mode");

  Step("OpenPack");
  OpenPack("qm7.dat");
  char reason[160];
  if (!LoadDataFiles(reason, sizeof reason)) return FailAfterPack(reason);

  InitEffects();

  SetCursor(CursorShape::kNone);

  // Allocated by the first run, reused by any later one in the same process.
  if (!FrameBuffer) FrameBuffer = new uint8_t[kFrameBytes];
  std::memset(FrameBuffer, 0, kFrameBytes);
  PresentFrameBuffer(true);
  PresentFrameBuffer(true);
  char testFrameReason[256];  // TEST HOOK: QM7_TEST_FRAME (host/test_frame.h), no popup
  if (!LoadTestFrame(FrameBuffer, testFrameReason, sizeof testFrameReason)) {
    ClosePack();
    StartupFailed(testFrameReason, false);
    return 1;
  }

  MusicHandle = MusicLoad("qm7.it");
  if (!MusicHandle) return FailAfterPack("Can't play the file");
  MusicStart();
  MusicPlay(MusicHandle);

  QueryPerformanceCounter(&FrameClock.lastCount);
  return 0;
}

int FinishDemo(int endCode) {
  if (endCode >= 0) return endCode;  // WM_QUIT: Escape ends here, nothing released

  ClosePack();
  MusicFree();
  return 0;
}

int RunDemo() {
  if (StartDemo() != 0) return 1;
  return FinishDemo(RunMainLoop());
}

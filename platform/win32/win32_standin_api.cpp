// win32_standin_api.cpp — the stand-in 320x240x32 mode: two frames of memory
// as the primary and its back buffer, the choice of presenter and the GDI
// presenter (win32_present_api.h), and the present-interval record that
// QM7_STATS reports for every path.
//
// No DirectDraw object takes part: under Wine, DirectDraw runs on Wine's
// Direct3D layer, whose command thread spun a whole core for one lock and
// unlock of a system-memory surface per frame.
#include <windows.h>
// windows.h first: ddraw.h relies on its types. Only its result codes are used.
#include <ddraw.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/frame_shape.h"
#include "platform/present_pacing.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_present_api.h"

namespace {

uint32_t Code(HRESULT result) { return static_cast<uint32_t>(result); }

// What the memory surfaces answer, in DirectDraw's own codes.
const uint32_t kOk = Code(DD_OK);
const uint32_t kSurfaceLost = Code(DDERR_SURFACELOST);
const uint32_t kSurfaceBusy = Code(DDERR_SURFACEBUSY);
const uint32_t kNotLocked = Code(DDERR_NOTLOCKED);
const uint32_t kInvalidRect = Code(DDERR_INVALIDRECT);
const uint32_t kGeneric = Code(DDERR_GENERIC);

enum class Presenter { kUndecided, kGpu, kGdi };

struct StandInState {
  bool active = false;
  HWND window = nullptr;
  bool made = false;       // the two surfaces exist
  int front = 0;           // which of `frames` is the primary
  bool locked[2] = {};     // by frame index
  std::vector<uint32_t> frames[2];

  Presenter presenter = Presenter::kUndecided;
  char why[160] = "";      // how the presenter was chosen, for the report
  char renderer[96] = "";  // the GL renderer, when one was probed

  // gdi: the size `scale` was prepared for, the enlarged picture.
  int clientW = -1, clientH = -1;
  PictureScale scale;
  PictureRect place = {0, 0, 0, 0};
  std::vector<uint32_t> picture;
  PictureRect lastPlace = {0, 0, 0, 0};  // of the last present, for the report
};
StandInState StandIn;

// A failed GDI call's own code, as an HRESULT.
uint32_t LastErrorCode() {
  DWORD error = GetLastError();
  return error ? Code(HRESULT_FROM_WIN32(error)) : kGeneric;
}

bool EnvironmentSays(const char* name, const char* value) {
  const char* set = std::getenv(name);
  return set && lstrcmpiA(set, value) == 0;
}

// The presenter, once: forced by QM7_PRESENT, else gpu where OpenGL is
// there and not drawn by the processor.
void ChoosePresenter() {
  bool forceGpu = EnvironmentSays("QM7_PRESENT", "gpu");
  if (EnvironmentSays("QM7_PRESENT", "gdi")) {
    StandIn.presenter = Presenter::kGdi;
    std::snprintf(StandIn.why, sizeof StandIn.why, "forced by QM7_PRESENT");
    return;
  }
  win32::GlProbe probe = win32::ProbeGl();
  std::snprintf(StandIn.renderer, sizeof StandIn.renderer, "%s", probe.renderer);
  if (!probe.usable) {
    StandIn.presenter = Presenter::kGdi;
    std::snprintf(StandIn.why, sizeof StandIn.why, "no usable OpenGL: %s", probe.renderer);
    return;
  }
  if (probe.software && !forceGpu) {
    StandIn.presenter = Presenter::kGdi;
    std::snprintf(StandIn.why, sizeof StandIn.why, "OpenGL is drawn by the processor: %s",
                  probe.renderer);
    return;
  }
  char refused[128] = "";
  if (!win32::OpenGlPresenter(StandIn.window, refused, sizeof refused)) {
    StandIn.presenter = Presenter::kGdi;
    std::snprintf(StandIn.why, sizeof StandIn.why, "OpenGL refused: %s", refused);
    return;
  }
  StandIn.presenter = Presenter::kGpu;
  std::snprintf(StandIn.why, sizeof StandIn.why, "%s%s", forceGpu ? "forced by QM7_PRESENT, " : "",
                probe.renderer);
}

// On a change of the client size: the new rectangle, its buffer and black
// over the whole client area (the bars stay black until the next change).
uint32_t FitToClient(int width, int height) {
  StandIn.clientW = width;
  StandIn.clientH = height;
  StandIn.place = FitPicture(width, height, kFrameWidth, kFrameHeight);
  PictureRect at = {0, 0, StandIn.place.w, StandIn.place.h};
  PrepareScale(&StandIn.scale, kFrameWidth, kFrameHeight, at);
  StandIn.picture.assign(size_t(at.w) * size_t(at.h), 0);
  HDC dc = GetDC(StandIn.window);
  if (!dc) return LastErrorCode();
  RECT all = {0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(StandIn.window, dc);
  return kOk;
}

uint32_t ShowByGdi(const uint32_t* frame, int width, int height) {
  if (width != StandIn.clientW || height != StandIn.clientH) {
    if (uint32_t bad = FitToClient(width, height); bad != kOk) return bad;
  }
  const PictureRect& p = StandIn.place;
  if (p.w <= 0 || p.h <= 0) return kOk;
  ScalePicture(StandIn.scale, frame, kFrameRowBytes, StandIn.picture.data(), p.w * 4);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = p.w;
  info.bmiHeader.biHeight = -p.h;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(StandIn.window);
  if (!dc) return LastErrorCode();
  int rows = SetDIBitsToDevice(dc, p.x, p.y, p.w, p.h, 0, 0, 0, p.h, StandIn.picture.data(),
                               &info, DIB_RGB_COLORS);
  uint32_t code = rows == 0 ? LastErrorCode() : kOk;
  ReleaseDC(StandIn.window, dc);
  StandIn.lastPlace = p;
  return code;
}

// The front frame into the window by the chosen presenter.
uint32_t Show() {
  if (!IsWindow(StandIn.window)) return Code(HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE));
  int width = 0, height = 0;
  win32::ClientSize(StandIn.window, &width, &height);
  if (width <= 0 || height <= 0) return kOk;  // minimised
  if (StandIn.presenter == Presenter::kUndecided) ChoosePresenter();
  const uint32_t* frame = StandIn.frames[StandIn.front].data();
  if (StandIn.presenter == Presenter::kGpu) {
    PictureRect place = FitPicture(width, height, kFrameWidth, kFrameHeight);
    if (win32::GlPresent(frame, kFrameRowBytes, width, height, place)) {
      StandIn.lastPlace = place;
      return kOk;
    }
    // The driver refused: GDI for the rest of the run.
    win32::CloseGlPresenter();
    StandIn.presenter = Presenter::kGdi;
    std::snprintf(StandIn.why, sizeof StandIn.why, "OpenGL present refused (%s)",
                  StandIn.renderer);
    StandIn.clientW = StandIn.clientH = -1;
  }
  return ShowByGdi(frame, width, height);
}

// ---- present intervals ------------------------------------------------------
// A histogram of the time between presents, 0.1 ms a bin up to 100 ms (the
// last bin holds everything longer), kept without allocating per frame.
constexpr int kBins = 1001;
constexpr double kBinMs = 0.1;

struct IntervalState {
  const char* path = nullptr;  // what presented: "real mode", "stand-in"
  LARGE_INTEGER last = {};
  double frequency = 0;
  uint64_t count = 0;
  double sum = 0, sumSquares = 0, longest = 0;
  uint32_t bins[kBins] = {};
};
IntervalState Intervals;

double Percentile(double fraction) {
  uint64_t wanted = static_cast<uint64_t>(std::ceil(fraction * static_cast<double>(Intervals.count)));
  if (wanted == 0) wanted = 1;
  uint64_t seen = 0;
  for (int i = 0; i < kBins; ++i) {
    seen += Intervals.bins[i];
    if (seen >= wanted) return (i + 0.5) * kBinMs;
  }
  return (kBins - 0.5) * kBinMs;
}

}  // namespace

namespace win32 {

void NotePresent(const char* path) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  if (Intervals.path != path) {
    // A new path (the real mode left for the stand-in) starts a new record.
    Intervals = IntervalState{};
    Intervals.path = path;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    Intervals.frequency = static_cast<double>(frequency.QuadPart);
  } else {
    double ms = static_cast<double>(now.QuadPart - Intervals.last.QuadPart) * 1000.0 /
                Intervals.frequency;
    int bin = static_cast<int>(ms / kBinMs);
    Intervals.bins[bin < 0 ? 0 : bin >= kBins ? kBins - 1 : bin]++;
    Intervals.count++;
    Intervals.sum += ms;
    Intervals.sumSquares += ms * ms;
    if (ms > Intervals.longest) Intervals.longest = ms;
  }
  Intervals.last = now;
}

void ReportPresentation() {
  if (!Intervals.path) return;
  if (StandIn.active && StandIn.presenter != Presenter::kUndecided) {
    const PictureRect& p = StandIn.lastPlace;
    bool gpu = StandIn.presenter == Presenter::kGpu;
    std::fprintf(stderr,
                 "qm7: presentation stand-in %s (%s): %s; picture %dx%d at %d,%d "
                 "(%.3f screen pixels a pixel)\n",
                 gpu ? "gpu" : "gdi", StandIn.why,
                 gpu ? "OpenGL, nearest neighbour to a whole multiple, then smooth, swap interval 1"
                     : "GDI, every pixel the same size, mixed at the seams",
                 p.w, p.h, p.x, p.y, static_cast<double>(p.w) / kFrameWidth);
  } else {
    std::fprintf(stderr, "qm7: presentation %s\n", Intervals.path);
  }
  if (Intervals.count == 0) return;
  double n = static_cast<double>(Intervals.count);
  double mean = Intervals.sum / n;
  double variance = Intervals.sumSquares / n - mean * mean;
  std::fprintf(stderr,
               "qm7: present intervals: %llu, mean %.2f ms, sd %.2f ms, 5%%/50%%/95%% "
               "%.1f/%.1f/%.1f ms, longest %.1f ms\n",
               static_cast<unsigned long long>(Intervals.count), mean,
               std::sqrt(variance > 0 ? variance : 0), Percentile(0.05), Percentile(0.5),
               Percentile(0.95), Intervals.longest);
}

void StandInBegin(HWND window) {
  StandIn.active = true;
  StandIn.window = window;
  StandIn.clientW = StandIn.clientH = -1;
}

bool StandInActive() { return StandIn.active; }

uint32_t StandInCreateSurfaces() {
  if (!StandIn.made) {
    for (auto& frame : StandIn.frames) frame.assign(kFrameBytes / 4, 0);
    StandIn.made = true;
  }
  StandIn.front = 0;
  StandIn.locked[0] = StandIn.locked[1] = false;
  return kOk;
}

bool StandInHasBackBuffer() { return StandIn.made; }

uint32_t StandInLock(bool primary, const int32_t* rect, void** pixels, int32_t* pitch) {
  *pixels = nullptr;
  if (!StandIn.made) return kSurfaceLost;
  int which = primary ? StandIn.front : 1 - StandIn.front;
  if (StandIn.locked[which]) return kSurfaceBusy;
  int32_t left = 0, top = 0;
  if (rect) {
    left = rect[0];
    top = rect[1];
    if (left < 0 || top < 0 || rect[2] > kFrameWidth || rect[3] > kFrameHeight ||
        left >= rect[2] || top >= rect[3])
      return kInvalidRect;
  }
  StandIn.locked[which] = true;
  *pitch = kFrameRowBytes;
  *pixels = reinterpret_cast<uint8_t*>(StandIn.frames[which].data()) + size_t(top) * kFrameRowBytes +
            size_t(left) * 4;
  return kOk;
}

uint32_t StandInUnlock(bool primary) {
  if (!StandIn.made) return kNotLocked;
  int which = primary ? StandIn.front : 1 - StandIn.front;
  if (!StandIn.locked[which]) return kNotLocked;
  StandIn.locked[which] = false;
  return kOk;
}

uint32_t StandInFlip(int refreshHz) {
  if (!StandIn.made) return kSurfaceLost;
  if (StandIn.locked[0] || StandIn.locked[1]) return kSurfaceBusy;
  StandIn.front = 1 - StandIn.front;
  uint32_t result = Show();
  PacePresent(refreshHz);
  NotePresent("stand-in");
  return result;
}

uint32_t StandInIsLost() { return StandIn.made ? kOk : kSurfaceLost; }

// Memory is never lost; surfaces that were never made are made now.
uint32_t StandInRestore() { return StandIn.made ? kOk : StandInCreateSurfaces(); }

}  // namespace win32

// display_device.h — the full-screen, page-flipped display the frame goes to.
//
// One process-wide DisplayDevice (`Display`). Host start-up, in this order:
//   Display.InitDisplay(MainWindow);                    // device, window, mode list
//   Display.ChooseMode(320, 240, 32);                   // false: no such mode, stop
//   NeedsConversion = !Display.SetSourceFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF);
//   Display.CreateSurfaces();                           // mode set, flipping chain
// Then once per frame (host main loop, display/present.cpp):
//   NeedsConversion ? Display.PresentConverted(FrameBuffer, 0, 240)
//                   : Display.PresentPlain(FrameBuffer, 0, 240);
// Every operation returns true for success. Every display call result that is
// tested goes through CheckResult (display/error_reporter.h), which shows a
// popup for known error codes; a failing start-up step has shown its popup
// when it returns false, unless it says otherwise. Nothing the device creates
// is ever released.
#pragma once
#include <cstdint>

#include "display/error_reporter.h"
#include "platform/ddraw.h"
#include "platform/window_handle.h"

// One enumerated display mode.
struct DisplayModeRecord {
  uint32_t width;
  uint32_t height;
  uint32_t bits;
  uint32_t redMask;
  uint32_t greenMask;
  uint32_t blueMask;
};

// The modes listed by InitDisplay, in listing order. Modes beyond the room
// of the table are not stored (the listing is stopped).
constexpr int kModeTableSize = 1024;
struct DisplayModeTable {
  DisplayModeRecord records[kModeTableSize];
  int modeCount;
};
extern DisplayModeTable ModeTable;

// Mode listing callback handed to EnumDisplayModes by InitDisplay: appends the
// mode to ModeTable; DDENUMRET_CANCEL once the table is full, else DDENUMRET_OK.
HRESULT OnDisplayMode(DDSURFACEDESC2* mode, void* context);

// Number of zero bits below the lowest set bit (0xF800 -> 11); 0 for mask 0.
uint32_t MaskShift(uint32_t mask);

// SetSourceFormat's converter for a 32-bit source into a mode of 4 bytes per
// pixel (source bits + mode bytes per pixel); the only one PresentConverted handles.
constexpr uint32_t kConvert32To4Bytes = 32 + 4;

class DisplayDevice {
 public:
  virtual ~DisplayDevice() {}  // releases nothing: the device lives to process end

  // Host start-up: makes the window the popups' owner, creates the device,
  // takes the window full-screen and exclusive, lists the modes into ModeTable.
  bool InitDisplay(WindowHandle window);
  // Host start-up: picks the first listed mode of exactly this size and depth
  // and records its layout. False (nothing stored, no popup) when none matches.
  bool ChooseMode(uint32_t width, uint32_t height, uint32_t bits);
  // Host start-up: true when the chosen mode has exactly the frame's pixel
  // format (present with PresentPlain); else records the source format and
  // the mode's channel shifts and returns false (present with PresentConverted).
  bool SetSourceFormat(uint32_t bits, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
  // Host start-up: sets the chosen mode, creates the primary surface with one
  // back buffer and fetches the back buffer.
  bool CreateSurfaces();

  // Host, once per frame: writes the source rows into back buffer rows
  // firstRow..endRow-1 and flips. The source holds (endRow - firstRow) rows of
  // modeWidth pixels, without gaps. PresentPlain copies the bytes as they are;
  // PresentConverted moves each pixel's 8-bit channels to the mode's channel
  // positions. False when the frame was not shown because of an error (a
  // failed lock, or a flip error known to CheckResult).
  bool PresentPlain(const void* source, int firstRow, int endRow);
  bool PresentConverted(const void* source, int firstRow, int endRow);

  WindowHandle window = nullptr;
  IDirectDraw7* directDraw = nullptr;
  IDirectDrawSurface7* primary = nullptr;
  IDirectDrawSurface7* backBuffer = nullptr;
  uint32_t modeBytesPerPixel = 0;
  uint32_t modeHeight = 0;
  uint32_t modeBits = 0;
  uint32_t modeWidth = 0;
  uint32_t modeRedMask = 0, modeGreenMask = 0, modeBlueMask = 0;
  uint32_t modeRedShift = 0, modeGreenShift = 0, modeBlueShift = 0;
  uint32_t sourceBytesPerPixel = 0;
  uint32_t sourceBits = 0;
  uint32_t sourceRedMask = 0, sourceGreenMask = 0, sourceBlueMask = 0;
  uint32_t converter = 0;  // sourceBits + modeBytesPerPixel, e.g. kConvert32To4Bytes

  // Set when a lock or flip found the surfaces lost (or failed); the next
  // frame restores the chain before locking.
  bool surfacesLost = false;
  // Flip errors already shown, by message table index: each distinct code
  // pops up once, later repeats only skip the frame.
  bool flipErrorShown[kErrorMessageCount] = {};

 private:
  uint8_t* LockBackBuffer(int32_t* pitch, uint32_t* width, uint32_t* height);
  bool FinishFrame();
};

// The one display of the process; exists before the host starts.
extern DisplayDevice Display;

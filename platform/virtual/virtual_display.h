// virtual_display.h — the in-memory display and popup: what tests and the
// capture tool set up and read back.
//
// The display device (display/) runs unchanged over surfaces in RAM. Nothing
// is shown; every call is counted, its flags recorded, and its result can be
// forced. Unforced, a call keeps the surface rules of the real twins
// (SurfaceChain in platform/ddraw_rules.h): a window first, then a mode,
// then the chain; only the back buffer locks. Usual use:
//
//   VirtualDisplayReset();                     // standard modes, all calls DD_OK
//   VirtualDisplay.pitch = 1536;               // rows wider than the picture
//   VirtualDisplay.results[kVirtualFlip] = DDERR_SURFACEBUSY;   // force a failure
//   ... run the host or call the display device ...
//   VirtualFrame shown = VirtualFrontBuffer(); // the picture last flipped
//   VirtualDisplay.callCount[kVirtualFlip], VirtualPopups (texts shown)
//
// Flip swaps the two surfaces' memory, so after a flip the back buffer holds
// the picture shown before, as on a real flipping chain.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ddraw_rules.h"

enum VirtualCall {
  kVirtualCreate,  // DirectDrawCreateEx
  kVirtualSetCooperativeLevel,
  kVirtualEnumDisplayModes,
  kVirtualSetDisplayMode,
  kVirtualCreateSurface,
  kVirtualGetAttachedSurface,
  kVirtualLock,
  kVirtualUnlock,
  kVirtualFlip,
  kVirtualRestore,
  kVirtualCallCount
};

struct VirtualDisplayState {
  // ---- set up by the test or tool
  std::vector<DdMode> modes;  // what EnumDisplayModes lists, in this order
  int32_t pitch;              // row pitch of new surfaces; 0 = width x bytes per pixel
  // A call whose entry is not DD_OK returns it and does nothing else (Lock
  // then leaves lpSurface null).
  HRESULT results[kVirtualCallCount];
  // While set, Lock and Flip answer DDERR_SURFACELOST; Restore clears it.
  bool surfacesLost;

  // ---- recorded
  uint32_t callCount[kVirtualCallCount];
  // Flags of the last call: cooperative level, listing, lock and flip flags;
  // CreateSurface: ddsCaps.dwCaps; GetAttachedSurface: the caps asked for.
  uint32_t lastFlags[kVirtualCallCount];
  int modesListed;                // callbacks made by the last EnumDisplayModes
  DdMode mode;                    // set by SetDisplayMode (kFrameMode before)
  uint32_t createDescFlags;       // dwFlags of the CreateSurface description
  uint32_t createBackBufferCount; // dwBackBufferCount of the same
  SurfaceChain chain;             // window, flags, mode set, chain made, locked
  uint32_t flipCount;

  // ---- surface memory: pitch x mode.height bytes each, made by CreateSurface
  std::vector<uint8_t> front;
  std::vector<uint8_t> back;
  int32_t surfacePitch;
};

extern VirtualDisplayState VirtualDisplay;

// Back to the start: the standard mode list (kStandardModes), pitch 0, all
// results DD_OK, nothing lost, counters and recordings cleared, no surfaces,
// and the popup record emptied.
void VirtualDisplayReset();

// The picture last flipped: front buffer memory, its size and pitch. pixels
// is null before the first flip.
struct VirtualFrame {
  const uint8_t* pixels;
  int width;
  int height;
  int pitch;
};
VirtualFrame VirtualFrontBuffer();

// Texts passed to ShowModalMessage, oldest first (virtual_popup.cpp).
extern std::vector<std::string> VirtualPopups;

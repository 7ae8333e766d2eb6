// ddraw.h — the page-flipping display as the display device sees it.
//
// A small COM-like surface: a device object (IDirectDraw7) that takes over the
// window, lists display modes, sets one and creates a primary surface with one
// attached back buffer (IDirectDrawSurface7) that is locked, written, unlocked
// and flipped. Every call returns DD_OK or one of the DDERR_* result codes
// below, with the numeric values of the DirectDraw 7 headers, so the error
// reporter's message table (display/error_reporter.cpp) speaks the same codes.
//
// Each platform twin implements it, one chosen at link time, and shares the
// mode list, descriptions and checks of platform/ddraw_rules.h. They differ
// in the modes they list and in how Flip reaches the screen:
//   sdl/      the standard list; scaled into the window, 4:3 with black
//             bars
//   win32/    the real display's modes and flip; where the display lacks
//             320x240x32 or the demo starts in a window, a stand-in mode of
//             that size: two frames of memory the twin owns, enlarged into
//             the window with OpenGL where a graphics card draws it, else
//             with GDI
//   web/      only 320x240x32; the page's canvas, at the browser's next paint
//   virtual/  the standard list, or the one a test sets; memory only, every
//             call counted and its result open to forcing
//
// Usage (what display/display_device.cpp and display/present.cpp do):
//   IDirectDraw7* dd;  DirectDrawCreateEx(nullptr, &dd, nullptr);
//   dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
//   dd->EnumDisplayModes(DDEDM_STANDARDVGAMODES, nullptr, nullptr, OnDisplayMode);
//   dd->SetDisplayMode(320, 240, 32, 0, 0);
//   dd->CreateSurface(&desc /* primary + 1 back buffer */, &primary, nullptr);
//   primary->GetAttachedSurface(&caps /* DDSCAPS_BACKBUFFER */, &back);
//   per frame: back->Lock(...), write rows, back->Unlock(...), primary->Flip(...)
//   after a lost surface: primary->Restore() before the next Lock
// Objects live until the process ends; there is no Release.
//
// Why result codes here when the rest of the program returns bool: this is
// the boundary to an emulated display interface, and the display device
// (display/) shows the user the text that belongs to each failure code. So
// every twin returns the codes of that interface, and this header carries the
// whole code table (values as the interface defines them) even though a twin
// only produces a few: the error reporter's message table is keyed by all of
// them. Above display/, success is reported as bool.
#pragma once
#include <cstdint>

#include "platform/window_handle.h"

using HRESULT = uint32_t;  // result code, compared by its unsigned value

// ---- result codes --------------------------------------------------------
constexpr HRESULT DD_OK = 0;
constexpr HRESULT kDdFacility = 0x88760000u;  // MAKE_DDHRESULT(0)
constexpr HRESULT MakeDdResult(uint32_t code) { return kDdFacility + code; }

constexpr HRESULT DDERR_UNSUPPORTED = 0x80004001u;
constexpr HRESULT DDERR_GENERIC = 0x80004005u;
constexpr HRESULT DDERR_OUTOFMEMORY = 0x8007000Eu;
constexpr HRESULT DDERR_INVALIDPARAMS = 0x80070057u;
constexpr HRESULT DDERR_NOTINITIALIZED = 0x800401F0u;
constexpr HRESULT DDERR_ALREADYINITIALIZED = MakeDdResult(5);
constexpr HRESULT DDERR_CANNOTATTACHSURFACE = MakeDdResult(10);
constexpr HRESULT DDERR_CANNOTDETACHSURFACE = MakeDdResult(20);
constexpr HRESULT DDERR_CURRENTLYNOTAVAIL = MakeDdResult(40);
constexpr HRESULT DDERR_EXCEPTION = MakeDdResult(55);
constexpr HRESULT DDERR_HEIGHTALIGN = MakeDdResult(90);
constexpr HRESULT DDERR_INCOMPATIBLEPRIMARY = MakeDdResult(95);
constexpr HRESULT DDERR_INVALIDCAPS = MakeDdResult(100);
constexpr HRESULT DDERR_INVALIDCLIPLIST = MakeDdResult(110);
constexpr HRESULT DDERR_INVALIDMODE = MakeDdResult(120);
constexpr HRESULT DDERR_INVALIDOBJECT = MakeDdResult(130);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDdResult(145);
constexpr HRESULT DDERR_INVALIDRECT = MakeDdResult(150);
constexpr HRESULT DDERR_LOCKEDSURFACES = MakeDdResult(160);
constexpr HRESULT DDERR_NO3D = MakeDdResult(170);
constexpr HRESULT DDERR_NOALPHAHW = MakeDdResult(180);
constexpr HRESULT DDERR_NOSTEREOHARDWARE = MakeDdResult(181);
constexpr HRESULT DDERR_NOSURFACELEFT = MakeDdResult(182);
constexpr HRESULT DDERR_NOCLIPLIST = MakeDdResult(205);
constexpr HRESULT DDERR_NOCOLORCONVHW = MakeDdResult(210);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MakeDdResult(212);
constexpr HRESULT DDERR_NOCOLORKEY = MakeDdResult(215);
constexpr HRESULT DDERR_NOCOLORKEYHW = MakeDdResult(220);
constexpr HRESULT DDERR_NODIRECTDRAWSUPPORT = MakeDdResult(222);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDdResult(225);
constexpr HRESULT DDERR_NOFLIPHW = MakeDdResult(230);
constexpr HRESULT DDERR_NOGDI = MakeDdResult(240);
constexpr HRESULT DDERR_NOMIRRORHW = MakeDdResult(250);
constexpr HRESULT DDERR_NOTFOUND = MakeDdResult(255);
constexpr HRESULT DDERR_NOOVERLAYHW = MakeDdResult(260);
constexpr HRESULT DDERR_OVERLAPPINGRECTS = MakeDdResult(270);
constexpr HRESULT DDERR_NORASTEROPHW = MakeDdResult(280);
constexpr HRESULT DDERR_NOROTATIONHW = MakeDdResult(290);
constexpr HRESULT DDERR_NOSTRETCHHW = MakeDdResult(310);
constexpr HRESULT DDERR_NOT4BITCOLOR = MakeDdResult(316);
constexpr HRESULT DDERR_NOT4BITCOLORINDEX = MakeDdResult(317);
constexpr HRESULT DDERR_NOT8BITCOLOR = MakeDdResult(320);
constexpr HRESULT DDERR_NOTEXTUREHW = MakeDdResult(330);
constexpr HRESULT DDERR_NOVSYNCHW = MakeDdResult(335);
constexpr HRESULT DDERR_NOZBUFFERHW = MakeDdResult(340);
constexpr HRESULT DDERR_NOZOVERLAYHW = MakeDdResult(350);
constexpr HRESULT DDERR_OUTOFCAPS = MakeDdResult(360);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MakeDdResult(380);
constexpr HRESULT DDERR_OVERLAYCANTCLIP = MakeDdResult(382);
constexpr HRESULT DDERR_OVERLAYCOLORKEYONLYONEACTIVE = MakeDdResult(384);
constexpr HRESULT DDERR_PALETTEBUSY = MakeDdResult(387);
constexpr HRESULT DDERR_COLORKEYNOTSET = MakeDdResult(400);
constexpr HRESULT DDERR_SURFACEALREADYATTACHED = MakeDdResult(410);
constexpr HRESULT DDERR_SURFACEALREADYDEPENDENT = MakeDdResult(420);
constexpr HRESULT DDERR_SURFACEBUSY = MakeDdResult(430);
constexpr HRESULT DDERR_CANTLOCKSURFACE = MakeDdResult(435);
constexpr HRESULT DDERR_SURFACEISOBSCURED = MakeDdResult(440);
constexpr HRESULT DDERR_SURFACELOST = MakeDdResult(450);
constexpr HRESULT DDERR_SURFACENOTATTACHED = MakeDdResult(460);
constexpr HRESULT DDERR_TOOBIGHEIGHT = MakeDdResult(470);
constexpr HRESULT DDERR_TOOBIGSIZE = MakeDdResult(480);
constexpr HRESULT DDERR_TOOBIGWIDTH = MakeDdResult(490);
constexpr HRESULT DDERR_UNSUPPORTEDFORMAT = MakeDdResult(510);
constexpr HRESULT DDERR_UNSUPPORTEDMASK = MakeDdResult(520);
constexpr HRESULT DDERR_INVALIDSTREAM = MakeDdResult(521);
constexpr HRESULT DDERR_VERTICALBLANKINPROGRESS = MakeDdResult(537);
constexpr HRESULT DDERR_WASSTILLDRAWING = MakeDdResult(540);
constexpr HRESULT DDERR_DDSCAPSCOMPLEXREQUIRED = MakeDdResult(542);
constexpr HRESULT DDERR_XALIGN = MakeDdResult(560);
constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = MakeDdResult(561);
constexpr HRESULT DDERR_DIRECTDRAWALREADYCREATED = MakeDdResult(562);
constexpr HRESULT DDERR_NODIRECTDRAWHW = MakeDdResult(563);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDdResult(564);
constexpr HRESULT DDERR_NOEMULATION = MakeDdResult(565);
constexpr HRESULT DDERR_REGIONTOOSMALL = MakeDdResult(566);
constexpr HRESULT DDERR_CLIPPERISUSINGHWND = MakeDdResult(567);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = MakeDdResult(568);
constexpr HRESULT DDERR_NOHWND = MakeDdResult(569);
constexpr HRESULT DDERR_HWNDSUBCLASSED = MakeDdResult(570);
constexpr HRESULT DDERR_HWNDALREADYSET = MakeDdResult(571);
constexpr HRESULT DDERR_NOPALETTEATTACHED = MakeDdResult(572);
constexpr HRESULT DDERR_NOPALETTEHW = MakeDdResult(573);
constexpr HRESULT DDERR_BLTFASTCANTCLIP = MakeDdResult(574);
constexpr HRESULT DDERR_NOBLTHW = MakeDdResult(575);
constexpr HRESULT DDERR_NODDROPSHW = MakeDdResult(576);
constexpr HRESULT DDERR_OVERLAYNOTVISIBLE = MakeDdResult(577);
constexpr HRESULT DDERR_NOOVERLAYDEST = MakeDdResult(578);
constexpr HRESULT DDERR_INVALIDPOSITION = MakeDdResult(579);
constexpr HRESULT DDERR_NOTAOVERLAYSURFACE = MakeDdResult(580);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = MakeDdResult(581);
constexpr HRESULT DDERR_NOTFLIPPABLE = MakeDdResult(582);
constexpr HRESULT DDERR_CANTDUPLICATE = MakeDdResult(583);
constexpr HRESULT DDERR_NOTLOCKED = MakeDdResult(584);
constexpr HRESULT DDERR_CANTCREATEDC = MakeDdResult(585);
constexpr HRESULT DDERR_NODC = MakeDdResult(586);
constexpr HRESULT DDERR_WRONGMODE = MakeDdResult(587);
constexpr HRESULT DDERR_IMPLICITLYCREATED = MakeDdResult(588);
constexpr HRESULT DDERR_NOTPALETTIZED = MakeDdResult(589);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = MakeDdResult(590);
constexpr HRESULT DDERR_NOMIPMAPHW = MakeDdResult(591);
constexpr HRESULT DDERR_INVALIDSURFACETYPE = MakeDdResult(592);
constexpr HRESULT DDERR_NOOPTIMIZEHW = MakeDdResult(600);
constexpr HRESULT DDERR_NOTLOADED = MakeDdResult(601);
constexpr HRESULT DDERR_NOFOCUSWINDOW = MakeDdResult(602);
constexpr HRESULT DDERR_NOTONMIPMAPSUBLEVEL = MakeDdResult(603);
constexpr HRESULT DDERR_DCALREADYCREATED = MakeDdResult(620);
constexpr HRESULT DDERR_NONONLOCALVIDMEM = MakeDdResult(630);
constexpr HRESULT DDERR_CANTPAGELOCK = MakeDdResult(640);
constexpr HRESULT DDERR_CANTPAGEUNLOCK = MakeDdResult(660);
constexpr HRESULT DDERR_NOTPAGELOCKED = MakeDdResult(680);
constexpr HRESULT DDERR_MOREDATA = MakeDdResult(690);
constexpr HRESULT DDERR_EXPIRED = MakeDdResult(691);
constexpr HRESULT DDERR_TESTFINISHED = MakeDdResult(692);
constexpr HRESULT DDERR_NEWMODE = MakeDdResult(693);
constexpr HRESULT DDERR_D3DNOTINITIALIZED = MakeDdResult(694);
constexpr HRESULT DDERR_VIDEONOTACTIVE = MakeDdResult(695);
constexpr HRESULT DDERR_NOMONITORINFORMATION = MakeDdResult(696);
constexpr HRESULT DDERR_NODRIVERSUPPORT = MakeDdResult(697);
constexpr HRESULT DDERR_DEVICEDOESNTOWNSURFACE = MakeDdResult(699);

// ---- flags -----------------------------------------------------------------
constexpr uint32_t DDSCL_FULLSCREEN = 0x00000001;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x00000010;
constexpr uint32_t DDEDM_STANDARDVGAMODES = 0x00000002;
constexpr uint32_t DDSD_CAPS = 0x00000001;
constexpr uint32_t DDSD_HEIGHT = 0x00000002;
constexpr uint32_t DDSD_WIDTH = 0x00000004;
constexpr uint32_t DDSD_PITCH = 0x00000008;
constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x00000020;
constexpr uint32_t DDSD_LPSURFACE = 0x00000800;
constexpr uint32_t DDSD_PIXELFORMAT = 0x00001000;
constexpr uint32_t DDSCAPS_BACKBUFFER = 0x00000004;
constexpr uint32_t DDSCAPS_COMPLEX = 0x00000008;
constexpr uint32_t DDSCAPS_FLIP = 0x00000010;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr uint32_t DDPF_RGB = 0x00000040;
constexpr uint32_t DDLOCK_WAIT = 0x00000001;
constexpr uint32_t DDFLIP_WAIT = 0x00000001;
constexpr HRESULT DDENUMRET_CANCEL = 0;
constexpr HRESULT DDENUMRET_OK = 1;

// ---- records ---------------------------------------------------------------
struct DDPIXELFORMAT {
  uint32_t dwSize;
  uint32_t dwFlags;
  uint32_t dwFourCC;
  uint32_t dwRGBBitCount;
  uint32_t dwRBitMask;
  uint32_t dwGBitMask;
  uint32_t dwBBitMask;
  uint32_t dwRGBAlphaBitMask;
};

struct DDSCAPS2 {
  uint32_t dwCaps;
  uint32_t dwCaps2;
  uint32_t dwCaps3;
  uint32_t dwCaps4;
};

// The fields of the surface description that this program reads or writes.
// Callers set dwSize to sizeof(DDSURFACEDESC2); a different size is refused
// with DDERR_INVALIDPARAMS.
struct DDSURFACEDESC2 {
  uint32_t dwSize;
  uint32_t dwFlags;
  uint32_t dwHeight;
  uint32_t dwWidth;
  int32_t lPitch;
  uint32_t dwBackBufferCount;
  uint32_t dwRefreshRate;
  void* lpSurface;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS2 ddsCaps;
};

struct RECT {
  int32_t left, top, right, bottom;
};

// Called once per mode by EnumDisplayModes; DDENUMRET_CANCEL stops the listing.
using LPDDENUMMODESCALLBACK2 = HRESULT (*)(DDSURFACEDESC2* mode, void* context);

// ---- objects ---------------------------------------------------------------
class IDirectDrawSurface7 {
 public:
  // Display device start-up, once on the primary: the surface attached with
  // the given caps (DDSCAPS_BACKBUFFER: the back buffer) into *out; DD_OK, or
  // an error code (DDERR_NOTFOUND for other caps) with *out null.
  virtual HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) = 0;
  // Every frame, on the back buffer: fills desc (dwWidth, dwHeight, lPitch,
  // lpSurface, ddpfPixelFormat) and gives access to the pixels until Unlock.
  // On failure desc->lpSurface is null and nothing may be written. rect null
  // = whole surface.
  virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, uint32_t flags, void* event) = 0;
  // Every frame, after writing the rows: ends the access Lock gave; the
  // pixel pointer is not used after it. DD_OK, or an error code.
  virtual HRESULT Unlock(RECT* rect) = 0;
  // Every frame, after Unlock: shows the back buffer (called on the primary);
  // DDFLIP_WAIT waits for the display to accept it (a vertical blank where the
  // twin has one). DD_OK, DDERR_SURFACELOST while the surfaces are lost (the
  // display device then calls Restore before the next frame), or another code.
  virtual HRESULT Flip(IDirectDrawSurface7* override, uint32_t flags) = 0;
  // Not called by the program: DDERR_SURFACELOST while the surface's memory
  // is gone, else DD_OK. The display device learns of a loss from Lock and
  // Flip instead.
  virtual HRESULT IsLost() = 0;
  // Display device, before the frame after a lost surface (on the primary):
  // brings back the memory of a lost surface and of the chain attached to it;
  // the contents are undefined afterwards. DD_OK, or an error code (the frame
  // is then skipped and Restore tried again on the next).
  virtual HRESULT Restore() = 0;

 protected:
  ~IDirectDrawSurface7() = default;
};

class IDirectDraw7 {
 public:
  // Display device start-up, first call: takes over `window` (the host's one
  // window) with DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN. DD_OK, or an error code:
  // sdl/ and web/ give DDERR_NOHWND for a missing window, win32/ passes on
  // the system's answer (and chooses the stand-in mode here), virtual/ takes
  // any window and records it.
  virtual HRESULT SetCooperativeLevel(WindowHandle window, uint32_t flags) = 0;
  // Display device start-up, after SetCooperativeLevel: calls `callback` once
  // per mode the twin offers (width, height, pitch and pixel format filled in,
  // `context` passed through) until it returns DDENUMRET_CANCEL: the standard
  // list on sdl/ and virtual/, the real display's modes on win32/, the one
  // 320x240x32 mode on web/. DD_OK, or DDERR_INVALIDPARAMS without a callback.
  virtual HRESULT EnumDisplayModes(uint32_t flags, DDSURFACEDESC2* filter, void* context,
                                   LPDDENUMMODESCALLBACK2 callback) = 0;
  // Display device start-up, with the mode it chose from the listing: switches
  // to it (refreshRate 0 = the default). Only win32/ changes the screen's
  // mode; sdl/ keeps the desktop's and scales, web/ and virtual/ only note it.
  // DD_OK, DDERR_INVALIDMODE for a mode the twin does not offer, or another
  // code.
  virtual HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bits,
                                 uint32_t refreshRate, uint32_t flags) = 0;
  // Display device start-up, after SetDisplayMode: creates the flipping
  // primary with its back buffer (DDSD_CAPS | DDSD_BACKBUFFERCOUNT, caps
  // DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, one back buffer)
  // into *out; `outer` must be null. DD_OK, or an error code with *out null
  // (sdl/, web/ and virtual/ give DDERR_INVALIDCAPS for any other request).
  virtual HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out,
                                void* outer) = 0;

 protected:
  ~IDirectDraw7() = default;
};

// Display device start-up, before any other call: creates the device object
// (default driver: guid null; outer must be null) into *out. DD_OK, or an
// error code with *out null (sdl/ when SDL's video cannot start, win32/ the
// system's own). The object is owned by the platform and lives until the
// process ends.
HRESULT DirectDrawCreateEx(const void* guid, IDirectDraw7** out, void* outer);

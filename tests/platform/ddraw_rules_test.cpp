// The display rules every twin shares (platform/ddraw_rules.h): the standard
// mode list, how a listed mode is described and when the listing stops, the
// flip-chain request, and the argument checks.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/ddraw_rules.h"

namespace {

bool SameMode(const DdMode& a, const DdMode& b) {
  return a.width == b.width && a.height == b.height && a.bits == b.bits &&
         a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

TEST(DdrawRules, StandardModesAreTheUsualSizesAt16Then32BitsSmallestFirst) {
  constexpr uint32_t r16 = 0xF800, g16 = 0x07E0, b16 = 0x001F;
  constexpr uint32_t r32 = 0x00FF0000, g32 = 0x0000FF00, b32 = 0x000000FF;
  const uint32_t sizes[][2] = {{320, 200},  {320, 240},  {400, 300},  {512, 384},
                               {640, 400},  {640, 480},  {800, 600},  {1024, 768},
                               {1152, 864}, {1280, 960}, {1280, 1024}, {1600, 1200}};
  ASSERT_EQ(kStandardModes.size(), 2 * std::size(sizes));
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    const uint32_t w = sizes[i][0], h = sizes[i][1];
    EXPECT_TRUE(SameMode(kStandardModes[2 * i], {w, h, 16, r16, g16, b16})) << w << "x" << h;
    EXPECT_TRUE(SameMode(kStandardModes[2 * i + 1], {w, h, 32, r32, g32, b32})) << w << "x" << h;
  }
  EXPECT_TRUE(SameMode(kFrameMode, {320, 240, 32, r32, g32, b32}));
}

struct Listing {
  std::vector<DDSURFACEDESC2> seen;
  std::size_t stopAfter = 0;  // 0: never cancels
};

HRESULT Record(DDSURFACEDESC2* desc, void* context) {
  auto* listing = static_cast<Listing*>(context);
  listing->seen.push_back(*desc);
  return listing->seen.size() == listing->stopAfter ? DDENUMRET_CANCEL : DDENUMRET_OK;
}

TEST(DdrawRules, ListModesDescribesEachModePackedUntilTheCallbackCancels) {
  const DdMode modes[] = {{640, 480, 16, 0xF800, 0x07E0, 0x001F}, kFrameMode, kFrameMode};
  Listing all;
  int listed = -1;
  EXPECT_EQ(ListModes(modes, &all, Record, &listed), DD_OK);
  ASSERT_EQ(all.seen.size(), 3u);
  EXPECT_EQ(listed, 3);
  const DDSURFACEDESC2& first = all.seen[0];
  EXPECT_EQ(first.dwSize, sizeof(DDSURFACEDESC2));
  EXPECT_EQ(first.dwFlags, DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT);
  EXPECT_EQ(first.dwWidth, 640u);
  EXPECT_EQ(first.dwHeight, 480u);
  EXPECT_EQ(first.lPitch, 1280);
  EXPECT_EQ(first.lpSurface, nullptr);
  EXPECT_EQ(first.ddpfPixelFormat.dwSize, sizeof(DDPIXELFORMAT));
  EXPECT_EQ(first.ddpfPixelFormat.dwFlags, DDPF_RGB);
  EXPECT_EQ(first.ddpfPixelFormat.dwFourCC, 0u);
  EXPECT_EQ(first.ddpfPixelFormat.dwRGBBitCount, 16u);
  EXPECT_EQ(first.ddpfPixelFormat.dwRBitMask, 0xF800u);
  EXPECT_EQ(first.ddpfPixelFormat.dwGBitMask, 0x07E0u);
  EXPECT_EQ(first.ddpfPixelFormat.dwBBitMask, 0x001Fu);
  EXPECT_EQ(first.ddpfPixelFormat.dwRGBAlphaBitMask, 0u);
  EXPECT_EQ(all.seen[1].lPitch, kFrameRowBytes);

  Listing two;
  two.stopAfter = 2;
  EXPECT_EQ(ListModes(modes, &two, Record, &listed), DD_OK);
  EXPECT_EQ(two.seen.size(), 2u);
  EXPECT_EQ(listed, 2);

  listed = 7;
  EXPECT_EQ(ListModes(modes, nullptr, nullptr, &listed), DDERR_INVALIDPARAMS);
  EXPECT_EQ(listed, 7);  // nothing listed, nothing counted
}

TEST(DdrawRules, FindModeMatchesSizeAndDepth) {
  EXPECT_TRUE(SameMode(*FindMode(kStandardModes, 320, 240, 32), kFrameMode));
  EXPECT_EQ(FindMode(kStandardModes, 320, 240, 24), nullptr);
  EXPECT_EQ(FindMode(kStandardModes, 240, 320, 32), nullptr);
}

TEST(DdrawRules, OnlyAFlippingPrimaryWithOneBackBufferIsAChain) {
  constexpr uint32_t kChain = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  struct Case {
    const char* what;
    uint32_t flags, caps, backBuffers;
    bool chain;
  } cases[] = {
      {"the display device's request", DDSD_CAPS | DDSD_BACKBUFFERCOUNT, kChain, 1, true},
      {"other caps beside the chain", DDSD_CAPS | DDSD_BACKBUFFERCOUNT, kChain | 0x1000, 1, true},
      {"no flip", DDSD_CAPS | DDSD_BACKBUFFERCOUNT, kChain & ~DDSCAPS_FLIP, 1, false},
      {"not the primary", DDSD_CAPS | DDSD_BACKBUFFERCOUNT, kChain & ~DDSCAPS_PRIMARYSURFACE, 1,
       false},
      {"not complex", DDSD_CAPS | DDSD_BACKBUFFERCOUNT, kChain & ~DDSCAPS_COMPLEX, 1, false},
      {"count not flagged", DDSD_CAPS, kChain, 1, false},
      {"two back buffers", DDSD_CAPS | DDSD_BACKBUFFERCOUNT, kChain, 2, false},
      {"no back buffer", DDSD_CAPS | DDSD_BACKBUFFERCOUNT, kChain, 0, false},
  };
  for (const Case& c : cases) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = c.flags;
    desc.ddsCaps.dwCaps = c.caps;
    desc.dwBackBufferCount = c.backBuffers;
    EXPECT_EQ(IsFlipChainRequest(desc), c.chain) << c.what;
  }
}

// Objects whose addresses the checks hand around; nothing calls them.
class NoSurface final : public IDirectDrawSurface7 {
 public:
  HRESULT GetAttachedSurface(DDSCAPS2*, IDirectDrawSurface7**) override { return DD_OK; }
  HRESULT Lock(RECT*, DDSURFACEDESC2*, uint32_t, void*) override { return DD_OK; }
  HRESULT Unlock(RECT*) override { return DD_OK; }
  HRESULT Flip(IDirectDrawSurface7*, uint32_t) override { return DD_OK; }
  HRESULT IsLost() override { return DD_OK; }
  HRESULT Restore() override { return DD_OK; }
};
class NoDevice final : public IDirectDraw7 {
 public:
  HRESULT SetCooperativeLevel(WindowHandle, uint32_t) override { return DD_OK; }
  HRESULT EnumDisplayModes(uint32_t, DDSURFACEDESC2*, void*, LPDDENUMMODESCALLBACK2) override {
    return DD_OK;
  }
  HRESULT SetDisplayMode(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override {
    return DD_OK;
  }
  HRESULT CreateSurface(DDSURFACEDESC2*, IDirectDrawSurface7**, void*) override { return DD_OK; }
};

TEST(DdrawRules, ArgumentChecksClearTheOutputFirst) {
  NoSurface surface;
  IDirectDrawSurface7* const stale = &surface;
  NoDevice staleDevice;
  int outer = 0;

  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof desc;
  desc.lpSurface = &outer;
  EXPECT_EQ(CheckLockArgs(&desc), DD_OK);
  EXPECT_EQ(desc.lpSurface, nullptr);
  desc.dwSize = sizeof desc - 4;
  desc.lpSurface = &outer;
  EXPECT_EQ(CheckLockArgs(&desc), DDERR_INVALIDPARAMS);
  EXPECT_EQ(desc.lpSurface, nullptr);
  EXPECT_EQ(CheckLockArgs(nullptr), DDERR_INVALIDPARAMS);

  IDirectDrawSurface7* out = stale;
  desc.dwSize = sizeof desc;
  EXPECT_EQ(CheckSurfaceArgs(&desc, &out, nullptr), DD_OK);
  EXPECT_EQ(out, nullptr);
  out = stale;
  EXPECT_EQ(CheckSurfaceArgs(&desc, &out, &outer), DDERR_INVALIDPARAMS);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(CheckSurfaceArgs(nullptr, &out, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(CheckSurfaceArgs(&desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
  desc.dwSize = sizeof desc + 4;
  EXPECT_EQ(CheckSurfaceArgs(&desc, &out, nullptr), DDERR_INVALIDPARAMS);

  IDirectDraw7* device = &staleDevice;
  EXPECT_EQ(CheckCreateArgs(&device, nullptr), DD_OK);
  EXPECT_EQ(device, nullptr);
  device = &staleDevice;
  EXPECT_EQ(CheckCreateArgs(&device, &outer), DDERR_INVALIDPARAMS);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(CheckCreateArgs(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST(DdrawRules, OnlyThePrimaryHandsOutItsBackBufferOnceTheChainExists) {
  NoSurface back, stale;
  DDSCAPS2 backCaps = {DDSCAPS_BACKBUFFER, 0, 0, 0};
  DDSCAPS2 otherCaps = {DDSCAPS_FLIP, 0, 0, 0};
  struct Case {
    const char* what;
    const DDSCAPS2* caps;
    bool onPrimary, chainMade;
    HRESULT result;
  } cases[] = {
      {"asked on the primary", &backCaps, true, true, DD_OK},
      {"before the chain exists", &backCaps, true, false, DDERR_NOTFOUND},
      {"asked on the back buffer", &backCaps, false, true, DDERR_NOTFOUND},
      {"other caps", &otherCaps, true, true, DDERR_NOTFOUND},
      {"no caps", nullptr, true, true, DDERR_INVALIDPARAMS},
  };
  for (const Case& c : cases) {
    IDirectDrawSurface7* out = &stale;
    EXPECT_EQ(AttachedBackBuffer(c.caps, &out, c.onPrimary, c.chainMade, &back), c.result)
        << c.what;
    EXPECT_EQ(out, c.result == DD_OK ? &back : nullptr) << c.what;
  }
  EXPECT_EQ(AttachedBackBuffer(&backCaps, nullptr, true, true, &back), DDERR_INVALIDPARAMS);
}

}  // namespace

// surface_rules.h — the surface rules a display twin keeps (platform/
// ddraw_rules.h, SurfaceChain), walked the same way on the in-memory display
// (display_setup_test.cpp) and on the real SDL2 window (sdl_window_test.cpp),
// so a start-up in the wrong order fails on the test twin as on the real one.
//
//   ExpectWrongOrderRefused(window);   // a fresh twin: nothing made yet
//   ... the display device's own start-up ...
//   ExpectMisuseRefused(device.directDraw, device.primary, device.backBuffer);
#pragma once
#include <gtest/gtest.h>

#include "platform/ddraw.h"

// The flipping chain the display device asks for.
inline DDSURFACEDESC2 FlipChainRequest() {
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  return desc;
}

// Surfaces before a cooperative level, a mode before it, surfaces before the
// mode: each refused, nothing made. Leaves the cooperative level set.
inline void ExpectWrongOrderRefused(WindowHandle window) {
  IDirectDraw7* dd = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &dd, nullptr), DD_OK);
  DDSURFACEDESC2 desc = FlipChainRequest();
  IDirectDrawSurface7* made = nullptr;
  EXPECT_EQ(dd->CreateSurface(&desc, &made, nullptr), DDERR_NOCOOPERATIVELEVELSET);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(dd->SetDisplayMode(320, 240, 32, 0, 0), DDERR_NOCOOPERATIVELEVELSET);
  EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_NOHWND);
  ASSERT_EQ(dd->SetCooperativeLevel(window, 0), DD_OK);
  EXPECT_EQ(dd->SetDisplayMode(320, 240, 32, 0, 0), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(dd->CreateSurface(&desc, &made, nullptr), DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(made, nullptr);
}

// On a made chain: a second chain, a Lock of the primary, a second Lock, a
// Flip or a mode change while locked, an Unlock of what is not locked, a Flip
// of the back buffer: each refused. Leaves the back buffer unlocked.
inline void ExpectMisuseRefused(IDirectDraw7* dd, IDirectDrawSurface7* primary,
                                IDirectDrawSurface7* back) {
  DDSURFACEDESC2 request = FlipChainRequest();
  IDirectDrawSurface7* made = nullptr;
  EXPECT_EQ(dd->CreateSurface(&request, &made, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_CANTLOCKSURFACE);
  EXPECT_EQ(desc.lpSurface, nullptr);
  EXPECT_EQ(back->Unlock(nullptr), DDERR_NOTLOCKED);
  ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_NE(desc.lpSurface, nullptr);
  EXPECT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
  EXPECT_EQ(dd->SetDisplayMode(320, 240, 32, 0, 0), DDERR_SURFACEBUSY);
  EXPECT_EQ(primary->Unlock(nullptr), DDERR_NOTLOCKED);
  EXPECT_EQ(back->Unlock(nullptr), DD_OK);
  EXPECT_EQ(back->Unlock(nullptr), DDERR_NOTLOCKED);
  EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
}

// Display start-up: mode listing, exact mode choice, source format, surfaces.
#include <string>

#include "tests/display/display_fixture.h"
#include "tests/display/surface_rules.h"

namespace {

TEST_F(DisplayTest, StartUpPassesTheFlagsOfAnExclusiveFlippingChain) {
  ASSERT_TRUE(Start({kMode16, kMode32}));
  EXPECT_FALSE(needsConversion);
  EXPECT_EQ(VirtualDisplay.chain.window, this);
  EXPECT_EQ(VirtualDisplay.lastFlags[kVirtualSetCooperativeLevel], 0x11u);
  EXPECT_EQ(VirtualDisplay.lastFlags[kVirtualEnumDisplayModes], 2u);
  EXPECT_EQ(VirtualDisplay.mode.bits, 32u);
  EXPECT_EQ(VirtualDisplay.lastFlags[kVirtualCreateSurface], 0x218u);
  EXPECT_EQ(VirtualDisplay.createDescFlags, 0x21u);
  EXPECT_EQ(VirtualDisplay.createBackBufferCount, 1u);
  EXPECT_EQ(VirtualDisplay.lastFlags[kVirtualGetAttachedSurface], 4u);
  EXPECT_NE(device.primary, nullptr);
  EXPECT_NE(device.backBuffer, nullptr);
  EXPECT_TRUE(VirtualPopups.empty());
}

// The in-memory display keeps the real twins' surface rules: a start-up in
// the wrong order fails here as it does on the SDL2 window (sdl_window_test.cpp).
TEST_F(DisplayTest, SurfacesInTheWrongOrderAreRefusedAsOnTheRealTwins) {
  ExpectWrongOrderRefused(this);
  EXPECT_FALSE(VirtualDisplay.chain.primaryCreated);
  EXPECT_TRUE(VirtualDisplay.front.empty());
  ASSERT_TRUE(Start({kMode32}));
  ExpectMisuseRefused(device.directDraw, device.primary, device.backBuffer);
  EXPECT_EQ(VirtualDisplay.flipCount, 0u);
}

TEST_F(DisplayTest, ModeChoiceIsExactAndTakesTheFirstOfDuplicates) {
  const DdMode other = {640, 480, 32, 0x00FF0000, 0x0000FF00, 0x000000FF};
  const DdMode first = {320, 240, 32, 0x000000FF, 0x0000FF00, 0x00FF0000};
  const DdMode second = {320, 240, 32, 0x00FF0000, 0x0000FF00, 0x000000FF};
  VirtualDisplay.modes = {other, kMode16, first, second};
  ASSERT_TRUE(device.InitDisplay(this));
  ASSERT_EQ(ModeTable.modeCount, 4);

  ASSERT_EQ(device.ChooseMode(320, 240, 32), 1);
  EXPECT_EQ(device.modeWidth, 320u);
  EXPECT_EQ(device.modeHeight, 240u);
  EXPECT_EQ(device.modeBits, 32u);
  EXPECT_EQ(device.modeBytesPerPixel, 4u);
  EXPECT_EQ(device.modeRedMask, 0x000000FFu);  // the first record's masks
  EXPECT_EQ(device.modeBlueMask, 0x00FF0000u);

  // No fallback to another size or depth; a miss stores nothing.
  EXPECT_EQ(device.ChooseMode(320, 200, 32), 0);
  EXPECT_EQ(device.ChooseMode(320, 240, 24), 0);
  EXPECT_EQ(device.modeBits, 32u);
  EXPECT_EQ(device.modeRedMask, 0x000000FFu);
}

TEST_F(DisplayTest, ADisplayWith320x240OnlyAt16BitsFailsTheChoice) {
  VirtualDisplay.modes = {kMode16, {640, 480, 32, 0x00FF0000, 0x0000FF00, 0x000000FF}};
  ASSERT_TRUE(device.InitDisplay(this));
  EXPECT_EQ(device.ChooseMode(320, 240, 32), 0);
  EXPECT_EQ(device.modeWidth, 0u);
  EXPECT_EQ(device.modeBits, 0u);
  EXPECT_TRUE(VirtualPopups.empty());  // no message for a missing mode
}

TEST_F(DisplayTest, ModeTableKeepsTheFirst1024ModesOfALongerList) {
  // 1500 modes; the wanted one only at position 1100, a decoy at 1023.
  std::vector<DdMode> modes(1500, DdMode{800, 600, 16, 0xF800, 0x07E0, 0x001F});
  modes[1023] = {320, 240, 32, 1, 2, 4};
  modes[1100] = kMode32;
  VirtualDisplay.modes = modes;
  ASSERT_TRUE(device.InitDisplay(this));
  EXPECT_EQ(ModeTable.modeCount, kModeTableSize);
  EXPECT_EQ(VirtualDisplay.modesListed, kModeTableSize);  // listing stopped when full
  ASSERT_EQ(device.ChooseMode(320, 240, 32), 1);
  EXPECT_EQ(device.modeRedMask, 1u);

  // A second start-up lists afresh instead of appending.
  VirtualDisplay.modes = {kMode32};
  ASSERT_TRUE(device.InitDisplay(this));
  EXPECT_EQ(ModeTable.modeCount, 1);
}

TEST(MaskShiftTest, CountsZeroBitsBelowTheLowestSetBit) {
  const struct {
    uint32_t mask, shift;
  } cases[] = {{0x00FF0000, 16}, {0x0000FF00, 8}, {0x000000FF, 0}, {0xF800, 11},
               {0x07E0, 5},      {0x80000000, 31}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(MaskShift(c.mask), c.shift) << std::hex << c.mask;
}

TEST_F(DisplayTest, SourceFormatMatchingTheModeNeedsNoConversion) {
  VirtualDisplay.modes = {kMode32};
  ASSERT_TRUE(device.InitDisplay(this));
  ASSERT_EQ(device.ChooseMode(320, 240, 32), 1);
  EXPECT_EQ(device.SetSourceFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF), 1);
  EXPECT_EQ(device.converter, 0u);  // nothing stored
  EXPECT_EQ(device.sourceBits, 0u);
}

TEST_F(DisplayTest, SourceFormatWithSwappedChannelsSelectsConverter36) {
  VirtualDisplay.modes = {kMode32Swapped};
  ASSERT_TRUE(device.InitDisplay(this));
  ASSERT_EQ(device.ChooseMode(320, 240, 32), 1);
  EXPECT_EQ(device.SetSourceFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF), 0);
  EXPECT_EQ(device.converter, kConvert32To4Bytes);
  EXPECT_EQ(device.sourceBits, 32u);
  EXPECT_EQ(device.sourceBytesPerPixel, 4u);
  EXPECT_EQ(device.sourceRedMask, 0x00FF0000u);
  EXPECT_EQ(device.modeRedShift, 0u);
  EXPECT_EQ(device.modeGreenShift, 8u);
  EXPECT_EQ(device.modeBlueShift, 16u);
}

// Each start-up call failing with a known code: the step fails and its
// message is shown once. An unknown failure code counts as success.
TEST_F(DisplayTest, KnownStartUpErrorsFailTheStepWithTheirMessage) {
  const struct {
    VirtualCall call;
    HRESULT code;
    const char* prefix;
  } cases[] = {
      {kVirtualCreate, DDERR_NODIRECTDRAWSUPPORT, "DirectDraw support is not possible"},
      {kVirtualSetCooperativeLevel, DDERR_EXCLUSIVEMODEALREADYSET, "An attempt was made to set"},
      {kVirtualEnumDisplayModes, DDERR_GENERIC, "There is an undefined error condition. "},
      {kVirtualSetDisplayMode, DDERR_INVALIDMODE, "DirectDraw does not support the requested mode. "},
      {kVirtualCreateSurface, DDERR_OUTOFVIDEOMEMORY, "DirectDraw does not have enough display"},
      {kVirtualGetAttachedSurface, DDERR_NOTFOUND, "The requested item was not found. "},
  };
  for (const auto& c : cases) {
    VirtualDisplayReset();
    DisplayDevice fresh;
    VirtualDisplay.results[c.call] = c.code;
    bool ok = fresh.InitDisplay(this) && fresh.ChooseMode(320, 240, 32) &&
             (fresh.SetSourceFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF), true) &&
             fresh.CreateSurfaces();
    EXPECT_FALSE(ok) << std::hex << c.code;
    ASSERT_EQ(VirtualPopups.size(), 1u) << std::hex << c.code;
    EXPECT_EQ(VirtualPopups[0].rfind(c.prefix, 0), 0u) << VirtualPopups[0];
  }

  // An unknown code passes InitDisplay without a message; the level was not
  // set all the same, so the mode is refused next, as on a real twin.
  VirtualDisplayReset();
  VirtualDisplay.results[kVirtualSetCooperativeLevel] = 0x88760001;  // not in the table
  DisplayDevice fresh;
  EXPECT_TRUE(fresh.InitDisplay(this));
  EXPECT_TRUE(VirtualPopups.empty());
  ASSERT_EQ(fresh.ChooseMode(320, 240, 32), 1);
  EXPECT_FALSE(fresh.CreateSurfaces());
  ASSERT_EQ(VirtualPopups.size(), 1u);
  EXPECT_EQ(VirtualPopups[0].rfind("A create function was called without", 0), 0u)
      << VirtualPopups[0];
}

}  // namespace

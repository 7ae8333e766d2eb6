// Frame presentation: plain copy, channel repacking, row ranges, lock and
// flip failures.
#include <cstring>

#include "kit/frame.h"
#include "tests/display/display_fixture.h"

namespace {

// A frame whose every pixel differs: 0xAARRGGBB with AA a marker that must
// never be confused with the colour.
std::vector<uint32_t> PatternFrame() {
  std::vector<uint32_t> frame(kFrameWidth * kFrameHeight);
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x)
      frame[y * kFrameWidth + x] = 0xA5000000u | uint32_t(y) << 16 | uint32_t(x & 0xFF) << 8 |
                                   (uint32_t(x >> 8) * 0x40 + (x & 0x3F));
  return frame;
}

uint32_t PixelAt(const std::vector<uint8_t>& surface, int pitch, int x, int y) {
  uint32_t v;
  std::memcpy(&v, surface.data() + size_t(y) * pitch + 4 * x, 4);
  return v;
}

TEST_F(DisplayTest, PlainPathPlacesRowsAtThePitchAndLeavesThePaddingAlone) {
  constexpr int kPitch = 1536;
  ASSERT_TRUE(Start({kMode32}, kPitch));
  ASSERT_FALSE(needsConversion);
  std::memset(VirtualDisplay.back.data(), 0xEE, VirtualDisplay.back.size());
  std::vector<uint32_t> frame = PatternFrame();

  EXPECT_TRUE(device.PresentPlain(frame.data(), 0, 240));
  ASSERT_EQ(VirtualDisplay.flipCount, 1u);
  VirtualFrame shown = VirtualFrontBuffer();
  ASSERT_NE(shown.pixels, nullptr);
  ASSERT_EQ(shown.pitch, kPitch);
  for (int y = 0; y < kFrameHeight; ++y) {
    const uint8_t* line = shown.pixels + size_t(y) * kPitch;
    ASSERT_EQ(std::memcmp(line, frame.data() + y * kFrameWidth, kFrameRowBytes), 0) << "row " << y;
    for (int i = kFrameRowBytes; i < kPitch; ++i) ASSERT_EQ(line[i], 0xEE) << "row " << y;
  }
}

TEST_F(DisplayTest, ConvertedPathMovesChannelsToSwappedMasks) {
  constexpr int kPitch = 1300;
  ASSERT_TRUE(Start({kMode32Swapped}, kPitch));
  ASSERT_TRUE(needsConversion);
  std::memset(VirtualDisplay.back.data(), 0xEE, VirtualDisplay.back.size());
  std::vector<uint32_t> frame = PatternFrame();
  frame[0] = 0x00112233;
  frame[1] = 0xFF112233;  // the fourth byte is not shown
  frame[kFrameWidth * 239 + 319] = 0x00FFFFFF;

  EXPECT_TRUE(device.PresentConverted(frame.data(), 0, 240));
  ASSERT_EQ(VirtualDisplay.flipCount, 1u);
  const std::vector<uint8_t>& shown = VirtualDisplay.front;
  EXPECT_EQ(PixelAt(shown, kPitch, 0, 0), 0x00332211u);
  EXPECT_EQ(PixelAt(shown, kPitch, 1, 0), 0x00332211u);
  EXPECT_EQ(PixelAt(shown, kPitch, 319, 239), 0x00FFFFFFu);
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 2; x < kFrameWidth; ++x) {
      if (y == 239 && x == 319) continue;
      uint32_t v = frame[y * kFrameWidth + x];
      uint32_t expected = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
      ASSERT_EQ(PixelAt(shown, kPitch, x, y), expected) << x << "," << y;
    }
    for (int i = kFrameRowBytes; i < kPitch; ++i)
      ASSERT_EQ(shown[size_t(y) * kPitch + i], 0xEE) << "row " << y;
  }
}

TEST_F(DisplayTest, ConvertedPathIntoTheFramesOwnLayoutIsACopyOfTheColour) {
  // Forcing conversion on an identical layout must give back every colour.
  ASSERT_TRUE(Start({kMode32}));
  device.SetSourceFormat(32, 0x000000FF, 0x0000FF00, 0x00FF0000);  // pretend they differ
  ASSERT_EQ(device.converter, kConvert32To4Bytes);
  std::vector<uint32_t> frame = PatternFrame();
  device.PresentConverted(frame.data(), 0, 240);
  for (int i = 0; i < kFrameWidth * kFrameHeight; ++i)
    ASSERT_EQ(PixelAt(VirtualDisplay.front, 1280, i % 320, i / 320), frame[i] & 0x00FFFFFF) << i;
}

TEST_F(DisplayTest, RowRangesWriteOnlyTheirRowsAndAnEmptyRangeStillFlips) {
  ASSERT_TRUE(Start({kMode32}));
  std::vector<uint32_t> frame = PatternFrame();
  std::memset(VirtualDisplay.back.data(), 0xEE, VirtualDisplay.back.size());

  // Rows 100..102 from the start of the source.
  EXPECT_TRUE(device.PresentPlain(frame.data(), 100, 103));
  for (int y = 0; y < kFrameHeight; ++y) {
    const uint8_t* line = VirtualDisplay.front.data() + size_t(y) * 1280;
    if (y >= 100 && y < 103)
      ASSERT_EQ(std::memcmp(line, frame.data() + (y - 100) * kFrameWidth, 1280), 0) << y;
    else
      ASSERT_EQ(line[0], 0xEE) << y;
  }

  for (auto present : {&DisplayDevice::PresentPlain, &DisplayDevice::PresentConverted}) {
    std::memset(VirtualDisplay.back.data(), 0xEE, VirtualDisplay.back.size());
    uint32_t flips = VirtualDisplay.flipCount;
    uint32_t unlocks = VirtualDisplay.callCount[kVirtualUnlock];
    EXPECT_TRUE((device.*present)(frame.data(), 120, 120));
    EXPECT_EQ(VirtualDisplay.flipCount, flips + 1);
    EXPECT_EQ(VirtualDisplay.callCount[kVirtualUnlock], unlocks + 1);
    for (uint8_t byte : VirtualDisplay.front) ASSERT_EQ(byte, 0xEE);
  }

  // Rows beyond the surface are not written (and do not crash).
  EXPECT_TRUE(device.PresentPlain(frame.data(), 230, 400));
  EXPECT_TRUE(device.PresentConverted(frame.data(), -5, 3));
}

TEST_F(DisplayTest, FailedLockWritesNothingSkipsTheFrameAndRecoversNextFrame) {
  ASSERT_TRUE(Start({kMode32}));
  std::vector<uint32_t> frame = PatternFrame();
  std::memset(VirtualDisplay.back.data(), 0xEE, VirtualDisplay.back.size());
  std::memset(VirtualDisplay.front.data(), 0xDD, VirtualDisplay.front.size());

  // Lost surfaces (as after a task switch), then a lock refused outright.
  VirtualDisplay.surfacesLost = true;
  EXPECT_FALSE(device.PresentPlain(frame.data(), 0, 240));
  VirtualDisplay.results[kVirtualLock] = DDERR_SURFACEBUSY;
  EXPECT_FALSE(device.PresentConverted(frame.data(), 0, 240));
  EXPECT_EQ(VirtualDisplay.callCount[kVirtualLock], 2u);
  EXPECT_EQ(VirtualDisplay.flipCount, 0u);
  EXPECT_EQ(VirtualDisplay.callCount[kVirtualUnlock], 0u);
  for (uint8_t byte : VirtualDisplay.back) ASSERT_EQ(byte, 0xEE);
  for (uint8_t byte : VirtualDisplay.front) ASSERT_EQ(byte, 0xDD);
  EXPECT_TRUE(VirtualPopups.empty());

  // Next frame: the chain is restored before the lock, then the frame is shown.
  VirtualDisplay.results[kVirtualLock] = DD_OK;
  uint32_t restores = VirtualDisplay.callCount[kVirtualRestore];
  EXPECT_TRUE(device.PresentPlain(frame.data(), 0, 240));
  EXPECT_EQ(VirtualDisplay.callCount[kVirtualRestore], restores + 1);
  EXPECT_EQ(VirtualDisplay.flipCount, 1u);
  EXPECT_EQ(std::memcmp(VirtualDisplay.front.data(), frame.data(), kFrameBytes), 0);

  // A restore that fails skips again; the one after that succeeds.
  VirtualDisplay.results[kVirtualLock] = DDERR_SURFACEBUSY;
  EXPECT_FALSE(device.PresentPlain(frame.data(), 0, 240));
  VirtualDisplay.results[kVirtualLock] = DD_OK;
  VirtualDisplay.results[kVirtualRestore] = DDERR_WRONGMODE;
  EXPECT_FALSE(device.PresentPlain(frame.data(), 0, 240));
  VirtualDisplay.results[kVirtualRestore] = DD_OK;
  EXPECT_TRUE(device.PresentPlain(frame.data(), 0, 240));
  EXPECT_EQ(VirtualDisplay.flipCount, 2u);
  EXPECT_TRUE(VirtualPopups.empty());
}

TEST_F(DisplayTest, PresentingWithoutSurfacesDoesNothing) {
  VirtualDisplay.results[kVirtualGetAttachedSurface] = 0x88760001;  // unknown: passes the check
  EXPECT_FALSE(Start({kMode32}));
  std::vector<uint32_t> frame = PatternFrame();
  EXPECT_FALSE(device.PresentPlain(frame.data(), 0, 240));
  EXPECT_EQ(VirtualDisplay.callCount[kVirtualLock], 0u);
}

TEST_F(DisplayTest, FlipErrorsAreShownOncePerCodeAndTheFramesGoOn) {
  ASSERT_TRUE(Start({kMode32}));
  std::vector<uint32_t> frame = PatternFrame();

  VirtualDisplay.results[kVirtualFlip] = DDERR_WASSTILLDRAWING;
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(device.PresentPlain(frame.data(), 0, 240));
  VirtualDisplay.results[kVirtualFlip] = DDERR_NOFLIPHW;
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(device.PresentConverted(frame.data(), 0, 240));
  VirtualDisplay.results[kVirtualFlip] = 0x88760001;  // unknown code: success
  EXPECT_TRUE(device.PresentPlain(frame.data(), 0, 240));
  VirtualDisplay.results[kVirtualFlip] = DDERR_WASSTILLDRAWING;
  EXPECT_FALSE(device.PresentPlain(frame.data(), 0, 240));

  ASSERT_EQ(VirtualPopups.size(), 2u);
  EXPECT_EQ(VirtualPopups[0],
            "The previous blit operation that is transferring information to or from this "
            "surface is incomplete. ");
  EXPECT_EQ(VirtualPopups[1], "Flipping visible surfaces is not supported. ");
  EXPECT_EQ(VirtualDisplay.callCount[kVirtualFlip], 10u);
  EXPECT_EQ(VirtualDisplay.callCount[kVirtualUnlock], 10u);
  EXPECT_FALSE(VirtualDisplay.chain.locked);

  // A flip that finds the surfaces lost restores them before the next lock.
  VirtualDisplay.results[kVirtualFlip] = DD_OK;
  VirtualDisplay.surfacesLost = false;
  uint32_t restores = VirtualDisplay.callCount[kVirtualRestore];
  VirtualDisplay.results[kVirtualFlip] = DDERR_SURFACELOST;
  EXPECT_FALSE(device.PresentPlain(frame.data(), 0, 240));
  VirtualDisplay.results[kVirtualFlip] = DD_OK;
  EXPECT_TRUE(device.PresentPlain(frame.data(), 0, 240));
  EXPECT_EQ(VirtualDisplay.callCount[kVirtualRestore], restores + 1);
  EXPECT_EQ(VirtualPopups.size(), 3u);
}

}  // namespace

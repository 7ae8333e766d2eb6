// The virtual music: rendered in lockstep with the clock, position after the
// last rendered frame, repeating from order 0, and handed to a sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/music.h"
#include "platform/virtual/virtual_platform.h"
#include "tests/host/demo_fixture.h"

namespace {

// Speed 1, tempo 255: every row is one tick of 2.5 / 255 s.
constexpr double kRowFrames = 44100.0 * 2.5 / 255.0;  // 432.35

uint32_t RowsPlayed(uint32_t position) { return (position & 0xFFFF) * 64 + (position >> 16); }

class VirtualMusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VirtualPlatformReset();
    WriteFile(folder.path() / "two.it", MakeTinyModule(2, 1, 255));
  }
  void TearDown() override { VirtualPlatformReset(); }
  uint32_t Start() {
    EXPECT_NE(MusicInit(-1, kMusicRate, 0, nullptr), 0);
    uint32_t handle = MusicLoad("two.it");
    EXPECT_NE(handle, 0u);
    MusicStart();
    MusicPlay(handle);
    return handle;
  }
  DemoFolder folder;
};

TEST_F(VirtualMusicTest, FollowsTheRenderedFramesAndStartsAgainAfterTheLastRow) {
  uint32_t handle = Start();
  EXPECT_EQ(MusicGetPosition(handle), 0u);
  // Half a row at a time through both orders and into the repeat.
  uint32_t previous = 0;
  bool wrapped = false;
  for (int half = 1; half <= 2 * 140; ++half) {
    VirtualAdvance(static_cast<int64_t>(kRowFrames / 2 / 44100.0 * kVirtualClockFrequency));
    uint32_t position = MusicGetPosition(handle);
    ASSERT_EQ(position, VirtualMusicPosition());
    uint32_t rows = RowsPlayed(position);
    double expected = VirtualMusicFramesRendered() / kRowFrames;
    if (!wrapped && rows < RowsPlayed(previous)) {
      wrapped = true;
      EXPECT_EQ(RowsPlayed(previous), 127u);  // order 1, row 63 was the last
      EXPECT_EQ(position & 0xFFFF, 0u);
    }
    if (wrapped) expected -= 128;
    EXPECT_NEAR(rows, expected, 1.0) << "after " << VirtualMusicFramesRendered() << " frames";
    previous = position;
  }
  EXPECT_TRUE(wrapped);
}

TEST_F(VirtualMusicTest, HandsWhatItRendersToTheSink) {
  std::vector<int16_t> heard;
  VirtualMusicSetSink(
      [](const int16_t* samples, std::size_t frames, void* user) {
        auto* to = static_cast<std::vector<int16_t>*>(user);
        to->insert(to->end(), samples, samples + frames * 2);
      },
      &heard);
  VirtualMusicRender(1000);  // before MusicPlay: silence
  Start();
  VirtualMusicRender(44100);
  VirtualMusicSetSink(nullptr, nullptr);
  VirtualMusicRender(100);  // to nobody

  ASSERT_EQ(heard.size(), 45100u * 2u);
  auto peak = [&](std::size_t firstFrame, std::size_t frames) {
    int p = 0;
    for (std::size_t i = 0; i < frames * 2; ++i)
      p = std::max(p, std::abs(static_cast<int>(heard[firstFrame * 2 + i])));
    return p;
  };
  EXPECT_EQ(peak(0, 1000), 0);
  EXPECT_GT(peak(1000, 44100), 1000);  // the note is heard
}

}  // namespace

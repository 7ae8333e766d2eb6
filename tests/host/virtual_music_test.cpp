// The virtual music: rendered in lockstep with the clock, position after the
// last rendered frame, repeating from order 0, and written to a WAV file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

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

TEST_F(VirtualMusicTest, WritesWhatItRendersToAWavFile) {
  std::filesystem::path wav = folder.path() / "out.wav";
  ASSERT_TRUE(VirtualMusicOpenWav(wav.c_str()));
  VirtualMusicRender(1000);  // before MusicPlay: silence
  Start();
  VirtualMusicRender(44100);
  VirtualMusicCloseWav();

  std::ifstream in(wav, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 44u + 45100u * 4u);
  auto u32 = [&](std::size_t at) {
    return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
  };
  auto u16 = [&](std::size_t at) { return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8); };
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), bytes.size() - 8);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u16(20), 1u);       // PCM
  EXPECT_EQ(u16(22), 2u);       // stereo
  EXPECT_EQ(u32(24), 44100u);
  EXPECT_EQ(u16(34), 16u);
  EXPECT_EQ(u32(40), 45100u * 4u);

  auto peak = [&](std::size_t firstFrame, std::size_t frames) {
    int p = 0;
    for (std::size_t i = 0; i < frames * 2; ++i) {
      auto s = static_cast<int16_t>(u16(44 + (firstFrame * 2 + i) * 2));
      p = std::max(p, std::abs(static_cast<int>(s)));
    }
    return p;
  };
  EXPECT_EQ(peak(0, 1000), 0);
  EXPECT_GT(peak(1000, 44100), 1000);  // the note is heard
}

}  // namespace

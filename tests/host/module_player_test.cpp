// The module player at the output's rate: a browser may run its audio at
// 48000 Hz instead of 44100, and the music must keep its timing there. The
// music stream the twins that play aloud render through: frames counted
// from MusicInit, positions from MusicPlay, silence around them.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/module_player.h"
#include "platform/music_stream.h"
#include "platform/position_ring.h"
#include "tests/host/demo_fixture.h"

namespace {

uint32_t RowsPlayed(uint32_t position) { return (position & 0xFFFF) * 64 + (position >> 16); }

TEST(ModulePlayerTest, KeepsTheMusicsTimingAtAnyOutputRate) {
  DemoFolder folder;  // qm7.it: speed 1, tempo 255, one row a tick of 2.5 / 255 s
  for (int rate : {44100, 48000, 22050}) {
    SCOPED_TRACE(rate);
    ModulePlayer* player = LoadModulePlayer("qm7.it", rate);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(ModuleTickFrames(player), static_cast<std::size_t>(rate) * 5 / (2 * 255));
    // A second and a half of music, looked up at one second.
    std::size_t frames = static_cast<std::size_t>(rate) * 3 / 2;
    std::vector<int16_t> out(frames * 2);
    PositionRing positions;
    EXPECT_EQ(RenderModuleTicks(player, out.data(), frames, 0, &positions), frames);
    EXPECT_NEAR(RowsPlayed(positions.At(static_cast<uint64_t>(rate))), 1.0 * 255 / 2.5, 1.0);
    EXPECT_NEAR(RowsPlayed(positions.Newest()), 1.5 * 255 / 2.5, 1.0);
    FreeModulePlayer(player);
  }
}

TEST(MusicStreamTest, LooksTheHeardFrameUpFromWhereMusicPlayStarted) {
  DemoFolder folder;  // one row a tick: 432 frames at 44100 Hz
  static MusicStream stream;  // its position ring kept off the stack
  stream.Reset();
  ASSERT_EQ(stream.Load(LoadModulePlayer("qm7.it")), kMusicHandle);
  auto silent = [](const std::vector<int16_t>& v) {
    return std::all_of(v.begin(), v.end(), [](int16_t s) { return s == 0; });
  };

  // Before MusicPlay the output still runs: silence, counted.
  std::vector<int16_t> before(1000 * 2, 1);
  EXPECT_EQ(stream.RenderHeard(before.data(), 1000), 1000u);
  EXPECT_TRUE(silent(before));
  EXPECT_EQ(stream.HeardPosition(500), 0u);

  ASSERT_TRUE(stream.Play());
  std::vector<int16_t> music(44100 * 2);
  EXPECT_EQ(stream.RenderHeard(music.data(), 44100), 45100u);
  EXPECT_FALSE(silent(music));
  // The position after the newest slice that had ended by the heard frame
  // (a slice is one tick, so one row, and the module reports the row of the
  // tick just rendered), with the frames counted from MusicInit.
  struct Case {
    uint64_t heardFrame;
    uint32_t rows;  // RowsPlayed of the position looked up
  } cases[] = {
      {0, 0},                    // still the silence before: the start
      {1000 + 431, 0},           // inside the first row
      {1000 + 432 * 10 - 1, 8},  // nine slices ended: rows 0 to 8
      {1000 + 432 * 10, 9},
      {1000 + 432 * 101, 100},   // order 1, row 36
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heardFrame);
    EXPECT_EQ(RowsPlayed(stream.HeardPosition(c.heardFrame)), c.rows);
  }

  // A new module stops the music until the next MusicPlay.
  EXPECT_EQ(stream.Load(LoadModulePlayer("qm7.it")), kMusicHandle);
  EXPECT_FALSE(stream.Playing());
  EXPECT_EQ(stream.HeardPosition(45100), 0u);
  EXPECT_EQ(stream.RenderHeard(before.data(), 1000), 46100u);
  EXPECT_TRUE(silent(before));
  stream.Release();
}

}  // namespace

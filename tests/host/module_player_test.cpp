// The module player at the output's rate: a browser may run its audio at
// 48000 Hz instead of 44100, and the music must keep its timing there.
#include <gtest/gtest.h>

#include <vector>

#include "platform/module_player.h"
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

}  // namespace

// The module through a real SDL2 audio device (SDL's dummy driver, which
// takes audio at roughly the real rate): the position follows playing order
// and the module repeats from order 0; the reported position trails the
// rendered one by about a device buffer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/music.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/window.h"
#include "tests/host/tiny_module.h"

namespace {

uint32_t RowsPlayed(uint32_t position) { return (position & 0xFFFF) * 64 + (position >> 16); }

TEST(SdlMusic, PlaysInOrderAndRepeatsFromOrderZero) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::filesystem::path file = std::filesystem::temp_directory_path() /
                               ("qm7-sdl-music-" + std::to_string(getpid()) + ".it");
  {
    std::vector<uint8_t> module = MakeTinyModule(2, 1, 255);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(module.data()), static_cast<std::streamsize>(module.size()));
  }
  ASSERT_NE(MusicInit(-1, kMusicRate, 0, nullptr), 0);
  uint32_t handle = MusicLoad(file.c_str());
  std::filesystem::remove(file);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(MusicGetPosition(handle), 0u);  // nothing plays before MusicPlay
  MusicStart();
  auto start = std::chrono::steady_clock::now();
  MusicPlay(handle);

  // 128 rows last 1.25 s. Watch until the module has come round (with room
  // for a slow, busy machine).
  uint32_t previous = 0;
  int wraps = 0;
  int polls = 0;
  double behindSum = 0;
  int behindPolls = 0;
  auto deadline = start + std::chrono::seconds(8);
  auto stop = deadline;
  while (std::chrono::steady_clock::now() < stop) {
    uint32_t position = MusicGetPosition(handle);
    uint32_t mixed = MusicMixedPosition();
    if (wraps == 0 && RowsPlayed(mixed) >= RowsPlayed(position)) {
      behindSum += RowsPlayed(mixed) - RowsPlayed(position);
      ++behindPolls;
    }
    if (RowsPlayed(position) < RowsPlayed(previous)) {
      ++wraps;
      EXPECT_EQ(previous & 0xFFFF, 1u) << "went back before the last order";
      EXPECT_EQ(position & 0xFFFF, 0u) << "did not start again from order 0";
      stop = std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(300));
    }
    previous = position;
    ++polls;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  MusicFree();
  EXPECT_EQ(wraps, 1);
  EXPECT_GT(polls, 100);
  // The reported position is the one being heard: one and a half device
  // buffers behind the newest rendered slice at each hand-over, then moving
  // on in real time, so between half a buffer and one and a half behind it
  // (a buffer is 2048 frames, 4.75 rows here).
  ASSERT_GT(behindPolls, 100);
  RecordProperty("rowsBehindRendered", std::to_string(behindSum / behindPolls));
  EXPECT_GT(behindSum / behindPolls, 0.5 * 4.75);
  EXPECT_LT(behindSum / behindPolls, 1.5 * 4.75);
}

}  // namespace

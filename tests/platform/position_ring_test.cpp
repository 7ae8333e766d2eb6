// PositionRing (platform/position_ring.h), the table every music twin looks
// the heard position up in: empty ring, lookups between and beyond entries,
// wrap-around with the slots left to the writer, the packing, and Reset.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/position_ring.h"

namespace {

// Entry k of a test ring: rendered up to frame 10 * (k + 1), at a position
// whose order and row both change from entry to entry.
uint64_t FramesOf(int k) { return 10 * static_cast<uint64_t>(k + 1); }
uint32_t PositionOf(int k) { return static_cast<uint32_t>(k % 1024) | static_cast<uint32_t>((k * 7) % 1024) << 16; }

TEST(PositionRing, LooksUpTheNewestEntryAtOrBeforeTheHeardFrame) {
  struct Case {
    const char* what;
    int entries;          // published entries 0 .. entries - 1
    uint64_t heardFrame;
    int expected;         // entry whose position At returns; -1: 0
  } cases[] = {
      {"empty ring", 0, 0, -1},
      {"empty ring, far frame", 0, uint64_t{1} << 40, -1},
      {"heard before the only entry: that entry", 1, 0, 0},
      {"between two entries: the earlier", 3, 25, 1},
      {"exactly on an entry", 3, 30, 2},
      {"after the newest", 3, 1000, 2},
      {"full but for the writer's slots: nothing dropped", 504, 0, 0},
      // Past 504 entries the reader keeps clear of the 8 slots the writer
      // may be rewriting: the oldest it reads is count - 504.
      {"one ring's worth: the oldest kept is entry 8", 512, 0, 8},
      {"wrapped: older than anything kept", 1000, 0, 496},
      {"wrapped: the oldest kept, exactly", 1000, FramesOf(496), 496},
      {"wrapped: between entries", 1000, FramesOf(700) + 5, 700},
      {"wrapped: the newest", 1000, FramesOf(999), 999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    static PositionRing ring;   // 4 KiB: kept off the stack
    ring.Reset();
    for (int k = 0; k < c.entries; ++k) ring.Publish(FramesOf(k), PositionOf(k));
    EXPECT_EQ(ring.At(c.heardFrame), c.expected < 0 ? 0u : PositionOf(c.expected));
    EXPECT_EQ(ring.Newest(), c.entries == 0 ? 0u : PositionOf(c.entries - 1));
  }
}

TEST(PositionRing, KeepsTenBitOrdersAndRowsAndLongRuns) {
  static PositionRing ring;
  const uint64_t longRun = uint64_t{1} << 43;   // the 44 bits the frame count has
  const uint32_t last = 1023u | 1023u << 16;
  ring.Publish(longRun, last);
  EXPECT_EQ(ring.At(longRun), last);
  EXPECT_EQ(ring.At(longRun - 1), last) << "the only entry, though later";
  EXPECT_EQ(ring.Newest(), last);

  ring.Reset();
  EXPECT_EQ(ring.At(longRun), 0u);
  EXPECT_EQ(ring.Newest(), 0u);
}

}  // namespace

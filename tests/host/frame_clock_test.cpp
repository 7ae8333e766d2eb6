// The 70 Hz frame clock: whole ticks go to pendingTicks, the fraction carries.
#include <gtest/gtest.h>

#include "host/frame_clock.h"
#include "host/scene_state.h"

namespace {

constexpr int64_t kFrequency = 10000000;  // the virtual counter
constexpr double kTick = static_cast<double>(kFrequency / 70);  // 142857 counts

struct Step {
  double ticks;          // length of the frame in ticks
  int32_t pendingTicks;  // expected whole ticks
  double carry;          // expected fraction carried on
};

void RunSteps(const std::vector<Step>& steps) {
  ASSERT_TRUE(StartFrameClock(kFrequency));
  EXPECT_EQ(FrameClock.countsPerTick, 142857);  // remainder dropped
  FrameClock.lastCount = 5000;
  FrameClock.carry = 0.0;
  int64_t now = FrameClock.lastCount;
  for (const Step& step : steps) {
    now += static_cast<int64_t>(step.ticks * kTick + 0.5);
    SceneState.pendingTicks = -99;
    EXPECT_EQ(MeasureFrameTicks(now), step.pendingTicks) << "frame of " << step.ticks << " ticks";
    EXPECT_EQ(SceneState.pendingTicks, step.pendingTicks);
    EXPECT_NEAR(FrameClock.carry, step.carry, 1e-4);
    EXPECT_GE(FrameClock.carry, 0.0);
    EXPECT_LT(FrameClock.carry, 1.0);
    EXPECT_EQ(FrameClock.lastCount, now);
  }
}

TEST(FrameClock, CarriesTheFractionIntoTheNextFrame) {
  // 2.7 ticks -> 2 and 0.7 carried; then 0.5 more -> 1.2 -> 1 and 0.2.
  RunSteps({{2.7, 2, 0.7}, {0.5, 1, 0.2}});
}

TEST(FrameClock, FramesShorterThanATickAddUp) {
  RunSteps({{0.4, 0, 0.4}, {0.4, 0, 0.8}, {0.4, 1, 0.2}, {1.0, 1, 0.2}});
}

TEST(FrameClock, LongPauseArrivesInOneMeasurement) {
  // Ten seconds away: 700 ticks at once.
  RunSteps({{0.5, 0, 0.5}, {700.0, 700, 0.5}});
}

TEST(FrameClock, RejectsACounterSlowerThanTheTick) {
  EXPECT_FALSE(StartFrameClock(69));
  EXPECT_TRUE(StartFrameClock(70));
}

}  // namespace

// The frame layout every module relies on.
#include <gtest/gtest.h>

#include "host/frame.h"

TEST(FrameLayout, EffectAreaSitsTwentyRowsDown) {
  EXPECT_EQ(kFrameBytes, 307200u);
  EXPECT_EQ(kAreaOffset, 25600u);
  EXPECT_EQ(kAreaOffset + kAreaBytes + kAreaOffset, kFrameBytes);
}

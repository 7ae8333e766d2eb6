// The SDL popup with no video running: the text goes to standard error.
#include <gtest/gtest.h>
#include <SDL.h>

#include <string>

#include "platform/popup.h"

namespace {

TEST(SdlPopupTest, WithoutVideoTheTextGoesToStandardError) {
  ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  testing::internal::CaptureStderr();
  ShowModalMessage("DirectDraw does not support the requested mode. ", nullptr);
  std::string written = testing::internal::GetCapturedStderr();
  EXPECT_EQ(written, "DirectDraw does not support the requested mode. \n");
}

}  // namespace

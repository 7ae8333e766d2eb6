// The SDL popup with no video running shows nothing: the host has already
// written its start-up failure on standard error, so the line is not doubled.
#include <gtest/gtest.h>
#include <SDL.h>

#include <string>

#include "platform/popup.h"

namespace {

TEST(SdlPopupTest, WithoutVideoNothingIsWritten) {
  ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  testing::internal::CaptureStderr();
  ShowModalMessage("DirectDraw does not support the requested mode. ", nullptr);
  std::string written = testing::internal::GetCapturedStderr();
  EXPECT_EQ(written, "");
}

}  // namespace

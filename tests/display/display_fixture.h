// display_fixture.h — a display device started over the in-memory display.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "display/display_device.h"
#include "platform/virtual/virtual_display.h"

constexpr DdMode kMode32 = {320, 240, 32, 0x00FF0000, 0x0000FF00, 0x000000FF};
constexpr DdMode kMode32Swapped = {320, 240, 32, 0x000000FF, 0x0000FF00, 0x00FF0000};
constexpr DdMode kMode16 = {320, 240, 16, 0xF800, 0x07E0, 0x001F};

// Runs the host's start-up sequence against a fresh in-memory display that
// lists `modes` and lays rows `pitch` bytes apart (0: packed).
class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { VirtualDisplayReset(); }

  // True when every step up to and including CreateSurfaces succeeded.
  bool Start(std::vector<DdMode> modes, int32_t pitch = 0) {
    VirtualDisplay.modes = std::move(modes);
    VirtualDisplay.pitch = pitch;
    if (!device.InitDisplay(this)) return false;
    if (!device.ChooseMode(320, 240, 32)) return false;
    needsConversion = !device.SetSourceFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF);
    return device.CreateSurfaces();
  }

  DisplayDevice device;
  bool needsConversion = false;
};

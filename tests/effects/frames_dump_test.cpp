// Renders the three scenes to PNG files for people to look at. Disabled by
// default; run with --gtest_also_run_disabled_tests. Files go to
// $QM7_FRAMES_OUT (default: the working folder). The logos are read as loose
// files from $QM7_FRAMES_DATA or QM7_DATA_DIR when present, else synthetic.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "kit/frame.h"
#include "kit_setup.h"
#include "tools/common/png_writer.h"

namespace {

std::string outPath(const char* name) {
  const char* dir = std::getenv("QM7_FRAMES_OUT");
  return std::string(dir ? dir : ".") + "/" + name;
}

bool readLoose(const char* name, uint8_t* out, std::size_t bytes) {
  const char* env = std::getenv("QM7_FRAMES_DATA");
  const std::string path = std::string(env ? env : QM7_DATA_DIR) + "/" + name;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  const bool ok = std::fread(out, 1, bytes, f) == bytes;
  std::fclose(f);
  return ok;
}

std::vector<uint8_t> OpenerPicture(280 * 52), BriskPicture(240 * 59);

void loadLogos() {
  if (!readLoose("opener7.bin", OpenerPicture.data(), OpenerPicture.size())) {
    for (std::size_t i = 0; i < OpenerPicture.size(); ++i) OpenerPicture[i] = ((i % 280) / 20 + (i / 280) / 8) % 2 ? 63 : 0;
    std::printf("opener7.bin: synthetic\n");
  }
  if (!readLoose("brisk.bin", BriskPicture.data(), BriskPicture.size())) {
    for (std::size_t i = 0; i < BriskPicture.size(); ++i) BriskPicture[i] = ((i % 240) / 12) % 2 ? 63 : 0;
    std::printf("brisk.bin: synthetic\n");
  }
  blurLogo(OpenerPicture.data(), 280, 52, OpenerLogoBlur);
  blurLogo(BriskPicture.data(), 240, 59, BriskLogoBlur);
}

void save(FrameTarget& t, const char* name) {
  ASSERT_TRUE(WriteBgraPng(outPath(name).c_str(), t.area(), kAreaWidth, kAreaHeight, kFrameRowBytes)) << name;
  EXPECT_TRUE(t.guardsIntact()) << name;
}

TEST(DISABLED_SceneFrames, Kaleidoscope) {
  setUpKitTables();
  initKaleidoscope();
  FrameTarget t;
  for (int frame = 1; frame <= 1200; ++frame) {
    if (frame % 200 == 0) addKaleidoBlob();
    renderKaleidoscope(t.area());
    updateKaleidoscope(1);
    if (frame == 1) save(t, "kaleido_0001.png");
    if (frame == 60) save(t, "kaleido_0060.png");
    if (frame == 300) save(t, "kaleido_0300.png");
    if (frame == 1200) save(t, "kaleido_1200.png");
  }
}

TEST(DISABLED_SceneFrames, FlyingBlobs) {
  setUpKitTables();
  initFlyingBlobs();
  FrameTarget t;
  for (int frame = 1; frame <= 400; ++frame) {
    renderFlyingBlobs(t.area());
    updateFlyingBlobs(1);
    if (frame == 2) save(t, "blobs_0002.png");
    if (frame == 100) save(t, "blobs_0100.png");
    if (frame == 400) save(t, "blobs_0400.png");
  }
}

TEST(DISABLED_SceneFrames, FrameCube) {
  setUpKitTables();
  loadLogos();
  initFrameCube(OpenerPicture.data(), BriskPicture.data());
  FrameTarget t;
  struct Moment {
    int tick;
    void (*event)();
    const char* file;
  };
  // One tick per frame; events where the scene's music would fire them.
  const Moment moments[] = {
      {1, nullptr, "cube_0001.png"},          {600, nullptr, "cube_0600.png"},
      {1200, onCubeBurst, nullptr},           {1215, nullptr, "cube_burst_15.png"},
      {1230, nullptr, "cube_burst_30.png"},   {1500, nullptr, "cube_1500.png"},
      {1536, nullptr, "cube_inside_1536.png"}, {1570, nullptr, "cube_1570.png"},
      {2000, onCubeLogoIn, nullptr},
      {2030, nullptr, "cube_logo1_in.png"},   {2130, nullptr, "cube_logo1_full.png"},
      {2300, onCubeLogoOut, nullptr},         {2400, onCubeLogoIn, nullptr},
      {2530, nullptr, "cube_logo2_full.png"}, {2700, onCubeLogoOut, nullptr},
      {2800, onCubeFadeOut, nullptr},         {2800, nullptr, "cube_fade_63.png"},
      {2830, nullptr, "cube_fade_33.png"},    {2870, nullptr, "cube_fade_0.png"},
      {3100, nullptr, "cube_3100.png"},
  };
  int tick = 0;
  for (const Moment& m : moments) {
    while (tick < m.tick) {
      renderFrameCube(t.area());
      updateFrameCube(1);
      ++tick;
    }
    if (m.event) m.event();
    if (m.file) {
      renderFrameCube(t.area());
      save(t, m.file);
    }
  }
}

}  // namespace

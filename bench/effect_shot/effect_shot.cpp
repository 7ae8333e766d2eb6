// effect_shot.cpp — qm7-effect-shot: one effect on its own, from its scene's
// start, drawn as a picture for people to look at.
//
//   qm7-effect-shot EFFECT FRAMES OUT.png [--ticks PATTERN] [--event N]... [--data DIR]
//
// EFFECT is lens-warp, tunnel, ripple-swirl, kaleidoscope, flying-blobs,
// frame-cube or scroller. The demo's own start-up of the kit and the effects
// runs on the data in DIR (qm7.dat or loose files; the build's data folder by
// default); then the effect's scene runs FRAMES frames as the scene adapters
// run them: frame 0 applies the scene's start action and draws nothing, every
// later frame draws, and each frame's update gets its ticks (none when 0).
// PATTERN gives the ticks of each frame, repeated: 1 (the default, 70 fps),
// 0,1 (140 fps), 0,0,1 (210 fps), 350 (a 5-second pause every frame). OUT.png
// (320x200) is what the next frame draws after the last update, so the same
// total ticks give the same picture however they are spread (the kaleidoscope
// aside: each of its pictures is fed into the next).
// --event N fires the effect's next event before frame N (the lens warp: logo
// in, logo out, ...; the kaleidoscope: a blob; the frame cube: logo in, logo
// out, fade out). Frames of the whole run as the timeline plays it:
// qm7-capture --png.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "effects/flying_blobs.h"
#include "effects/frame_cube.h"
#include "effects/kaleidoscope.h"
#include "effects/lens_warp.h"
#include "effects/ripple_swirl.h"
#include "effects/scroller.h"
#include "effects/tunnel.h"
#include "host/data_buffers.h"
#include "host/host.h"
#include "host/scene_adapters.h"
#include "host/scene_state.h"
#include "kit/frame.h"
#include "pack/pack_archive.h"
#include "tools/common/png_writer.h"

namespace {

// An effect as its scene plays it: the scene adapters apply the start and
// tick rules, as the timeline's scene table does.
struct Effect {
  const char* name;
  void (*render)(uint8_t* target);  // render adapter
  void (*update)();                 // update adapter
  std::vector<void (*)()> events;   // fired in turn by --event, cycling
};

const Effect kEffects[] = {
    {"lens-warp", RenderLensWarpScene, UpdateLensWarpScene, {onLensWarpLogoIn, onLensWarpLogoOut}},
    {"tunnel", RenderTunnelScene, UpdateTunnelScene, {}},
    {"ripple-swirl", RenderRippleSwirlScene, UpdateRippleSwirlScene, {}},
    {"kaleidoscope", RenderKaleidoscopeScene, UpdateKaleidoscopeScene, {onKaleidoscopeBlob}},
    {"flying-blobs", RenderFlyingBlobsScene, UpdateFlyingBlobsScene, {}},
    {"frame-cube", RenderFrameCubeScene, UpdateFrameCubeScene,
     {onFrameCubeLogoIn, onFrameCubeLogoOut, onFrameCubeFadeOut}},
    {"scroller", RenderScrollerScene, UpdateScrollerScene, {}},
};

int Usage() {
  std::fprintf(stderr,
               "usage: qm7-effect-shot EFFECT FRAMES OUT.png [--ticks PATTERN] [--event N]... [--data DIR]\n"
               "PATTERN: the ticks of each frame, repeated, e.g. 1, 0,1, 0,0,1, 350\nEFFECT:");
  for (const Effect& e : kEffects) std::fprintf(stderr, " %s", e.name);
  std::fprintf(stderr, "\n");
  return 2;
}

// The five data files into the host's buffers, as start-up loads them.
bool LoadData(const char* folder) {
  if (chdir(folder) != 0) {
    std::fprintf(stderr, "qm7-effect-shot: no folder %s\n", folder);
    return false;
  }
  OpenPack("qm7.dat");
  for (const DataFile& f : kDataFiles) {
    uint8_t* data = nullptr;
    std::size_t length = 0;
    if (!LoadFile(f.name, &data, &length) || length < f.minimumBytes) {
      std::fprintf(stderr, "qm7-effect-shot: %s missing or short in %s\n", f.name, folder);
      return false;
    }
    if (f.fixedCopy == nullptr) {
      ScrollPicture = data;   // kept to the end of the process, as in the demo
      ScrollPictureBytes = length;
      continue;
    }
    std::memcpy(f.fixedCopy, data, f.minimumBytes);
    std::free(data);
  }
  ClosePack();
  return true;
}

// "0,0,1" into {0, 0, 1}: at least one whole number, each 0..100000. A
// pattern of 0 alone shows what a scene draws before its first tick.
bool ParseTicks(const char* text, std::vector<int32_t>* ticks) {
  ticks->clear();
  const char* p = text;
  for (;;) {
    if (*p < '0' || *p > '9') return false;
    long value = 0;
    while (*p >= '0' && *p <= '9') {
      value = value * 10 + (*p++ - '0');
      if (value > 100000) return false;
    }
    ticks->push_back(static_cast<int32_t>(value));
    if (*p == '\0') break;
    if (*p++ != ',') return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Usage();
  const Effect* effect = nullptr;
  for (const Effect& e : kEffects)
    if (std::strcmp(argv[1], e.name) == 0) effect = &e;
  const int frames = std::atoi(argv[2]);
  if (effect == nullptr || frames < 1) return Usage();
  const std::string out = argv[3];
  std::string data = QM7_DATA_DIR;
  std::vector<int> eventFrames;
  std::vector<int32_t> ticks = {1};
  for (int i = 4; i < argc; ++i) {
    if (std::strcmp(argv[i], "--ticks") == 0 && i + 1 < argc) {
      if (!ParseTicks(argv[++i], &ticks)) return Usage();
    } else if (std::strcmp(argv[i], "--event") == 0 && i + 1 < argc) {
      eventFrames.push_back(std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
      data = argv[++i];
    } else {
      return Usage();
    }
  }
  // The picture goes where it was asked for, though the data is read elsewhere.
  char here[4096];
  const std::string path = out[0] == '/' || getcwd(here, sizeof here) == nullptr ? out : std::string(here) + "/" + out;
  if (!LoadData(data.c_str())) return 1;

  InitEffects();
  std::vector<uint8_t> frame(kFrameBytes, 0);
  uint8_t* area = frame.data() + kAreaOffset;
  SceneState = SceneStateRecord{};
  SceneState.sceneStarted = true;  // frame 0 applies the scene's start action
  std::size_t nextEvent = 0;
  for (int n = 0; n < frames; ++n) {
    for (int at : eventFrames)
      if (at == n && !effect->events.empty()) effect->events[nextEvent++ % effect->events.size()]();
    effect->render(area);
    SceneState.pendingTicks = ticks[static_cast<std::size_t>(n) % ticks.size()];
    effect->update();
  }
  effect->render(area);
  if (!WriteBgraPng(path.c_str(), area, kAreaWidth, kAreaHeight, kFrameRowBytes)) {
    std::fprintf(stderr, "qm7-effect-shot: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}

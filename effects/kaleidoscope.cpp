// kaleidoscope.cpp — feedback scene: each frame shrinks the previous picture
// into all four quarters, fades and blurs it, then draws a pulsing ring of
// dots and up to five blobs on Lissajous paths over it.
//
// The picture depends on every earlier frame of the scene, so every stage is
// integer and table driven and the float stages (ring, blob centres) round
// the same way on every run.
#include "effects/kaleidoscope.h"

#include <cmath>
#include <cstring>

#include "kit/blitters.h"
#include "kit/blob_map.h"
#include "kit/frame.h"
#include "kit/numbers.h"
#include "kit/trig.h"

KaleidoscopeState Kaleidoscope;

namespace {

constexpr double kFlowerStep = 2.0 * kPiDouble / 300.0;   // b per tick, direction per dot
constexpr double kLobeStep = 24.0 * kPiDouble / 300.0;
constexpr double kWaveStep = 8.0 * kPiDouble / 300.0;
constexpr int32_t kFlowerColourMasks[4] = {6, 4, 6, 5};

// Float arithmetic is done in double and stored as float, like an
// extended-precision intermediate.
float addStep(float value, double step) { return static_cast<float>(value + step); }

void buildFadeTable() {
  for (int v = 0; v < 256; ++v) Kaleidoscope.fadeTable[v] = static_cast<uint8_t>(v >= 6 ? v - 6 : 0);
}

void buildFlowerTables() {
  float p = 0.0f;
  float q = 0.0f;
  for (int i = 0; i < kFlowerPoints; ++i) {
    Kaleidoscope.flowerDirections[i].x = static_cast<float>(trigSin(static_cast<double>(p)));
    Kaleidoscope.flowerDirections[i].y = static_cast<float>(trigCos(static_cast<double>(p)));
    Kaleidoscope.flowerRadii[i] = static_cast<float>(25.0 * trigSin(static_cast<double>(q)) + 75.0);
    p = addStep(p, kFlowerStep);
    q = addStep(q, kLobeStep);
  }
}

void computeBlobPositions(float t) {
  const double td = t;
  FlowerPoint* p = Kaleidoscope.blobPositions;
  p[0] = {static_cast<float>(100.0 * trigSin(3 * td) + 160.0), static_cast<float>(100.0 * trigCos(2 * td) + 100.0)};
  p[1] = {static_cast<float>(100.0 * trigSin(5 * td) + 160.0), static_cast<float>(100.0 * trigCos(2 * td) + 100.0)};
  p[2] = {static_cast<float>(100.0 * trigCos(4 * td) + 160.0), static_cast<float>(100.0 * trigSin(3 * td) + 100.0)};
  p[3] = {static_cast<float>(100.0 * trigSin(td) + 160.0), static_cast<float>(-100.0 * trigCos(3 * td) + 100.0)};
  p[4] = {static_cast<float>(100.0 * trigCos(5 * td) + 160.0), static_cast<float>(100.0 * trigSin(4 * td) + 100.0)};
}

}  // namespace

void initKaleidoscope() {
  Kaleidoscope = KaleidoscopeState{};
  buildFadeTable();
  buildFlowerTables();
  computeBlobPositions(Kaleidoscope.time);   // where the first tick puts them
}

void updateKaleidoscope(int32_t ticks) {
  const int32_t n = advanceBlobPhases(ticks);
  for (int32_t i = 0; i < n; ++i) {
    computeBlobPositions(Kaleidoscope.time);
    Kaleidoscope.time = addStep(Kaleidoscope.time, kTickAngleDouble);
    Kaleidoscope.flowerPhase = addStep(Kaleidoscope.flowerPhase, kFlowerStep);
  }
}

// The timeline fires this five times; a further call keeps the count at the
// number of blob centres there are.
void onKaleidoscopeBlob() {
  if (Kaleidoscope.blobCount < kKaleidoBlobs) ++Kaleidoscope.blobCount;
}

void renderKaleidoscope(uint8_t* target) {
  buildBlobMap();
  mirrorQuarters(target);
  fadeFrame(target);
  blurFrame(target);
  drawFlowerRing(target);
  drawKaleidoBlobs(target);
}

// Every second pixel of every second row becomes the top-left quarter; the
// top-right quarter is its mirror and the bottom half mirrors the top half.
void mirrorQuarters(uint8_t* target) {
  uint32_t* half = Kaleidoscope.halfFrame;
  for (int r = 0; r < 100; ++r) {
    const uint8_t* src = target + 2 * r * kFrameRowBytes;
    for (int c = 0; c < 160; ++c) std::memcpy(&half[r * 160 + c], src + 8 * c, 4);
  }
  for (int r = 0; r < 100; ++r) {
    uint8_t* row = target + r * kFrameRowBytes;
    const uint32_t* h = half + r * 160;
    std::memcpy(row, h, 160 * 4);
    for (int c = 0; c < 160; ++c) std::memcpy(row + 4 * (319 - c), &h[c], 4);
  }
  for (int r = 0; r < 100; ++r) std::memcpy(target + (199 - r) * kFrameRowBytes, target + r * kFrameRowBytes, kFrameRowBytes);
}

void fadeFrame(uint8_t* target) {
  const uint8_t* fade = Kaleidoscope.fadeTable;
  for (int p = 0; p < kAreaPixels; ++p) {
    uint8_t* px = target + 4 * p;
    px[0] = fade[px[0]];
    px[1] = fade[px[1]];
    px[2] = fade[px[2]];
  }
}

// In place, top to bottom and left to right: the pixel above and the one to
// the left are already blurred when a pixel is computed; the one to the right
// and the one below are not. The three channels run side by side, each
// carrying its left neighbour in a register.
void blurFrame(uint8_t* target) {
  const uint8_t* divide = BlurDivideTable.data();
  std::memset(target, 0, kFrameRowBytes);
  std::memset(target + 199 * kFrameRowBytes, 0, kFrameRowBytes);
  for (int y = 1; y <= 198; ++y) {
    uint8_t* cur = target + y * kFrameRowBytes;
    const uint8_t* up = cur - kFrameRowBytes;
    const uint8_t* down = cur + kFrameRowBytes;
    std::memset(cur, 0, 4);
    unsigned left0 = 0, left1 = 0, left2 = 0;
    for (int i = 4; i <= 318 * 4; i += 4) {
      left0 = divide[up[i] + cur[i] + down[i] + cur[i + 4] + left0];
      left1 = divide[up[i + 1] + cur[i + 1] + down[i + 1] + cur[i + 5] + left1];
      left2 = divide[up[i + 2] + cur[i + 2] + down[i + 2] + cur[i + 6] + left2];
      cur[i] = static_cast<uint8_t>(left0);
      cur[i + 1] = static_cast<uint8_t>(left1);
      cur[i + 2] = static_cast<uint8_t>(left2);
    }
    std::memset(cur + 319 * 4, 0, 4);
  }
}

// 300 dots on a twelve-lobed outline whose radius is scaled by four waves
// that travel round the ring as the phase advances.
void drawFlowerRing(uint8_t* target) {
  float w = Kaleidoscope.flowerPhase;
  for (int i = 0; i < kFlowerPoints; ++i) {
    const float s = static_cast<float>(trigSin(static_cast<double>(w)) * Kaleidoscope.flowerRadii[i]);
    const FlowerPoint d = Kaleidoscope.flowerDirections[i];
    Kaleidoscope.flowerPoints[i].x = static_cast<float>(static_cast<double>(d.x) * s + 160.0);
    Kaleidoscope.flowerPoints[i].y = static_cast<float>(static_cast<double>(d.y) * s + 100.0);
    w = addStep(w, kWaveStep);
  }
  for (int i = 0; i < kFlowerPoints; ++i) {
    const int32_t x = nearest(Kaleidoscope.flowerPoints[i].x);
    const int32_t y = nearest(Kaleidoscope.flowerPoints[i].y);
    if (x >= 1 && x <= 317 && y >= 1 && y <= 197)
      stampBrightDot(target + y * kFrameRowBytes + 4 * x, kFlowerColourMasks[i % 4]);
  }
}

void drawKaleidoBlobs(uint8_t* target) {
  for (int k = 0; k < Kaleidoscope.blobCount; ++k) {
    const FlowerPoint p = Kaleidoscope.blobPositions[k];
    drawBlobSprite(target, BlobMap, nearest(p.x - 32.0f), nearest(p.y - 32.0f), 64);
  }
}

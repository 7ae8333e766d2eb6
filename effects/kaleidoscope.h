// kaleidoscope.h — mirrored, faded, blurred feedback with a dot ring and blobs.
//
// initKaleidoscope: once at start-up; starts the effect afresh.
// renderKaleidoscope(target): through the scene adapter; works on the 320x200
//   target in place (each picture feeds the next).
// updateKaleidoscope(ticks): through the scene adapter.
// onKaleidoscopeBlob: the scene's event callback.
//
// The feedback is per picture by its nature: every picture is shrunk,
// mirrored, faded by 6 and blurred into the next, so how far the copies have
// receded depends on the pictures drawn, not on the ticks. The ring, its wave
// and the blobs move only by the tick, like every other effect. On a faster
// display the scene keeps its look: at 144 fps about every second picture,
// at 240 fps about seven in ten, has no tick and draws the ring and blobs
// again on the same spot, so the nested copies repeat nearly the same ring,
// the halos are a little softer, and the copies recede and fade sooner in
// seconds (below a pixel after about 120 ms at 70 fps, 60 ms at 144, 35 ms
// at 240). The picture is slightly darker: mean level 96 at 70 fps, 93 at
// 144 and 88 at 240 (order 9, row 34).
#pragma once
#include <array>
#include <cstdint>

void initKaleidoscope();
void renderKaleidoscope(uint8_t* target);
void updateKaleidoscope(int32_t ticks);
void onKaleidoscopeBlob();

// --- state and stages, visible so tests and benchmarks can drive them ---

constexpr int kFlowerPoints = 300;
constexpr int kKaleidoBlobs = 5;

struct FlowerPoint {
  float x, y;
};

struct KaleidoscopeState {
  uint8_t fadeTable[256] = {};                  // v - 6, not below 0
  uint32_t halfFrame[100 * 160] = {};           // the previous picture at half size
  FlowerPoint flowerDirections[kFlowerPoints] = {};  // (sin a, cos a)
  float flowerRadii[kFlowerPoints] = {};        // twelve lobes between 50 and 100
  FlowerPoint flowerPoints[kFlowerPoints] = {}; // this frame's ring, screen positions
  float time = 0.0f;                            // t, radians
  float flowerPhase = 0.0f;                     // b, radians
  FlowerPoint blobPositions[kKaleidoBlobs] = {};
  int32_t blobCount = 0;                        // 0..5
};

// The effect's whole state; initKaleidoscope starts it afresh.
extern KaleidoscopeState Kaleidoscope;

// BlurDivideTable[s] = s / 5 for every sum of five faded bytes (at most 5 * 249).
constexpr std::array<uint8_t, 1275> makeBlurDivideTable() {
  std::array<uint8_t, 1275> table{};
  for (int s = 0; s < 1275; ++s) table[s] = static_cast<uint8_t>(s / 5);
  return table;
}
inline constexpr std::array<uint8_t, 1275> BlurDivideTable = makeBlurDivideTable();

// Render stages, in the order renderKaleidoscope runs them on a 320x200 target.
void mirrorQuarters(uint8_t* target);
void fadeFrame(uint8_t* target);
void blurFrame(uint8_t* target);
void drawFlowerRing(uint8_t* target);
void drawKaleidoBlobs(uint8_t* target);

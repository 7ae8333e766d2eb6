// kaleidoscope.h — mirrored, faded, blurred feedback with a dot ring and blobs.
//
// initKaleidoscope: once at start-up; starts the effect afresh.
// renderKaleidoscope(target): through the scene adapter; works on the 320x200
//   target in place (each picture feeds the next).
// updateKaleidoscope(ticks): through the scene adapter.
// onKaleidoscopeBlob: the scene's event callback.
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

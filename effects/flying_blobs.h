// flying_blobs.h — a hundred soft blobs flying towards the viewer.
//
// initFlyingBlobs: once at start-up; starts the effect afresh from the
//   program-start seed.
// renderFlyingBlobs(target) / updateFlyingBlobs(ticks): through the scene
//   adapters. The blobs move only in the update, 10 depth units per tick, so
//   the field flies at the same speed at any frame rate and after a pause.
#pragma once
#include <cstdint>

void initFlyingBlobs();
void renderFlyingBlobs(uint8_t* target);
void updateFlyingBlobs(int32_t ticks);

// --- state and stages, visible so tests and benchmarks can drive them ---

constexpr int kFlyingBlobCount = 100;
constexpr uint32_t kBlobFieldStartSeed = 123456;
constexpr uint32_t kFlyingBackground = 0x00003F3Fu;   // blue 63, green 63, red 0
constexpr int32_t kFlyingStep = 10;                   // depth units per tick
constexpr int32_t kFarDepth = 2048;                   // where a blob that passed the viewer goes

struct FlyingBlob {
  float x, y;
  float z;        // depth; a whole number after the first move
  int32_t shade;  // 0..15
};

struct FlyingBlobsState {
  FlyingBlob blobs[kFlyingBlobCount] = {};
  uint32_t seed = kBlobFieldStartSeed;  // the put-back positions' random sequence
};

// The effect's whole state; initFlyingBlobs starts it afresh.
extern FlyingBlobsState FlyingBlobs;

// Next position coordinate of a put-back blob: -384..512.
int32_t nextBlobFieldRandom();
void seedFlyingBlobs();
// One tick: every blob kFlyingStep nearer; one that reaches 0 or passes it is
// put back at kFarDepth less what it went past, at a new random place.
void moveFlyingBlobs();
void drawFlyingBlobs(uint8_t* target);

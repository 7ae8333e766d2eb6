// flying_blobs.h — a hundred soft blobs flying towards the viewer.
//
// initFlyingBlobs: once at start-up; starts the effect afresh from the
//   program-start seed.
// renderFlyingBlobs(target) / updateFlyingBlobs(ticks): through the scene adapters.
#pragma once
#include <cstdint>

void initFlyingBlobs();
void renderFlyingBlobs(uint8_t* target);
void updateFlyingBlobs(int32_t ticks);

// --- state and stages, visible so tests and benchmarks can drive them ---

constexpr int kFlyingBlobCount = 100;
constexpr uint32_t kBlobFieldStartSeed = 123456;
constexpr uint32_t kFlyingBackground = 0x00003F3Fu;   // blue 63, green 63, red 0

struct FlyingBlob {
  float x, y;
  float z;        // depth; a whole number after the first move
  int32_t shade;  // 0..15
};

struct FlyingBlobsState {
  FlyingBlob blobs[kFlyingBlobCount] = {};
  int32_t speed = 0;                    // depth step per frame: 10 x the last update's ticks
  uint32_t seed = kBlobFieldStartSeed;  // the put-back positions' random sequence
};

// The effect's whole state; initFlyingBlobs starts it afresh.
extern FlyingBlobsState FlyingBlobs;

// Next position coordinate of a put-back blob: -384..512.
int32_t nextBlobFieldRandom();
void seedFlyingBlobs();
void moveFlyingBlobs();
void drawFlyingBlobs(uint8_t* target);

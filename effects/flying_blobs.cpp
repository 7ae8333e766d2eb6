// flying_blobs.cpp — a hundred blobs fly towards the viewer over a flat
// background and are put back far away at a new random place once they pass.
// The picture is redrawn from the background up every frame; the blobs move
// only in the update, once per tick.
#include "effects/flying_blobs.h"

#include <cmath>
#include <cstring>

#include "kit/blitters.h"
#include "kit/blob_map.h"
#include "kit/frame.h"
#include "kit/numbers.h"

FlyingBlobsState FlyingBlobs;

namespace {

// Shade rises by one per 128 units of approach. A blob put back at exactly
// 2048 would get -1; it keeps 0, invisible as at its put-back.
int32_t shadeForDepth(int32_t depth) {
  const int32_t shade = (2047 - depth) >> 7;
  return shade < 0 ? 0 : shade;
}

}  // namespace

int32_t nextBlobFieldRandom() {
  FlyingBlobs.seed = FlyingBlobs.seed * 1431239u + 253u;
  const int32_t r = static_cast<int32_t>(FlyingBlobs.seed & 1023u);
  return r - (r >> 3) - 384;
}

void seedFlyingBlobs() {
  for (int i = 0; i < kFlyingBlobCount; ++i) {
    FlyingBlob& b = FlyingBlobs.blobs[i];
    b.x = static_cast<float>(nextBlobFieldRandom());
    b.y = static_cast<float>(nextBlobFieldRandom());
    b.z = static_cast<float>(20 * i);
    b.shade = (2047 - 20 * i) >> 7;
  }
}

void initFlyingBlobs() {
  FlyingBlobs = FlyingBlobsState{};
  seedFlyingBlobs();
}

void updateFlyingBlobs(int32_t ticks) {
  const int32_t n = advanceBlobPhases(ticks);
  for (int32_t tick = 0; tick < n; ++tick) moveFlyingBlobs();
}

void renderFlyingBlobs(uint8_t* target) {
  const uint32_t background = kFlyingBackground;
  for (int p = 0; p < kAreaPixels; ++p) std::memcpy(target + 4 * p, &background, 4);
  buildBlobMap();
  drawFlyingBlobs(target);
}

// A blob whose depth would reach 0 or less (exactly 0 included) is put back.
// It keeps what it went past, so blobs that pass in the same tick stay apart
// and every depth keeps its place in the field's cycle of 2048.
void moveFlyingBlobs() {
  for (FlyingBlob& b : FlyingBlobs.blobs) {
    const int32_t d = nearest(b.z) - kFlyingStep;
    if (d > 0) {
      b.z = static_cast<float>(d);
      b.shade = shadeForDepth(d);
    } else {
      b.x = static_cast<float>(nextBlobFieldRandom());
      b.y = static_cast<float>(nextBlobFieldRandom());
      b.z = static_cast<float>(kFarDepth + d);
      b.shade = shadeForDepth(kFarDepth + d);
    }
  }
}

// A 200x200 square per blob in perspective (focal length 256, centre
// (160, 100)), in array order; squares wholly outside the target are skipped.
void drawFlyingBlobs(uint8_t* target) {
  for (const FlyingBlob& b : FlyingBlobs.blobs) {
    if (nearest(b.z) <= 0) continue;
    const float left = 256.0f * (b.x - 100.0f) / b.z;
    const int32_t size = nearest(256.0f * (b.x + 100.0f) / b.z - left);
    if (size <= 0) continue;
    const float top = 256.0f * (b.y - 100.0f) / b.z;
    const int32_t x = nearest(left + 160.0f);
    const int32_t y = nearest(top + 100.0f);
    if (x > 319 || x + size <= 0 || y > 199 || y + size <= 0) continue;
    drawShadedBlobSprite(target, BlobMap, x, y, size, b.shade);
  }
}

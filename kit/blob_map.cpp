// blob_map.cpp — the 64x64 soft blob rebuilt each frame from two phases.
//
// The outline is polar: 64 angle classes (repeating eight times around the
// centre), each with two extents from the phases. A class's profile is the
// mean of two linear ramps from 255 at the centre to 0 at its extents. The
// costly square root and arc tangent per pixel live in two start-up tables, so
// a frame costs 64 classes of trigonometry and 4096 lookups.
//
// Every float here is stored in single precision after each step, so the phase
// and ramp accumulators round like 32-bit floats; intermediate expressions are
// evaluated in double.
#include "kit/blob_map.h"

#include <cmath>
#include <cstring>

#include "kit/numbers.h"
#include "kit/trig.h"

uint8_t PolarDistanceTable[64 * 64];
uint8_t PolarAngleTable[64 * 64];
int32_t BlobExtents[64][2];
uint8_t BlobProfiles[64 * 64];
uint8_t BlobMap[64 * 64];
float BlobPhaseA = 0.0f;
float BlobPhaseB = 0.0f;
float BlobStepA = 0.0f;
float BlobStepB = 0.0f;

namespace {

constexpr float kPhaseStepA = static_cast<float>(2.0 * kPiDouble / 128.0);
constexpr float kPhaseStepB = static_cast<float>(2.0 * kPiDouble / 193.0);

// One profile row: ramps from 255 down to 0 at the extents x and y.
void buildProfile(uint8_t* row, int32_t x, int32_t y) {
  const float stepU = 255.0f / static_cast<float>(x);
  const float stepV = 255.0f / static_cast<float>(y);
  float u = 255.0f;
  float v = 255.0f;
  const int32_t shorter = x < y ? x : y;
  const int32_t longer = x < y ? y : x;
  int32_t k = 0;
  for (; k < shorter; ++k) {
    row[k] = static_cast<uint8_t>(nearest(static_cast<double>(u) + static_cast<double>(v)) >> 1);
    u -= stepU;
    v -= stepV;
  }
  // Past the shorter extent only the longer ramp continues, halved.
  float ramp = x > y ? u : v;
  const float step = x > y ? stepU : stepV;
  for (; k < longer; ++k) {
    row[k] = static_cast<uint8_t>(nearest(ramp) >> 1);
    ramp -= step;
  }
}

}  // namespace

void initBlobTables() {
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int dx = x - 32;
      const int dy = y - 32;
      PolarDistanceTable[y * 64 + x] =
          static_cast<uint8_t>(nearest(std::sqrt(static_cast<double>(dx * dx + dy * dy))));
      // A full turn is 512 steps; the low 8 bits are kept.
      uint8_t angle = 0;
      if (dx != 0 || dy != 0)
        angle = static_cast<uint8_t>(nearest((trigAtan2(dy, dx) + kPiDouble) * 256.0 / kPiDouble) & 255);
      PolarAngleTable[y * 64 + x] = angle;
    }
  }
  resetBlobPhases();
  BlobStepA = static_cast<float>(2.0 * kPiDouble / 128.0);
  BlobStepB = static_cast<float>(2.0 * kPiDouble / 32.0);
}

void buildBlobMap() {
  std::memset(BlobProfiles, 0, sizeof(BlobProfiles));

  // Extents, x(i) from sin(a) and y(i) from cos(b), a and b stepped per class.
  const float c = static_cast<float>(6.0 * trigSin(static_cast<double>(BlobPhaseB)) + 25.0);
  const double phaseA = BlobPhaseA;
  const double phaseB = BlobPhaseB;
  float a = BlobPhaseA;
  float b = -BlobPhaseA;
  for (int i = 0; i < 64; ++i) {
    const double ad = a;
    const float r = static_cast<float>(3.0 * trigCos(ad + phaseB) + trigSin(2.0 * ad + phaseA) + 3.0);
    BlobExtents[i][0] = nearest(trigSin(ad) * r + c);
    BlobExtents[i][1] = nearest(trigCos(static_cast<double>(b)) * r + c);
    a += BlobStepA;
    b += BlobStepB;
  }

  for (int i = 0; i < 64; ++i) buildProfile(BlobProfiles + i * 64, BlobExtents[i][0], BlobExtents[i][1]);

  for (int p = 0; p < 64 * 64; ++p)
    BlobMap[p] = BlobProfiles[(PolarAngleTable[p] & 63) * 64 + (PolarDistanceTable[p] & 63)];
}

int32_t advanceBlobPhases(int32_t ticks) {
  for (int32_t t = 0; t < ticks; ++t) {
    BlobPhaseA += kPhaseStepA;
    BlobPhaseB += kPhaseStepB;
  }
  return ticks;
}

void resetBlobPhases() {
  BlobPhaseA = 0.0f;
  BlobPhaseB = 0.0f;
}

// stubs_pending.cpp — empty bodies for kit routines not written yet, so the
// effects link while the kit is being built. Each routine's own file replaces
// its line here; delete this file when the whole kit has landed.
#include "kit/blitters.h"
#include "kit/blob_map.h"
#include "kit/logo_glow.h"
#include "kit/texture_grid.h"
#include "kit/triangle.h"
#include "kit/vector_math.h"

// --- vector math
void transformPoints(Vec3*, int, const Matrix3&, const Vec3&) {}
void buildLookAtMatrix(const CameraSpec&, Matrix3&) {}
void crossProduct(const Vec3&, const Vec3&, Vec3&) {}
void normaliseVector(const Vec3&, Vec3&) {}
// --- blob map
uint8_t PolarDistanceTable[64 * 64];
uint8_t PolarAngleTable[64 * 64];
int32_t BlobExtents[64][2];
uint8_t BlobProfiles[64 * 64];
uint8_t BlobMap[64 * 64];
float BlobPhaseA, BlobPhaseB, BlobStepA, BlobStepB;
void initBlobTables() {}
void buildBlobMap() {}
int32_t advanceBlobPhases(int32_t ticks) { return ticks; }
void resetBlobPhases() {}
// --- blitters
uint8_t ShadeScaleTable[16 * 256];
void buildShadeScaleTable() {}
void drawBlobSprite(uint8_t*, const uint8_t*, int32_t, int32_t, int32_t) {}
void drawShadedBlobSprite(uint8_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t) {}
void stampDimDot(uint8_t*, int32_t) {}
void stampBrightDot(uint8_t*, int32_t) {}
// --- texture grid
uint8_t GridTexture[256 * 256];
uint8_t GridPalette[256 * 4];
uint8_t ShadeTable[256 * 256];
void buildGridTexture(const uint8_t*) {}
void buildGridPalette(const uint8_t*) {}
void buildShadeTable() {}
void renderTextureGrid(uint8_t*, const TexCoord*, const int32_t*, const uint8_t*, const uint8_t*,
                       const uint8_t*) {}
// --- logo glow
uint8_t LightenTable[256 * 64];
uint8_t ScaleTable64[64 * 64];
void buildGlowTables() {}
void blurLogo(const uint8_t*, int32_t, int32_t, uint8_t*) {}
void mixLogo(const uint8_t*, const uint8_t*, int32_t, int32_t, int32_t, uint8_t*) {}
void blendLogoGlow(uint8_t*, const uint8_t*, int32_t, int32_t, int32_t) {}
// --- triangle
void fillFlatTriangle(const float*, uint8_t*, uint32_t) {}

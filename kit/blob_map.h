// blob_map.h — the shared 64x64 soft blob picture and its two phases.
//
// initBlobTables: once at start-up (initKit), before anything else
//                 here; also puts the phases back to their start values.
// buildBlobMap:   once per frame by the kaleidoscope, flying blobs and frame cube
//                 renderers, before they draw a blob.
// advanceBlobPhases: by the tunnel, flying blobs, kaleidoscope and frame cube
//                 updates with the frame's tick count; returns it unchanged.
#pragma once
#include <cstdint>

extern uint8_t PolarDistanceTable[64 * 64];
extern uint8_t PolarAngleTable[64 * 64];
extern int32_t BlobExtents[64][2];
extern uint8_t BlobProfiles[64 * 64];
extern uint8_t BlobMap[64 * 64];
extern float BlobPhaseA;
extern float BlobPhaseB;
extern float BlobStepA;
extern float BlobStepB;

void initBlobTables();
void buildBlobMap();
int32_t advanceBlobPhases(int32_t ticks);

// Puts the phases back to their program-start values (tests).
void resetBlobPhases();

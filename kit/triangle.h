// triangle.h — one flat-coloured triangle with sub-pixel corners.
//
// Called per face by the frame cube's draw list. Coverage rounds up: rows
// ceil(top) <= r < ceil(bottom), columns ceil(left) <= c < ceil(right), so
// triangles sharing an edge neither overlap nor leave gaps. Rows outside
// 0..199 are stepped but not drawn; spans are clipped to columns 0..319.
// The rounding mode seen by the caller is unchanged (round-to-nearest).
// Points that are not finite draw nothing; coordinates far off the picture
// are safe (only the 320x200 area is ever written).
#pragma once
#include <cstdint>

// points: x0, y0, x1, y1, x2, y2; target: 320x200 area, rows of kFrameRowBytes (kit/frame.h).
void fillFlatTriangle(const float* points, uint8_t* target, uint32_t colour);

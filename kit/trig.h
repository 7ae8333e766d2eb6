// trig.h — sine, cosine and arc tangent that give the same bits on every
// platform and C library.
//
//   float s = trigSin(angle);            // float in, float out (like std::sin)
//   double c = trigCos(2.0 * t);         // double in, double out
//   double a = trigAtan2(dy, dx);
//
// The C libraries' own sin, cos and atan2 differ in the last bit between
// systems (glibc and the Windows runtimes do), and in a demo whose effects
// feed their pictures back or round coordinates to texels, one bit can move
// a pixel. These use only IEEE additions, multiplications, divisions and
// exact rounding, so every x86-64 build draws the same frames. Accuracy:
// within one unit in the last place of the double result for |x| < 2^20
// (the effects' angles stay far below); the float forms round the double
// result. Used by the effects and the kit in place of std::sin/cos/atan2.
#pragma once

double trigSin(double x);
double trigCos(double x);
double trigAtan2(double y, double x);

inline float trigSin(float x) { return static_cast<float>(trigSin(static_cast<double>(x))); }
inline float trigCos(float x) { return static_cast<float>(trigCos(static_cast<double>(x))); }

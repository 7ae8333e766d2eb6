// numbers.h — the constants and the rounding every effect and kit routine
// shares.
//
//   s.time = t + kTickAngle;             // a float clock, one 70 Hz tick on
//   s.orbitTime = float(t + kTickAngleDouble);   // the same step taken in double
//   if (nearest(d) < 180) ...            // float to int: nearest, ties to even
//
// The float and double forms are kept apart on purpose: an effect that adds
// its step in double rounds differently from one that adds it in float, and
// each picture was designed with its own.
#pragma once
#include <cmath>
#include <cstdint>
#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

constexpr double kPiDouble = 3.14159265358979323846;
constexpr float kPi = static_cast<float>(kPiDouble);
// The angle most effect clocks advance by per tick: a full turn in 1024 ticks.
constexpr double kTickAngleDouble = 2.0 * kPiDouble / 1024.0;
constexpr float kTickAngle = static_cast<float>(kTickAngleDouble);

// Nearest integer, ties to even (the default rounding mode). On x86-64 one
// conversion instruction each: some C libraries (mingw-w64's) make lrint and
// nearbyint calls that save and restore the floating-point environment,
// and the effects round millions of times a second. The instruction rounds
// by the same mode, so the results are the library's.
#if defined(__SSE2__) && defined(__x86_64__)
inline int32_t nearest(float v) { return _mm_cvtss_si32(_mm_set_ss(v)); }
inline int32_t nearest(double v) { return _mm_cvtsd_si32(_mm_set_sd(v)); }
inline int64_t nearest64(float v) { return _mm_cvtss_si64(_mm_set_ss(v)); }
inline int64_t nearest64(double v) { return _mm_cvtsd_si64(_mm_set_sd(v)); }
#else
inline int32_t nearest(float v) { return static_cast<int32_t>(std::lrintf(v)); }
inline int32_t nearest(double v) { return static_cast<int32_t>(std::nearbyint(v)); }
inline int64_t nearest64(float v) { return std::llrint(v); }
inline int64_t nearest64(double v) { return std::llrint(v); }
#endif

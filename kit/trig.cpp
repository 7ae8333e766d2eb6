// trig.cpp — see trig.h. Reduction by pi/2 in two parts (Cody and Waite),
// then the classic minimax polynomials for sine and cosine on [-pi/4, pi/4]
// and for the arc tangent on [0, 7/16] after its four-way reduction.
#include "kit/trig.h"

#include <cmath>

#include "kit/numbers.h"

namespace {

constexpr double kInvPio2 = 6.36619772367581382433e-01;
constexpr double kPio2Hi = 1.57079632673412561417e+00;  // first 33 bits of pi/2
constexpr double kPio2Lo = 6.07710050650619224932e-11;  // pi/2 - kPio2Hi
constexpr double kPiLo = 1.22464679914735317720e-16;

// sin(r) for |r| <= pi/4.
double sinKernel(double r) {
  const double z = r * r;
  const double p = 8.33333333332248946124e-03 +
                   z * (-1.98412698298579493134e-04 +
                        z * (2.75573137070700676789e-06 +
                             z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
  return r + (z * r) * (-1.66666666666666324348e-01 + z * p);
}

// cos(r) for |r| <= pi/4.
double cosKernel(double r) {
  const double z = r * r;
  const double p =
      z * (4.16666666666666019037e-02 +
           z * (-1.38888888888741095749e-03 +
                z * (2.48015872894767294178e-05 +
                     z * (-2.75573143513906633035e-07 +
                          z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11)))));
  const double half = 0.5 * z;
  const double w = 1.0 - half;
  return w + (((1.0 - w) - half) + z * p);
}

// x = k * pi/2 + r with |r| <= about pi/4; returns k mod 4.
int reduceAngle(double x, double* r) {
  // Whole already from 2^52 up (and NaN or infinite stays so).
  const double y = x * kInvPio2;
  const double k = std::fabs(y) < 0x1p52 ? static_cast<double>(nearest64(y)) : y;
  *r = (x - k * kPio2Hi) - k * kPio2Lo;
  const long long quadrant = static_cast<long long>(k);
  return static_cast<int>(quadrant & 3);
}

// atan(x) for x >= 0.
double atanPositive(double x) {
  static const double kAtanHi[4] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                                    9.82793723247329054082e-01, 1.57079632679489655800e+00};
  static const double kAtanLo[4] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                                    1.39033110312309984516e-17, 6.12323399573676603587e-17};
  int id;
  if (x < 0.4375) {
    id = -1;
  } else if (x < 1.1875) {
    if (x < 0.6875) {
      id = 0;
      x = (2.0 * x - 1.0) / (2.0 + x);
    } else {
      id = 1;
      x = (x - 1.0) / (x + 1.0);
    }
  } else if (x < 2.4375) {
    id = 2;
    x = (x - 1.5) / (1.0 + 1.5 * x);
  } else {
    id = 3;
    x = -1.0 / x;
  }
  const double z = x * x;
  const double w = z * z;
  const double s1 =
      z * (3.33333333333329318027e-01 +
           w * (1.42857142725034663711e-01 +
                w * (9.09088713343650656196e-02 +
                     w * (6.66107313738753120669e-02 +
                          w * (4.97687799461593236017e-02 + w * 1.62858201153657823623e-02)))));
  const double s2 =
      w * (-1.99999999998764832476e-01 +
           w * (-1.11111104054623557880e-01 +
                w * (-7.69187620504482999495e-02 +
                     w * (-5.83357013379057348645e-02 + w * -3.65315727442169155270e-02))));
  if (id < 0) return x - x * (s1 + s2);
  return kAtanHi[id] - ((x * (s1 + s2) - kAtanLo[id]) - x);
}

}  // namespace

double trigSin(double x) {
  if (!std::isfinite(x)) return x - x;
  if (x == 0.0) return x;  // keeps the sign of -0
  double r;
  switch (reduceAngle(x, &r)) {
    case 0: return sinKernel(r);
    case 1: return cosKernel(r);
    case 2: return -sinKernel(r);
    default: return -cosKernel(r);
  }
}

double trigCos(double x) {
  if (!std::isfinite(x)) return x - x;
  double r;
  switch (reduceAngle(x, &r)) {
    case 0: return cosKernel(r);
    case 1: return -sinKernel(r);
    case 2: return -cosKernel(r);
    default: return sinKernel(r);
  }
}

double trigAtan2(double y, double x) {
  if (std::isnan(x) || std::isnan(y)) return x + y;
  if (y == 0.0) {
    if (std::signbit(x)) return std::signbit(y) ? -kPiDouble : kPiDouble;
    return y;  // +-0
  }
  if (x == 0.0) return std::signbit(y) ? -kPio2Hi - kPio2Lo : kPio2Hi + kPio2Lo;
  if (std::isinf(x) || std::isinf(y)) {
    const double a = std::isinf(x) ? (std::isinf(y) ? (x > 0 ? kPiDouble / 4 : 3 * kPiDouble / 4)
                                                    : (x > 0 ? 0.0 : kPiDouble))
                                   : kPio2Hi + kPio2Lo;
    return std::signbit(y) ? -a : a;
  }
  const double a = atanPositive(std::fabs(y / x));
  double angle = x > 0 ? a : (kPiDouble - (a - kPiLo));
  return std::signbit(y) ? -angle : angle;
}

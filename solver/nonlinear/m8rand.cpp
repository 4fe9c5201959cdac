// Uniform random numbers: the sum of three multiplicative congruential
// generators, reduced modulo 1.  The arithmetic of the fractions is single
// precision, so a stream is the same on every machine.
#include <cmath>

#include "nonlinear/m8kern.h"

namespace tv {

namespace {

constexpr int kM1 = 30269, kM2 = 30307, kM3 = 30323;

int in_range(int seed, int modulus) {
  int s = seed % modulus;
  return s < 0 ? s + modulus : s;
}

}  // namespace

void m8rand(int& ix, int& iy, int& iz, int n, Dvec x, int incx) {
  ix = in_range(ix, kM1);
  iy = in_range(iy, kM2);
  iz = in_range(iz, kM3);
  int k = 1;
  for (int i = 1; i <= n; ++i, k += incx) {
    ix = 171 * ix % kM1;
    iy = 172 * iy % kM2;
    iz = 170 * iz % kM3;
    float u = static_cast<float>(ix) / static_cast<float>(kM1) +
              static_cast<float>(iy) / static_cast<float>(kM2) +
              static_cast<float>(iz) / static_cast<float>(kM3);
    x(k) = static_cast<double>(u - std::floor(u));
  }
}

}  // namespace tv

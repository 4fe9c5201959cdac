// Random numbers of the starting Jacobian and the multiplier sign rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "nonlinear/m8kern.h"

using namespace tv;

TEST(M8Rand, KnownStreamRangeAndReproducibility) {
  int ix = kJacSeed1, iy = kJacSeed2, iz = kJacSeed3;
  std::vector<double> x(10);
  m8rand(ix, iy, iz, 10, Dvec(x.data(), 10), 1);
  // First number by hand: 171*1547 mod 30269 = 22385, 172*2671 mod 30307 =
  // 4807, 170*3770 mod 30323 = 4117; the fractions sum to 1.03391...
  double first = 22385.0 / 30269 + 4807.0 / 30307 + 4117.0 / 30323 - 1.0;
  EXPECT_NEAR(x[0], first, 1e-6);
  EXPECT_EQ(x[0], double(float(x[0])));  // single precision values

  // The seeds carry the stream on: 4 + 6 numbers, the second batch strided.
  int jx = kJacSeed1, jy = kJacSeed2, jz = kJacSeed3;
  std::vector<double> y(4), z(12, -1.0);
  m8rand(jx, jy, jz, 4, Dvec(y.data(), 4), 1);
  m8rand(jx, jy, jz, 6, Dvec(z.data(), 12), 2);
  EXPECT_TRUE(std::equal(y.begin(), y.end(), x.begin()));
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(z[2 * k], x[4 + k]);
    EXPECT_EQ(z[2 * k + 1], -1.0);
  }
  EXPECT_EQ(jx, ix);
  EXPECT_EQ(jy, iy);
  EXPECT_EQ(jz, iz);

  // Random Jacobian entries 0.5 + u lie in [0.5, 1.5), and u is uniform.
  const int n = 20000;
  std::vector<double> u(n);
  m8rand(ix, iy, iz, n, Dvec(u.data(), n), 1);
  for (double& v : u) v += 0.5;
  EXPECT_GE(*std::min_element(u.begin(), u.end()), 0.5);
  EXPECT_LT(*std::max_element(u.begin(), u.end()), 1.5);
  EXPECT_NEAR(std::accumulate(u.begin(), u.end(), 0.0) / n, 1.0, 0.01);

  // Seeds out of range (negative) still give numbers in [0, 1).
  int a = -5, b = -40000, c = 0;
  m8rand(a, b, c, n, Dvec(u.data(), n), 1);
  EXPECT_GE(*std::min_element(u.begin(), u.end()), 0.0);
  EXPECT_LT(*std::max_element(u.begin(), u.end()), 1.0);
}

TEST(M8Chkm, SignsByRowStateAndClamp) {
  std::vector<int> hs = {0, 3, 1, 0, 2, 1, -1};
  std::vector<double> lam = {5.0, 5.0, -2.0, -3.0, 1e30, 7.0, -1e30};
  m8chkm(7, 100.0, CIvec(hs.data(), 7), Dvec(lam.data(), 7));
  EXPECT_EQ(lam, (std::vector<double>{0.0, 5.0, 0.0, -3.0, 100.0, 7.0, -100.0}));
}

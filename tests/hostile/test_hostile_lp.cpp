// Numerically hostile but valid linear programs: coefficients spanning
// 1e-10 to 1e+10, nearly parallel rows, many free variables, a singular
// start basis, tiny ranges.  Each must end with the right status under the
// default options: an optimum whose point holds against the original data
// (bounds, rows, reduced costs; the shared measure of the solve fuzz target)
// at the known value, or infeasible, or unbounded.  Under other options a
// solve may also stop short (a limit, numerical trouble) if it says so, but
// a definite answer must be the right one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/netlib.h"
#include "core/context.h"
#include "files/mps.h"
#include "fuzz_checks.h"

namespace {

using tvfuzz::SolveOutcome;

constexpr double kNoValue = 1e300;  // optimum not compared (only the point)

struct Hostile {
  std::string name;
  tv::MpsModel model;
  int status = 0;              // 0 optimal, 1 infeasible, 2 unbounded
  double optimum = kNoValue;
  const char* start = "Cold";
};

tv::MpsModel read_text(const std::string& text) {
  tv::Context ctx;
  tv::MpsModel M;
  EXPECT_EQ(tv::mps_read_text(ctx, text, M), 0) << text;
  return M;
}

tv::MpsModel afiro() {
  tv::Context ctx;
  tv::MpsModel M;
  EXPECT_EQ(tv::mps_read(ctx, tvtest::netlib_dir() + "/afiro.mps", M), 0);
  return M;
}

// afiro with row i multiplied by 10^k(i) and column j by 10^l(j): entries
// from 1e-10 to 1e+10, the same optimum.  Row scaling multiplies the row's
// bounds (the objective row stays); column scaling divides the column's
// bounds and multiplies its cost.
tv::MpsModel afiro_wide() {
  tv::MpsModel M = afiro();
  auto rowexp = [&](int i) { return i == M.objrow ? 0 : (i * 7) % 13 - 6; };
  auto colexp = [](int j) { return (j * 5) % 13 - 6; };
  for (int j = 1; j <= M.n; ++j) {
    const double c = std::pow(10.0, colexp(j));
    for (int k = M.ka[j - 1]; k < M.ka[j]; ++k) M.a[k - 1] *= c * std::pow(10.0, rowexp(M.ha[k - 1]));
    if (std::fabs(M.bl[j - 1]) < 1e20) M.bl[j - 1] /= c;
    if (std::fabs(M.bu[j - 1]) < 1e20) M.bu[j - 1] /= c;
  }
  for (int i = 1; i <= M.m; ++i) {
    const double r = std::pow(10.0, rowexp(i));
    if (std::fabs(M.bl[M.n + i - 1]) < 1e20) M.bl[M.n + i - 1] *= r;
    if (std::fabs(M.bu[M.n + i - 1]) < 1e20) M.bu[M.n + i - 1] *= r;
  }
  return M;
}

// Blocks min -x - 2y, x + y <= 2, x + (1 + d) y <= 2 + d, x, y >= 0: the
// optimum (1, 1) sits where two rows meet at an angle of about d / 2.
tv::MpsModel parallel_rows() {
  std::string rows = "NAME PARALLEL\nROWS\n N OBJ\n", cols = "COLUMNS\n", rhs = "RHS\n";
  const double ds[] = {1e-3, 1e-5, 1e-7};
  for (int k = 0; k < 3; ++k) {
    const std::string s = std::to_string(k);
    rows += " L A" + s + "\n L B" + s + "\n";
    cols += " X" + s + " OBJ -1 A" + s + " 1\n X" + s + " B" + s + " 1\n";
    cols += " Y" + s + " OBJ -2 A" + s + " 1\n Y" + s + " B" + s + " " + tv::mps_number(1 + ds[k]) + "\n";
    rhs += " RHS A" + s + " 2 B" + s + " " + tv::mps_number(2 + ds[k]) + "\n";
  }
  return read_text(rows + cols + rhs + "ENDATA\n");
}

// n free variables in a chain: x1 = 0, -1 <= x(j+1) - x(j) <= 1, maximise
// x(n): every step +1, optimum n - 1 (minimised as -x(n)).
tv::MpsModel free_chain(int n) {
  std::string rows = "NAME CHAIN\nROWS\n N OBJ\n E ANCHOR\n", cols = "COLUMNS\n", rng = "RANGES\n",
              rhs = "RHS\n RHS ANCHOR 0\n", bnd = "BOUNDS\n";
  for (int j = 1; j < n; ++j) rows += " L S" + std::to_string(j) + "\n";
  for (int j = 1; j <= n; ++j) {
    std::string x = std::to_string(j);
    x.insert(0, 1, 'X');  // not "X" + temporary: GCC 12 warns of a false overlap there
    if (j == 1) cols += " " + x + " ANCHOR 1\n";
    if (j < n) cols += " " + x + " S" + std::to_string(j) + " -1\n";
    if (j > 1) cols += " " + x + " S" + std::to_string(j - 1) + " 1\n";
    if (j == n) cols += " " + x + " OBJ -1\n";
    bnd += " FR BND " + x + "\n";
  }
  for (int j = 1; j < n; ++j) {
    rhs += " RHS S" + std::to_string(j) + " 1\n";
    rng += " RNG S" + std::to_string(j) + " 2\n";
  }
  return read_text(rows + cols + rhs + rng + bnd + "ENDATA\n");
}

// min -x - y - z with x + y <= 4, x + z <= 3, y + z <= 5 (x = 1, y = 3,
// z = 2, objective -6) and W a copy of X.  The start basis holds X and W,
// which is singular.
tv::MpsModel singular_start() {
  tv::MpsModel M = read_text(
      "NAME SINGULAR\nROWS\n N OBJ\n L R1\n L R2\n L R3\nCOLUMNS\n"
      " X OBJ -1 R1 1\n X R2 1\n W OBJ -1 R1 1\n W R2 1\n Y OBJ -1 R1 1\n Y R3 1\n Z OBJ -1 R2 1\n Z R3 1\n"
      "RHS\n RHS R1 4 R2 3\n RHS R3 5\nENDATA\n");
  // Basic: X, W, the objective row and R3; nonbasic: Y, Z, R1, R2.
  M.hs = {3, 3, 0, 0, 3, 0, 0, 3};
  return M;
}

// afiro from a start basis of its first m columns (rows without an entry
// in them make it singular).
tv::MpsModel afiro_first_columns() {
  tv::MpsModel M = afiro();
  for (int j = 0; j < M.n + M.m; ++j) M.hs[j] = j < M.m ? 3 : 0;
  return M;
}

// afiro from states that are no states at all (a caller's garbage; none
// that reads as superbasic, which a linear problem leaves to the
// reduced-gradient steps).
tv::MpsModel afiro_garbage_states() {
  tv::MpsModel M = afiro();
  const int32_t junk[] = {-7, 9, 100, INT32_MAX, INT32_MIN, 5, 4, 3, 7, 1};
  for (int j = 0; j < M.n + M.m; ++j) M.hs[j] = junk[j % 10];
  return M;
}

// afiro from basic slacks at 1e+10 (and the columns at 0): the first
// correction of the basic values cancels 1e+10 against 1e+10 and keeps an
// error of about 1e-6, which a second correction removes.
tv::MpsModel afiro_far_start() {
  tv::MpsModel M = afiro();
  for (int j = 0; j < M.n + M.m; ++j) {
    M.hs[j] = j < M.n ? 0 : 3;
    M.xn[j] = j < M.n ? 0.0 : 1e10;
  }
  return M;
}

// afiro with a range of 1e-9 on every equality row, and a small problem
// whose inequalities are ranged to within 1e-12 of equalities.
tv::MpsModel afiro_tiny_ranges() {
  tv::MpsModel M = afiro();
  for (int i = 1; i <= M.m; ++i) {
    double& lo = M.bl[M.n + i - 1];
    double& up = M.bu[M.n + i - 1];
    if (lo == up) lo -= 1e-9;  // slack in [-rhs - 1e-9, -rhs]: the row in [rhs, rhs + 1e-9]
  }
  return M;
}

tv::MpsModel tight_ranges() {
  // x + y in [3 - 1e-12, 3], x - y in [1, 1 + 1e-12]: x = 2, y = 1; min x + 3y = 5.
  return read_text(
      "NAME TIGHT\nROWS\n N OBJ\n L R1\n G R2\nCOLUMNS\n X OBJ 1 R1 1\n X R2 1\n Y OBJ 3 R1 1\n Y R2 -1\n"
      "RHS\n RHS R1 3 R2 1\nRANGES\n RNG R1 1e-12 R2 1e-12\nBOUNDS\n FR BND X\n FR BND Y\nENDATA\n");
}

// Rows 1e+8 (x + y) <= 1e+8 and 1e-8 (x + y) >= 1: x + y <= 1 and
// x + y >= 1e+8, infeasible in the units of either row (a tolerance is
// absolute in the row's units, so a violation of 1e-11 in a row of
// coefficients 1e-8 would not count).
tv::MpsModel wide_infeasible() {
  return read_text(
      "NAME WIDEINF\nROWS\n N OBJ\n L BIG\n G SMALL\nCOLUMNS\n X OBJ 1 BIG 1e8\n X SMALL 1e-8\n"
      " Y OBJ 2 BIG 1e8\n Y SMALL 1e-8\nRHS\n RHS BIG 1e8 SMALL 1\nENDATA\n");
}

// A ray along (1e+20, 1): min -x with 1e-10 x - 1e+10 y <= 1, y >= 0.
tv::MpsModel wide_unbounded() {
  return read_text(
      "NAME WIDEUNB\nROWS\n N OBJ\n L R\nCOLUMNS\n X OBJ -1 R 1e-10\n Y R -1e10\nRHS\n RHS R 1\nENDATA\n");
}

std::vector<Hostile> cases() {
  const double afiro_opt = tvtest::netlib_optimum("afiro");
  std::vector<Hostile> v;
  v.push_back({"afiro with entries from 1e-10 to 1e+10", afiro_wide(), 0, afiro_opt});
  v.push_back({"nearly parallel rows", parallel_rows(), 0, kNoValue});
  v.push_back({"200 free variables", free_chain(200), 0, -199.0});
  v.push_back({"singular start basis", singular_start(), 0, -6.0, "Warm"});
  v.push_back({"afiro from a singular start basis", afiro_first_columns(), 0, afiro_opt, "Warm"});
  v.push_back({"afiro from garbage states", afiro_garbage_states(), 0, afiro_opt, "Warm"});
  v.push_back({"afiro from basic values of 1e+10", afiro_far_start(), 0, afiro_opt, "Warm"});
  v.push_back({"afiro with ranges of 1e-9 on its equalities", afiro_tiny_ranges(), 0, afiro_opt});
  v.push_back({"ranges of 1e-12", tight_ranges(), 0, 5.0});
  v.push_back({"infeasible through rows 1e+8 and 1e-8", wide_infeasible(), 1});
  v.push_back({"unbounded through entries 1e-10 and 1e+10", wide_unbounded(), 2});
  return v;
}

// A fault's first line (the rest is the point and the print file).
std::string first_line(const std::string& s) { return s.substr(0, s.find('\n')); }

// Option sets (the solve fuzz target's flags): the defaults, each Scale
// option, crash options, partial pricing, frequent refactorization and
// Expand resets.
const int kVariants[] = {-1, 0x00, 0x01, 0x02, 0x06, 0x0b, 0x13, 0xc3};

}  // namespace

TEST(HostileLp, TheCasesAreAsHostileAsTheyClaim) {
  const tv::MpsModel wide = afiro_wide();
  double amin = 1e300, amax = 0.0;
  for (double a : wide.a) amin = std::min(amin, std::fabs(a)), amax = std::max(amax, std::fabs(a));
  EXPECT_LE(amin, 1e-9);
  EXPECT_GE(amax, 1e9);
  const tv::MpsModel chain = free_chain(200);
  int free_cols = 0;
  for (int j = 0; j < chain.n; ++j) free_cols += chain.bl[j] <= -1e20 && chain.bu[j] >= 1e20;
  EXPECT_EQ(free_cols, 200);
}

TEST(HostileLp, DefaultOptionsGiveTheRightStatus) {
  for (Hostile& c : cases()) {
    SCOPED_TRACE(c.name);
    SolveOutcome o;
    EXPECT_EQ(first_line(tvfuzz::check_solve_model(c.model, -1, {}, c.start, &o)), "");
    EXPECT_EQ(o.inform, c.status);
    if (c.status == 0 && c.optimum != kNoValue) {
      EXPECT_NEAR(o.obj, c.optimum, 1e-6 * std::max(1.0, std::fabs(c.optimum)));
    }
  }
}

TEST(HostileLp, OtherOptionsNeverGiveAWrongAnswer) {
  for (const Hostile& c0 : cases()) {
    for (int flags : kVariants) {
      Hostile c = c0;
      SCOPED_TRACE(c.name + ", flags " + std::to_string(flags));
      SolveOutcome o;
      EXPECT_EQ(first_line(tvfuzz::check_solve_model(c.model, flags, {}, c.start, &o)), "");
      if (o.inform <= 2) {
        EXPECT_EQ(o.inform, c.status);
      } else {
        // Stopped short: a limit, no progress or numerical trouble.
        EXPECT_TRUE(o.inform == 3 || o.inform == 4 || o.inform == 9 || o.inform == 10) << o.inform;
      }
      if (o.inform == 0 && c.optimum != kNoValue) {
        EXPECT_NEAR(o.obj, c.optimum, 1e-6 * std::max(1.0, std::fabs(c.optimum)));
      }
    }
  }
}

// Derivative verification reports.
#include <gtest/gtest.h>

#include "nonlinear/verify.h"
#include "problem.h"

using namespace evaltest;
using tv::CDvec;
using tv::strf;

namespace {

constexpr double kEps050 = 1.4901161193847656E-08;

struct Check : Fixture {
  std::vector<double> bl{-10, -10, -10}, bu{10, 10, 10};
  std::vector<double> y = std::vector<double>(3), z = std::vector<double>(3);
  std::vector<double> p = std::vector<double>(3), f2 = std::vector<double>(2),
                      jp = std::vector<double>(2);
  CDvec blv() { return CDvec(bl.data(), 3); }
  CDvec buv() { return CDvec(bu.data(), 3); }
  int chkg(int verlevel, int j1 = 1, int j2 = 3) {
    return tv::m7chkg(ev, verlevel, j1, j2, nnobj, blv(), buv(), v(x), fobj, v(gobj), v(y), v(z),
                      v(gwork));
  }
  int chkj(int verlevel, int j1 = 1, int j2 = 3) {
    return tv::m8chkj(ev, verlevel, j1, j2, nncon, nnjac, njac, hav(), kav(), blv(), buv(), v(x),
                      v(fcon), v(gcon), v(p), v(f2), v(jp));
  }
  bool has(const std::string& text, const std::string& line) const {
    return text.find("\n" + line + "\n") != std::string::npos || text.rfind(line + "\n", 0) == 0;
  }
};

}  // namespace

TEST(Verify, StepDirectionStaysInsideTheBounds) {
  std::vector<double> bl{0, 0, 0, 0, 1}, bu{1, 1, 1, 1e-9, 1}, x{0.5, 1, 0, 0, 1};
  std::vector<double> p{1, 1, -1, 1, 1};
  int count = -1;
  tv::m7chkd(5, CDvec(bl.data(), 5), CDvec(bu.data(), 5), CDvec(x.data(), 5), 0.1,
             Dvec(p.data(), 5), count);
  // kept; reversed at the upper bound; reversed at the lower bound; no room
  // either way; fixed.
  EXPECT_EQ(p, (std::vector<double>{1, -1, 1, 0, 0}));
  EXPECT_EQ(count, 3);
}

TEST(Verify, CorrectDerivativesSeemOk) {
  Check C;
  EXPECT_EQ(C.chkg(3), 0);
  const std::string r = C.prt();
  EXPECT_TRUE(C.has(r, " Verification of objective gradients returned by subroutine funobj."));
  EXPECT_TRUE(C.has(r, " The objective gradients seem to be OK."));
  EXPECT_TRUE(C.has(r, "      j       x(j)        dx(j)           g(j)         Difference approxn"));
  EXPECT_TRUE(C.has(r, "      3  objective gradients out of     1  thru     3  seem to be OK."));
  // Row of column 2: dx = eps^0.5 (1 + |f|)/(1 + |g|).
  double g[3];
  gval(C.x.data(), g);
  const double dx = kEps050 * (1 + std::fabs(fval(C.x.data()))) / (1 + std::fabs(g[1]));
  const std::string row = strf("%7d%16.8E%10.2E%18.8E", 2, C.x[1], dx, g[1]);
  const size_t at = r.find("\n" + row);
  ASSERT_NE(at, std::string::npos) << r;
  EXPECT_EQ(r.substr(r.find('\n', at + 1) - 6, 6), "  ok  ");
  EXPECT_EQ(C.sum(), " funobj  sets       3   out of       3   objective  gradients.\n");

  C.io.clear_buffer(Fixture::kPrt);
  EXPECT_EQ(C.chkj(3), 0);
  const std::string j = C.prt();
  EXPECT_TRUE(C.has(j, " Verification of constraint gradients returned by subroutine funcon."));
  EXPECT_TRUE(C.has(j, " The Jacobian seems to be OK."));
  EXPECT_TRUE(C.has(j, "      5  Jacobian elements in cols      1  thru     3  seem to be OK."));
  // Column 3 holds two entries: the second is printed under the first.
  const double dx3 = C.ev.fwdint * 2.0;
  EXPECT_NE(j.find(strf("\n%7d%16.8E%10.2E%10d%10d%18.8E", 3, 1.0, dx3, 4, 1, -1.25)), std::string::npos);
  EXPECT_NE(j.find("\n" + std::string(33, ' ') + strf("%10d%10d%18.8E", 5, 2, 3.0)), std::string::npos);
}

TEST(Verify, WrongObjectiveGradientStopsTheRun) {
  Check C;
  C.script.gerr[2] = -3.0 * C.x[0] * 2;  // g(2) returned as -3 x1: relative error 1.2
  EXPECT_EQ(C.chkg(1), 7);
  const std::string r = C.prt();
  EXPECT_TRUE(C.has(r, " XXX  The objective gradients seem to be incorrect."));
  EXPECT_TRUE(C.has(r, " XXX  There seem to be     1  incorrect objective gradients in cols     1  thru     3"));
  EXPECT_TRUE(C.has(r, " XXX  The largest relative error was    1.20E+00   in column     2"));
  const std::string exit = "\n\n EXIT -- subroutine funobj appears to be giving incorrect gradients\n";
  EXPECT_EQ(r.substr(r.size() - exit.size()), exit);
  EXPECT_NE(C.sum().find(" XXX  The objective gradients seem to be incorrect.\n"), std::string::npos);
  EXPECT_EQ(C.sum().substr(C.sum().size() - exit.size()), exit);

  // A relative error of 0.5 is flagged but does not stop the run.
  Check D;
  D.script.gerr[2] = 2.5;  // g(2) = 4.0 for 1.5: error 2.5/5
  EXPECT_EQ(D.chkg(3, 2, 2), 0);
  EXPECT_TRUE(D.has(D.prt(), " XXX  The largest relative error was    5.00E-01   in column     2"));
  EXPECT_TRUE(D.has(D.prt(), " XXX  There seem to be     1  incorrect objective gradients in cols     2  thru     2"));
  EXPECT_NE(D.prt().find("  bad?\n"), std::string::npos);
  EXPECT_EQ(D.prt().find("EXIT"), std::string::npos);
}

TEST(Verify, WrongJacobianStopsTheRun) {
  Check C;
  C.script.jerr[5] = -6.0;  // 3 x3^2 returned as -3: relative error 1.5
  EXPECT_EQ(C.chkj(2), 8);
  const std::string r = C.prt();
  EXPECT_TRUE(C.has(r, " XXX  The Jacobian seems to be incorrect."));
  EXPECT_TRUE(C.has(r, " XXX  There seem to be     1  incorrect Jacobian elements in cols     1  thru     3"));
  EXPECT_TRUE(C.has(r, " XXX  The largest relative error was    1.50E+00   in row     2,  column     3"));
  EXPECT_NE(r.find("  bad?\n"), std::string::npos);
  const std::string exit = "\n\n EXIT -- subroutine funcon appears to be giving incorrect gradients\n";
  EXPECT_EQ(r.substr(r.size() - exit.size()), exit);
  EXPECT_EQ(C.sum().substr(C.sum().size() - exit.size()), exit);
}

TEST(Verify, LevelsRangesAndBounds) {
  // Verify level -1: no evaluation at all.
  {
    Check C;
    EXPECT_EQ(C.chkg(-1), 0);
    EXPECT_EQ(C.chkj(-1), 0);
    EXPECT_EQ(C.script.nobj + C.script.ncon, 0);
    EXPECT_EQ(C.prt(), "");
  }
  // Level 0, or an empty range: the cheap tests only.
  {
    Check C;
    C.chkg(3, 3, 2);
    C.chkj(0);
    const std::string r = C.prt();
    EXPECT_TRUE(C.has(r, " Cheap test on funobj..."));
    EXPECT_TRUE(C.has(r, " Cheap test on funcon..."));
    EXPECT_EQ(r.find("objective gradients out of"), std::string::npos);
    EXPECT_EQ(r.find("Jacobian elements in cols"), std::string::npos);
    EXPECT_TRUE(C.has(r, " The Jacobian seems to be OK."));
  }
  // A variable at its upper bound is perturbed downwards; scaling is off
  // inside the check and restored after it.
  {
    Check C;
    C.bu[2] = C.x[2];
    C.ev.scaleopt = 2;
    C.chkj(3, 3, 3);
    EXPECT_EQ(C.ev.scaleopt, 2);
    const double dx = -C.ev.fwdint * 2.0;
    // The last call was at x + dx e3, unscaled.
    EXPECT_EQ(C.script.con_x, (std::vector<double>{0.5, -1.25, 1.0 + dx}));
    EXPECT_NE(C.prt().find(strf("\n%7d%16.8E%10.2E", 3, 1.0, dx)), std::string::npos) << C.prt();
  }
  // One objective variable: y(1) = -2 is zeroed (odd count), only z has
  // content.  The callback sees f = x1^2, g = 2 x1 = 1.
  {
    Check C;
    tv::m7chkg(C.ev, 0, 1, 1, 1, C.blv(), C.buv(), Dvec(C.x.data(), 1), C.fobj, Dvec(C.gobj.data(), 1),
               Dvec(C.y.data(), 1), Dvec(C.z.data(), 1));
    EXPECT_TRUE(C.has(C.prt(), strf(" Gradient projected in two directions%20.11E%20.11E", 0.0, 1.0)));
    EXPECT_EQ(C.script.nobj, 3);
  }
  // A callback that supplies no gradient: no check, no report.
  {
    Check C;
    C.script.gset[1] = C.script.gset[2] = C.script.gset[3] = false;
    EXPECT_EQ(C.chkg(3), 0);
    EXPECT_EQ(C.prt(), " funobj  sets       0   out of       3   objective  gradients.\n\n"
                       " Derivative Level  now reduced to  2\n");
  }
  // An undefined point during the element test ends the check with x intact.
  {
    Check C;
    C.script.con_fail_call = 4;
    C.script.con_fail_mode = -1;
    EXPECT_EQ(C.chkj(2), -1);
    EXPECT_EQ(C.x, (std::vector<double>{0.5, -1.25, 1.0}));
  }
}

// Derivative verification reports.
#include <gtest/gtest.h>

#include "nonlinear/verify.h"
#include "problem.h"

using namespace evaltest;
using tv::CDvec;
using tv::strf;

namespace {

struct Check : Fixture {
  std::vector<double> bl{-10, -10, -10}, bu{10, 10, 10}, y = std::vector<double>(3),
                      z = std::vector<double>(3), p = std::vector<double>(3),
                      f2 = std::vector<double>(2), jp = std::vector<double>(2);
  int chkg(int verlevel, int j1 = 1, int j2 = 3, int nn = 3) {
    return tv::m7chkg(ev, verlevel, j1, j2, nn, CDvec(bl.data(), nn), CDvec(bu.data(), nn),
                      Dvec(x.data(), nn), fobj, Dvec(gobj.data(), nn), Dvec(y.data(), nn),
                      Dvec(z.data(), nn), Dvec(gwork.data(), nn));
  }
  int chkj(int verlevel, int j1 = 1, int j2 = 3) {
    return tv::m8chkj(ev, verlevel, j1, j2, nncon, nnjac, njac, hav(), kav(), CDvec(bl.data(), 3),
                      CDvec(bu.data(), 3), v(x), v(fcon), v(gcon), v(p), v(f2), v(jp));
  }
  // A whole line of the print file.
  bool line(const std::string& text) const {
    std::string hay(1, '\n'), needle(1, '\n');
    hay += prt();
    needle += text;
    needle += '\n';
    return hay.find(needle) != std::string::npos;
  }
  // Set a gradient (Jacobian) entry to a wrong value on every call.
  void wrong_g(int j, double value) {
    script.obj_after = [=](int, int& mode, double*, double* g) { if (mode == 2) g[j - 1] = value; };
  }
  void wrong_j(int l, double value) {
    script.con_after = [=](int, int& mode, double*, double* g) { if (mode == 2) g[l - 1] = value; };
  }
};

const std::string kExitObj = "\n\n EXIT -- subroutine funobj appears to be giving incorrect gradients\n";
const std::string kExitCon = "\n\n EXIT -- subroutine funcon appears to be giving incorrect gradients\n";

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST(Verify, StepDirectionStaysInsideTheBounds) {
  std::vector<double> bl{0, 0, 0, 0, 1}, bu{1, 1, 1, 1e-9, 1}, x{0.5, 1, 0, 0, 1}, p{1, 1, -1, 1, 1};
  int count = -1;
  tv::m7chkd(5, CDvec(bl.data(), 5), CDvec(bu.data(), 5), CDvec(x.data(), 5), 0.1, Dvec(p.data(), 5), count);
  // kept; reversed at the upper bound; reversed at the lower bound; no room
  // either way; fixed.
  EXPECT_EQ(p, (std::vector<double>{1, -1, 1, 0, 0}));
  EXPECT_EQ(count, 3);
}

TEST(Verify, CorrectDerivativesSeemOk) {
  Check C;
  EXPECT_EQ(C.chkg(3), 0);
  EXPECT_TRUE(C.line(" Verification of objective gradients returned by subroutine funobj."));
  EXPECT_TRUE(C.line(" The objective gradients seem to be OK."));
  EXPECT_TRUE(C.line("      j       x(j)        dx(j)           g(j)         Difference approxn"));
  EXPECT_TRUE(C.line("      3  objective gradients out of     1  thru     3  seem to be OK."));
  // Row of column 2: dx = eps^0.5 (1 + |f|)/(1 + |g|), flag "ok  ".
  const double dx = 1.4901161193847656E-08 * (1 + std::fabs(fval(C.x.data()))) / (1 + 1.5);
  const std::string row = strf("\n%7d%16.8E%10.2E%18.8E", 2, -1.25, dx, 1.5);
  const std::string r = C.prt();
  ASSERT_NE(r.find(row), std::string::npos) << r;
  EXPECT_EQ(r.substr(r.find('\n', r.find(row) + 1) - 6, 6), "  ok  ");
  EXPECT_EQ(C.sum(), " funobj  sets       3   out of       3   objective  gradients.\n");

  C.io.clear_buffer(Fixture::kPrt);
  EXPECT_EQ(C.chkj(3), 0);
  EXPECT_TRUE(C.line(" Verification of constraint gradients returned by subroutine funcon."));
  EXPECT_TRUE(C.line(" The Jacobian seems to be OK."));
  EXPECT_TRUE(C.line("      5  Jacobian elements in cols      1  thru     3  seem to be OK."));
  // Column 3 holds entries 4 and 5: the second is printed under the first.
  const std::string j = C.prt();
  EXPECT_NE(j.find(strf("\n\n%7d%16.8E%10.2E%10d%10d%18.8E", 3, 1.0, 2 * C.ev.fwdint, 4, 1, -1.25)),
            std::string::npos);
  EXPECT_NE(j.find("\n" + std::string(33, ' ') + strf("%10d%10d%18.8E", 5, 2, 3.0)), std::string::npos);
}

TEST(Verify, WrongGradientsStopTheRunAtRelativeErrorOne) {
  Check C;
  C.wrong_g(2, -1.5);  // 3 x1 = 1.5: relative error 3/2.5
  EXPECT_EQ(C.chkg(1), 7);
  EXPECT_TRUE(C.line(" XXX  The objective gradients seem to be incorrect."));
  EXPECT_TRUE(C.line(" XXX  There seem to be     1  incorrect objective gradients in cols     1  thru     3"));
  EXPECT_TRUE(C.line(" XXX  The largest relative error was    1.20E+00   in column     2"));
  EXPECT_TRUE(ends_with(C.prt(), kExitObj));
  EXPECT_NE(C.sum().find("\n XXX  The objective gradients seem to be incorrect.\n"), std::string::npos);
  EXPECT_TRUE(ends_with(C.sum(), kExitObj));

  Check D;  // relative error 0.5: flagged, not stopped
  D.wrong_g(2, 4.0);
  EXPECT_EQ(D.chkg(3, 2, 2), 0);
  EXPECT_TRUE(D.line(" XXX  There seem to be     1  incorrect objective gradients in cols     2  thru     2"));
  EXPECT_TRUE(D.line(" XXX  The largest relative error was    5.00E-01   in column     2"));
  EXPECT_NE(D.prt().find("  bad?\n"), std::string::npos);
  EXPECT_EQ(D.prt().find("EXIT"), std::string::npos);

  Check J;
  J.wrong_j(5, -3.0);  // 3 x3^2 = 3: relative error 6/4
  EXPECT_EQ(J.chkj(2), 8);
  EXPECT_TRUE(J.line(" XXX  The Jacobian seems to be incorrect."));
  EXPECT_TRUE(J.line(" XXX  There seem to be     1  incorrect Jacobian elements in cols     1  thru     3"));
  EXPECT_TRUE(J.line(" XXX  The largest relative error was    1.50E+00   in row     2,  column     3"));
  EXPECT_TRUE(ends_with(J.prt(), kExitCon));
  EXPECT_TRUE(ends_with(J.sum(), kExitCon));
}

TEST(Verify, LevelsRangesAndBounds) {
  {  // Verify level -1: no evaluation at all
    Check C;
    EXPECT_EQ(C.chkg(-1) + C.chkj(-1), 0);
    EXPECT_EQ(C.script.nobj + C.script.ncon, 0);
    EXPECT_EQ(C.prt(), "");
  }
  {  // level 0, or an empty range: the cheap tests only
    Check C;
    C.chkg(3, 3, 2);
    C.chkj(0);
    EXPECT_TRUE(C.line(" Cheap test on funobj..."));
    EXPECT_TRUE(C.line(" Cheap test on funcon..."));
    EXPECT_EQ(C.prt().find("objective gradients out of"), std::string::npos);
    EXPECT_EQ(C.prt().find("Jacobian elements"), std::string::npos);
  }
  {  // a variable at its upper bound is perturbed downwards; scaling is off
    Check C;
    C.bu[2] = C.x[2];
    C.ev.scaleopt = 2;
    C.chkj(3, 3, 3);
    EXPECT_EQ(C.ev.scaleopt, 2);
    const double dx = -2 * C.ev.fwdint;
    EXPECT_EQ(C.script.con_x, (std::vector<double>{0.5, -1.25, 1.0 + dx}));  // unscaled
    EXPECT_NE(C.prt().find(strf("\n%7d%16.8E%10.2E", 3, 1.0, dx)), std::string::npos);
  }
  {  // one variable: y(1) = -2 is zeroed, only z has content (f = x1^2, g = 1)
    Check C;
    C.chkg(0, 1, 1, 1);
    EXPECT_TRUE(C.line(strf(" Gradient projected in two directions%20.11E%20.11E", 0.0, 1.0)));
  }
  {  // no gradient supplied: no check, no report
    Check C;
    C.script.gset[1] = C.script.gset[2] = C.script.gset[3] = false;
    EXPECT_EQ(C.chkg(3), 0);
    EXPECT_EQ(C.prt(), " funobj  sets       0   out of       3   objective  gradients.\n\n"
                       " Derivative Level  now reduced to  2\n");
  }
  {  // undefined at the first element-test point: x intact
    Check C;
    C.script.con_after = fail_at(4, -1);
    EXPECT_EQ(C.chkj(2), -1);
    EXPECT_EQ(C.x, (std::vector<double>{0.5, -1.25, 1.0}));
  }
}

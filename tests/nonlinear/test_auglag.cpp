// The augmented-Lagrangian service routines on a small problem: every job of
// m8augl, the effective penalty for 50 and 500 rows, the terms of the
// subproblem objective against difference quotients, and the measures of
// the major iterations (m8rc, m8cinf, m8dinf).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/units.h"
#include "nonlinear/auglag.h"
#include "nonlinear/linearization.h"

namespace {

using tv::Dvec;

// Three columns, two rows: row 1 nonlinear in columns 1, 2 (Jacobian
// entries) with the linear term 4 x3; row 2 linear, x1 + 2 x2.  Slacks are
// variables 4 and 5.
struct Small {
  int n = 3, m = 2, nb = 5, nncon = 1, nnjac = 2, njac = 2;
  std::vector<double> a{0.0, 1.0, 0.0, 2.0, 4.0};
  std::vector<int> ha{1, 2, 1, 2, 1};
  std::vector<int> ka{1, 3, 5, 6};
  std::vector<double> bl{-10, -10, -10, -3.0, -5.0};
  std::vector<double> bu{10, 10, 10, 1e20, 5.0};
  std::vector<double> xn{1.0, 2.0, 0.5, 0.0, -5.0};
  std::vector<int> hs{3, 2, 0, 3, 0};
  // Workspace vectors of the views.
  std::vector<double> fcon{0.0}, fcon2{0.0}, fk{0.0}, dl{0.0}, blsave{0.0}, busave{0.0}, rhs{0.0}, lambda{0.0};
  std::vector<double> gcon{3.0, 5.0}, gcon2{0.0, 0.0}, gspare{0.0, 0.0}, xk{0, 0, 0, 0, 0}, work{0, 0, 0, 0, 0};
  double penalty = 1.0;
  double sinf = 0.0;
  tv::Units io;
  tv::AugLagState st;
  tv::AuglViews V;

  Small() {
    io.attach_buffer(9);
    V.fcon = Dvec(fcon.data(), 1);
    V.fcon2 = Dvec(fcon2.data(), 1);
    V.fk = Dvec(fk.data(), 1);
    V.dl = Dvec(dl.data(), 1);
    V.blsave = Dvec(blsave.data(), 1);
    V.busave = Dvec(busave.data(), 1);
    V.rhs = Dvec(rhs.data(), 1);
    V.lambda = Dvec(lambda.data(), 1);
    V.gcon = Dvec(gcon.data(), 2);
    V.gcon2 = Dvec(gcon2.data(), 2);
    V.gspare = Dvec(gspare.data(), 2);
    V.xk = Dvec(xk.data(), 5);
    V.work = Dvec(work.data(), 5);
  }
  tv::AuglJob job(bool lagrangian = true) {
    tv::AuglJob J;
    J.n = n;
    J.nb = nb;
    J.nncon = nncon;
    J.nnjac = nnjac;
    J.njac = njac;
    J.a = Dvec(a.data(), 5);
    J.ha = tv::CIvec(ha.data(), 5);
    J.ka = tv::CIvec(ka.data(), 4);
    J.bl = Dvec(bl.data(), 5);
    J.bu = Dvec(bu.data(), 5);
    J.xn = Dvec(xn.data(), 5);
    J.hs = tv::Ivec(hs.data(), 5);
    J.penalty = &penalty;
    J.lagrangian = lagrangian;
    J.sinf = sinf;
    J.io = &io;
    J.prtfile = J.sumfile = 9;
    return J;
  }
  int run(int code, bool lagrangian = true) { return tv::m8augl(code, job(lagrangian), V, st); }
  std::string out() const { return io.buffer(9); }
};

TEST(M8augl, JacobianJobs) {
  Small s;
  // Job 1 loads gcon into the Jacobian entries only (positions 1 and 3).
  s.run(tv::kAuglLoad);
  EXPECT_EQ(s.a, (std::vector<double>{3.0, 1.0, 5.0, 2.0, 4.0}));
  // Job -2: random entries in [0.5, 1.5), the same at every call; the old
  // values kept in gcon and in the spare copy, which job 3 loads back.
  s.run(tv::kAuglRandom);
  const std::vector<double> r1 = s.a;
  EXPECT_EQ(s.gspare, (std::vector<double>{3.0, 5.0}));
  EXPECT_EQ(s.gcon, (std::vector<double>{3.0, 5.0}));
  for (int k : {0, 2}) {
    EXPECT_GE(s.a[k], 0.5);
    EXPECT_LT(s.a[k], 1.5);
  }
  EXPECT_EQ(s.a[1], 1.0);
  EXPECT_EQ(s.a[4], 4.0);
  s.run(tv::kAuglSpare);
  EXPECT_EQ(s.a, (std::vector<double>{3.0, 1.0, 5.0, 2.0, 4.0}));
  s.run(tv::kAuglRandom);
  EXPECT_EQ(s.a, r1);
}

TEST(M8augl, BoundJobsKeepTheStatesInStep) {
  Small s;
  s.run(tv::kAuglSave);
  EXPECT_EQ(s.blsave[0], -3.0);
  EXPECT_EQ(s.busave[0], 1e20);
  s.st.npenalty = 4;
  s.st.sinf0 = 7.0;
  s.run(tv::kAuglStart);  // counters cleared, the nonlinear row free
  EXPECT_EQ(s.st.npenalty, 0);
  EXPECT_EQ(s.st.sinf0, 0.0);
  EXPECT_EQ(s.bl[3], -1e20);
  EXPECT_EQ(s.bu[3], 1e20);
  EXPECT_EQ(s.bl[4], -5.0);  // the linear row untouched
  // Restore: the caller's bounds; a nonbasic slack between them gets the
  // internal state -1.
  s.hs[3] = 0;
  s.xn[3] = -1.0;
  s.run(tv::kAuglRestore);
  EXPECT_EQ(s.bl[3], -3.0);
  EXPECT_EQ(s.bu[3], 1e20);
  EXPECT_EQ(s.hs[3], -1);
  // Project: every variable into its bounds.
  s.xn[0] = 12.0;
  s.xn[3] = -4.0;
  s.run(tv::kAuglProject);
  EXPECT_EQ(s.xn[0], 10.0);
  EXPECT_EQ(s.xn[3], -3.0);
}

TEST(M8augl, PenaltyIncreases) {
  Small s;
  s.penalty = 0.0;  // starts from nncon / 100
  EXPECT_EQ(s.run(tv::kAuglPenalty), 0);
  EXPECT_DOUBLE_EQ(s.penalty, 0.1);
  EXPECT_NE(s.out().find(" Penalty parameter increased to    1.00E-01"), std::string::npos) << s.out();
  for (int k = 2; k <= 5; ++k) EXPECT_EQ(s.run(tv::kAuglPenalty), 0);
  EXPECT_DOUBLE_EQ(s.penalty, 1000.0);
  EXPECT_EQ(s.run(tv::kAuglPenalty), 1);  // the sixth is refused
  EXPECT_DOUBLE_EQ(s.penalty, 1000.0);
  Small t;
  EXPECT_EQ(t.run(tv::kAuglPenalty, false), 1);  // never without the Lagrangian
  EXPECT_DOUBLE_EQ(t.penalty, 1.0);
}

TEST(M8augl, RightHandSidePerturbation) {
  Small s;
  // Slack bounds (0, +inf) as the caller gave them, sinf 3 at the first
  // perturbation: lower bounds -0.03, -0.3, -3; the infinite bound stays.
  s.bl[3] = 0.0;
  s.xn[3] = 0.0;
  s.run(tv::kAuglSave);
  s.sinf = 3.0;
  const double expect[3] = {-0.03, -0.3, -3.0};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(s.run(tv::kAuglPerturb), 0);
    s.sinf = 100.0;  // only the first sum counts
    EXPECT_NEAR(s.bl[3], expect[k], 1e-15);
    EXPECT_EQ(s.bu[3], 1e20);
  }
  EXPECT_EQ(s.hs[3], 3);  // a basic slack keeps its state
  EXPECT_EQ(s.run(tv::kAuglPerturb), 1);  // a fourth is refused
  EXPECT_NEAR(s.bl[3], -3.0, 1e-15);
  EXPECT_NE(s.out().find(" XXX  Infeasible subproblem.    RHS perturbed by  1.0E-01 * (|RHS|  +  3.0E+00)"),
            std::string::npos)
      << s.out();
  s.run(tv::kAuglRestore);
  EXPECT_EQ(s.bl[3], 0.0);
}

TEST(M8augl, EffectivePenaltyInRealArithmetic) {
  EXPECT_DOUBLE_EQ(tv::m8rhoeff(1.0, 50), 2.0);
  EXPECT_DOUBLE_EQ(tv::m8rhoeff(1.0, 500), 0.2);  // not 100 / 500 = 0
  EXPECT_DOUBLE_EQ(tv::m8rhoeff(0.5, 500), 0.1);
  EXPECT_EQ(tv::m8rhoeff(0.0, 50), 0.0);
  // The start of a penalty increase for 500 rows is 500 / 100 = 5.
  Small s;
  s.nncon = 1;
  s.penalty = -1.0;
  tv::AuglJob J = s.job();
  J.nncon = 500;  // only the count matters for job 4
  EXPECT_EQ(tv::m8augl(tv::kAuglPenalty, J, s.V, s.st), 0);
  EXPECT_DOUBLE_EQ(s.penalty, 50.0);
}

// F's constraint terms and their gradient: f(x) = (x1^2 x2, x1 + x2^3) with
// the linearization at xk = (1, 2), against central differences.
TEST(M8lag, GradientMatchesDifferences) {
  const int nncon = 2, nnjac = 2;
  // Both columns have entries in both rows (dense Jacobian, column by column).
  std::vector<int> ha{1, 2, 1, 2}, ka{1, 3, 5};
  auto fvals = [](const double* x, double* f) {
    f[0] = x[0] * x[0] * x[1];
    f[1] = x[0] + x[1] * x[1] * x[1];
  };
  auto jac = [](const double* x, double* g) {  // column by column
    g[0] = 2 * x[0] * x[1];
    g[1] = 1.0;
    g[2] = x[0] * x[0];
    g[3] = 3 * x[1] * x[1];
  };
  std::vector<double> xk{1.0, 2.0}, fk(2), a(4);
  fvals(xk.data(), fk.data());
  jac(xk.data(), a.data());
  std::vector<double> lambda{0.7, -1.3}, fc(2), gc(4), dl(2);
  tv::Linearization L;
  L.nncon = nncon;
  L.nnjac = nnjac;
  L.njac = 4;
  L.ha = tv::CIvec(ha.data(), 4);
  L.ka = tv::CIvec(ka.data(), 3);
  L.a = tv::CDvec(a.data(), 4);
  L.xk = tv::CDvec(xk.data(), 2);
  L.fk = tv::CDvec(fk.data(), 2);
  L.lambda = tv::CDvec(lambda.data(), 2);
  L.rhoeff = tv::m8rhoeff(1.0, 50);
  L.dl = Dvec(dl.data(), 2);
  auto F = [&](std::vector<double> x) {
    std::vector<double> f(2);
    fvals(x.data(), f.data());
    return tv::m8lagf(L, tv::CDvec(x.data(), 2), tv::CDvec(f.data(), 2));
  };
  std::vector<double> x{1.3, 1.6};
  EXPECT_EQ(F(xk), 0.0);  // dl = 0 at the linearization point
  const double F0 = F(x);
  // dl by hand at x.
  std::vector<double> f(2);
  fvals(x.data(), f.data());
  const double d1 = f[0] - fk[0] - a[0] * 0.3 - a[2] * -0.4, d2 = f[1] - fk[1] - a[1] * 0.3 - a[3] * -0.4;
  EXPECT_NEAR(F0, -(0.7 * d1 - 1.3 * d2) + 0.5 * 2.0 * (d1 * d1 + d2 * d2), 1e-14);
  fvals(x.data(), fc.data());
  jac(x.data(), gc.data());
  std::vector<double> g{0.0, 0.0};
  tv::m8dl(L, tv::CDvec(x.data(), 2), tv::CDvec(fc.data(), 2), L.dl);
  tv::m8lagg(L, tv::CDvec(gc.data(), 4), Dvec(g.data(), 2));
  for (int j = 0; j < 2; ++j) {
    const double h = 1e-6;
    std::vector<double> xp = x, xm = x;
    xp[j] += h;
    xm[j] -= h;
    EXPECT_NEAR(g[j], (F(xp) - F(xm)) / (2 * h), 1e-7) << "column " << j + 1;
  }
}

TEST(M8measures, ReducedCostsViolationAndComplementarity) {
  Small s;
  // True Jacobian (3, 5), multipliers pi = (2, -1), objective gradient
  // (1, 1) over nnobj = 2, no objective row.
  std::vector<double> pi{2.0, -1.0}, gobj{1.0, 1.0}, rc(5);
  tv::m8rc(s.n, s.m, s.nncon, s.nnjac, 2, tv::CDvec(s.a.data(), 5), tv::CIvec(s.ha.data(), 5),
           tv::CIvec(s.ka.data(), 4), tv::CDvec(s.gcon.data(), 2), tv::CDvec(pi.data(), 2),
           tv::CDvec(gobj.data(), 2), 1.0, 0, 1.0, Dvec(rc.data(), 5));
  EXPECT_DOUBLE_EQ(rc[0], 1.0 - (2.0 * 3.0 - 1.0 * 1.0));
  EXPECT_DOUBLE_EQ(rc[1], 1.0 - (2.0 * 5.0 - 1.0 * 2.0));
  EXPECT_DOUBLE_EQ(rc[2], -(2.0 * 4.0));
  EXPECT_DOUBLE_EQ(rc[3], -2.0);
  EXPECT_DOUBLE_EQ(rc[4], 1.0);

  // f = 2.5 and x3 = 0.5: true slack -(2.5 + 4 * 0.5) = -4.5 below its lower
  // bound -3 by 1.5.
  std::vector<double> f{2.5}, slack(1);
  int imax = 0;
  const double prinf = tv::m8cinf(s.n, s.nncon, s.nnjac, tv::CDvec(s.a.data(), 5), tv::CIvec(s.ha.data(), 5),
                                  tv::CIvec(s.ka.data(), 4), tv::CDvec(f.data(), 1), tv::CDvec(s.xn.data(), 5),
                                  tv::CDvec(s.bl.data(), 5), tv::CDvec(s.bu.data(), 5), Dvec(slack.data(), 1), imax);
  EXPECT_DOUBLE_EQ(prinf, 1.5);
  EXPECT_EQ(imax, 1);
  EXPECT_DOUBLE_EQ(slack[0], -4.5);

  // Complementarity: rc > 0 weighs the distance to the lower bound (at most
  // 1), rc < 0 the distance to the upper bound; fixed variables count not.
  std::vector<double> bl{0.0, 0.0, 1.0}, bu{10.0, 10.0, 1.0}, x{0.25, 9.0, 1.0}, r{4.0, -3.0, 50.0};
  int jmax = 0;
  EXPECT_DOUBLE_EQ(tv::m8dinf(3, tv::CDvec(bl.data(), 3), tv::CDvec(bu.data(), 3), tv::CDvec(r.data(), 3),
                              tv::CDvec(x.data(), 3), jmax),
                   3.0);
  EXPECT_EQ(jmax, 2);
}

}  // namespace

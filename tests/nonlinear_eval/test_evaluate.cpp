// Callback wrappers and difference estimates.
#include <gtest/gtest.h>

#include <cstdlib>

#include "problem.h"

using namespace evaltest;
using tv::kGdummy;
using tv::strf;

TEST(Evaluate, FirstObjectiveCallCountsEntriesAndLowersTheLevel) {
  // Derivative level before -> after, when funobj sets entries 2 and 3 only.
  const int levels[4][2] = {{3, 2}, {1, 0}, {2, 2}, {0, 0}};
  for (auto lv : levels) {
    Fixture F;
    F.script.gset[1] = false;
    F.ev.derlevel = lv[0];
    F.fobj_call(0);  // the first call asks for gradients anyway
    F.fobj_call(0);
    EXPECT_EQ(F.script.obj_modes, (std::vector<int>{2, 0}));
    EXPECT_EQ(F.script.obj_nstate, (std::vector<int>{1, 0}));
    EXPECT_EQ(F.ev.obj.calls, 2);
    EXPECT_EQ(F.ev.obj.mode2, 1);
    EXPECT_EQ(F.ev.nsetobj, 2);
    EXPECT_EQ(F.ev.derlevel, lv[1]);
    std::string expect = " funobj  sets       2   out of       3   objective  gradients.\n";
    if (lv[0] != lv[1]) expect += "\n Derivative Level  now reduced to  " + std::to_string(lv[1]) + "\n";
    EXPECT_EQ(F.prt(), expect);
    EXPECT_EQ(F.sum(), expect);
  }
}

TEST(Evaluate, ObjectiveDifferencesUseTheRelativePerturbation) {
  // A forward difference of x1^2 overshoots 2 x1 by exactly delta =
  // h (1 + |x1|); a central one is exact for a quadratic.
  for (double x1 : {0.0, 1000.0}) {
    for (int difmode : {1, 2}) {
      Fixture F;
      F.script.gset[1] = F.script.gset[3] = false;
      F.ev.fwdint = F.ev.cenint = 1e-3;
      F.ev.difmode = difmode;
      F.x[0] = x1;
      F.fobj_call(2);
      F.dobj();
      const double exact = 2 * x1 + 3 * F.x[1];
      EXPECT_NEAR(F.gobj[0], difmode == 1 ? exact + 1e-3 * (1 + x1) : exact, 1e-6);
      EXPECT_EQ(F.gobj[1], 3 * x1);  // supplied, untouched
      EXPECT_NEAR(F.gobj[2], std::cos(1.0), difmode == 1 ? 1e-3 : 1e-6);
      // Two unknown entries: one call each forward, two each central.
      EXPECT_EQ(F.ev.obj.forward, difmode == 1 ? 2 : 0);
      EXPECT_EQ(F.ev.obj.central, difmode == 2 ? 4 : 0);
      EXPECT_EQ(F.x[0], x1);
    }
  }
  Fixture F;  // nothing unknown: no call
  F.fobj_call(2);
  F.dobj();
  EXPECT_EQ(F.script.nobj, 1);
}

TEST(Evaluate, JacobianDifferencesCostOnePerturbationPerColumn) {
  for (int difmode : {1, 2}) {
    Fixture F;
    F.ev.derlevel = 1;
    F.script.jset[1] = F.script.jset[2] = F.script.jset[5] = false;  // columns 1 and 3
    F.fcon_call(2);
    // Entries missing: the first call is repeated; level 1 keeps no pattern.
    EXPECT_EQ(F.ev.con.calls, 2);
    EXPECT_EQ(F.ev.con.mode2, 2);
    EXPECT_FALSE(F.ev.jac_unknown);
    F.ev.difmode = difmode;
    F.dcon();
    double jv[5], c[2];
    jval(F.x.data(), jv);
    cval(F.x.data(), c);
    for (int l = 0; l < 5; ++l) EXPECT_NEAR(F.gcon[l], jv[l], difmode == 1 ? 1e-5 : 1e-7);
    EXPECT_EQ(F.ev.con.forward, difmode == 1 ? 2 : 0);
    EXPECT_EQ(F.ev.con.central, difmode == 2 ? 4 : 0);
    EXPECT_EQ(F.fcon, (std::vector<double>{c[0], c[1]}));
  }
}

TEST(Evaluate, ScaleOptionTwoConvertsBothWays) {
  Fixture F;
  F.script.gset[2] = false;
  F.fobj_call(2);  // first calls unscaled, as the main loop makes them
  F.fcon_call(2);
  F.ev.scaleopt = 2;
  const std::vector<double> xs = {0.25, -0.3125, 2.0};  // scaled; unscaled 0.5 -1.25 1
  F.x = xs;
  F.fobj_call(2);
  F.fcon_call(2);
  EXPECT_EQ(F.script.obj_x1.back(), 0.5);
  EXPECT_EQ(F.script.con_x, (std::vector<double>{0.5, -1.25, 1.0}));
  for (int j = 0; j < 3; ++j) EXPECT_TRUE(same_bits(F.x[j], xs[j]));
  const double xu[3] = {0.5, -1.25, 1.0};
  double g[3], c[2], jv[5];
  gval(xu, g), cval(xu, c), jval(xu, jv);
  EXPECT_DOUBLE_EQ(F.gobj[0], 2.0 * g[0]);
  EXPECT_EQ(F.gobj[1], kGdummy);  // unknown entries are not scaled
  EXPECT_DOUBLE_EQ(F.gobj[2], 0.5 * g[2]);
  EXPECT_DOUBLE_EQ(F.fcon[0], c[0] / 10.0);
  EXPECT_DOUBLE_EQ(F.fcon[1], c[1] / 0.1);
  const double sj[5] = {2.0 / 10.0, 2.0 / 0.1, 4.0 / 10.0, 0.5 / 10.0, 0.5 / 0.1};
  for (int l = 0; l < 5; ++l) EXPECT_DOUBLE_EQ(F.gcon[l], sj[l] * jv[l]);
  F.ev.difmode = 2;  // differences in scaled variables give the scaled derivative
  F.dobj();
  EXPECT_NEAR(F.gobj[1], 4.0 * g[1], 1e-7);
}

TEST(Evaluate, FailedCallsRestoreXAndFconAndStopWithTheExitText) {
  // mode -1 on the second perturbed call of each difference routine.
  Fixture F;
  F.ev.derlevel = 0;
  F.script.gset[1] = F.script.gset[3] = false;
  F.script.jset[1] = F.script.jset[5] = false;
  F.fobj_call(2);
  F.fcon_call(2);
  const std::vector<double> x0 = F.x, f0 = F.fcon;
  F.ev.difmode = 2;
  F.script.obj_after = fail_at(F.script.nobj + 2, -1);
  F.dobj();
  EXPECT_EQ(F.ev.ierr, -1);
  EXPECT_EQ(F.gobj[0], kGdummy);
  EXPECT_EQ(F.ev.obj.central, 2);
  F.ev.ierr = 0;
  F.script.con_after = fail_at(F.script.ncon + 2, -1);  // the c- call of column 1
  F.dcon();
  EXPECT_EQ(F.ev.ierr, -1);
  for (int j = 0; j < 3; ++j) EXPECT_TRUE(same_bits(F.x[j], x0[j]));
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(same_bits(F.fcon[i], f0[i]));
  EXPECT_EQ(F.prt().find("EXIT"), std::string::npos);

  // mode -5: page break and the termination line with the call count.
  F.ev.ierr = 0;
  F.io.clear_buffer(Fixture::kPrt);
  F.io.clear_buffer(Fixture::kSum);
  F.script.obj_after = fail_at(F.script.nobj + 1, -5);
  F.fobj_call(2);
  EXPECT_EQ(F.ev.ierr, 6);
  const std::string line = strf(" EXIT -- Termination requested by User in subroutine funobj after%8d  calls\n",
                                F.script.nobj);
  EXPECT_EQ(F.prt(), "1\n\n" + line);
  EXPECT_EQ(F.sum(), "\n" + line);
  Fixture C;
  C.script.con_after = fail_at(1, -2);
  C.fcon_call(2);
  EXPECT_EQ(C.ev.ierr, 6);
  EXPECT_EQ(C.ev.nstate_con, 1);  // the first call did not complete
  EXPECT_EQ(C.prt(), "1\n\n EXIT -- Termination requested by User in subroutine funcon\n");
}

TEST(Evaluate, NanOrInfMakesThePointUndefined) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  {
    // A NaN entry at the first call counts as set (no level drop) and makes
    // that point undefined; the note is written once.
    Fixture F;
    F.script.gset[1] = false;
    F.script.obj_after = [&](int call, int&, double* f, double* g) {
      if (call == 1) g[0] = nan;
      if (call == 2) *f = std::numeric_limits<double>::infinity();
    };
    F.fobj_call(2);
    EXPECT_EQ(F.ev.ierr, -1);
    EXPECT_EQ(F.ev.nsetobj, 3);
    EXPECT_EQ(F.ev.derlevel, 3);
    F.ev.ierr = 0;
    F.fobj_call(0);
    EXPECT_EQ(F.ev.ierr, -1);
    EXPECT_EQ(F.prt(),
              " funobj  sets       3   out of       3   objective  gradients.\n"
              " XXX  funobj returned a value that is NaN or infinite: treated as undefined (mode = -1)\n");
  }
  // A NaN constraint value or Jacobian entry (call 3), and one met while
  // differencing (call 5, the perturbed one).
  for (int where : {0, 1}) {
    Fixture F;
    F.ev.derlevel = 1;
    F.script.jset[4] = false;
    F.script.con_after = [&](int call, int&, double* c, double* g) {
      if (call == 3) (where == 0 ? c[1] : g[0]) = nan;
      if (call == 5) c[1] = nan;
    };
    F.fcon_call(2);  // calls 1 and 2 (repeated first call)
    F.fcon_call(2);
    EXPECT_EQ(F.ev.ierr, -1);
    F.ev.ierr = 0;
    F.fcon_call(2);
    F.dcon();
    EXPECT_EQ(F.ev.ierr, -1);
    EXPECT_EQ(F.gcon[3], kGdummy);
    EXPECT_EQ(F.x, (std::vector<double>{0.5, -1.25, 1.0}));
  }
}

TEST(Evaluate, UnsuppliedJacobianEntriesAtLevelThreeAreEstimated) {
  Fixture F;
  F.script.jset[4] = false;
  F.fcon_call(2);
  EXPECT_EQ(F.ev.nsetcon, 4);
  EXPECT_EQ(F.script.con_nstate, (std::vector<int>{1, 0}));  // repeated first call
  EXPECT_EQ(F.ev.con.mode2, 2);
  EXPECT_TRUE(tv::jac_estimated(F.ev));
  EXPECT_EQ(F.gcon[3], kGdummy);
  F.dcon();
  EXPECT_NEAR(F.gcon[3], F.x[1], 1e-6);
  // Next point: the old estimate is dropped and the entry estimated again.
  F.x[1] = 2.0;
  F.fcon_call(2);
  EXPECT_EQ(F.gcon[3], kGdummy);
  F.dcon();
  EXPECT_NEAR(F.gcon[3], 2.0, 1e-6);
  EXPECT_EQ(F.prt(),
            " funcon  sets       4   out of       5   constraint gradients.\n"
            " XXX  funcon did not set       1  constraint gradients: they will be estimated by differences.\n");

  // An entry given only at the first call keeps that value through the kept pattern.
  Fixture H;
  H.script.jset[4] = H.script.jset[2] = false;
  H.script.jset_first_only[2] = true;
  H.fcon_call(2);
  const double first = H.gcon[1];
  H.x[0] = 0.0;
  H.fcon_call(2);
  EXPECT_EQ(H.gcon[1], first);
  EXPECT_EQ(H.gcon[3], kGdummy);
}

TEST(Evaluate, FinalCallsCarryTheExitCodeUnscaledAndClocksRun) {
  Fixture F;
  int started = 0, stopped = 0;
  F.ev.timlevel = 2;
  F.ev.clock = [&](int k) { (k > 0 ? started : stopped) += std::abs(k); };
  F.fobj_call(2);
  F.fcon_call(2);
  EXPECT_EQ(started, 5 + 4);
  EXPECT_EQ(stopped, 5 + 4);
  F.io.clear_buffer(Fixture::kPrt);
  F.io.clear_buffer(Fixture::kSum);
  F.ev.scaleopt = 2;
  F.ev.timlevel = 1;
  tv::m6final(F.ev, 0, 3, 2, 3, 5, F.hav(), F.kav(), F.v(F.x), F.fobj, F.v(F.gobj), F.v(F.fcon),
              F.v(F.gcon));
  EXPECT_EQ(started, 5 + 4);
  EXPECT_EQ(F.script.con_nstate.back(), 2);
  EXPECT_EQ(F.script.obj_nstate.back(), 2);
  EXPECT_EQ(F.script.obj_modes.back(), 0);
  EXPECT_EQ(F.script.obj_x1.back(), F.x[0]);  // not unscaled
  EXPECT_EQ(F.ev.scaleopt, 2);
  EXPECT_EQ(F.ev.nstate_obj + F.ev.nstate_con, 0);
  const std::string expect = "\n funcon called with nstate =   2\n\n funobj called with nstate =   2\n";
  EXPECT_EQ(F.prt(), expect);
  EXPECT_EQ(F.sum(), expect);
}

// Devex and steepest-edge pricing: the reference weights on small hand-checked pivots,
// framework resets, the reduced costs and prices kept up to date from the
// pivot row, and the same optima as partial pricing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/mps_lp.h"
#include "core/kernels.h"
#include "core/states.h"
#include "lu/m2bsol.h"
#include "options/params.h"
#include "simplex/harness.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

using namespace spxtest;

namespace {

// min -x1 - 2 x2  s.t.  x1 + x2 <= 10,  c x1 + 0.5 x2 <= 1,  x >= 0.
// From the slack basis both columns price out with weight 1; x2 has the
// larger d^2/w and enters, row 2 blocks with pivot 0.5, and the optimum
// x = (0, 2), -4, is reached in one iteration.
TestLP one_pivot(double c) {
  return TestLP::dense({{1, 1}, {c, 0.5}, {-1, -2}}, {-kInf, -kInf, -kInf}, {10, 1, kInf}, {0, 0},
                       {kInf, kInf}, 3);
}

tv::Dvec weights(LoopRun& r) { return r.ctx.ws.dvec(r.ctx.part.devex); }

void devex(tv::Context& c) { opt_i(c, "IPARM 6", tv::kPriceDevex); }

}  // namespace

// After the pivot (q = x2, r = row 2, alpha_rq = 0.5, w_q = 1):
//   x1:    max(1, (4 / 0.5)^2 * 1) = 64, a framework member (+);
//   slack 2 leaves: max(1 / 0.5^2, 1) = 4, not a member (it was basic).
// The reduced costs follow: theta = d_q / alpha = -2 / 0.5 = -4, so
// d_x1 = -1 - theta * 4 = 15 and d_s2 = -theta = 4.
TEST(Devex, WeightUpdateOnOnePivot) {
  LoopRun r(one_pivot(4.0), devex);
  ASSERT_EQ(r.ctx.par.pricing, tv::kPriceDevex);
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_EQ(r.itn(), 1);
  EXPECT_NEAR(r.obj(), -4.0, 1e-12);
  const tv::Dvec w = weights(r);
  const int n = r.P.n;
  EXPECT_DOUBLE_EQ(w(1), 64.0);
  EXPECT_DOUBLE_EQ(w(n + 2), -4.0);
  EXPECT_DOUBLE_EQ(w(n + 1), -1.0);  // basic throughout
  EXPECT_NEAR(r.P.rc(1), 15.0, 1e-12);
  EXPECT_NEAR(r.P.rc(n + 2), 4.0, 1e-12);
  EXPECT_EQ(r.ctx.spx.dvx.nreset, 0);
}

// A pivot row entry 10^4 times the pivot makes a weight of 4e8 * 64, beyond
// the bound: the framework starts again, every weight 1, the nonbasic
// variables its members.
TEST(Devex, LargeWeightResetsTheFramework) {
  LoopRun r(one_pivot(40000.0), devex);
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), -4.0, 1e-12);
  EXPECT_EQ(r.ctx.spx.dvx.nreset, 1);
  const tv::Dvec w = weights(r);
  for (int j = 1; j <= r.P.nb; ++j) EXPECT_EQ(w(j), r.P.hs(j) == tv::kHsBasic ? -1.0 : 1.0) << j;
}

// The entering weight against its exact value over the framework: an
// estimate more than three times too large resets the framework; an
// estimate below the exact value is kept (the max-type update only ever
// underestimates the growth, and a reset would lose what it has learnt).
TEST(Devex, EstimateFarAboveExactWeightResets) {
  for (const double est : {10.0, 2.9, 0.2}) {
    SCOPED_TRACE(est);
    LoopRun r(one_pivot(4.0), [](tv::Context& c) {
      devex(c);
      opt_i(c, "Iterations limit", 0);
    });
    r.slack_basis();
    ASSERT_EQ(r.solve(), 3);  // factorized and priced, no step
    tv::Context& ctx = r.ctx;
    tv::Problem& P = r.P;
    ASSERT_EQ(ctx.spx.jq, 2);
    tv::Dvec w = weights(r);
    // A history the reset would wipe out: x1 weighted 5, x2 (a member) est.
    w(1) = 5.0;
    w(2) = est;
    tv::Dvec y = ctx.ws.dvec(ctx.part.y), y2 = ctx.ws.dvec(ctx.part.y2);
    tv::m2unpk(2, P.m, P.n, P.a, P.ha, P.ka, y2);
    tv::m2bsol(ctx, tv::kFtran, y2, y);
    tv::Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
    int jr = 0;
    for (int i = 1; i <= P.m; ++i) {
      if (kbs(i) == P.n + 2) jr = i;
    }
    ASSERT_GT(jr, 0);
    EXPECT_DOUBLE_EQ(y(jr), 0.5);
    const int resets = ctx.spx.dvx.nreset;
    tv::devex_pivot(ctx, P, jr, y(jr));  // exact weight of x2: 1 (no basic member)
    const bool reset = est > 3.0;
    EXPECT_EQ(ctx.spx.dvx.nreset, resets + (reset ? 1 : 0));
    EXPECT_EQ(w(1), reset ? 1.0 : 5.0);
    EXPECT_EQ(ctx.spx.dvx.wupd, !reset);
    if (!reset) {
      EXPECT_EQ(ctx.spx.dvx.wq, est);
    }
    EXPECT_TRUE(ctx.spx.dvx.pending);
    EXPECT_DOUBLE_EQ(ctx.spx.dvx.theta, ctx.spx.djq / 0.5);
  }
}

// Between factorizations the prices and reduced costs are updated from the
// pivot rows instead of being recomputed: stopped after k iterations they
// must agree with a transposed solve with the costs in force.
TEST(Devex, UpdatedPricesMatchFreshOnes) {
  const TestLP lp = tvtest::netlib_lp("scagr7");
  int checked = 0;
  for (const int k : {7, 23, 40, 61, 95}) {
    SCOPED_TRACE(k);
    LoopRun r(lp, [&](tv::Context& c) {
      opt_i(c, "Iterations limit", k);
      opt_i(c, "Factorization frequency", 200);
    });
    r.slack_basis();
    if (r.solve() != 3) continue;
    tv::Context& ctx = r.ctx;
    tv::Problem& P = r.P;
    if (!ctx.spx.dvx.rcvalid) continue;
    ++checked;
    const int m = P.m, n = P.n;
    tv::m5hs(tv::HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
    tv::Dvec y = ctx.ws.dvec(ctx.part.y), gkept = ctx.ws.dvec(ctx.part.gkept);
    std::vector<double> pi(static_cast<size_t>(m) + 1);
    tv::Dvec fresh(pi.data() + 1, m);
    for (int i = 1; i <= m; ++i) y(i) = gkept(i);
    tv::m2bsol(ctx, tv::kBtran, y, fresh);
    double pimax = 1.0;
    for (int i = 1; i <= m; ++i) pimax = std::max(pimax, std::fabs(fresh(i)));
    for (int i = 1; i <= m; ++i) EXPECT_NEAR(P.pi(i), fresh(i), 1e-9 * pimax) << i;
    const int jobj = ctx.spx.jobj;
    for (int j = 1; j <= P.nb; ++j) {
      if (P.hs(j) > 1) continue;
      double d = 0.0;
      if (j <= n) {
        for (int l = P.ka(j); l < P.ka(j + 1); ++l) d -= fresh(P.ha(l)) * P.a(l);
      } else {
        d = -fresh(j - n);
      }
      if (j == jobj) d += ctx.spx.dvx.cobj;
      EXPECT_NEAR(P.rc(j), d, 1e-9 * pimax) << j;
    }
  }
  EXPECT_GE(checked, 3);
}

// What the Devex pricing keeps between iterations to avoid passes over all
// rows and columns, checked against the state it stands for: the largest
// |pi(i)| (pinorm), the list of candidates (every nonbasic variable with a
// positive score is listed, with its score and ratio as they are now, but
// for the variables the last iteration moved, whose entries are set at the
// next pricing), and the nonzeros of rho.
TEST(Devex, KeptListsFollowTheState) {
  int checked = 0;
  for (const char* name : {"scagr7", "bandm", "sctap1"}) {
    const TestLP lp = tvtest::netlib_lp(name);
    for (const int k : {9, 31, 57, 88, 140}) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(k));
      LoopRun r(lp, [&](tv::Context& c) { opt_i(c, "Iterations limit", k); });
      r.slack_basis();
      if (r.solve() != 3) continue;
      tv::Context& ctx = r.ctx;
      tv::Problem& P = r.P;
      const tv::DevexState& D = ctx.spx.dvx;
      if (!D.rcvalid || !D.listvalid) continue;
      ++checked;
      tv::m5hs(tv::HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);  // the states the solve saw
      double pimax = 1.0;
      for (int i = 1; i <= P.m; ++i) pimax = std::max(pimax, std::fabs(P.pi(i)));
      EXPECT_EQ(ctx.spx.pinorm, pimax);

      tv::CIvec list = ctx.ws.ivec(ctx.part.dvxlist), pos = ctx.ws.ivec(ctx.part.dvxpos);
      tv::CDvec dsc = ctx.ws.dvec(ctx.part.dvxdsc), ssc = ctx.ws.dvec(ctx.part.dvxssc);
      tv::CDvec w = ctx.ws.dvec(ctx.part.devex);
      for (int k2 = 1; k2 <= D.nlist; ++k2) EXPECT_EQ(pos(list(k2)), k2);
      for (int j = 1; j <= P.nb; ++j) {
        if (j == D.jq || j == D.lastq || j == D.jp || j == std::abs(D.jp)) continue;
        const int h = P.hs(j);
        const double d = h > 1 ? 0.0 : tv::pricing_score(h, P.rc(j));
        if (d <= 0.0) {
          EXPECT_EQ(pos(j), 0) << j;
          continue;
        }
        ASSERT_GT(pos(j), 0) << j;
        EXPECT_EQ(dsc(pos(j)), d) << j;
        if (!D.scorestale) {
          EXPECT_EQ(ssc(pos(j)), d * d / std::fabs(w(j))) << j;
        }
      }
      if (D.pending) {
        tv::CDvec rho = ctx.ws.dvec(ctx.part.work);
        tv::CIvec rhonz = ctx.ws.ivec(ctx.part.dvxrhonz);
        int q = 0;
        for (int i = 1; i <= P.m; ++i) {
          if (rho(i) != 0.0) {
            EXPECT_EQ(rhonz(++q), i);
          }
        }
        EXPECT_EQ(q, D.nrhonz);
      }
    }
  }
  EXPECT_GE(checked, 8);
}

// The rules on Netlib problems from the slack basis (no scaling): the same
// optimum, the reference weights (Devex, steepest edge) in fewer iterations
// than the largest reduced cost on the larger ones.
TEST(Devex, SameOptimaAsPartialPricing) {
  const struct {
    const char* name;
    double opt;
  } cases[] = {{"afiro", -4.6475314286E+02}, {"bandm", -1.5862801845E+02}, {"scfxm1", 1.8416759028E+04},
               {"etamacro", -7.5571523325E+02}, {"degen2", -1.4351780000E+03}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TestLP lp = tvtest::netlib_lp(c.name);
    int itn[5] = {0, 0, 0, 0, 0};
    for (const int rule : {tv::kPricePartial, tv::kPriceDevex, tv::kPriceSteepest}) {
      LoopRun r(lp, [&](tv::Context& ctx) {
        opt_i(ctx, "IPARM 6", rule);
        opt_i(ctx, "Iterations limit", 20000);
      });
      ASSERT_EQ(r.ctx.par.pricing, rule);
      r.slack_basis();
      ASSERT_EQ(r.solve(), 0);
      EXPECT_EQ(r.ctx.spx.dvx.on, rule != tv::kPricePartial);
      EXPECT_EQ(r.ctx.spx.dvx.se, rule == tv::kPriceSteepest);
      EXPECT_NEAR(r.obj(), c.opt, 1e-6 * std::fabs(c.opt));
      EXPECT_LT(r.primal_error(), 1e-5 * (1.0 + r.ctx.spx.xnorm));
      itn[rule] = r.itn();
    }
    if (itn[tv::kPricePartial] > 300) {
      EXPECT_LT(itn[tv::kPriceDevex], itn[tv::kPricePartial]);
      EXPECT_LT(itn[tv::kPriceSteepest], itn[tv::kPricePartial]);
    }
  }
}

// Steepest edge (the default rule) keeps for each nonbasic variable the
// squared norm of its tableau column B^-1 a_j over the framework's basic
// members, plus 1 when j is a member: the update carries the cross term
// through tau = B'^-1 D y.  Stopped after k iterations, with the last
// pivot's update applied, the weights are those norms computed from the
// factors, never below them (the lower bound 1 + (alpha_rj / alpha_rq)^2
// can only raise one), and equal to them for most variables.
TEST(SteepestEdge, WeightsAreTheFrameworkNorms) {
  int checked = 0;
  for (const char* name : {"scagr7", "bandm", "sctap1"}) {
    const TestLP lp = tvtest::netlib_lp(name);
    for (const int k : {15, 40, 90}) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(k));
      LoopRun r(lp, [&](tv::Context& c) { opt_i(c, "Iterations limit", k); });
      ASSERT_EQ(r.ctx.par.pricing, tv::kPriceSteepest);
      r.slack_basis();
      if (r.solve() != 3) continue;
      tv::Context& ctx = r.ctx;
      tv::Problem& P = r.P;
      ASSERT_TRUE(ctx.spx.dvx.se);
      if (ctx.spx.dvx.pending) continue;
      tv::m5hs(tv::HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
      const tv::Dvec w = weights(r);
      tv::Dvec y = ctx.ws.dvec(ctx.part.y), y2 = ctx.ws.dvec(ctx.part.y2);
      tv::CIvec kbs = ctx.ws.ivec(ctx.part.kbs);
      int same = 0, nonbasic = 0;
      for (int j = 1; j <= P.nb; ++j) {
        if (P.hs(j) > 1) continue;
        if (j <= P.n) {
          tv::m2unpk(j, P.m, P.n, P.a, P.ha, P.ka, y2);
        } else {
          for (int i = 1; i <= P.m; ++i) y2(i) = i == j - P.n ? 1.0 : 0.0;
        }
        tv::m2bsol(ctx, tv::kFtran, y2, y);
        double exact = w(j) > 0.0 ? 1.0 : 0.0;
        for (int i = 1; i <= P.m; ++i) {
          if (w(kbs(i)) > 0.0) exact += y(i) * y(i);
        }
        EXPECT_GE(std::fabs(w(j)), std::max(exact, 1.0) * (1.0 - 1e-9)) << j;
        ++nonbasic;
        if (std::fabs(std::fabs(w(j)) - exact) <= 1e-8 * exact) ++same;
      }
      EXPECT_GT(same, 0.8 * nonbasic);
      ++checked;
    }
  }
  EXPECT_GE(checked, 5);
}

// Reset and default rules of the parameters.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "opt_util.h"
#include "options/param_table.h"
#include "options/params.h"

using namespace tv;
using namespace optest;

TEST(Reset, FixedValuesUnsetMarkersAndKeptUnits) {
  Context ctx;
  Params& p = ctx.par;
  // Dirty everything the reset should restore.
  p.crashopt = 9, p.lsdebug = 1, p.majmax = 3, p.budef = 7.0, p.errlim = 0, p.itnmax = 5, p.feastol = 1.0;
  p.lufactol() = 3.0, p.lupivot() = 2, p.oldbfile = 12, p.listparms = 0, p.jacform = 2;
  std::memcpy(p.names[2], "RHS1    ", 8);
  p.wstotal = 1234, p.prtfile = 9, p.sumfile = 10, p.specfile = 4;
  p.m7cg1 = 5, p.m8veri_next = 0, p.m5tols6 = 0.0;
  m3dflt(ctx, 1);

  EXPECT_EQ(p.crashopt, 3);
  EXPECT_EQ(p.lsdebug, 9999999);
  EXPECT_EQ(p.majmax, 50);
  EXPECT_EQ(p.budef, 1.0E+20);
  EXPECT_EQ(p.errlim, 10);
  EXPECT_EQ(p.itnmax, kUnsetI);
  EXPECT_EQ(p.feastol, kUnsetR);
  EXPECT_EQ(p.lufactol(), kUnsetR);
  EXPECT_EQ(p.lusingtol(), kUnsetR);
  EXPECT_EQ(p.lusingtol2(), kUnsetR);
  EXPECT_EQ(p.lupivot(), 0);
  EXPECT_EQ(p.oldbfile, 0);
  EXPECT_EQ(p.listparms, 1);  // Print level 1 alone lists the parameters
  EXPECT_EQ(p.jacform, 1);
  EXPECT_EQ(std::string(p.names[2], 8), "        ");
  EXPECT_EQ(p.iparm_ref(17), kUnsetI);
  EXPECT_EQ(p.rparm_ref(20), kUnsetR);
  // Not reset: the workspace length and the units given to the start routine.
  EXPECT_EQ(p.wstotal, 1234);
  EXPECT_EQ(p.prtfile, 9);
  EXPECT_EQ(p.sumfile, 10);
  EXPECT_EQ(p.specfile, 4);
  // Fixed internal words.
  EXPECT_EQ(p.m7cg1, -1);
  EXPECT_EQ(p.m7cg2[0], 1);
  EXPECT_EQ(p.m7cg2[1], 0);
  EXPECT_EQ(p.m8veri_next, -2);
  EXPECT_EQ(p.m5tols6, 1.0E-4);
  EXPECT_EQ(p.lprbrf, 1);
  EXPECT_EQ(p.lprful, 0);
  EXPECT_EQ(p.lsmbrf, 1);
  EXPECT_EQ(p.lsmful, 0);
}

TEST(Reset, EveryModeRefillsTheReducedGradientTolerances) {
  Context ctx;
  for (int mode : {0, 1, 2, 3, 7}) {
    for (double& t : ctx.par.m7tols) t = -5.0;
    ctx.par.gdummy = 0.0;
    m3dflt(ctx, mode);
    EXPECT_EQ(ctx.par.m7tols[0], 0.1);
    EXPECT_EQ(ctx.par.m7tols[1], 1.0E-6);
    EXPECT_EQ(ctx.par.m7tols[2], 0.010000000000000002);
    EXPECT_EQ(ctx.par.m7tols[3], 1.0E-12);
    EXPECT_EQ(ctx.par.m7tols[4], 0.001);
    EXPECT_EQ(ctx.par.m7tols[5], 1.4901161193847656E-08);
    EXPECT_EQ(ctx.par.gdummy, -111111.0);
  }
}

TEST(Defaults, LinearProblemWithoutOptions) {
  Context ctx;
  fresh(ctx);
  resolve(ctx, 50, 100, 300);
  Params& p = ctx.par;
  EXPECT_EQ(p.facfreq, 100);
  EXPECT_EQ(p.partprice, 10);
  EXPECT_EQ(p.pricing, kPriceSteepest);
  EXPECT_EQ(p.scaleopt, 2);
  EXPECT_EQ(p.lufactol(), 100.0);
  EXPECT_EQ(p.luupdtol(), 10.0);
  EXPECT_EQ(p.maxs, 1);
  EXPECT_EQ(p.hdim, 0);
  // Iterations limit max(10000, 20 (m + n)) + 10 nnl: at least 10000.
  EXPECT_EQ(p.itnmax, 10000);
  EXPECT_EQ(p.completion, 1);
  EXPECT_EQ(p.minormax, 10000);
  // Frequencies, tolerances and the rest of the table.
  EXPECT_EQ(p.chkfreq, 60);
  EXPECT_EQ(p.logfreq, 100);
  EXPECT_EQ(p.savfreq, 100);
  EXPECT_EQ(p.sumfreq, 100);
  EXPECT_EQ(p.expfreq, 10000);
  EXPECT_EQ(p.feastol, 1.0E-6);
  EXPECT_EQ(p.opttol, 1.0E-6);
  EXPECT_EQ(p.pivtol, p.mc.eps067);
  EXPECT_EQ(p.crashtol, 0.1);
  EXPECT_EQ(p.scaletol, 0.9);
  EXPECT_EQ(p.objweight, 0.0);
  EXPECT_EQ(p.lstol, 0.1);
  EXPECT_EQ(p.subtol, 0.5);
  EXPECT_EQ(p.fprec, p.mc.eps080);
  EXPECT_EQ(p.fwdint, std::sqrt(p.mc.eps080));
  EXPECT_EQ(p.cenint, std::pow(p.mc.eps080, 0.333333));
  EXPECT_EQ(p.bigobj, 1.0E+20);
  EXPECT_EQ(p.bigstep, 1.0E+10);
  EXPECT_EQ(p.majdamp, 2.0);
  EXPECT_EQ(p.mindamp, 2.0);
  EXPECT_EQ(p.penalty, 1.0);
  EXPECT_EQ(p.penaltycopy, 1.0);
  EXPECT_EQ(p.radius, 0.1);
  EXPECT_EQ(p.rowtol, 1.0E-6);
  EXPECT_EQ(p.luswaptol, p.mc.eps025);
  EXPECT_EQ(p.lurpar_[3], p.mc.eps067);
  EXPECT_EQ(p.lurpar_[4], p.mc.eps067);
  EXPECT_EQ(p.lurpar_[7], 0.5);
  EXPECT_EQ(p.objchk1, 1);
  EXPECT_EQ(p.objchk2, 0);
  EXPECT_EQ(p.conchk1, 1);
  EXPECT_EQ(p.conchk2, 0);
  EXPECT_STREQ(p.sensename, "Min ");
  EXPECT_EQ(p.nnl, 0);
  EXPECT_EQ(p.nncon1, 1);
  // Print level 0 with both files: brief logs only.
  EXPECT_EQ(p.lprbrf, 1);
  EXPECT_EQ(p.lprful, 0);
  EXPECT_EQ(p.lsmbrf, 1);
  EXPECT_EQ(p.lsmful, 0);
}

TEST(Defaults, NonlinearProblemWithoutOptions) {
  Context ctx;
  fresh(ctx);
  resolve(ctx, 40, 60, 200, 10, 20, 30);
  Params& p = ctx.par;
  EXPECT_EQ(p.facfreq, 50);
  EXPECT_EQ(p.partprice, 1);
  EXPECT_EQ(p.pricing, kPricePartial);
  EXPECT_EQ(p.scaleopt, 1);
  EXPECT_EQ(p.lufactol(), 5.0);
  EXPECT_EQ(p.luupdtol(), 5.0);
  EXPECT_EQ(p.maxs, 50);
  EXPECT_EQ(p.hdim, 50);
  EXPECT_EQ(p.nnl, 30);
  EXPECT_EQ(p.nncon1, 10);
  EXPECT_EQ(p.itnmax, 10000 + 10 * 30);
  EXPECT_EQ(p.completion, 0);  // nonlinear constraints: partial completion
  EXPECT_EQ(p.minormax, 40);
  EXPECT_EQ(p.objchk2, 20);
  EXPECT_EQ(p.conchk2, 30);

  // Small problem: both limits capped at m + n + 1.
  Context small;
  fresh(small);
  resolve(small, 10, 20, 50, 0, 5, 0);
  EXPECT_EQ(small.par.maxs, 31);
  EXPECT_EQ(small.par.hdim, 31);
  EXPECT_EQ(small.par.completion, 1);
  EXPECT_EQ(small.par.minormax, small.par.itnmax);  // no nonlinear constraints
  EXPECT_EQ(small.par.itnmax, 10000 + 10 * 5);

  // A larger linear problem: 20 (m + n).
  Context large;
  fresh(large);
  resolve(large, 2000, 3000, 9000);
  EXPECT_EQ(large.par.itnmax, 20 * (2000 + 3000));
  EXPECT_EQ(large.par.minormax, large.par.itnmax);
}

TEST(Defaults, SuperbasicsLimitAndHessianDimension) {
  struct Case {
    int maxs, hdim;
    int want_maxs, want_hdim;
  } cases[] = {
      {200, kUnsetI, 200, 200},      // limit alone fixes the dimension
      {kUnsetI, 30, 30, 30},         // dimension alone fixes the limit
      {100000, 100000, 100000, 32768},
      {kUnsetI, 0, 50, 0},           // a dimension of 0 stays 0
      {20, 80, 80, 80},              // the limit is raised to the dimension
  };
  for (const Case& c : cases) {
    Context ctx;
    fresh(ctx);
    ctx.par.maxs = c.maxs;
    ctx.par.hdim = c.hdim;
    resolve(ctx, 100000, 200000, 500000, 0, 10, 0);
    EXPECT_EQ(ctx.par.maxs, c.want_maxs) << c.maxs << " " << c.hdim;
    EXPECT_EQ(ctx.par.hdim, c.want_hdim) << c.maxs << " " << c.hdim;
  }
  // Linear: the dimension is 0 unless given.
  Context lin;
  fresh(lin);
  lin.par.maxs = 200;
  resolve(lin, 1000, 2000, 5000);
  EXPECT_EQ(lin.par.maxs, 200);
  EXPECT_EQ(lin.par.hdim, 0);
}

TEST(Defaults, FunctionPrecisionAndOptimalityTolerance) {
  Context ctx;
  fresh(ctx);
  ctx.par.fprec = 1.0E-10;
  resolve(ctx, 10, 10, 20, 0, 5, 0);
  EXPECT_DOUBLE_EQ(ctx.par.opttol, 1.0E-5);
  EXPECT_DOUBLE_EQ(ctx.par.fwdint, 1.0E-5);
  EXPECT_NEAR(ctx.par.cenint, 4.6E-4, 0.05E-4);

  // An Optimality tolerance given by the user is never overridden.
  Context mine;
  fresh(mine);
  mine.par.fprec = 1.0E-10;
  mine.par.opttol = 1.0E-8;
  resolve(mine, 10, 10, 20, 0, 5, 0);
  EXPECT_EQ(mine.par.opttol, 1.0E-8);

  // A user's difference intervals are kept too.
  Context iv;
  fresh(iv);
  iv.par.fwdint = 1.0E-3;
  iv.par.cenint = 1.0E-2;
  resolve(iv, 10, 10, 20, 0, 5, 0);
  EXPECT_EQ(iv.par.fwdint, 1.0E-3);
  EXPECT_EQ(iv.par.cenint, 1.0E-2);
}

TEST(Defaults, OutOfRangeSettingsFallBack) {
  Context ctx;
  fresh(ctx);
  Params& p = ctx.par;
  p.nncon = 5;  // but no Jacobian variables: the constraints are linear
  p.chkfreq = 0;
  p.logfreq = -3;
  p.itnmax = 0;
  p.crashtol = 1.0;
  p.lstol = 1.5;
  p.subtol = 0.0;
  p.bldef = 10.0;
  p.budef = 5.0;
  p.radius = 1.0E-9;
  p.rowtol = 1.0E-17;
  p.newbfile = 12;
  p.bkpfile = 12;
  p.objsense = -1;
  p.penalty = 0.0;  // zero is a valid penalty
  resolve(ctx, 20, 30, 60, 5, 0, 0);
  EXPECT_EQ(p.nncon, 0);
  EXPECT_EQ(p.chkfreq, 99999999);
  EXPECT_EQ(p.logfreq, 99999999);
  EXPECT_EQ(p.itnmax, 0);
  EXPECT_EQ(p.minormax, 0);
  EXPECT_EQ(p.crashtol, 0.1);
  EXPECT_EQ(p.lstol, 0.1);
  EXPECT_EQ(p.subtol, 0.5);
  EXPECT_EQ(p.bldef, 5.0);
  EXPECT_EQ(p.budef, 10.0);
  EXPECT_EQ(p.radius, 0.1);
  EXPECT_EQ(p.rowtol, 1.0E-6);
  EXPECT_EQ(p.newbfile, 12);
  EXPECT_EQ(p.bkpfile, 0);
  EXPECT_STREQ(p.sensename, "Max ");
  EXPECT_EQ(p.penalty, 0.0);
  EXPECT_EQ(p.penaltycopy, 0.0);
}

TEST(Defaults, MissingDimensionsAndWideProducts) {
  Context ctx;
  fresh(ctx);
  resolve(ctx, 0, 0, 0);
  EXPECT_EQ(ctx.par.rowlim, 100);
  EXPECT_EQ(ctx.par.collim, 300);
  EXPECT_EQ(ctx.par.elmlim, 1500);
  EXPECT_EQ(ctx.par.itnmax, 10000);

  // Products beyond 32 bits are clamped, never wrapped to negative values.
  Context big;
  fresh(big);
  resolve(big, 1000000000, 0, 0, 0, 2000000000, 0);
  EXPECT_EQ(big.par.collim, INT_MAX);
  EXPECT_EQ(big.par.elmlim, INT_MAX);
  EXPECT_EQ(big.par.itnmax, INT_MAX);
  EXPECT_EQ(big.par.minormax, INT_MAX);
  EXPECT_EQ(big.par.hdim, 50);
  EXPECT_EQ(big.par.maxs, 50);

  Context wide;
  fresh(wide);
  wide.par.maxs = 2000000000;
  resolve(wide, 2000000000, 2000000000, 5);
  EXPECT_EQ(wide.par.maxs, 2000000000);  // the cap m + n + 1 does not wrap
}

TEST(Defaults, PrintSwitchesFollowPrintLevelAndFiles) {
  Context ctx;
  fresh(ctx);
  ctx.par.prtlevel = 1;
  resolve(ctx, 5, 5, 5);
  EXPECT_EQ(ctx.par.lprbrf, 0);
  EXPECT_EQ(ctx.par.lprful, 1);

  Context none;
  fresh(none, 0, 0);
  none.par.prtlevel = 1;
  resolve(none, 5, 5, 5);
  EXPECT_EQ(none.par.lprbrf, 0);
  EXPECT_EQ(none.par.lprful, 0);
  EXPECT_EQ(none.par.lsmbrf, 0);
  EXPECT_EQ(none.par.lsmful, 0);
}

TEST(Defaults, ParametersSetBeforeResolvingSurvive) {
  Context ctx;
  fresh(ctx);
  EXPECT_EQ(phrase(ctx, "Iterations limit 777"), 0);
  EXPECT_EQ(phrase(ctx, "Feasibility tolerance 1e-8"), 0);
  EXPECT_EQ(phrase(ctx, "Partial price 4"), 0);
  EXPECT_EQ(phrase(ctx, "LU factor tolerance 20"), 0);
  resolve(ctx, 50, 100, 300);
  EXPECT_EQ(ctx.par.itnmax, 777);
  EXPECT_EQ(ctx.par.feastol, 1.0E-8);
  EXPECT_EQ(ctx.par.partprice, 4);
  EXPECT_EQ(ctx.par.lufactol(), 20.0);
}

// IPARM 6 chooses the pricing rule: 1 partial pricing, 2 Devex, 3 partial
// Devex, 4 steepest edge, anything else the default (steepest edge when
// linear).  With nonlinear
// variables partial pricing is kept whatever was asked.
TEST(Defaults, PricingRuleFromIparm6) {
  const struct {
    int value;
    bool nonlinear;
    int rule;
  } cases[] = {{0, false, kPriceSteepest}, {1, false, kPricePartial},      {2, false, kPriceDevex},
               {7, false, kPriceSteepest}, {-3, false, kPriceSteepest},    {0, true, kPricePartial},
               {2, true, kPricePartial},   {1, true, kPricePartial},       {3, false, kPricePartialDevex},
               {3, true, kPricePartial},   {4, false, kPriceSteepest},     {4, true, kPricePartial}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    Context ctx;
    fresh(ctx);
    EXPECT_EQ(ctx.par.pricing, 0);  // reset
    int errors = 0;
    tvopti(ctx, "IPARM 6", c.value, 0, 0, errors);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(ctx.par.iparm_ref(6), c.value);
    resolve(ctx, 50, 100, 300, 0, c.nonlinear ? 10 : 0, 0);
    EXPECT_EQ(ctx.par.pricing, c.rule);
  }
}

// A wide linear problem (more than 20 columns a row) prices by sections
// with Devex weights by default; a rule asked for by IPARM 6 is kept.
// Partial Devex's sections hold about 4m columns, 250 at least, and there
// are 10 at least, unless Partial price is given.
TEST(Defaults, WideLinearProblemPricesBySections) {
  const struct {
    int m, n, value, rule, partprice;
    const char* phrase;
  } cases[] = {{25, 10500, 0, kPricePartialDevex, 42, nullptr},  {25, 500, 0, kPriceSteepest, 10, nullptr},
               {25, 501, 0, kPricePartialDevex, 10, nullptr},    {25, 10500, 2, kPriceDevex, 10, nullptr},
               {25, 10500, 1, kPricePartial, 10, nullptr},       {600, 1700, 0, kPriceSteepest, 10, nullptr},
               {25, 10500, 3, kPricePartialDevex, 42, nullptr},  {25, 10500, 4, kPriceSteepest, 10, nullptr},
               {375, 33750, 0, kPricePartialDevex, 22, nullptr}, {25, 10500, 3, kPricePartialDevex, 4, "Partial price 4"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.n) + " columns, IPARM 6 = " + std::to_string(c.value));
    Context ctx;
    fresh(ctx);
    int errors = 0;
    if (c.phrase != nullptr) {
      EXPECT_EQ(phrase(ctx, c.phrase), 0);
    }
    tvopti(ctx, "IPARM 6", c.value, 0, 0, errors);
    resolve(ctx, c.m, c.n, 3 * c.n);
    EXPECT_EQ(ctx.par.pricing, c.rule);
    EXPECT_EQ(ctx.par.partprice, c.partprice);
  }
}

// An explicit Partial price or Multiple price (above 1) asks for partial
// pricing, where they have their meaning; an explicit rule wins.
TEST(Defaults, PartialOrMultiplePriceSelectsPartialPricing) {
  const struct {
    const char* phrase;
    int value, rule;
  } cases[] = {{"Partial price 4", 0, kPricePartial}, {"Partial price 1", 0, kPricePartial},
               {"Multiple price 3", 0, kPricePartial}, {"Multiple price 1", 0, kPriceSteepest},
               {"Partial price 4", 2, kPriceDevex}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.phrase);
    Context ctx;
    fresh(ctx);
    int errors = 0;
    EXPECT_EQ(phrase(ctx, c.phrase), 0);
    tvopti(ctx, "IPARM 6", c.value, 0, 0, errors);
    resolve(ctx, 50, 100, 300);
    EXPECT_EQ(ctx.par.pricing, c.rule);
  }
}

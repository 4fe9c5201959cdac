// m3dflt: reset, resolve and list the parameters.
//
// Resolving (mode 2) replaces every parameter that is still unset or out of
// range by its default, computed from the problem's size and nonlinearity.
// The steps run in a fixed order because later defaults read earlier ones
// (the iteration limits read nnl, the intervals read the final precision).
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "core/context.h"
#include "options/listing.h"
#include "options/options.h"
#include "options/param_table.h"
#include "options/params.h"

namespace tv {

namespace {

constexpr int kNever = 99999999;  // a frequency that never comes

// Products of the sizes may exceed 32 bits: compute wide, clamp.
int clamp32(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// 1. Nonlinear counts: constraints without Jacobian variables are linear.
void dflt_counts(Params& p) {
  if (p.nncon == 0) p.nnjac = 0;
  if (p.nnjac == 0) p.nncon = 0;
  p.nnl = std::max(p.nnobj, p.nnjac);
  p.nncon1 = std::max(p.nncon, 1);
}

// 2. Frequencies.
void dflt_frequencies(Params& p) {
  if (p.chkfreq == kUnsetI) p.chkfreq = 60;
  if (p.logfreq == kUnsetI) p.logfreq = 100;
  if (p.savfreq == kUnsetI) p.savfreq = 100;
  if (p.sumfreq == kUnsetI) p.sumfreq = 100;
  if (p.expfreq == kUnsetI) p.expfreq = 10000;
  if (p.facfreq < 1) p.facfreq = p.linear() ? 100 : 50;
  for (int* f : {&p.chkfreq, &p.logfreq, &p.savfreq, &p.sumfreq, &p.expfreq}) {
    if (*f < 1) *f = kNever;
  }
}

// 3. Log switches from the print level and the files present.
void dflt_print_switches(Params& p) {
  p.lprbrf = (p.prtlevel == 0) ? 1 : 0;
  p.lprful = (p.prtlevel > 0) ? 1 : 0;
  if (p.prtfile < 1) p.lprbrf = p.lprful = 0;
  if (p.sumfile < 1) p.lsmbrf = p.lsmful = 0;
}

// 4. Superbasics limit and Hessian dimension: either one given alone fixes
// the other on a nonlinear problem; the dimension never exceeds the limit.
void dflt_superbasics(Params& p) {
  if (!p.linear()) {
    if (p.hdim < 1 && p.maxs > 0 && p.hdim < 0) p.hdim = p.maxs;
    if (p.hdim >= 1 && p.maxs < 0) p.maxs = p.hdim;
    if (p.maxs < 0) p.maxs = 50;
    if (p.hdim < 0) p.hdim = 50;
  }
  if (p.maxs < 1) p.maxs = 1;
  if (p.hdim < 0) p.hdim = 0;
  p.maxs = std::max(p.maxs, p.hdim);
  p.hdim = std::min({p.hdim, p.maxs, 32768});
}

// 5. Scale option (negative also after Scale yes).
void dflt_scale(Params& p) {
  if (p.scaleopt < 0) p.scaleopt = p.linear() ? 2 : 1;
}

// 6. Completion, partial price and the pricing rule.  Reference weights
// take several times fewer iterations than the largest reduced cost on most
// linear problems, so they are their default: steepest-edge weights, exact
// within the reference framework (a fifth fewer iterations than Devex's
// estimates over the Netlib and generated problems, for one more transposed
// solve an iteration), and Devex by sections on wide problems.  An
// explicit Partial price or Multiple price asks for the rule they belong
// to.  Problems with nonlinear variables keep partial pricing: the
// reduced-gradient iteration takes its candidates from it and the reference
// weights do not follow superbasic moves.
void dflt_completion_price(Params& p) {
  if (p.completion < 0) p.completion = (p.nncon == 0) ? 1 : 0;
  const bool partgiven = p.partprice >= 1;
  const bool asked = partgiven || p.multprice > 1;
  if (p.partprice < 1) p.partprice = p.linear() ? 10 : 1;
  if (!p.linear()) {
    p.pricing = kPricePartial;
  } else if (prices_every_column_by_weights(p.pricing) || p.pricing == kPricePartialDevex) {
    // kept as asked
  } else if (p.pricing != kPricePartial) {
    // Wide problems (more than 20 columns a row) price by sections with
    // Devex weights (partial Devex): Devex over every column takes as few
    // iterations but pays for a pivot row over all the columns, which on
    // a transportation problem with 10^6 entries costs 2 ms an iteration;
    // the largest reduced cost by sections costs a tenth of that but takes
    // 2 to 7 times the iterations (the fit problems, transportation).
    const bool wide = p.rowlim > 0 && p.collim > 20LL * p.rowlim;
    p.pricing = asked ? kPricePartial : wide ? kPricePartialDevex : kPriceSteepest;
  }
  // Partial Devex prices a section's columns and updates their weights at
  // every iteration, which on wide problems costs more than the rest of the
  // iteration unless the sections are short: unless Partial price is
  // given, sections of about 4m columns (the work of a few solves), but of
  // 250 columns at least (a choice among fewer costs iterations), and at
  // least 10 sections.  transp130 (10^5 columns): 4564 iterations in 0.50 s
  // with 10 sections, 4597 in 0.24 s with 40; fit2d 13508 in 0.40 s with
  // 10, 17351 in 0.26 s with 40.
  if (p.pricing == kPricePartialDevex && !partgiven && p.rowlim > 0) {
    const long long sections = std::min(p.collim / (4LL * p.rowlim), p.collim / 250LL);
    p.partprice = static_cast<int>(std::max<long long>(p.partprice, sections));
  }
}

// 7. Optimality tolerance.  A Function precision given by the user sets the
// default to its square root; an Optimality tolerance given by the user is
// kept whatever the precision.
void dflt_optimality(Params& p) {
  if (p.opttol <= 0.0) p.opttol = (p.fprec > 0.0) ? std::sqrt(p.fprec) : 1.0E-6;
}

// 8. The reals of rparm, then the tolerances and intervals that depend on the
// final Function precision.
void dflt_rparm(Params& p) {
  const MachineConstants& mc = p.mc;
  if (p.bigobj <= 0.0) p.bigobj = mc.infbnd;
  if (p.bigstep <= 0.0) p.bigstep = 1.0E+10;
  if (p.fprec <= 0.0) p.fprec = mc.eps080;
  if (p.majdamp <= 0.0) p.majdamp = 2.0;
  if (p.mindamp <= 0.0) p.mindamp = 2.0;
  if (p.penalty < 0.0) p.penalty = 1.0;
  p.penaltycopy = p.penalty;
  if (p.luswaptol <= 0.0) p.luswaptol = mc.eps025;
  if (p.crashtol < 0.0 || p.crashtol >= 1.0) p.crashtol = 0.1;
  if (p.subtol <= 0.0 || p.subtol > 1.0) p.subtol = 0.5;
  if (p.lstol < 0.0 || p.lstol > 1.0) p.lstol = 0.1;
  if (p.fwdint <= 0.0) p.fwdint = std::sqrt(p.fprec);
  if (p.cenint <= 0.0) p.cenint = std::pow(p.fprec, 0.333333);
}

// 9. LU tolerances: tighter stability bounds for nonlinear problems.
void dflt_lu(Params& p) {
  const bool lin = p.linear();
  if (p.lufactol() < 1.0) p.lufactol() = lin ? 100.0 : 5.0;
  if (p.luupdtol() < 1.0) p.luupdtol() = lin ? 10.0 : 5.0;
  if (p.lusingtol() <= 0.0) p.lusingtol() = p.mc.eps067;
  if (p.lusingtol2() <= 0.0) p.lusingtol2() = p.mc.eps067;
  if (p.ludenstol() <= 0.0) p.ludenstol() = 0.5;
}

// 10. Remaining tolerances and the derivative check ranges.
void dflt_tolerances(Params& p) {
  const MachineConstants& mc = p.mc;
  if (p.radius <= mc.eps050) p.radius = 0.1;
  if (p.rowtol <= mc.eps) p.rowtol = 1.0E-6;
  if (p.scaletol <= 0.0) p.scaletol = 0.9;
  if (p.pivtol <= 0.0) p.pivtol = mc.eps067;
  if (p.feastol <= 0.0) p.feastol = std::max(mc.eps050, 1.0E-6);
  if (p.objweight < 0.0) p.objweight = 0.0;
  if (p.objchk1 < 0) p.objchk1 = 1;
  if (p.objchk2 < 0) p.objchk2 = p.nnobj;
  if (p.conchk1 < 0) p.conchk1 = 1;
  if (p.conchk2 < 0) p.conchk2 = p.nnjac;
}

// 11. Default bounds in order.
void dflt_bounds(Params& p) {
  if (p.bldef > p.budef) std::swap(p.bldef, p.budef);
}

// 12. Sense word; the backup basis must not overwrite the new basis file.
void dflt_sense_files(Params& p) {
  std::memcpy(p.sensename, p.objsense >= 1 ? "Min " : "Max ", 5);
  if (p.newbfile == p.bkpfile) p.bkpfile = 0;
}

// 13. Dimensions, iteration limits and the final caps.
void dflt_dimensions(Params& p) {
  if (p.rowlim < 1) p.rowlim = 100;
  if (p.collim < 1) p.collim = clamp32(3LL * p.rowlim);
  if (p.elmlim < 1) p.elmlim = clamp32(5LL * p.collim);
  // Iterations limit: a safeguard against endless runs, not a budget.  The
  // simplex method on real LPs takes a few times m + n iterations (highly
  // degenerate ones about ten times), so 3m stops sound runs early; allow
  // 20 (m + n), at least 10000, plus 10 per nonlinear variable.  0 stays 0.
  if (p.itnmax < 0) {
    p.itnmax = clamp32(std::max(10000LL, 20LL * p.rowlim + 20LL * p.collim) + 10LL * p.nnl);
  }
  const int cap = clamp32(static_cast<long long>(p.rowlim) + p.collim + 1);
  p.hdim = std::min(p.hdim, cap);
  p.maxs = std::min(p.maxs, cap);
  if (p.minormax < 0) p.minormax = (p.nncon == 0) ? p.itnmax : 40;
}

using Step = void (*)(Params&);
constexpr Step kSteps[] = {
    dflt_counts,        dflt_frequencies, dflt_print_switches, dflt_superbasics, dflt_scale,
    dflt_completion_price, dflt_optimality, dflt_rparm,         dflt_lu,          dflt_tolerances,
    dflt_bounds,        dflt_sense_files, dflt_dimensions,
};

// Tolerances of the reduced-gradient iteration, refilled on every call.
void fill_m7tols(Params& p) {
  const MachineConstants& mc = p.mc;
  const double t2 = std::max(mc.eps050, 1.0E-6);
  p.m7tols[0] = 0.1;
  p.m7tols[1] = t2;
  p.m7tols[2] = 0.1 * 0.1;
  p.m7tols[3] = t2 * t2;
  p.m7tols[4] = std::max(mc.eps025, 0.001);
  p.m7tols[5] = mc.eps050;
  p.gdummy = -111111.0;
}

}  // namespace

void m3dflt(Context& ctx, int mode) {
  Params& p = ctx.par;
  fill_m7tols(p);
  if (mode == 1) {
    reset_params(p);
  } else if (mode == 2) {
    for (Step s : kSteps) s(p);
  } else if (mode == 3) {
    print_parameters(ctx);
  }
}

}  // namespace tv

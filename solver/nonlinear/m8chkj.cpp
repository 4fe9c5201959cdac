// Verification of the Jacobian returned by funcon (m8chkj).
#include <algorithm>

#include "nonlinear/eval_calls.h"
#include "nonlinear/verify.h"
#include "options/params.h"

namespace tv {

namespace {

// The cheap test along one direction p.  Returns false when an evaluation
// failed.
bool cheap_test(Evaluator& ev, int nncon, int nnjac, int njac, CIvec ha, CIvec ka, CDvec bl,
                CDvec bu, CDvec x, CDvec fcon, CDvec gcon, Dvec p, Dvec f2, Dvec jp, Dvec gcall) {
  const double gd = ev.gdummy;
  // Alternating signs, slowly decreasing: no cancellation pattern that a
  // wrong Jacobian could hide behind.
  auto fill = [&] {
    p(1) = 1.0 / nnjac;
    for (int j = 2; j <= nnjac; ++j) p(j) = p(j - 1) * -0.99999;
  };
  fill();
  double big = 0.0;
  for (int j = 1; j <= nnjac; ++j) big = std::max(big, std::fabs(x(j)));
  const double dx = ev.fwdint * (1.0 + big);
  int count = 0;
  m7chkd(nnjac, bl, bu, x, dx, p, count);
  if (count == 0) fill();

  // Columns with unknown entries cannot take part.
  int l = 0;
  count = 0;
  for (int j = 1; j <= nnjac; ++j) {
    bool unknown = false;
    jac_column(j, nncon, ha, ka, l, [&](int, int l1, int) {
      if (gcon(l1) == gd) unknown = true;
    });
    if (unknown) p(j) = 0.0;
    if (p(j) != 0.0) ++count;
  }
  if (count == 0) return true;

  // jp = J p, then p becomes the perturbed point.
  for (int i = 1; i <= nncon; ++i) jp(i) = 0.0;
  l = 0;
  for (int j = 1; j <= nnjac; ++j) {
    const double pj = p(j);
    jac_column(j, nncon, ha, ka, l, [&](int, int l1, int i) {
      if (gcon(l1) != gd) jp(i) += gcon(l1) * pj;
    });
  }
  for (int j = 1; j <= nnjac; ++j) p(j) = x(j) + dx * p(j);
  m6fcon(ev, 0, nncon, nnjac, njac, ha, ka, p, f2, gcall);
  if (ev.ierr != 0) return false;

  double dmax = -1.0, qmax = 0.0;
  int imax = 0;
  for (int i = 1; i <= nncon; ++i) {
    const double q = (f2(i) - fcon(i)) / dx;
    const double d = std::fabs(q - jp(i));
    if (d > dmax) {
      dmax = d;
      qmax = q;
      imax = i;
    }
  }
  const double emax = dmax / (1.0 + std::fabs(qmax));
  ev.prt(emax <= 0.1 ? " The Jacobian seems to be OK." : " XXX  The Jacobian seems to be incorrect.");
  ev.prt(strf(" The largest discrepancy was%12.2E  in constraint%6d", emax, imax));
  return true;
}

}  // namespace

int m8chkj(Evaluator& ev, int verlevel, int jfirst, int jlast, int nncon, int nnjac, int njac,
           CIvec ha, CIvec ka, CDvec bl, CDvec bu, Dvec x, Dvec fcon, Dvec gcon, Dvec p, Dvec f2,
           Dvec jp, Dvec gwork) {
  if (verlevel < 0 || nncon <= 0 || nnjac <= 0) return ev.ierr;
  detail::ScalingOff unscaled(ev);
  const double gd = ev.gdummy;
  Dvec gcall = gwork.size() >= njac ? gwork : gcon;

  if (ev.derlevel < 2) m6dmmy(njac, gcon, gd);
  m6fcon(ev, 2, nncon, nnjac, njac, ha, ka, x, fcon, gcon);
  if (ev.ierr != 0) return ev.ierr;
  int nset = 0;
  for (int l = 1; l <= njac; ++l) {
    if (gcon(l) != gd) ++nset;
  }
  if (nset == 0) return 0;

  const int j1 = std::max(jfirst, 1);
  const int j2 = std::min(jlast, nnjac);
  const bool elements = verlevel >= 2 && j2 >= j1;
  ev.prt("");
  ev.prt(elements ? " Verification of constraint gradients returned by subroutine funcon."
                  : " Cheap test on funcon...");

  if (!cheap_test(ev, nncon, nnjac, njac, ha, ka, bl, bu, x, fcon, gcon, p, f2, jp, gcall)) {
    return ev.ierr;
  }
  if (!elements) return 0;

  const MachineConstants& mc = kMachine;
  ev.prt("");
  ev.prt("");
  ev.prt(" Column       x(j)        dx(j)    Element no.    Row    Jacobian value    Difference approxn");
  double emax = -1.0;
  int imax = 0, jmax = 0, nbad = 0, ngood = 0;
  int lbefore = 0;  // Jacobian entries of the columns before j
  for (int j = 1; j <= j2; ++j) {
    int l = lbefore;
    int nknown = 0;
    jac_column(j, nncon, ha, ka, l, [&](int, int l1, int) {
      if (gcon(l1) != gd) ++nknown;
    });
    const int lfirst = lbefore;
    lbefore = l;
    // Columns before the range, and columns with nothing to compare, cost
    // no evaluation.
    if (j < j1 || nknown == 0) continue;

    // A variable at (or beyond) its upper bound is perturbed downwards.
    const double xj = x(j);
    double dx = ev.fwdint * (1.0 + std::fabs(xj));
    if (xj >= bu(j) && bu(j) > bl(j)) dx = -dx;
    x(j) = xj + dx;
    m6fcon(ev, 0, nncon, nnjac, njac, ha, ka, x, f2, gcall);
    x(j) = xj;
    if (ev.ierr != 0) return ev.ierr;

    bool first = true;
    l = lfirst;
    jac_column(j, nncon, ha, ka, l, [&](int, int l1, int i) {
      const double g = gcon(l1);
      if (g == gd) return;
      const double approx = (f2(i) - fcon(i)) / dx;
      const double err = std::fabs(approx - g) / (1.0 + std::fabs(g));
      if (err > emax) {
        emax = err;
        imax = i;
        jmax = j;
      }
      const bool bad = err > mc.eps020;
      if (bad) {
        ++nbad;
      } else {
        ++ngood;
      }
      if (std::fabs(g) + err <= mc.eps080) return;
      const char* flag = bad ? "bad?" : "ok  ";
      if (first) {
        ev.prt("");
        ev.prt(strf("%7d%16.8E%10.2E%10d%10d%18.8E%18.8E  %4s", j, xj, dx, l1, i, g, approx, flag));
        first = false;
      } else {
        ev.prt(std::string(33, ' ') + strf("%10d%10d%18.8E%18.8E  %4s", l1, i, g, approx, flag));
      }
    });
  }

  ev.prt("");
  if (nbad > 0) {
    ev.prt(strf(" XXX  There seem to be%6d  incorrect Jacobian elements in cols%6d  thru%6d", nbad,
                j1, j2));
  } else {
    ev.prt(strf("%7d  Jacobian elements in cols %6d  thru%6d  seem to be OK.", ngood, j1, j2));
  }
  ev.prt("");
  ev.prt(strf(" XXX  The largest relative error was%12.2E   in row%6d,  column%6d", emax, imax, jmax));
  ev.prt("");
  if (emax >= 1.0) {
    ev.ierr = 8;
    ev.both("");
    ev.both("");
    ev.both(" EXIT -- subroutine funcon appears to be giving incorrect gradients");
  }
  return ev.ierr;
}

}  // namespace tv

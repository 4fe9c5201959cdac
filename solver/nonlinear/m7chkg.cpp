// Verification of the objective gradient (m7chkg) and the step-direction
// adjustment both checks use (m7chkd).
#include <algorithm>

#include "nonlinear/eval_calls.h"
#include "nonlinear/verify.h"
#include "options/params.h"

namespace tv {

void m7chkd(int n, CDvec bl, CDvec bu, CDvec x, double dx, Dvec p, int& count) {
  count = 0;
  for (int j = 1; j <= n; ++j) {
    if (bl(j) == bu(j)) {
      p(j) = 0.0;
      continue;
    }
    if (p(j) == 0.0) continue;
    double step = x(j) + dx * p(j);
    if (step < bl(j) || step > bu(j)) {
      p(j) = -p(j);
      step = x(j) + dx * p(j);
      if (step < bl(j) || step > bu(j)) p(j) = 0.0;
    }
    if (p(j) != 0.0) ++count;
  }
}

namespace {

double largest_abs(int n, CDvec x) {
  double big = 0.0;
  for (int j = 1; j <= n; ++j) big = std::max(big, std::fabs(x(j)));
  return big;
}

// The cheap test along y and z.  Returns false when an evaluation failed.
bool cheap_test(Evaluator& ev, int nnobj, CDvec bl, CDvec bu, CDvec x, double fobj, CDvec gobj,
                Dvec y, Dvec z, Dvec gcall) {
  const double gd = ev.gdummy;
  const double rn = static_cast<double>(nnobj);
  const bool odd = nnobj % 2 == 1;
  // z: equal weights; y: alternating, growing weights, so that the two
  // directions are independent for any nnobj > 1.
  const double ybase = (odd && nnobj != 1) ? 1.0 / (nnobj - 1) : 1.0 / rn;
  for (int j = 1; j <= nnobj; ++j) {
    const bool known = gobj(j) != gd;
    z(j) = known ? 1.0 / rn : 0.0;
    y(j) = known ? ybase : 0.0;
  }
  for (int j = 1; j <= nnobj; j += 2) {
    if (y(j) != 0.0) y(j) = -y(j) - j / rn;
  }
  if (odd) y(nnobj) = 0.0;

  const double dx = ev.fwdint * (1.0 + largest_abs(nnobj, x));
  int ny = 0, nz = 0;
  m7chkd(nnobj, bl, bu, x, dx, y, ny);
  m7chkd(nnobj, bl, bu, x, dx, z, nz);
  if (ny == 0 && nz == 0) {
    ev.prt("");
    ev.prt(" XXX  Can't find a feasible step - objective gradients not verified.");
    return true;
  }

  double gy = 0.0, gz = 0.0;
  for (int j = 1; j <= nnobj; ++j) {
    if (gobj(j) == gd) continue;
    gy += gobj(j) * y(j);
    gz += gobj(j) * z(j);
  }
  // The directions become the perturbed points.
  for (int j = 1; j <= nnobj; ++j) {
    y(j) = x(j) + dx * y(j);
    z(j) = x(j) + dx * z(j);
  }
  double fy = 0.0, fz = 0.0;
  m6fobj(ev, 0, nnobj, fy, gcall, y);
  if (ev.ierr != 0) return false;
  m6fobj(ev, 0, nnobj, fz, gcall, z);
  if (ev.ierr != 0) return false;
  const double dy = (fy - fobj) / dx;
  const double dz = (fz - fobj) / dx;

  const bool wrong = (dy - gy) * (dy - gy) >= dx * (1.0 + gy * gy) ||
                     (dz - gz) * (dz - gz) >= dx * (1.0 + gz * gz);
  if (wrong) {
    ev.both(" XXX  The objective gradients seem to be incorrect.");
  } else {
    ev.prt(" The objective gradients seem to be OK.");
  }
  ev.prt(strf(" Gradient projected in two directions%20.11E%20.11E", gy, gz));
  ev.prt(strf(" Difference approximations           %20.11E%20.11E", dy, dz));
  return true;
}

}  // namespace

int m7chkg(Evaluator& ev, int verlevel, int jfirst, int jlast, int nnobj, CDvec bl, CDvec bu,
           Dvec x, double& fobj, Dvec gobj, Dvec y, Dvec z, Dvec gwork) {
  if (verlevel < 0 || nnobj <= 0) return ev.ierr;
  detail::ScalingOff unscaled(ev);
  const double gd = ev.gdummy;
  Dvec gcall = gwork.size() >= nnobj ? gwork : gobj;

  m6dmmy(nnobj, gobj, gd);
  m6fobj(ev, 2, nnobj, fobj, gobj, x);
  if (ev.ierr != 0) return ev.ierr;
  int nset = 0;
  for (int j = 1; j <= nnobj; ++j) {
    if (gobj(j) != gd) ++nset;
  }
  if (nset == 0) return 0;

  const int j1 = std::max(jfirst, 1);
  const int j2 = std::min(jlast, nnobj);
  const bool elements = (verlevel == 1 || verlevel >= 3) && j2 >= j1;
  ev.prt("");
  ev.prt(elements ? " Verification of objective gradients returned by subroutine funobj."
                  : " Cheap test on funobj...");

  if (!cheap_test(ev, nnobj, bl, bu, x, fobj, gobj, y, z, gcall)) return ev.ierr;
  if (!elements) return 0;

  // Element test: one perturbation per column, of a length that balances
  // truncation against cancellation for a function of size |f| and slope g.
  const MachineConstants& mc = kMachine;
  ev.prt("");
  ev.prt("");
  ev.prt("      j       x(j)        dx(j)           g(j)         Difference approxn");
  ev.prt("");
  double emax = -1.0;
  int jmax = 0, nbad = 0, ngood = 0;
  for (int j = j1; j <= j2; ++j) {
    const double g = gobj(j);
    if (g == gd) continue;
    const double xj = x(j);
    const double dx = mc.eps050 * (1.0 + std::fabs(fobj)) / (1.0 + std::fabs(g));
    double f1 = 0.0;
    x(j) = xj + dx;
    m6fobj(ev, 0, nnobj, f1, gcall, x);
    x(j) = xj;
    if (ev.ierr != 0) return ev.ierr;
    const double approx = (f1 - fobj) / dx;
    const double err = std::fabs(approx - g) / (1.0 + std::fabs(g));
    if (err > emax) {
      emax = err;
      jmax = j;
    }
    const bool bad = err > mc.eps020;
    if (bad) {
      ++nbad;
    } else {
      ++ngood;
    }
    if (std::fabs(g) + err > mc.eps080) {
      ev.prt(strf("%7d%16.8E%10.2E%18.8E%18.8E  %4s", j, xj, dx, g, approx, bad ? "bad?" : "ok  "));
    }
  }

  ev.prt("");
  if (nbad > 0) {
    ev.prt(strf(" XXX  There seem to be%6d  incorrect objective gradients in cols%6d  thru%6d", nbad,
                j1, j2));
  } else {
    ev.prt(strf("%7d  objective gradients out of%6d  thru%6d  seem to be OK.", ngood, j1, j2));
  }
  ev.prt("");
  ev.prt(strf(" XXX  The largest relative error was%12.2E   in column%6d", emax, jmax));
  ev.prt("");
  if (emax >= 1.0) {
    ev.ierr = 7;
    ev.both("");
    ev.both("");
    ev.both(" EXIT -- subroutine funobj appears to be giving incorrect gradients");
  }
  return ev.ierr;
}

}  // namespace tv

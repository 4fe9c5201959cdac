// m8augl: the jobs on the linearized constraints (Jacobian block, bounds of
// the nonlinear rows, penalty, right-hand-side perturbation), the terms of
// the augmented Lagrangian, and the infeasibility measures of the major
// iterations (m8rc, m8cinf, m8dinf).
#include <algorithm>
#include <cmath>

#include "core/states.h"
#include "core/units.h"
#include "nonlinear/auglag.h"
#include "nonlinear/evaluator.h"
#include "nonlinear/linearization.h"
#include "nonlinear/m8kern.h"

namespace tv {

namespace {

constexpr double kInfinite = 1.0e20;
constexpr double kBig = 0.9e20;  // a bound beyond this is infinite

// Every Jacobian entry of the matrix: f(k, l) with k its place in a, l in gcon.
template <class F>
void each_jac(int nncon, int nnjac, CIvec ha, CIvec ka, F&& f) {
  int l = 0;
  for (int j = 1; j <= nnjac; ++j) jac_column(j, nncon, ha, ka, l, [&](int k, int l1, int) { f(k, l1); });
}

void both(const AuglJob& J, const std::string& s) {
  if (J.io == nullptr) return;
  J.io->line(J.prtfile, s);
  J.io->line(J.sumfile, s);
}

// New bounds of the nonlinear rows' slacks: the state codes follow them
// (external form around the change).
template <class F>
void change_row_bounds(const AuglJob& J, F&& set) {
  m5hs(HsMode::External, J.nb, J.bl, J.bu, J.hs, J.xn);
  for (int i = 1; i <= J.nncon; ++i) set(i, J.n + i);
  m5hs(HsMode::Internal, J.nb, J.bl, J.bu, J.hs, J.xn);
}

}  // namespace

double m8rhoeff(double penalty, int nncon) {
  if (penalty <= 0.0 || nncon <= 0) return 0.0;
  return penalty * 100.0 / static_cast<double>(nncon);
}

int m8augl(int job, const AuglJob& J, AuglViews& V, AugLagState& st) {
  const int n = J.n, nncon = J.nncon;
  switch (job) {
    case kAuglRandom: {
      each_jac(nncon, J.nnjac, J.ha, J.ka, [&](int k, int l) { V.gcon(l) = V.gspare(l) = J.a(k); });
      int ix = kJacSeed1, iy = kJacSeed2, iz = kJacSeed3;
      // The random numbers go to a(k) in gcon order: draw them into work first.
      Dvec u = V.work.head(std::max(J.njac, 1));
      m8rand(ix, iy, iz, J.njac, u, 1);
      each_jac(nncon, J.nnjac, J.ha, J.ka, [&](int k, int l) { J.a(k) = 0.5 + u(l); });
      break;
    }
    case kAuglSave:
      for (int i = 1; i <= nncon; ++i) {
        V.blsave(i) = J.bl(n + i);
        V.busave(i) = J.bu(n + i);
      }
      break;
    case kAuglStart:
      st.npenalty = 0;
      st.sinf0 = 0.0;
      change_row_bounds(J, [&](int, int j) {
        J.bl(j) = -kInfinite;
        J.bu(j) = kInfinite;
      });
      break;
    case kAuglLoad:
      each_jac(nncon, J.nnjac, J.ha, J.ka, [&](int k, int l) { J.a(k) = V.gcon(l); });
      break;
    case kAuglProject:
      for (int j = 1; j <= J.nb; ++j) J.xn(j) = std::min(std::max(J.xn(j), J.bl(j)), J.bu(j));
      break;
    case kAuglSpare:
      each_jac(nncon, J.nnjac, J.ha, J.ka, [&](int k, int l) { J.a(k) = V.gspare(l); });
      break;
    case kAuglPenalty: {
      st.npenalty += 1;
      if (st.npenalty > 5 || !J.lagrangian) return 1;
      double& pen = *J.penalty;
      if (pen <= 0.0) pen = static_cast<double>(nncon) / 100.0;
      pen *= 10.0;
      both(J, strf(" Penalty parameter increased to%12.2E", pen));
      break;
    }
    case kAuglPerturb: {
      if (st.nrhsp >= 3) return 1;
      if (st.nrhsp == 0) st.sinf0 = J.sinf;
      const double h = std::pow(10.0, st.nrhsp - 2);
      st.nrhsp += 1;
      both(J, strf(" XXX  Infeasible subproblem.    RHS perturbed by%9.1E * (|RHS|  +%9.1E)", h, st.sinf0));
      change_row_bounds(J, [&](int i, int j) {
        if (V.blsave(i) > -kBig) J.bl(j) = V.blsave(i) - h * (st.sinf0 + std::fabs(V.blsave(i)));
        if (V.busave(i) < kBig) J.bu(j) = V.busave(i) + h * (st.sinf0 + std::fabs(V.busave(i)));
      });
      break;
    }
    case kAuglRestore:
      change_row_bounds(J, [&](int i, int j) {
        J.bl(j) = V.blsave(i);
        J.bu(j) = V.busave(i);
      });
      break;
    default:
      break;
  }
  return 0;
}

void m8dl(const Linearization& L, CDvec x, CDvec fc, Dvec dl) {
  for (int i = 1; i <= L.nncon; ++i) dl(i) = fc(i) - L.fk(i);
  for (int j = 1; j <= L.nnjac; ++j) {
    const double d = x(j) - L.xk(j);
    if (d == 0.0) continue;
    for (int k = L.ka(j); k < L.ka(j + 1); ++k) {
      const int i = L.ha(k);
      if (i <= L.nncon) dl(i) -= L.a(k) * d;
    }
  }
}

double m8lagf(Linearization& L, CDvec x, CDvec fc) {
  m8dl(L, x, fc, L.dl);
  double lam = 0.0, sq = 0.0;
  for (int i = 1; i <= L.nncon; ++i) {
    lam += L.lambda(i) * L.dl(i);
    sq += L.dl(i) * L.dl(i);
  }
  return -lam + 0.5 * L.rhoeff * sq;
}

void m8lagg(const Linearization& L, CDvec gc, Dvec g) {
  int l = 0;
  for (int j = 1; j <= L.nnjac; ++j) {
    double t = 0.0;
    jac_column(j, L.nncon, L.ha, L.ka, l, [&](int k, int l1, int i) {
      t += (gc(l1) - L.a(k)) * (L.rhoeff * L.dl(i) - L.lambda(i));
    });
    g(j) += t;
  }
}

void m8rc(int n, int m, int nncon, int nnjac, int nnobj, CDvec a, CIvec ha, CIvec ka, CDvec gcon,
          CDvec pi, CDvec gobj, double sense, int jobj, double objscale, Dvec rc) {
  int l = 0;
  for (int j = 1; j <= n; ++j) {
    double t = 0.0;
    for (int k = ka(j); k < ka(j + 1); ++k) {
      const int i = ha(k);
      if (j <= nnjac && i <= nncon) {
        ++l;
        t += pi(i) * gcon(l);
      } else {
        t += pi(i) * a(k);
      }
    }
    rc(j) = -t;
  }
  for (int i = 1; i <= m; ++i) rc(n + i) = -pi(i);
  for (int j = 1; j <= nnobj; ++j) rc(j) += sense * gobj(j);
  // The objective row's slack has gradient -sense * objscale in F.
  if (jobj > 0) rc(jobj) -= sense * objscale;
}

double m8cinf(int n, int nncon, int nnjac, CDvec a, CIvec ha, CIvec ka, CDvec fcon, CDvec xn, CDvec bl,
              CDvec bu, Dvec s, int& imax) {
  // s = -(f + the rows' terms in the linear columns), one pass over those columns.
  for (int i = 1; i <= nncon; ++i) s(i) = -fcon(i);
  for (int j = nnjac + 1; j <= n; ++j) {
    const double x = xn(j);
    if (x == 0.0) continue;
    for (int k = ka(j); k < ka(j + 1); ++k) {
      const int i = ha(k);
      if (i <= nncon) s(i) -= a(k) * x;
    }
  }
  double prinf = 0.0;
  imax = nncon > 0 ? 1 : 0;
  for (int i = 1; i <= nncon; ++i) {
    const double v = std::max({bl(n + i) - s(i), s(i) - bu(n + i), 0.0});
    if (v > prinf) {
      prinf = v;
      imax = i;
    }
  }
  return prinf;
}

double m8dinf(int nb, CDvec bl, CDvec bu, CDvec rc, CDvec xn, int& jmax) {
  double duinf = 0.0;
  jmax = 0;
  for (int j = 1; j <= nb; ++j) {
    if (!(bl(j) < bu(j))) continue;
    double d = 0.0;
    if (rc(j) > 0.0) {
      d = rc(j) * std::min(1.0, xn(j) - bl(j));
    } else if (rc(j) < 0.0) {
      d = -rc(j) * std::min(1.0, bu(j) - xn(j));
    }
    if (d > duinf) {
      duinf = d;
      jmax = j;
    }
  }
  return duinf;
}

}  // namespace tv

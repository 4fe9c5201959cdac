#include "core/kernels.h"

#include <cmath>
#include <cstdlib>

#include "core/blas.h"
#include "core/units.h"

namespace tv {

namespace {

// Position of the i-th element (1..n) of a strided vector, BLAS convention.
inline int at(int i, int n, int inc) {
  if (inc > 0) return 1 + (i - 1) * inc;
  if (inc < 0) return 1 + (n - i) * (-inc);
  return 1;
}

}  // namespace

void dload(int n, double value, Dvec x, int incx) {
  if (n <= 0) return;
  if (incx == 1 && value == 0.0) {
    for (int i = 1; i <= n; ++i) x(i) = 0.0;  // contiguous zero fill
    return;
  }
  for (int i = 1; i <= n; ++i) x(at(i, n, incx)) = value;
}

void iload(int n, int value, Ivec x, int incx) {
  if (n <= 0) return;
  for (int i = 1; i <= n; ++i) x(at(i, n, incx)) = value;
}


void icopy(int n, CIvec x, int incx, Ivec y, int incy) {
  if (n <= 0) return;
  for (int i = 1; i <= n; ++i) y(at(i, n, incy)) = x(at(i, n, incx));
}

void ddscl(int n, CDvec d, int incd, Dvec y, int incy) {
  if (n <= 0) return;
  if (incd == 0) {
    dscal(n, d(1), y.data(), std::abs(incy));
    return;
  }
  if (incd == incy && incd > 0) {
    for (int i = 1; i <= 1 + (n - 1) * incd; i += incd) y(i) = d(i) * y(i);
    return;
  }
  for (int i = 1; i <= n; ++i) y(at(i, n, incy)) *= d(at(i, n, incd));
}

void dddiv(int n, CDvec d, int incd, Dvec y, int incy) {
  if (n <= 0) return;
  if (incd == 0) {
    dscal(n, 1.0 / d(1), y.data(), std::abs(incy));
    return;
  }
  if (incd == incy && incd > 0) {
    for (int i = 1; i <= 1 + (n - 1) * incd; i += incd) y(i) = y(i) / d(i);
    return;
  }
  for (int i = 1; i <= n; ++i) y(at(i, n, incy)) /= d(at(i, n, incd));
}

double dnormi(int n, CDvec x, int incx) {
  if (n <= 0) return 0.0;
  int inc = std::abs(incx);
  if (inc == 0) return std::fabs(x(1));
  int k = idamax(n, x.data(), inc);
  return std::fabs(x(1 + (k - 1) * inc));
}

double dnorm1(int n, CDvec x, int incx) {
  if (n <= 0) return n;
  return dasum(n, x.data(), std::abs(incx)) / std::sqrt(static_cast<double>(n));
}

// ---------------------------------------------------------------------------

void m2unpk(int j, int m, int n, CDvec a, CIvec ha, CIvec ka, Dvec y) {
  for (int i = 1; i <= m; ++i) y(i) = 0.0;
  if (j > n) {
    y(j - n) = 1.0;
    return;
  }
  for (int k = ka(j); k < ka(j + 1); ++k) y(ha(k)) += a(k);
}

void m2apr1(int mode, int m, int n, double tol, CDvec a, CIvec ha, CIvec ka, CIvec kbs, CDvec x,
            int count, Dvec y) {
  const int off = (mode == 2 || mode == 4) ? m : 0;
  if (mode == 1 || mode == 2) {
    for (int k = 1; k <= count; ++k) {
      const double xk = x(k);
      if (std::fabs(xk) <= tol) continue;
      const int j = kbs(off + k);
      if (j > n) {
        y(j - n) -= xk;
      } else {
        for (int l = ka(j); l < ka(j + 1); ++l) y(ha(l)) -= xk * a(l);
      }
    }
  } else if (mode == 3 || mode == 4) {
    for (int k = 1; k <= count; ++k) {
      const int j = kbs(off + k);
      double t;
      if (j > n) {
        t = x(j - n);
      } else {
        t = 0.0;
        for (int l = ka(j); l < ka(j + 1); ++l) t += a(l) * x(ha(l));
      }
      y(k) -= t;
    }
  }
}

void m2apr5(int mode, int n, int nncon, int nnjac, double tol, CDvec a, CIvec ha, CIvec ka, CDvec x,
            Dvec y) {
  if (mode == 5) {
    for (int j = 1; j <= n; ++j) {
      const double xj = x(j);
      if (std::fabs(xj) <= tol) continue;
      for (int l = ka(j); l < ka(j + 1); ++l) y(ha(l)) -= xj * a(l);
    }
    return;
  }
  int j1 = 1, j2 = nnjac;
  if (mode == 6) {
    j1 = nnjac + 1;
    j2 = n;
  } else if (mode != 7) {
    return;
  }
  for (int j = j1; j <= j2; ++j) {
    const double xj = x(j);
    if (std::fabs(xj) <= tol) continue;
    for (int l = ka(j); l < ka(j + 1); ++l) {
      const int i = ha(l);
      if (i <= nncon) y(i) -= xj * a(l);
    }
  }
}

void m2rcn(int j1, int j2, bool feasible, int nnl, CDvec a, CIvec ha, CIvec ka, CIvec hs, CDvec g,
           CDvec pi, Dvec rc) {
  for (int j = j1; j <= j2; ++j) {
    if (hs(j) > 1) continue;
    double d = 0.0;
    for (int l = ka(j); l < ka(j + 1); ++l) d += pi(ha(l)) * a(l);
    rc(j) = -d;
  }
  if (feasible) {
    const int jl = j2 < nnl ? j2 : nnl;
    for (int j = j1; j <= jl; ++j) {
      if (hs(j) <= 1) rc(j) += g(j);
    }
  }
}

void m2rca(bool feasible, double tol, double factor, int m, int n, int nnl, CDvec a, CIvec ha,
           CIvec ka, CIvec hs, CDvec bl, CDvec bu, CDvec g, CDvec pi, Dvec rc, CDvec x) {
  for (int j = 1; j <= n; ++j) {
    double d = 0.0;
    for (int l = ka(j); l < ka(j + 1); ++l) d += pi(ha(l)) * a(l);
    rc(j) = -d;
  }
  for (int i = 1; i <= m; ++i) rc(n + i) = -pi(i);
  if (feasible) {
    for (int j = 1; j <= nnl; ++j) rc(j) += factor * g(j);
    return;
  }
  // Infeasible point: the phase-1 costs of the basic and superbasic variables.
  for (int j = 1; j <= n + m; ++j) {
    if (hs(j) <= 1) continue;
    if (bl(j) - x(j) > tol) {
      rc(j) -= 1.0;
    } else if (x(j) - bu(j) > tol) {
      rc(j) += 1.0;
    }
  }
}

void m2binf(int nb, CDvec x, CDvec bl, CDvec bu, double& infmax, int& jmax) {
  infmax = 0.0;
  jmax = 0;
  for (int j = 1; j <= nb; ++j) {
    double d = bl(j) - x(j);
    double e = x(j) - bu(j);
    if (e > d) d = e;
    if (d > infmax) {
      infmax = d;
      jmax = j;
    }
  }
}

void m2dinf(int nb, int jskip, CDvec bl, CDvec bu, CDvec rc, CDvec x, double& infmax, int& jmax) {
  infmax = 0.0;
  jmax = 0;
  for (int j = 1; j <= nb; ++j) {
    if (j == jskip || !(bl(j) < bu(j))) continue;
    double d;
    if (x(j) <= bl(j)) {
      d = -rc(j);
    } else if (x(j) >= bu(j)) {
      d = rc(j);
    } else {
      d = std::fabs(rc(j));
    }
    if (d > infmax) {
      infmax = d;
      jmax = j;
    }
  }
}

void m5bsx(int mode, int count, CIvec kbs, Dvec xbs, Dvec xn) {
  if (mode == 1) {
    for (int k = 1; k <= count; ++k) xn(kbs(k)) = xbs(k);
  } else {
    for (int k = 1; k <= count; ++k) xbs(k) = xn(kbs(k));
  }
}

void m2swap(int mode, int m, int n, Dvec bl, Dvec bu, Ivec hs, Dvec xn, Dvec rc) {
  for (int i = 1; i <= m; ++i) {
    const int j = n + i;
    const double b = bl(j);
    bl(j) = -bu(j);
    bu(j) = -b;
    xn(j) = -xn(j);
    if (hs(j) == 0) {
      hs(j) = 1;
    } else if (hs(j) == 1) {
      hs(j) = 0;
    }
    if (mode == 2) rc(j) = -rc(j);
  }
}

// ---------------------------------------------------------------------------

void m2xmat(Units& io, int unit, const Problem& P) {
  if (unit != 91 && unit != 92 && unit != 93) return;
  auto selected = [&](int j) {
    if (unit == 91) return j <= P.n;
    if (unit == 92) return P.hs(j) == 3;
    return P.hs(j) >= 2;
  };
  int count = 0;
  for (int j = 1; j <= P.n; ++j) {
    if (!selected(j)) continue;
    ++count;
    for (int l = P.ka(j); l < P.ka(j + 1); ++l)
      io.linef(unit, "%10d%10d%24.14E", P.ha(l), count, P.a(l));
  }
  if (unit == 91) return;
  for (int i = 1; i <= P.m; ++i) {
    if (!selected(P.n + i)) continue;
    ++count;
    io.linef(unit, "%10d%10d%24.14E", i, count, -1.0);
  }
}

void m2xsol(Units& io, int unit, const Problem& P, int objsense, int inform, double objval, int ninf,
            double sinf) {
  if (unit <= 0) return;
  io.linef(unit, "%10d%10d%10d", inform, P.m, P.n);
  io.linef(unit, "%10d%10d%24.14E", objsense, P.objrow, objval);
  io.linef(unit, "%10d%10d%24.14E", 0, ninf, sinf);
  for (int j = 1; j <= P.nb; ++j) {
    const double second = j <= P.n ? P.rc(j) : P.pi(j - P.n);
    io.linef(unit, "%2d%24.14E%24.14E", P.hs(j), P.xn(j), second);
  }
}

}  // namespace tv

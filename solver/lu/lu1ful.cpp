// Dense remainder of the factorization (lu1ful with the dense kernels
// lu1dpp and lu1dcp), the final ordering of unpivoted rows and columns
// (lu1pq3), and the packing of the stored factors (pack_factors).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/blas.h"
#include "lu/lu_impl.h"

namespace tv {

namespace {

inline double& D(double* d, int ld, int i, int j) { return d[int64_t(j - 1) * ld + (i - 1)]; }

void swap_cols(double* d, int mrem, int j1, int j2) {
  if (j1 == j2) return;
  std::swap_ranges(&D(d, mrem, 1, j1), &D(d, mrem, 1, j1) + mrem, &D(d, mrem, 1, j2));
}
void swap_rows(double* d, int mrem, int nrem, int i1, int i2) {
  if (i1 == i2) return;
  for (int j = 1; j <= nrem; ++j) std::swap(D(d, mrem, i1, j), D(d, mrem, i2, j));
}

// Eliminate below pivot k of column k from columns k+1 .. jlast.
void eliminate(double* d, int mrem, int k, int jlast) {
  double* dk = &D(d, mrem, 1, k);
  dscal(mrem - k, -1.0 / dk[k - 1], dk + k, 1);
  for (int j = k + 1; j <= jlast; ++j) {
    double* dj = &D(d, mrem, 1, j);
    if (dj[k - 1] != 0.0) daxpy(mrem - k, dj[k - 1], dk + k, 1, dj + k, 1);
  }
}

}  // namespace

// Dense LU with row interchanges.  A column whose largest remaining
// magnitude is <= small is swapped with the last remaining column, its
// remaining part zeroed, and left without a pivot.
void lu1dpp(double* d, int mrem, int nrem, double small, int& nrankd, Ivec ipr, Ivec jpc) {
  int last = nrem, k = 1;
  while (k <= last && k <= mrem) {
    double* dk = &D(d, mrem, 1, k);
    int l = k - 1 + idamax(mrem - k + 1, dk + k - 1, 1);
    if (!(std::fabs(dk[l - 1]) > small)) {
      if (k != last) {
        swap_cols(d, mrem, k, last);
        std::swap(jpc(k), jpc(last));
      }
      double* dl = &D(d, mrem, 1, last);
      for (int i = k; i <= mrem; ++i) dl[i - 1] = 0.0;
      --last;
      continue;
    }
    if (l != k) {
      swap_rows(d, mrem, nrem, l, k);
      std::swap(ipr(l), ipr(k));
    }
    eliminate(d, mrem, k, last);
    ++k;
  }
  nrankd = k - 1;
}

// Dense LU with complete pivoting (largest remaining magnitude, columns
// scanned in order, first maximum kept).
void lu1dcp(double* d, int mrem, int nrem, double small, int& nrankd, Ivec ipr, Ivec jpc) {
  int k = 1;
  const int kmax = std::min(mrem, nrem);
  for (; k <= kmax; ++k) {
    double amax = -1.0;
    int imax = k, jmax = k;
    for (int j = k; j <= nrem; ++j) {
      double* dj = &D(d, mrem, 1, j);
      int l = k - 1 + idamax(mrem - k + 1, dj + k - 1, 1);
      double v = std::fabs(dj[l - 1]);
      if (v > amax) {
        amax = v;
        imax = l;
        jmax = j;
      }
    }
    if (!(amax > small)) {
      for (int j = k; j <= nrem; ++j)
        for (int i = k; i <= mrem; ++i) D(d, mrem, i, j) = 0.0;
      break;
    }
    if (jmax != k) {
      swap_cols(d, mrem, k, jmax);
      std::swap(jpc(k), jpc(jmax));
    }
    if (imax != k) {
      swap_rows(d, mrem, nrem, imax, k);
      std::swap(ipr(imax), ipr(k));
    }
    eliminate(d, mrem, k, nrem);
  }
  nrankd = k - 1;
}

int lu1ful(LuFac& s, int nrowu, int mrem, int nrem) {
  LuArrays& f = s.f;
  const double small = s.small;
  const int base = s.facbot;  // first used position above the free space
  const int64_t dsize = int64_t(mrem) * nrem;
  if (s.colend >= base - dsize) {
    s.colend = lu1rec(s.io, s.ip, s.n, true, f.lencol, f.loccol, s.colend, f.indc, f.a, int(base - dsize - 1), true);
    s.lastc = s.colend;
    if (s.colend >= base - dsize) return 8;
  }
  const int ld = int(base - dsize);
  double* d = &f.a(ld);
  std::fill(d, d + dsize, 0.0);
  for (int jj = 1; jj <= nrem; ++jj) {
    int j = f.jperm(nrowu - 1 + jj);
    int lc1 = f.loccol(j), len = f.lencol(j);
    for (int lc = lc1; lc < lc1 + len; ++lc) {
      int ii = f.iinv(f.indc(lc)) - nrowu + 1;
      D(d, mrem, ii, jj) = f.a(lc);
    }
  }
  Ivec ipr = f.iperm.sub(nrowu, mrem), jpc = f.jperm.sub(nrowu, nrem);
  int nrankd = 0;
  if (s.rule == lu_partial)
    lu1dpp(d, mrem, nrem, small, nrankd, ipr, jpc);
  else
    lu1dcp(d, mrem, nrem, small, nrankd, ipr, jpc);

  if (s.keep) {
    // The blocks overwrite D, so work from a copy at the bottom (free: the
    // files are no longer needed and base > 3 dsize).
    std::copy(d, d + dsize, &f.a(1));
    d = &f.a(1);
  }
  int pos = base;
  for (int k = 1; k <= nrankd; ++k) {
    const int ipiv = ipr(k), jpiv = jpc(k);
    const double diag = D(d, mrem, k, k);
    const double adiag = std::fabs(diag);
    s.umax = std::max(s.umax, adiag);
    s.dumax = std::max(s.dumax, adiag);
    s.dumin = std::min(s.dumin, adiag);
    int nu = 1, nl = 0;
    for (int j = k + 1; j <= nrem; ++j) {
      double v = std::fabs(D(d, mrem, k, j));
      if (v > small) {
        ++nu;
        s.umax = std::max(s.umax, v);
      }
    }
    for (int i = k + 1; i <= mrem; ++i) {
      double v = std::fabs(D(d, mrem, i, k));
      if (v > small) {
        ++nl;
        s.lmax = std::max(s.lmax, v);
      }
    }
    s.lenl += nl;
    s.lenuu += nu;
    f.lenrow(ipiv) = -nu;
    f.lencol(jpiv) = -(nl + 1);
    if (!s.keep) {
      f.a(base - 1 + jpiv) = diag;
      continue;
    }
    const int fb = pos - nu - nl;
    int pu = fb + nu - 1;
    f.a(pu) = diag;
    f.indr(pu) = jpiv;
    f.indc(pu) = 0;
    for (int j = k + 1; j <= nrem; ++j) {
      double v = D(d, mrem, k, j);
      if (std::fabs(v) > small) {
        --pu;
        f.a(pu) = v;
        f.indr(pu) = jpc(j);
        f.indc(pu) = 0;
      }
    }
    int pl = fb + nu;
    for (int i = k + 1; i <= mrem; ++i) {
      double v = D(d, mrem, i, k);
      if (std::fabs(v) > small) {
        f.a(pl) = v;
        f.indc(pl) = ipr(i);
        f.indr(pl) = ipiv;
        ++pl;
      }
    }
    pos = fb;
  }
  if (s.keep) s.facbot = pos;
  s.nrank = nrowu - 1 + nrankd;
  return 0;
}

void lu1pq3(int mn, Ivec len, Ivec perm, Ivec work, int& npiv) {
  int k = 0, nz = 0;
  for (int p = 1; p <= mn; ++p) {
    int x = perm(p);
    if (len(x) < 0)
      perm(++k) = x;
    else
      work(++nz) = x;
  }
  for (int l = 1; l <= nz; ++l) perm(k + l) = work(l);
  npiv = k;
}

namespace {

// Stable partition of blocks b1..b2 (top of block b1 at position hi; each
// block is its L part above its U part) into all L parts above all U parts.
void partition_blocks(LuFac& s, int b1, int b2, int hi, int& sl, int& su) {
  LuArrays& f = s.f;
  if (b1 == b2) {
    sl = f.jbucket(b1);
    su = f.ibucket(b1);
    return;
  }
  int mid = b1 + (b2 - b1) / 2;
  int l1, u1, l2, u2;
  partition_blocks(s, b1, mid, hi, l1, u1);
  partition_blocks(s, mid + 1, b2, hi - l1 - u1, l2, u2);
  if (u1 > 0 && l2 > 0) {
    int lo = hi - l1 - u1 - l2 + 1;  // ascending: L2 then U1; want U1 then L2
    int len = l2 + u1;
    double* pa = &f.a(lo);
    int* pc = &f.indc(lo);
    int* pr = &f.indr(lo);
    std::rotate(pa, pa + l2, pa + len);
    std::rotate(pc, pc + l2, pc + len);
    std::rotate(pr, pr + l2, pr + len);
  }
  sl = l1 + l2;
  su = u1 + u2;
}

}  // namespace

// Pack the factors: U rows from position 1 in pivot order (diagonal first),
// the nonempty L columns against lena in pivot order.  indc of a U entry
// names its row.
int pack_factors(LuFac& s) {
  LuArrays& f = s.f;
  const int r = s.nrank;
  int64_t suml = 0, sumu = 0;
  for (int k = 1; k <= r; ++k) {
    f.ibucket(k) = -f.lenrow(f.iperm(k));
    f.jbucket(k) = -f.lencol(f.jperm(k)) - 1;
    suml += f.jbucket(k);
    sumu += f.ibucket(k);
  }
  if (suml != s.lenl || sumu != s.lenuu || int64_t(s.lenu) - s.facbot + 1 != suml + sumu) return 8;
  const int lenl = s.lenl, lenu = s.lenuu;
  if (r > 0) {
    if (lenu < s.facbot) {
      int top = s.lenu, dst = 1;
      for (int k = 1; k <= r; ++k) {
        int nl = f.jbucket(k), nu = f.ibucket(k);
        int uhi = top - nl, ulo = uhi - nu + 1;
        for (int q = uhi; q >= ulo; --q, ++dst) {
          f.a(dst) = f.a(q);
          f.indr(dst) = f.indr(q);
        }
        top -= nl + nu;
      }
      top = s.lenu;
      int wr = s.lenu;
      for (int k = 1; k <= r; ++k) {
        int nl = f.jbucket(k), nu = f.ibucket(k);
        for (int q = top; q > top - nl; --q, --wr) {
          f.a(wr) = f.a(q);
          f.indc(wr) = f.indc(q);
          f.indr(wr) = f.indr(q);
        }
        top -= nl + nu;
      }
    } else {
      int sl, su;
      partition_blocks(s, 1, r, s.lenu, sl, su);
      int lo = s.facbot;
      std::reverse(&f.a(lo), &f.a(lo) + lenu);
      std::reverse(&f.indr(lo), &f.indr(lo) + lenu);
      std::copy(&f.a(lo), &f.a(lo) + lenu, &f.a(1));
      std::copy(&f.indr(lo), &f.indr(lo) + lenu, &f.indr(1));
    }
  }
  if (s.lenu < s.lena && lenl > 0) {
    int lo = s.lenu - lenl + 1;
    std::copy_backward(&f.a(lo), &f.a(lo) + lenl, &f.a(s.lena) + 1);
    std::copy_backward(&f.indc(lo), &f.indc(lo) + lenl, &f.indc(s.lena) + 1);
    std::copy_backward(&f.indr(lo), &f.indr(lo) + lenl, &f.indr(s.lena) + 1);
  }
  // Lists: rows of U, columns of L.
  for (int i = 1; i <= s.m; ++i) {
    f.lenrow(i) = 0;
    f.locrow(i) = 0;
  }
  int loc = 1, nlcols = 0;
  for (int k = 1; k <= r; ++k) {
    int i = f.iperm(k);
    f.locrow(i) = loc;
    f.lenrow(i) = f.ibucket(k);
    for (int l = loc; l < loc + f.lenrow(i); ++l) f.indc(l) = i;  // owner, for the updates
    loc += f.ibucket(k);
  }
  for (int j = 1; j <= s.n; ++j) {
    f.loccol(j) = 0;
    f.lencol(j) = 0;
  }
  for (int k = 1; k <= r; ++k)
    if (f.jbucket(k) > 0) f.lencol(++nlcols) = f.jbucket(k);
  s.ip(lup::numl0) = nlcols;
  s.ip(lup::lenl0) = lenl;
  s.ip(lup::lenu0) = lenu;
  s.ip(lup::lenl) = lenl;
  s.ip(lup::lenu) = lenu;
  s.ip(lup::lrow) = lenu;
  return 0;
}

}  // namespace tv

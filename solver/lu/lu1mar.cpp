// Markowitz pivot searches over the count-ordered lists, the column and row
// maxima the thresholds need, and the max-heap of column maxima.
//
// Columns of count nz sit at jperm(jbucket(nz)) .. (next bucket - 1), rows of
// count nz at iperm(ibucket(nz)) .. ; the search visits counts 1, 2, ... and
// stops as soon as no larger count can beat the best merit held (cntbnd).
// Once a pivot is held and ncsrch columns have been examined, the remaining
// columns of the current count are passed over for its rows: without that a
// search would scan every column of that count whenever fewer than nrsrch
// rows had been seen, and the factorization would grow quadratically.
#include <cmath>
#include <cstdint>
#include <utility>

#include "lu/lu_impl.h"

namespace tv {

namespace {

// Positions of the columns (rows) of count nz in jperm (iperm).
inline void col_bucket(const LuFac& s, int nz, int& lq1, int& lq2) {
  if (nz > s.m) {
    lq1 = 1;
    lq2 = 0;
    return;
  }
  lq1 = s.f.jbucket(nz);
  lq2 = (nz < s.m ? s.f.jbucket(nz + 1) : s.n + 1) - 1;
}
inline void row_bucket(const LuFac& s, int nz, int& lp1, int& lp2) {
  if (nz > s.n) {
    lp1 = 1;
    lp2 = 0;
    return;
  }
  lp1 = s.f.ibucket(nz);
  lp2 = (nz < s.n ? s.f.ibucket(nz + 1) : s.m + 1) - 1;
}

// Position of row i in column j (0 when absent).
inline int find_in_col(const LuArrays& f, int j, int i) {
  int lc1 = f.loccol(j), lc2 = lc1 + f.lencol(j) - 1;
  for (int lc = lc1; lc <= lc2; ++lc)
    if (f.indc(lc) == i) return lc;
  return 0;
}

// Tie-break of the threshold rules on equal merit: both ratios small, the
// larger magnitude wins; otherwise the smaller ratio.
inline bool loses_tie(double lbest, double ratio, double aij, double abest) {
  if (lbest <= 2.0 && ratio <= 2.0) return aij <= abest;
  return ratio >= lbest;
}

}  // namespace

void lu1mar(LuFac& s, bool tcp, double cptol, int ncsrch, int nrsrch, double& abest, int& ibest,
            int& jbest, int& mbest) {
  const LuArrays& f = s.f;
  const int maxmn = s.m > s.n ? s.m : s.n;
  const double ltol = s.ltol;
  abest = 0.0;
  ibest = jbest = 0;
  mbest = -1;
  double lbest = 0.0;
  int64_t kbest = maxmn + 1;
  int ncol = 0, nrow = 0;

  for (int nz = 1; nz <= maxmn; ++nz) {
    if (nz > kbest) break;
    int lq1, lq2;
    col_bucket(s, nz, lq1, lq2);
    for (int lq = lq1; lq <= lq2; ++lq) {
      ++ncol;
      int j = f.jperm(lq);
      int lc1 = f.loccol(j), lc2 = lc1 + nz - 1;
      double amax = std::fabs(f.a(lc1));
      if (!(tcp && amax < cptol)) {
        double abound = tcp ? cptol : amax / ltol;
        for (int lc = lc1; lc <= lc2; ++lc) {
          int i = f.indc(lc);
          int nz1 = f.lenrow(i) - 1;
          if (nz1 > kbest) continue;
          double aij = std::fabs(f.a(lc));
          if (aij < abound || aij <= 0.0) continue;
          int64_t merit = int64_t(nz - 1) * nz1;
          double ratio = amax / aij;
          if (mbest >= 0 && merit > mbest) continue;
          if (merit == mbest && loses_tie(lbest, ratio, aij, abest)) continue;
          ibest = i;
          jbest = j;
          mbest = int(merit);
          kbest = nz1;
          abest = aij;
          lbest = ratio;
          if (nz == 1) return;
        }
      }
      if (ibest > 0 && ncol >= ncsrch) {
        if (nrow >= nrsrch) return;
        break;  // enough columns: go on with the rows of this count
      }
    }
    if (ibest > 0 && nz >= kbest) return;

    if (nrsrch > 0) {
      int lp1, lp2;
      row_bucket(s, nz, lp1, lp2);
      for (int lp = lp1; lp <= lp2; ++lp) {
        ++nrow;
        int i = f.iperm(lp);
        int lr1 = f.locrow(i), lr2 = lr1 + nz - 1;
        for (int lr = lr1; lr <= lr2; ++lr) {
          int j = f.indr(lr);
          int nz1 = f.lencol(j) - 1;
          if (nz1 > kbest) continue;
          int64_t merit = int64_t(nz1) * (nz - 1);
          if (mbest >= 0 && merit > mbest) continue;
          int lc1 = f.loccol(j);
          double amax = std::fabs(f.a(lc1));
          if (tcp && amax < cptol) continue;
          int lc = find_in_col(f, j, i);
          if (lc == 0) continue;
          double aij = std::fabs(f.a(lc));
          double abound = tcp ? cptol : amax / ltol;
          if (aij < abound || aij <= 0.0) continue;
          double ratio = amax / aij;
          if (merit == mbest && loses_tie(lbest, ratio, aij, abest)) continue;
          ibest = i;
          jbest = j;
          mbest = int(merit);
          kbest = nz1;
          abest = aij;
          lbest = ratio;
          if (nz == 1) return;
        }
        if (ibest > 0 && ncol >= ncsrch && nrow >= nrsrch) return;
      }
    }
    if (ibest > 0) kbest = mbest / nz;
  }
}

void lu1mrp(LuFac& s, int ncsrch, int nrsrch, double& abest, int& ibest, int& jbest, int& mbest) {
  const LuArrays& f = s.f;
  const int maxmn = s.m > s.n ? s.m : s.n;
  const double ltol = s.ltol;
  abest = 0.0;
  ibest = jbest = 0;
  mbest = -1;
  int64_t kbest = maxmn + 1;
  int ncol = 0, nrow = 0;

  for (int nz = 1; nz <= maxmn; ++nz) {
    if (nz > kbest) break;
    int lq1, lq2;
    col_bucket(s, nz, lq1, lq2);
    for (int lq = lq1; lq <= lq2; ++lq) {
      ++ncol;
      int j = f.jperm(lq);
      int lc1 = f.loccol(j), lc2 = lc1 + nz - 1;
      double amax = std::fabs(f.a(lc1));
      for (int lc = lc1; lc <= lc2; ++lc) {
        int i = f.indc(lc);
        int nz1 = f.lenrow(i) - 1;
        if (nz1 > kbest) continue;
        double aij = std::fabs(f.a(lc));
        if (aij <= 0.0 || aij < amax / ltol || aij < s.rowmax(i) / ltol) continue;
        int64_t merit = int64_t(nz - 1) * nz1;
        if (mbest >= 0 && merit > mbest) continue;
        if (merit == mbest && aij <= abest) continue;
        ibest = i;
        jbest = j;
        mbest = int(merit);
        kbest = nz1;
        abest = aij;
        if (nz == 1) return;
      }
      if (ibest > 0 && ncol >= ncsrch) {
        if (nrow >= nrsrch) return;
        break;  // enough columns: go on with the rows of this count
      }
    }
    if (ibest > 0 && nz >= kbest) return;

    if (nrsrch > 0) {
      int lp1, lp2;
      row_bucket(s, nz, lp1, lp2);
      for (int lp = lp1; lp <= lp2; ++lp) {
        ++nrow;
        int i = f.iperm(lp);
        double rbound = s.rowmax(i) / ltol;
        int lr1 = f.locrow(i), lr2 = lr1 + nz - 1;
        for (int lr = lr1; lr <= lr2; ++lr) {
          int j = f.indr(lr);
          int nz1 = f.lencol(j) - 1;
          if (nz1 > kbest) continue;
          int64_t merit = int64_t(nz1) * (nz - 1);
          if (mbest >= 0 && merit > mbest) continue;
          int lc = find_in_col(f, j, i);
          if (lc == 0) continue;
          double amax = std::fabs(f.a(f.loccol(j)));
          double aij = std::fabs(f.a(lc));
          if (aij <= 0.0 || aij < amax / ltol || aij < rbound) continue;
          if (merit == mbest && aij <= abest) continue;
          ibest = i;
          jbest = j;
          mbest = int(merit);
          kbest = nz1;
          abest = aij;
          if (nz == 1) return;
        }
        if (ibest > 0 && ncol >= ncsrch && nrow >= nrsrch) return;
      }
    }
    if (ibest > 0) kbest = mbest / nz;
  }
}

void lu1msp(LuFac& s, int ncsrch, double& abest, int& ibest, int& jbest, int& mbest) {
  const LuArrays& f = s.f;
  const int maxmn = s.m > s.n ? s.m : s.n;
  const double ltol = s.ltol;
  abest = 0.0;
  ibest = jbest = 0;
  mbest = -1;
  int64_t kbest = maxmn + 1;
  int ncol = 0;

  for (int nz = 1; nz <= maxmn; ++nz) {
    if (nz > kbest) break;
    int lq1, lq2;
    col_bucket(s, nz, lq1, lq2);
    for (int lq = lq1; lq <= lq2; ++lq) {
      ++ncol;
      int j = f.jperm(lq);
      int lc1 = f.loccol(j), lc2 = lc1 + nz - 1;
      double amax = std::fabs(f.a(lc1));
      for (int lc = lc1; lc <= lc2; ++lc) {
        int i = f.indc(lc);
        if (i != j) continue;
        int nz1 = f.lenrow(i) - 1;
        if (nz1 > kbest) break;
        double aij = std::fabs(f.a(lc));
        if (aij <= 0.0 || aij < amax / ltol) break;
        int64_t merit = int64_t(nz - 1) * (nz - 1);
        if (mbest >= 0 && merit > mbest) break;
        if (merit == mbest && aij <= abest) break;
        ibest = i;
        jbest = j;
        mbest = int(merit);
        kbest = nz1;
        abest = aij;
        if (nz == 1) return;
        break;
      }
      if (ibest > 0 && ncol >= ncsrch) return;
    }
    if (ibest > 0 && nz >= kbest) return;
    if (ibest > 0) kbest = mbest / nz;
  }
}

void lu1mxc(int k1, int k2, Ivec jperm, Dvec a, Ivec indc, Ivec lencol, Ivec loccol) {
  for (int k = k1; k <= k2; ++k) {
    int j = jperm(k);
    int len = lencol(j);
    if (len <= 0) continue;
    int lc1 = loccol(j), lc2 = lc1 + len - 1;
    int lbig = lc1;
    double big = std::fabs(a(lc1));
    for (int lc = lc1 + 1; lc <= lc2; ++lc) {
      double t = std::fabs(a(lc));
      if (t > big) {
        big = t;
        lbig = lc;
      }
    }
    if (lbig != lc1) {
      std::swap(a(lbig), a(lc1));
      std::swap(indc(lbig), indc(lc1));
    }
  }
}

void lu1mxr(LuFac& s, int mark, int k1, int k2, Ivec rows) {
  LuArrays& f = s.f;
  if (mark == 0) {
    for (int i = 1; i <= s.m; ++i) {
      f.imark(i) = 0;
      s.rowmax(i) = 0.0;
    }
    for (int j = 1; j <= s.n; ++j) f.jmark(j) = 0;
    for (int j = 1; j <= s.n; ++j) {
      int len = f.lencol(j);
      if (len <= 0) continue;
      int lc1 = f.loccol(j);
      for (int lc = lc1; lc < lc1 + len; ++lc) {
        int i = f.indc(lc);
        double t = std::fabs(f.a(lc));
        if (t > s.rowmax(i)) s.rowmax(i) = t;
      }
    }
    return;
  }
  int nj = 0;
  for (int k = k1; k <= k2; ++k) {
    int i = rows(k);
    f.imark(i) = mark;
    s.rowmax(i) = 0.0;
    int lr1 = f.locrow(i), len = f.lenrow(i);
    for (int lr = lr1; lr < lr1 + len; ++lr) {
      int j = f.indr(lr);
      if (f.jmark(j) != mark) {
        f.jmark(j) = mark;
        f.jlist(++nj) = j;
      }
    }
  }
  for (int l = 1; l <= nj; ++l) {
    int j = f.jlist(l);
    int lc1 = f.loccol(j), len = f.lencol(j);
    for (int lc = lc1; lc < lc1 + len; ++lc) {
      int i = f.indc(lc);
      if (f.imark(i) != mark) continue;
      double t = std::fabs(f.a(lc));
      if (t > s.rowmax(i)) s.rowmax(i) = t;
    }
  }
}

// ---- max-heap ----------------------------------------------------------------

void hup(Dvec ha, Ivec hj, Ivec hk, int k, int& nmove) {
  double v = ha(k);
  int jv = hj(k);
  while (k > 1) {
    int kp = k / 2;
    if (ha(kp) > v) break;
    ha(k) = ha(kp);
    hj(k) = hj(kp);
    hk(hj(k)) = k;
    k = kp;
    ++nmove;
  }
  ha(k) = v;
  hj(k) = jv;
  hk(jv) = k;
}

void hdown(Dvec ha, Ivec hj, Ivec hk, int nk, int k, int& nmove) {
  double v = ha(k);
  int jv = hj(k);
  while (2 * k <= nk) {
    int j = 2 * k;
    if (j < nk && ha(j + 1) > ha(j)) ++j;
    if (v >= ha(j)) break;
    ha(k) = ha(j);
    hj(k) = hj(j);
    hk(hj(k)) = k;
    k = j;
    ++nmove;
  }
  ha(k) = v;
  hj(k) = jv;
  hk(jv) = k;
}

void hinsert(Dvec ha, Ivec hj, Ivec hk, int& nk, double v, int jv, int& nmove) {
  ++nk;
  ha(nk) = v;
  hj(nk) = jv;
  hk(jv) = nk;
  hup(ha, hj, hk, nk, nmove);
}

void hbuild(Dvec ha, Ivec hj, Ivec hk, int nk, int& nmove) {
  int len = 0;
  for (int k = 1; k <= nk; ++k) {
    double v = ha(k);
    int jv = hj(k);
    hinsert(ha, hj, hk, len, v, jv, nmove);
  }
}

void hchange(Dvec ha, Ivec hj, Ivec hk, int nk, int k, double v, int jv, int& nmove) {
  double v1 = ha(k);
  ha(k) = v;
  hj(k) = jv;
  hk(jv) = k;
  if (v1 < v)
    hup(ha, hj, hk, k, nmove);
  else
    hdown(ha, hj, hk, nk, k, nmove);
}

void hdelete(Dvec ha, Ivec hj, Ivec hk, int& nk, int k, int& nmove) {
  int last = nk;
  --nk;
  if (k <= nk) hchange(ha, hj, hk, nk, k, ha(last), hj(last), nmove);
}

}  // namespace tv

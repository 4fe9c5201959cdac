// lu1fac: entry of the sparse LU factorization.  Checks and sorts the
// entries, orders rows and columns by count, finds slacks, runs the
// elimination (lu1fad.cpp), packs the factors, checks the rank and reports.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/units.h"
#include "lu/lu_impl.h"

namespace tv {

bool lu_prints(const LuFac& s, int level) { return s.nout > 0 && s.lprint >= level; }

// Drop entries <= small (the last entry fills the hole), check the indices
// of the others, count entries per row and column, find Amax.
int lu1or1(LuFac& s, int& nent, int& lerr) {
  LuArrays& f = s.f;
  for (int i = 1; i <= s.m; ++i) f.lenrow(i) = 0;
  for (int j = 1; j <= s.n; ++j) f.lencol(j) = 0;
  s.amax = 0.0;
  int nelem = nent;
  for (int l = nent; l >= 1; --l) {
    double v = std::fabs(f.a(l));
    if (v <= s.small) {
      f.a(l) = f.a(nelem);
      f.indc(l) = f.indc(nelem);
      f.indr(l) = f.indr(nelem);
      --nelem;
      continue;
    }
    int i = f.indc(l), j = f.indr(l);
    if (i < 1 || i > s.m || j < 1 || j > s.n) {
      lerr = l;
      s.nelem = nelem;
      return 3;
    }
    s.amax = std::max(s.amax, v);
    f.lenrow(i) += 1;
    f.lencol(j) += 1;
  }
  s.nelem = nelem;
  return 0;
}

// Sort the entries into column order in place by following permutation
// cycles; the column indices are consumed (set to 0).
void lu1or2(LuFac& s) {
  LuArrays& f = s.f;
  int l = 1;
  for (int j = 1; j <= s.n; ++j) {
    l += f.lencol(j);
    f.loccol(j) = l;  // one past the end; filled backwards
  }
  for (int i = 1; i <= s.nelem; ++i) {
    int jce = f.indr(i);
    if (jce == 0) continue;
    double ace = f.a(i);
    int ice = f.indc(i);
    f.indr(i) = 0;
    for (;;) {
      int ll = --f.loccol(jce);
      double acep = f.a(ll);
      int icep = f.indc(ll), jcep = f.indr(ll);
      f.a(ll) = ace;
      f.indc(ll) = ice;
      f.indr(ll) = 0;
      if (jcep == 0) break;
      ace = acep;
      ice = icep;
      jce = jcep;
    }
  }
}

// First duplicate (row, column) pair in column order.
int lu1or3(LuFac& s, int& lerr) {
  LuArrays& f = s.f;
  for (int i = 1; i <= s.m; ++i) f.iinv(i) = 0;
  for (int j = 1; j <= s.n; ++j) {
    int lc1 = f.loccol(j), lc2 = lc1 + f.lencol(j) - 1;
    for (int lc = lc1; lc <= lc2; ++lc) {
      int i = f.indc(lc);
      if (f.iinv(i) == j) {
        lerr = lc;
        f.indr(lc) = j;  // the column indices were consumed by the sort
        return 4;
      }
      f.iinv(i) = j;
    }
  }
  return 0;
}

// Row file (column indices only) from the column file.
void lu1or4(LuFac& s) {
  LuArrays& f = s.f;
  int l = 1;
  for (int i = 1; i <= s.m; ++i) {
    f.locrow(i) = l;
    l += f.lenrow(i);
  }
  for (int j = 1; j <= s.n; ++j) {
    int lc1 = f.loccol(j), lc2 = lc1 + f.lencol(j) - 1;
    for (int lc = lc1; lc <= lc2; ++lc) {
      int i = f.indc(lc);
      f.indr(f.locrow(i)++) = j;
    }
  }
  for (int i = 1; i <= s.m; ++i) f.locrow(i) -= f.lenrow(i);
}

// Bucket sort of items 1..m by their count len (0..n) into perm, count 0
// first, increasing index within a count; loc(k) = first position of
// count k (k = 1..n), inv the inverse of perm.
void lu1pq1(int m, int n, Ivec len, Ivec perm, Ivec loc, Ivec inv) {
  for (int k = 1; k <= n; ++k) loc(k) = 0;
  int n0 = 0;
  for (int i = 1; i <= m; ++i) {
    int c = len(i);
    if (c == 0)
      ++n0;
    else
      loc(c) += 1;
  }
  int start = n0 + 1;
  for (int k = 1; k <= n; ++k) {
    int c = loc(k);
    loc(k) = start;
    start += c;
  }
  int p0 = 1;
  for (int i = 1; i <= m; ++i) {
    int c = len(i);
    int p = c == 0 ? p0++ : loc(c)++;
    perm(p) = i;
    inv(i) = p;
  }
  for (int k = n; k >= 2; --k) loc(k) = loc(k - 1);
  if (n >= 1) loc(1) = n0 + 1;
}

// Slacks: columns of count 1 whose entry is exactly +-1.0, one per row,
// first in count order.
void lu1slk(LuFac& s) {
  LuArrays& f = s.f;
  for (int j = 1; j <= s.n; ++j) f.wcol(j) = 0.0;
  for (int i = 1; i <= s.m; ++i) f.imark(i) = 0;
  s.nslack = 0;
  if (s.m < 1 || s.n < 1) return;
  int lq1 = f.jbucket(1), lq2 = (s.m > 1 ? f.jbucket(2) : s.n + 1) - 1;
  for (int lq = lq1; lq <= lq2; ++lq) {
    int j = f.jperm(lq);
    int lc = f.loccol(j);
    if (std::fabs(f.a(lc)) != 1.0) continue;
    int i = f.indc(lc);
    if (f.imark(i) != 0) continue;
    f.imark(i) = 1;
    f.wcol(j) = 1.0;
    ++s.nslack;
  }
  for (int i = 1; i <= s.m; ++i) f.imark(i) = 0;
}

// Rank check: flag columns with small diagonals of U (wcol negated).
void lu6chk(LuFac& s, int mode, int& nsing, int& jsing, int& jumin) {
  LuArrays& f = s.f;
  double tol1 = s.rp(lur::utol1), tol2 = s.rp(lur::utol2);
  const int base = s.lenu - s.n + 1;  // diagonals when factors are not kept
  s.umax = 0.0;
  s.dumax = 0.0;
  s.dumin = 1.0e+30;
  jumin = 0;
  if (s.keep) {
    s.lmax = 0.0;
    for (int l = s.lena - s.lenl + 1; l <= s.lena; ++l) s.lmax = std::max(s.lmax, std::fabs(f.a(l)));
    for (int k = s.nslack + 1; k <= s.nrank; ++k) {
      int i = f.iperm(k);
      int l1 = f.locrow(i), l2 = l1 + f.lenrow(i) - 1;
      for (int l = l1; l <= l2; ++l) {
        int jj = f.indr(l);
        double v = std::fabs(f.a(l));
        f.wcol(jj) = std::max(f.wcol(jj), v);
        s.umax = std::max(s.umax, v);
      }
      double diag = std::fabs(f.a(l1));
      s.dumax = std::max(s.dumax, diag);
      if (diag < s.dumin) {
        s.dumin = diag;
        jumin = f.jperm(k);
      }
    }
  } else {
    for (int k = s.nslack + 1; k <= s.nrank; ++k) {
      int j = f.jperm(k);
      double diag = std::fabs(f.a(base - 1 + j));
      f.wcol(j) = diag;
      s.dumax = std::max(s.dumax, diag);
      if (diag < s.dumin) {
        s.dumin = diag;
        jumin = j;
      }
    }
  }
  if (s.nrank <= s.nslack) s.dumin = 0.0;
  if (mode == 1 && s.rule == lu_rook) tol1 = std::max(tol1, tol2 * s.dumax);
  nsing = 0;
  jsing = 0;
  for (int k = s.nslack + 1; k <= s.n; ++k) {
    int j = f.jperm(k);
    bool sing;
    if (s.keep) {
      double diag = k <= s.nrank ? std::fabs(f.a(f.locrow(f.iperm(k)))) : 0.0;
      sing = diag <= tol1 || diag <= tol2 * f.wcol(j);
    } else {
      sing = f.wcol(j) <= tol1;
    }
    if (sing) {
      f.wcol(j) = -f.wcol(j);
      ++nsing;
      jsing = j;
    }
  }
}

namespace {

char mn_char(int m, int n) { return m < n ? '<' : (m == n ? '=' : '>'); }

bool sizes_ok(int m, int n, int lena, const LuArrays& f) {
  auto ok = [](int have, int need) { return have >= need; };
  return ok(f.a.size(), lena) && ok(f.indc.size(), lena) && ok(f.indr.size(), lena) &&
         ok(f.iperm.size(), m) && ok(f.jperm.size(), n) && ok(f.lencol.size(), n) &&
         ok(f.lenrow.size(), m) && ok(f.loccol.size(), n) && ok(f.locrow.size(), m) &&
         ok(f.ibucket.size(), n) && ok(f.jbucket.size(), m) && ok(f.iinv.size(), m) &&
         ok(f.jinv.size(), n) && ok(f.jlist.size(), n) && ok(f.jmark.size(), n) &&
         ok(f.imark.size(), m) && ok(f.wcol.size(), n);
}

}  // namespace

void lu1fac(Units& io, int m, int n, int& nent, int lena, Ivec luipar, Dvec lurpar, LuArrays& f,
            int& inform) {
  LuFac s{io, f, luipar, lurpar};
  s.m = m;
  s.n = n;
  s.lena = lena;
  s.nout = luipar(lup::nout);
  s.lprint = luipar(lup::lprint);
  s.rule = luipar(lup::pivot);
  if (s.rule < lu_partial || s.rule > lu_symmetric) s.rule = lu_partial;
  s.keep = luipar(lup::keeplu) != 0;
  s.small = lurpar(lur::small);
  inform = 0;
  int lerr = 0;
  const int nent0 = nent;

  for (int k : {lup::nsing, lup::jsing, lup::jumin, lup::numl0, lup::lenl0, lup::lenu0, lup::lenl, lup::lenu,
                lup::lrow, lup::ncp, lup::mersum, lup::nutri, lup::nltri, lup::nslack, lup::nrank, lup::ndens1,
                lup::ndens2, lup::nupdat})
    luipar(k) = 0;
  for (int k : {lur::amax, lur::lmax, lur::umax, lur::dumax, lur::dumin, lur::akmax, lur::growth}) lurpar(k) = 0.0;

  const int64_t need0 = int64_t(nent) + 2 * (int64_t(m) + n);
  s.lenneed = int(std::min<int64_t>(need0, INT32_MAX));

  if (m < 0 || n < 0 || nent < 0 || lena < 0 || !sizes_ok(m, n, lena, f)) {
    inform = 8;
  } else if (lena < need0) {
    inform = 7;
  } else {
    inform = lu1or1(s, nent, lerr);
  }

  if (inform == 0) {
    if (lu_prints(s, 10)) {
      double area = double(m) * double(n);
      double dens = area > 0.0 ? 100.0 * double(nent0) / area : 0.0;
      io.linef(s.nout, " m%12d %cn%12d  Elems%9d  Amax%10.1E  Density%7.2f", m, mn_char(m, n), n, s.nelem,
                   s.amax, dens);
    }
    lu1or2(s);
    inform = lu1or3(s, lerr);
  }
  if (inform == 0) {
    lu1or4(s);
    lu1pq1(m, n, f.lenrow, f.iperm, f.ibucket, f.iinv);
    lu1pq1(n, m, f.lencol, f.jperm, f.jbucket, f.jinv);
    lu1slk(s);
    // Rook: rowmax on top of a; complete: the heap on top of a, indc, indr.
    s.lenu = lena;
    if (s.rule == lu_rook) {
      s.lenu = lena - m;
      s.rowmax = f.a.sub(s.lenu + 1, m);
    } else if (s.rule == lu_complete) {
      s.lenu = lena - n;
      s.hkey = f.a.sub(s.lenu + 1, n);
      s.hcol = f.indc.sub(s.lenu + 1, n);
      s.hpos = f.indr.sub(s.lenu + 1, n);
    }
    s.mersum = 0;
    inform = lu1fad(s);
    if (inform == 0) {
      int np = 0;
      lu1pq3(m, f.lenrow, f.iperm, f.iinv, np);
      lu1pq3(n, f.lencol, f.jperm, f.jinv, np);
      s.lenneed = int(std::min<int64_t>(int64_t(s.lenl) + s.lenuu + 2 * (int64_t(m) + n), INT32_MAX));
      if (s.keep) {
        inform = pack_factors(s);
      } else {
        for (int i = 1; i <= m; ++i) f.lenrow(i) = 0;
        luipar(lup::numl0) = 0;
        luipar(lup::lrow) = 0;
        luipar(lup::lenl0) = s.lenl;
        luipar(lup::lenu0) = s.lenuu;
        luipar(lup::lenl) = s.lenl;
        luipar(lup::lenu) = s.lenuu;
      }
    }
  }

  // Results common to every exit.
  luipar(lup::lenneed) = s.lenneed;
  luipar(lup::nslack) = s.nslack;
  luipar(lup::nrank) = s.nrank;
  luipar(lup::mersum) = int(std::min<int64_t>(s.mersum, INT32_MAX));
  luipar(lup::nutri) = s.nutri;
  luipar(lup::nltri) = s.nltri;
  luipar(lup::ndens1) = s.ndens1;
  luipar(lup::ndens2) = s.ndens2;
  lurpar(lur::amax) = s.amax;

  if (inform != 0) {
    luipar(lup::lenl) = s.lenl;
    luipar(lup::lenu) = s.lenuu;
    for (int k : {lup::nsing, lup::jsing, lup::jumin, lup::numl0, lup::lrow}) luipar(k) = 0;
    luipar(lup::inform) = inform;
    if (s.nout > 0 && s.lprint >= 0) {
      int u = s.nout;
      switch (inform) {
        case 3:
          io.line(u, "");
          io.linef(u, " lu1fac  error...  entry  a(%8d)  has an illegal row or column index", lerr);
          io.line(u, "");
          io.linef(u, " indc, indr =%8d%8d", f.indc(lerr), f.indr(lerr));
          break;
        case 4:
          io.line(u, "");
          io.linef(u, " lu1fac  error...  entry  a(%8d)  has the same indices as an earlier entry", lerr);
          io.line(u, "");
          io.linef(u, " indc, indr =%8d%8d", f.indc(lerr), f.indr(lerr));
          break;
        case 7:
          io.line(u, "");
          io.line(u, " lu1fac  error...  insufficient storage");
          io.line(u, "");
          io.linef(u, " Increase  lena  from%10d  to at least%10d", lena, s.lenneed);
          break;
        case 8:
          io.line(u, "");
          io.line(u, " lu1fac  error...  fatal bug   (sorry --- this should never happen)");
          break;
        case 9:
          io.line(u, "");
          io.line(u, " lu1fac  error...  TSP used but diagonal pivot could not be found");
          break;
        default:
          break;
      }
    }
    return;
  }

  int nsing = 0, jsing = 0, jumin = 0;
  lu6chk(s, 1, nsing, jsing, jumin);
  luipar(lup::nsing) = nsing;
  luipar(lup::jsing) = jsing;
  luipar(lup::jumin) = jumin;
  if (nsing > 0) inform = 1;
  luipar(lup::inform) = inform;

  lurpar(lur::lmax) = s.lmax;
  lurpar(lur::umax) = s.umax;
  lurpar(lur::dumax) = s.dumax;
  lurpar(lur::dumin) = s.dumin;
  lurpar(lur::akmax) = s.rule == lu_complete ? s.akmax : 0.0;
  const double akmax = lurpar(lur::akmax);
  lurpar(lur::growth) = s.rule == lu_partial ? s.umax / (s.amax + 1.0e-20) : akmax / (s.amax + 1.0e-20);

  if (nsing > 0 && s.nout > 0 && s.lprint >= 0)
    io.linef(s.nout, " Singular(m%cn)  rank%9d  n-rank%8d  nsing%9d", mn_char(m, n), s.nrank, n - s.nrank,
                 nsing);
  if (lu_prints(s, 10)) {
    const int lenl = s.lenl, lenu = s.lenuu;
    double merit = m > 0 ? double(s.mersum) / m : 0.0;
    double incres = 100.0 * (double(lenl) + lenu - nent0) / std::max(nent0, 1);
    double ugrwth = s.umax / (s.amax + 1.0e-20);
    double agrwth = akmax / (s.amax + 1.0e-20);
    double condu = s.dumax / std::max(s.dumin, 1.0e-20);
    int bump = m - s.nutri - s.nltri;
    int u = s.nout;
    const char* head = s.rule == lu_partial ? " Merit" : (s.rule == lu_rook ? " MerRP" : (s.rule == lu_complete ? " MerCP" : " MerSP"));
    io.linef(u, "%s%8.1f  lenL%9d  L+U%11d  Cmpressns%5d  Incres%8.2f", head, merit, lenl, lenl + lenu,
             luipar(lup::ncp), incres);
    io.linef(u, " Utri%9d  lenU%9d  Ltol%10.2E  Umax%10.1E  Ugrwth%8.1E", s.nutri, lenu, lurpar(lur::ltol1),
             s.umax, ugrwth);
    if (s.rule == lu_partial)
      io.linef(u, " Ltri%9d  dense1%7d  Lmax%10.2E", s.nltri, s.ndens1, s.lmax);
    else
      io.linef(u, " Ltri%9d  dense1%7d  Lmax%10.2E  Akmax%9.1E  Agrwth%8.1E", s.nltri, s.ndens1, s.lmax, akmax,
               agrwth);
    io.linef(u, " bump%9d  dense2%7d  DUmax%9.1E  DUmin%9.1E  condU%9.1E", bump, s.ndens2, s.dumax, s.dumin, condu);
  }
}

}  // namespace tv

// The elimination driver: staged pivot choice, the pivot step with
// elimination (lu1gau), pending row fill-in (lu1pen), the count-ordered
// lists (lu1pq2), compression of the files (lu1rec).
//
// Storage while eliminating:
//   column file  a/indc (1 .. colend), row file indr (1 .. rowend), free slot = 0;
//   stored factors from the top (facbot .. lenu), one block per pivot: the U
//   row in the lower part (diagonal in its highest slot) and the L column
//   above it.  When factors are not kept the block is rebuilt at every step
//   just below the n diagonal slots.
//   Finished rows and columns carry negated counts (lenrow = -nrowd,
//   lencol = -ncold), so lengths >= 0 mean "active".
//   During one step the ncold + nrowd slots between the files' limit t and
//   the block serve as scratch (per row of the pivot column: the column
//   stamp in indr, the pending fill count in indc).
//   While the partial rule takes column singletons, the free space above the
//   files may hold a cross-reference of their entries (Xref below).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/units.h"
#include "lu/lu_impl.h"

namespace tv {

namespace {

// Move x from count c to count c2 in a count-ordered list.
void pq_move(int x, int c, int c2, Ivec perm, Ivec inv, Ivec bucket) {
  while (c > c2) {
    int p = inv(x), q = bucket(c);
    int y = perm(q);
    perm(p) = y;
    inv(y) = p;
    perm(q) = x;
    inv(x) = q;
    bucket(c) = q + 1;
    --c;
  }
  while (c < c2) {
    int q = bucket(c + 1) - 1, p = inv(x);
    int y = perm(q);
    perm(p) = y;
    inv(y) = p;
    perm(q) = x;
    inv(x) = q;
    bucket(c + 1) = q;
    ++c;
  }
}

// Take x (count c) out of the active lists into position pos.
void pq_remove(int x, int c, int pos, Ivec perm, Ivec inv, Ivec bucket) {
  pq_move(x, c, 0, perm, inv, bucket);
  int p = inv(x), y = perm(pos);
  perm(p) = y;
  inv(y) = p;
  perm(pos) = x;
  inv(x) = pos;
}

void stage_msg(LuFac& s, const char* text) {
  if (!lu_prints(s, 50)) return;
  s.io.line(s.nout, "");
  s.io.line(s.nout, text);
}

// Delete column j from row i (the row's last entry fills the hole).
inline void row_delete(LuArrays& f, int i, int j) {
  int lr1 = f.locrow(i), lr2 = lr1 + f.lenrow(i) - 1;
  for (int lr = lr1; lr <= lr2; ++lr) {
    if (f.indr(lr) == j) {
      f.indr(lr) = f.indr(lr2);
      f.indr(lr2) = 0;
      f.lenrow(i) -= 1;
      return;
    }
  }
}

// Can positions pos .. pos+need-1 be used by a list ending at pos-1?
inline bool room_after(Ivec ind, int pos, int need, int lend, int limit) {
  if (pos < 1 || pos > lend + 1) return false;  // a stale start beyond the end is no room
  for (int q = pos; q < pos + need; ++q) {
    if (q > limit) return false;
    if (q <= lend && ind(q) != 0) return false;
  }
  return true;
}

// Cross-reference of the two files for the column-singleton stage of the
// partial rule.  That stage only takes pivot rows out of columns (no fill,
// no reordering of rows), so each row file entry (i, j) at lr can point at
// its column file position lc and back:  xr(lr) = indc(base + lr),
// xc(lc) = indr(base + lc), base = the larger file end.  Taking row ibest out
// of column j is then O(1) instead of a search of the column, which is
// quadratic on dense columns (every singleton pivot searched every dense
// column of its row).  It is built once the searches have cost about a pass
// over the files, and dropped for good when the stage ends, a file is
// compressed or the stored factors need the space; the searches then resume.
struct Xref {
  bool on = false, dead = false;
  int base = 0, len = 0;
  int64_t cost = 0;  // search steps so far
};

// Pair every column entry with its row file entry.  Row lists are still in
// increasing column order (as built from the column file) because nothing
// but whole pivot rows has left them.  False when that does not hold.
bool xref_build(LuFac& s, Xref& x, int t) {
  LuArrays& f = s.f;
  const int len = std::max(s.colend, s.rowend);
  if (2 * int64_t(len) > t) return false;
  const int b = len;
  bool ok = true;
  for (int j = 1; j <= s.n && ok; ++j) {
    const int c1 = f.loccol(j), nc = f.lencol(j);
    for (int lc = c1; lc < c1 + nc; ++lc) {
      const int i = f.indc(lc), k = f.imark(i);
      const int lr = f.locrow(i) + k;
      if (k >= f.lenrow(i) || f.indr(lr) != j) {
        ok = false;
        break;
      }
      f.imark(i) = k + 1;
      f.indc(b + lr) = lc;
      f.indr(b + lc) = lr;
    }
  }
  for (int i = 1; i <= s.m; ++i) {
    if (f.lenrow(i) >= 0 && f.imark(i) != f.lenrow(i)) ok = false;
    f.imark(i) = 0;
  }
  if (!ok) return false;
  x.on = true;
  x.base = b;
  x.len = len;
  return true;
}

struct Step {
  int ibest, jbest, nrowd, ncold;
  int f;        // bottom of this pivot's block
  int t;        // files must stay at or below t
  int lu1, nu;  // other U entries: positions lu1 .. lu1+nu-1
  int ll1, nl;  // L entries: positions ll1 .. ll1+nl-1
};

int compress_cols(LuFac& s, int limit) {
  s.colend = lu1rec(s.io, s.ip, s.n, true, s.f.lencol, s.f.loccol, s.colend, s.f.indc, s.f.a, limit, true);
  s.lastc = s.colend;
  return s.colend;
}
int compress_rows(LuFac& s, int limit) {
  s.rowend = lu1rec(s.io, s.ip, s.m, false, s.f.lenrow, s.f.locrow, s.rowend, s.f.indr, s.f.a, limit, true);
  s.lastr = s.rowend;
  return s.rowend;
}

// Give column j room for `need` more entries at its end (moving it to the
// end of the column file, compressing when needed).  False: no room.
bool col_room(LuFac& s, int j, int need, int t) {
  LuArrays& f = s.f;
  for (int attempt = 0; attempt < 2; ++attempt) {
    int loc = f.loccol(j), len = f.lencol(j);
    if (room_after(f.indc, loc + len, need, s.colend, t)) {
      s.colend = std::max(s.colend, loc + len + need - 1);
      return true;
    }
    if (int64_t(s.colend) + len + need <= t) {
      int newloc = s.colend + 1;
      for (int q = 0; q < len; ++q) {
        f.a(newloc + q) = f.a(loc + q);
        f.indc(newloc + q) = f.indc(loc + q);
        f.indc(loc + q) = 0;
      }
      f.loccol(j) = newloc;
      s.colend = newloc + len + need - 1;
      for (int q = newloc + len; q <= s.colend; ++q) f.indc(q) = 0;
      return true;
    }
    if (attempt == 0) compress_cols(s, t);
  }
  return false;
}

// Elimination of the pivot row from the rows of the pivot column.
// Returns 0 or 7.
int lu1gau(LuFac& s, const Step& st) {
  LuArrays& f = s.f;
  const int m = s.m;
  const double small = s.small;
  const int nl = st.nl;
  if (nl == 0 || st.nu == 0) return 0;
  // Scratch per row k of the pivot column: stamp indr(t+k), pending indc(t+k).
  const int sc = st.t;
  for (int k = 1; k <= nl; ++k) {
    int i = f.indc(st.ll1 + k - 1);
    f.imark(i) = -k;
    f.indr(sc + k) = 0;
    f.indc(sc + k) = 0;
  }
  for (int pu = st.lu1; pu < st.lu1 + st.nu; ++pu) {
    const int j = f.indr(pu);
    const double u = f.a(pu);
    int lc = f.loccol(j), lend = lc + f.lencol(j) - 1;
    while (lc <= lend) {
      int i = f.indc(lc);
      int k = (i >= 1 && i <= m && f.imark(i) < 0) ? -f.imark(i) : 0;
      if (k > 0) {
        f.indr(sc + k) = pu;
        double val = f.a(lc) + f.a(st.ll1 + k - 1) * u;
        if (std::fabs(val) <= small) {
          f.a(lc) = f.a(lend);
          f.indc(lc) = f.indc(lend);
          f.indc(lend) = 0;
          --lend;
          f.lencol(j) -= 1;
          row_delete(f, i, j);
          continue;
        }
        f.a(lc) = val;
      }
      ++lc;
    }
    // Fill-in.
    int nfill = 0;
    for (int k = 1; k <= nl; ++k)
      if (f.indr(sc + k) != pu && std::fabs(f.a(st.ll1 + k - 1) * u) > small) ++nfill;
    if (nfill == 0) continue;
    if (!col_room(s, j, nfill, st.t)) return 7;
    for (int k = 1; k <= nl; ++k) {
      if (f.indr(sc + k) == pu) continue;
      double val = f.a(st.ll1 + k - 1) * u;
      if (std::fabs(val) <= small) continue;
      int i = f.indc(st.ll1 + k - 1);
      int pos = f.loccol(j) + f.lencol(j);
      f.a(pos) = val;
      f.lencol(j) += 1;
      int rpos = f.locrow(i) + f.lenrow(i);
      if (room_after(f.indr, rpos, 1, s.rowend, st.t)) {
        f.indr(rpos) = j;
        f.lenrow(i) += 1;
        if (rpos > s.rowend) s.rowend = rpos;
        f.indc(pos) = i;
      } else {
        f.indc(pos) = i + m;  // pending: row i receives j in lu1pen
        f.indc(sc + k) += 1;
      }
    }
  }
  return 0;
}

// Move the rows with pending fill-in to the end of the row file (one empty
// slot before each, room for the pending entries after) and insert them.
int lu1pen(LuFac& s, const Step& st) {
  LuArrays& f = s.f;
  const int m = s.m;
  const int sc = st.t;
  if (st.nl == 0 || st.nu == 0) return 0;  // lu1gau did nothing (and set no scratch)
  int64_t total = 0;
  int npend = 0;
  for (int k = 1; k <= st.nl; ++k) {
    int c = f.indc(sc + k);
    if (c > 0) {
      int i = f.indc(st.ll1 + k - 1);
      total += 1 + f.lenrow(i) + c;
      ++npend;
    }
  }
  if (npend == 0) return 0;
  if (s.rowend + total > st.t) {
    compress_rows(s, st.t);
    if (s.rowend + total > st.t) return 7;
  }
  for (int k = 1; k <= st.nl; ++k) {
    int c = f.indc(sc + k);
    if (c <= 0) continue;
    int i = f.indc(st.ll1 + k - 1);
    int len = f.lenrow(i), old = f.locrow(i);
    f.indr(s.rowend + 1) = 0;  // rowpad
    int newloc = s.rowend + 2;
    for (int q = 0; q < len; ++q) {
      f.indr(newloc + q) = f.indr(old + q);
      f.indr(old + q) = 0;
    }
    f.locrow(i) = newloc;
    s.rowend = newloc + len + c - 1;
    for (int q = newloc + len; q <= s.rowend; ++q) f.indr(q) = 0;
  }
  for (int pu = st.lu1; pu < st.lu1 + st.nu; ++pu) {
    int j = f.indr(pu);
    int lc1 = f.loccol(j), lc2 = lc1 + f.lencol(j) - 1;
    for (int lc = lc1; lc <= lc2; ++lc) {
      int i = f.indc(lc);
      if (i <= m) continue;
      i -= m;
      f.indc(lc) = i;
      int lr = f.locrow(i) + f.lenrow(i);
      f.indr(lr) = j;
      f.lenrow(i) += 1;
    }
  }
  return 0;
}

}  // namespace

// ---- compression -----------------------------------------------------------

int lu1rec(Units& io, Ivec luipar, int nlist, bool reals, Ivec len, Ivec loc, int lend,
           Ivec ind, Dvec a, int limit, bool give_empty) {
  int nempty = 0;
  for (int l = 1; l <= nlist; ++l) {
    int ln = len(l);
    if (ln > 0) {
      int p = loc(l) + ln - 1;
      len(l) = ind(p);
      ind(p) = -l;
    } else if (ln == 0) {
      ++nempty;
    }
  }
  int k = 0, start = 1;
  for (int p = 1; p <= lend; ++p) {
    int i = ind(p);
    if (i == 0) continue;
    ++k;
    if (reals) a(k) = a(p);
    if (i > 0) {
      ind(k) = i;
    } else {
      int l = -i;
      ind(k) = len(l);
      loc(l) = start;
      len(l) = k - start + 1;
      start = k + 1;
    }
  }
  if (give_empty && int64_t(k) + nempty <= limit) {
    for (int l = 1; l <= nlist; ++l) {
      if (len(l) != 0) continue;
      ++k;
      ind(k) = 0;
      loc(l) = k;
    }
  }
  luipar(lup::ncp) += 1;
  int nout = luipar(lup::nout);
  if (nout > 0 && luipar(lup::lprint) >= 50)
    io.linef(nout, " lu1rec.  File compressed from%10d   to%10d%3s  nempty =%8d", lend, k,
                 reals ? "T" : "F", nempty);
  return k;
}

// ---- the driver ------------------------------------------------------------

int lu1fad(LuFac& s) {
  LuArrays& f = s.f;
  Units& io = s.io;
  const int m = s.m, n = s.n;
  const int rule = s.rule;
  const bool tcp = rule == lu_complete, trp = rule == lu_rook, tsp = rule == lu_symmetric;

  s.ltol = std::max(s.rp(lur::ltol1), 1.0001);
  s.lmax = s.umax = s.dumax = s.akmax = 0.0;
  s.dumin = s.nelem > 0 ? 1.0e+20 : 0.0;
  int ncsrch = s.ip(lup::maxcol);
  int nrsrch = ncsrch - 1;
  s.lenl = s.lenuu = 0;
  s.colend = s.rowend = s.nelem;
  s.lastc = s.lastr = s.nelem;  // each file starts with the entry count as its last length
  int64_t nzact = s.nelem;
  s.mark = 0;
  // Top of the area for the stored factors (or for the per-step block).
  int base = s.lenu + 1;
  if (!s.keep) {
    base = s.lenu - n + 1;  // diagonals at base .. lenu (column j at base-1+j)
    for (int j = 1; j <= n; ++j) f.a(base - 1 + j) = 0.0;
  }
  s.facbot = base;

  if (trp) {
    lu1mxr(s, 0, 1, 0, f.indc);
    lu1mxc(1, n, f.jperm, f.a, f.indc, f.lencol, f.loccol);
  }
  if (tcp) {
    lu1mxc(1, n, f.jperm, f.a, f.indc, f.lencol, f.loccol);
    for (int k = 1; k <= n; ++k) {
      int j = f.jperm(k);
      s.hkey(k) = f.lencol(j) > 0 ? std::fabs(f.a(f.loccol(j))) : 0.0;
      s.hcol(k) = j;
    }
    s.hlen = n;
    hbuild(s.hkey, s.hcol, s.hpos, s.hlen, s.nmove);
  }

  bool utri = true, ltri = false, spars1 = false, spars2 = false, dense = false;
  Xref xref;
  xref.dead = rule != lu_partial;
  bool slacks_msg = false;
  int nslpiv = 0;
  double cptol = 0.0;
  const int minmn = std::min(m, n);
  int nrowu = 1;
  const double dens1 = s.rp(lur::dens1), dens2 = s.rp(lur::dens2);

  for (nrowu = 1; nrowu <= minmn; ++nrowu) {
    const int mrem = m + 1 - nrowu, nrem = n + 1 - nrowu;
    // No remaining row has an entry.
    if (n < 1 || f.ibucket(1) > m) break;
    if (tcp && s.hlen > 0) {
      s.akmax = std::max(s.akmax, s.hkey(1));
      cptol = s.hkey(1) / s.ltol;
    }
    int ibest = 0, jbest = 0, mbest = -1;
    double abest = 0.0;

    if (utri) {
      int lq1 = m >= 1 ? f.jbucket(1) : n + 1;
      int lq2 = (m > 1 ? f.jbucket(2) : n + 1) - 1;
      if (nslpiv < s.nslack) {
        for (int lq = lq1; lq <= lq2; ++lq) {
          int j = f.jperm(lq);
          if (f.wcol(j) > 0.0) {
            jbest = j;
            break;
          }
        }
        if (jbest > 0) ++nslpiv;
      }
      if (jbest == 0) {
        if (!slacks_msg) {
          slacks_msg = true;
          if (lu_prints(s, 50)) io.linef(s.nout, " Slacks ended.  nslack =%12d", s.nslack);
        }
        for (int lq = lq1; lq <= lq2; ++lq) {
          int j = f.jperm(lq);
          int lc = f.loccol(j);
          double aij = std::fabs(f.a(lc));
          bool ok = true;
          if (trp) ok = aij >= s.rowmax(f.indc(lc)) / s.ltol;
          if (tcp) ok = aij >= cptol;
          if (ok) {
            jbest = j;
            break;
          }
        }
      }
      if (jbest > 0) {
        int lc = f.loccol(jbest);
        ibest = f.indc(lc);
        abest = std::fabs(f.a(lc));
        mbest = 0;
      } else {
        utri = false;
        ltri = true;
        xref.on = false;
        xref.dead = true;
        s.nutri = nrowu - 1;
        stage_msg(s, " Utri ended.  spars1 = true");
        if (rule == lu_partial || tsp) lu1mxc(nrowu, n, f.jperm, f.a, f.indc, f.lencol, f.loccol);
      }
    }

    if (!utri) {
      if (trp)
        lu1mrp(s, ncsrch, nrsrch, abest, ibest, jbest, mbest);
      else if (tsp)
        lu1msp(s, ncsrch, abest, ibest, jbest, mbest);
      else
        lu1mar(s, tcp, cptol, ncsrch, nrsrch, abest, ibest, jbest, mbest);
      if (ibest == 0) {
        if (tsp) return 9;
        break;  // nothing acceptable left: the rest is rank deficient
      }
      if (ltri && mbest > 0) {
        ltri = false;
        spars1 = true;
        s.nltri = nrowu - 1 - s.nutri;
        stage_msg(s, " Ltri ended.");
      }
      if (!ltri) {
        const double area = double(mrem) * double(nrem);
        if (spars1 && double(nzact) >= std::min(dens1, dens2) * area) {
          s.ndens1 = nrem;
          nrsrch = 0;
          spars1 = false;
          spars2 = true;
          stage_msg(s, " spars1 ended.  spars2 = true");
        }
        if (spars2 && double(nzact) >= dens2 * area) {
          s.ndens2 = nrem;
          ncsrch = 1;
          spars2 = false;
          dense = true;
          stage_msg(s, " spars2 ended.  dense = true");
        }
        if (dense) {
          int64_t dsize = int64_t(mrem) * nrem;
          int64_t room = s.keep ? s.facbot : base;
          if (room > 3 * dsize) return lu1ful(s, nrowu, mrem, nrem);
        }
      }
    }
    s.mersum += mbest;

    // ---- pivot step ----
    Step st{};
    st.ibest = ibest;
    st.jbest = jbest;
    st.nrowd = f.lenrow(ibest);
    st.ncold = f.lencol(jbest);
    const int nrowd = st.nrowd, ncold = st.ncold;
    s.lenl += ncold - 1;
    s.lenuu += nrowd;
    if (lu_prints(s, 50)) {
      if (!s.debug_started) {
        s.debug_started = true;
        io.line(s.nout, "");
        io.line(s.nout, " lu1fad debug:");
      }
      if (tcp) {
        int jmax = s.hlen > 0 ? s.hcol(1) : 0;
        int imax = (jmax > 0 && f.lencol(jmax) > 0) ? f.indc(f.loccol(jmax)) : 0;
        double aijmax = s.hlen > 0 ? s.hkey(1) : 0.0;
        io.linef(s.nout,
                     " nrowu%7d   i,jbest%7d%7d   abest%10.2E   nrowd,ncold%6d%6d   i,jmax%7d%7d   aijmax%10.2E",
                     nrowu, ibest, jbest, abest, nrowd, ncold, imax, jmax, aijmax);
      } else {
        io.linef(s.nout, " nrowu%7d   i,jbest%7d%7d   abest%10.2E   nrowd,ncold%6d%6d   i,jmax", nrowu,
                     ibest, jbest, abest, nrowd, ncold);
      }
    }

    // Room for the block and the scratch, then for file growth.
    const int top = s.keep ? s.facbot : base;
    const int64_t f64 = int64_t(top) - (ncold - 1) - nrowd;
    const int64_t t64 = f64 - ncold - nrowd;
    const int need = ncold - 1 + nrowd;
    if (t64 < 1) {
      s.lenneed = int(std::min<int64_t>(int64_t(s.lena) + s.lastc + 2 * (int64_t(m) + n), INT32_MAX));
      return 7;
    }
    st.f = int(f64);
    st.t = int(t64);
    const int ncp0 = s.ip(lup::ncp);
    {
      int64_t limit = int64_t(s.rp(lur::uspace) * double(float(s.lastc))) + m + n + 1000;
      if (st.t - s.colend < need || s.colend > limit) {
        compress_cols(s, st.t);
        if (st.t - s.colend < need) {
          s.lenneed = int(std::min<int64_t>(s.lastc + int64_t(s.lena) + 2 * (int64_t(m) + n), INT32_MAX));
          return 7;
        }
      }
      limit = int64_t(s.rp(lur::uspace) * double(float(s.lastr))) + m + n + 1000;
      if (st.t - s.rowend < need || s.rowend > limit) {
        compress_rows(s, st.t);
        if (st.t - s.rowend < need) {
          s.lenneed = int(std::min<int64_t>(s.lastr + int64_t(s.lena) + 2 * (int64_t(m) + n), INT32_MAX));
          return 7;
        }
      }
    }

    if (xref.on && (s.ip(lup::ncp) != ncp0 || xref.base + xref.len > st.t)) {
      xref.on = false;
      xref.dead = true;
    }
    if (utri && !xref.on && !xref.dead && xref.cost > int64_t(s.colend) + s.rowend + m + n) {
      if (!xref_build(s, xref, st.t)) xref.dead = true;
    }
    const int xb = xref.base;

    // Pivot to the front of its column and its row.
    const int lc1 = f.loccol(jbest), lr1 = f.locrow(ibest);
    for (int lc = lc1; lc < lc1 + ncold; ++lc) {
      if (f.indc(lc) == ibest) {
        std::swap(f.a(lc), f.a(lc1));
        std::swap(f.indc(lc), f.indc(lc1));
        break;
      }
    }
    for (int lr = lr1; lr < lr1 + nrowd; ++lr) {
      if (f.indr(lr) == jbest) {
        std::swap(f.indr(lr), f.indr(lr1));
        if (xref.on) std::swap(f.indc(xb + lr), f.indc(xb + lr1));
        break;
      }
    }
    const double diag = f.a(lc1);
    const double adiag = std::fabs(diag);
    if (!s.keep) f.a(base - 1 + jbest) = diag;
    if (tcp) hdelete(s.hkey, s.hcol, s.hpos, s.hlen, s.hpos(jbest), s.nmove);

    // U row: diagonal in the block's slot f+nrowd-1, the others below it.
    int pu = st.f + nrowd - 1;
    f.a(pu) = diag;
    f.indr(pu) = jbest;
    f.indc(pu) = 0;
    s.umax = std::max(s.umax, adiag);
    s.dumax = std::max(s.dumax, adiag);
    s.dumin = std::min(s.dumin, adiag);
    for (int lr = lr1 + 1; lr < lr1 + nrowd; ++lr) {
      int j = f.indr(lr);
      int c1 = f.loccol(j), c2 = c1 + f.lencol(j) - 1;
      int lc = xref.on ? f.indc(xb + lr) : 0;
      if (xref.on && (lc < c1 || lc > c2 || f.indc(lc) != ibest)) {
        xref.on = false;  // cannot happen; search instead
        xref.dead = true;
      }
      if (!xref.on) {
        lc = c1;
        while (lc <= c2 && f.indc(lc) != ibest) ++lc;
        if (lc > c2) return 8;  // files disagree
        if (utri) xref.cost += lc - c1 + 1;
      } else if (lc != c2) {
        const int lr2 = f.indr(xb + c2);  // the entry that fills the hole
        f.indr(xb + lc) = lr2;
        f.indc(xb + lr2) = lc;
      }
      --pu;
      f.a(pu) = f.a(lc);
      f.indr(pu) = j;
      f.indc(pu) = f.lencol(j);  // old count, for lu1pq2
      s.umax = std::max(s.umax, std::fabs(f.a(lc)));
      f.a(lc) = f.a(c2);
      f.indc(lc) = f.indc(c2);
      f.indc(c2) = 0;
      f.lencol(j) -= 1;
    }
    st.lu1 = st.f;
    st.nu = nrowd - 1;
    for (int lr = lr1; lr < lr1 + nrowd; ++lr) f.indr(lr) = 0;
    f.lenrow(ibest) = -nrowd;

    // L column above the U row.
    st.ll1 = st.f + nrowd;
    st.nl = ncold - 1;
    {
      const double rdiag = -1.0 / diag;
      int pl = st.ll1;
      for (int lc = lc1 + 1; lc < lc1 + ncold; ++lc) {
        int i = f.indc(lc);
        double mult = f.a(lc) * rdiag;
        f.a(pl) = mult;
        f.indc(pl) = i;
        f.indr(pl) = f.lenrow(i);  // old count, for lu1pq2
        s.lmax = std::max(s.lmax, std::fabs(mult));
        row_delete(f, i, jbest);
        ++pl;
      }
      for (int lc = lc1; lc < lc1 + ncold; ++lc) f.indc(lc) = 0;
      f.lencol(jbest) = -ncold;
    }

    // Eliminate and insert pending fill-in.
    if (int code = lu1gau(s, st); code != 0) {
      s.lenneed = int(std::min<int64_t>(s.lastc + int64_t(s.lena) + 2 * (int64_t(m) + n), INT32_MAX));
      return code;
    }
    if (int code = lu1pen(s, st); code != 0) {
      s.lenneed = int(std::min<int64_t>(s.lastr + int64_t(s.lena) + 2 * (int64_t(m) + n), INT32_MAX));
      return code;
    }

    // Count-ordered lists.
    pq_remove(ibest, nrowd, nrowu, f.iperm, f.iinv, f.ibucket);
    pq_remove(jbest, ncold, nrowu, f.jperm, f.jinv, f.jbucket);
    nzact -= nrowd;
    for (int l = st.ll1; l < st.ll1 + st.nl; ++l) {
      int i = f.indc(l);
      int old = f.indr(l);
      f.indr(l) = ibest;
      f.imark(i) = 0;
      nzact += f.lenrow(i) - old;
      pq_move(i, old, f.lenrow(i), f.iperm, f.iinv, f.ibucket);
    }
    for (int l = st.lu1; l < st.lu1 + st.nu; ++l) {
      int j = f.indr(l);
      int old = f.indc(l);
      pq_move(j, old, f.lencol(j), f.jperm, f.jinv, f.jbucket);
    }

    // Maxima the rule needs.
    if (trp && st.nl > 0) lu1mxr(s, ++s.mark, st.ll1, st.ll1 + st.nl - 1, f.indc);
    if (!(rule == lu_partial && utri)) {
      for (int l = st.lu1; l < st.lu1 + st.nu; ++l) {
        int j = f.indr(l);
        int len = f.lencol(j);
        if (len > 0) {
          int c1 = f.loccol(j), lbig = c1;
          double big = std::fabs(f.a(c1));
          for (int lc = c1 + 1; lc < c1 + len; ++lc) {
            if (std::fabs(f.a(lc)) > big) {
              big = std::fabs(f.a(lc));
              lbig = lc;
            }
          }
          if (lbig != c1) {
            std::swap(f.a(lbig), f.a(c1));
            std::swap(f.indc(lbig), f.indc(c1));
          }
        }
        if (tcp) {
          double key = len > 0 ? std::fabs(f.a(f.loccol(j))) : 0.0;
          hchange(s.hkey, s.hcol, s.hpos, s.hlen, s.hpos(j), key, j, s.nmove);
        }
      }
    }
    if (s.keep) {
      s.facbot = st.f;
      if (s.facbot <= s.colend || s.facbot <= s.rowend) return 8;
    }
  }
  s.nrank = nrowu - 1;
  // A stage still running at the end counts every pivot it took.
  if (utri) s.nutri = s.nrank;
  if (ltri) s.nltri = s.nrank - s.nutri;
  return 0;
}

}  // namespace tv

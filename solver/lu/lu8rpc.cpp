// Column replacement in the factors (lu8rpc) and its pieces: lu7zap (delete
// the old column from U), lu7add (insert the new column), lu7elm (eliminate
// its part beyond the rank), lu7cyc (cyclic shift), lu7for (forward sweep
// with row interchanges restoring triangularity), lu7rnk (rank test of the
// last row).
//
// U rows live in the row file a/indr (1 .. rowend, free slot: indr = 0);
// new L entries go below the existing ones.  Free space is
// lena - lenL - rowend.  indc of a row file slot names the row it belongs
// to (set by pack_factors and kept here; trusted only after checking that the row
// covers the slot).  During a sweep loccol(j) holds the offset of the spike
// row's entry in column j (0 when none); it is 0 again on return.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

#include "core/nonzeros.h"
#include "core/units.h"
#include "lu/lu_impl.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tv {

void lu7cyc(int kfirst, int klast, Ivec perm) {
  if (kfirst >= klast) return;
  int t = perm(kfirst);
  for (int k = kfirst; k < klast; ++k) perm(k) = perm(k + 1);
  perm(klast) = t;
}

namespace {

struct Upd {
  Upd(Units& u_io, LuArrays& arrays, Ivec luipar, Dvec lurpar, int m_, int n_, int lena_)
      : io(u_io), f(arrays), ip(luipar), rp(lurpar), m(m_), n(n_), lena(lena_) {}
  Units& io;
  LuArrays& f;
  Ivec ip;
  Dvec rp;
  int m, n, lena;
  int nrank = 0, lenl = 0, lenu = 0, lrow = 0;
  double small = 0.0, tau = 10.0, utol1 = 0.0;
  LuColIndex* cx = nullptr;  // the column index kept with the factors, if any
  int kmin = 0, kmax = 0;     // positions whose permutations changed
};

// Positions k1..k2 of iperm or jperm are about to change.
void moved(Upd& u, int k1, int k2) {
  if (k1 > k2) std::swap(k1, k2);
  if (u.kmax == 0 || k1 < u.kmin) u.kmin = k1;
  u.kmax = std::max(u.kmax, k2);
}

// Row i gains an entry in column j.
void listed(Upd& u, int i, int j) {
  if (u.cx != nullptr) u.cx->rows[j].push_back(i);
}

int free_space(const Upd& u) { return u.lena - u.lenl - u.lrow; }

// Compress the row file; the rows' slots get their owners again.
void compress(Upd& u) {
  LuArrays& f = u.f;
  u.lrow = lu1rec(u.io, u.ip, u.m, true, f.lenrow, f.locrow, u.lrow, f.indr, f.a, u.lena - u.lenl, false);
  for (int i = 1; i <= u.m; ++i)
    for (int l = f.locrow(i); l < f.locrow(i) + f.lenrow(i); ++l) f.indc(l) = i;
}

// Make at least `need` free slots (compressing the row file); false if impossible.
bool ensure_space(Upd& u, int need) {
  if (free_space(u) >= need) return true;
  compress(u);
  return free_space(u) >= need;
}

// Move row i to the end of the row file (room checked by the caller).
void move_to_end(Upd& u, int i) {
  LuArrays& f = u.f;
  int len = f.lenrow(i), loc = f.locrow(i);
  if (len > 0 && loc + len - 1 == u.lrow) return;
  int newloc = u.lrow + 1;
  for (int q = 0; q < len; ++q) {
    f.a(newloc + q) = f.a(loc + q);
    f.indr(newloc + q) = f.indr(loc + q);
    f.indc(newloc + q) = i;
    f.indr(loc + q) = 0;
  }
  f.locrow(i) = newloc;
  u.lrow = newloc + len - 1;
  if (len == 0) u.lrow = newloc - 1;
}

// Append (val, j) to row i, in place when it ends at rowend or the slot
// after it is free, else after moving it to the end.
int row_append(Upd& u, int i, double val, int j) {
  LuArrays& f = u.f;
  int len = f.lenrow(i);
  if (!ensure_space(u, len + 1)) return 7;
  int loc = f.locrow(i);
  int pos = loc + len;
  bool inplace = loc >= 1 && (len > 0 || loc <= u.lrow + 1) &&
                 (pos == u.lrow + 1 || (pos <= u.lrow && f.indr(pos) == 0));
  if (!inplace) {
    move_to_end(u, i);
    if (len == 0) f.locrow(i) = u.lrow + 1;
    pos = f.locrow(i) + len;
  }
  f.a(pos) = val;
  f.indr(pos) = j;
  f.indc(pos) = i;
  listed(u, i, j);
  f.lenrow(i) = len + 1;
  if (pos > u.lrow) u.lrow = pos;
  u.lenu += 1;
  return 0;
}

void mark_row(Upd& u, int i, bool on) {
  LuArrays& f = u.f;
  int loc = f.locrow(i), len = f.lenrow(i);
  for (int q = 0; q < len; ++q) f.loccol(f.indr(loc + q)) = on ? q + 1 : 0;
}

// Delete the entry at offset off of the marked spike row.
void spike_delete(Upd& u, int is, int off) {
  LuArrays& f = u.f;
  int loc = f.locrow(is), len = f.lenrow(is);
  int p = loc + off - 1, last = loc + len - 1;
  int jdel = f.indr(p);
  if (p != last) {
    f.a(p) = f.a(last);
    f.indr(p) = f.indr(last);
    f.loccol(f.indr(p)) = off;
  }
  f.loccol(jdel) = 0;
  f.indr(last) = 0;
  f.lenrow(is) = len - 1;
  if (last == u.lrow) u.lrow = last - 1;
  u.lenu -= 1;
}

// Put the spike (row iperm(klast)) at the end of the file, marked.
int spike_setup(Upd& u, int is) {
  if (!ensure_space(u, u.n + 1)) return 7;
  move_to_end(u, is);
  mark_row(u, is, true);
  return 0;
}

// Forward sweep over positions kfirst .. klast-1 with the spike at klast.
// Returns 0 or 7; diag is the spike's entry in column jperm(klast) (0 if none).
int lu7for(Upd& u, int kfirst, int klast, double& diag, bool& nodiag) {
  LuArrays& f = u.f;
  diag = 0.0;
  nodiag = false;
  if (kfirst > klast) return 0;
  moved(u, kfirst, klast);
  int is = f.iperm(klast);
  if (int c = spike_setup(u, is); c != 0) return c;
  bool swapped_prev = false;
  for (int k = kfirst; k < klast; ++k) {
    int jk = f.jperm(k);
    int off = f.loccol(jk);
    if (off == 0) {
      swapped_prev = false;
      continue;
    }
    double v = f.a(f.locrow(is) + off - 1);
    int ir = f.iperm(k);
    int lr1 = f.locrow(ir), lenr = f.lenrow(ir);
    bool hasdiag = lenr > 0 && f.indr(lr1) == jk;
    double d = hasdiag ? f.a(lr1) : 0.0;
    // Interchange when the row has no diagonal here, when the multiplier
    // v/d would exceed tau (stability: this bounds every L entry of the
    // update by tau), or, for sparsity, when the spike is the shorter row and
    // the two are comparable -- the last one not right after an interchange.
    const bool unstable = std::fabs(v) > u.tau * std::fabs(d);
    const bool sparser = !swapped_prev && std::fabs(d) <= u.tau * std::fabs(v) && f.lenrow(is) < lenr;
    bool swap = !hasdiag || unstable || sparser;
    if (swap) {
      // The spike takes position k with v as its diagonal; row ir becomes the spike.
      int ls = f.locrow(is), p = ls + off - 1;
      mark_row(u, is, false);
      std::swap(f.a(p), f.a(ls));
      std::swap(f.indr(p), f.indr(ls));
      f.iperm(k) = is;
      f.iperm(klast) = ir;
      is = ir;
      if (int c = spike_setup(u, is); c != 0) return c;
      swapped_prev = true;
      if (!hasdiag) continue;
      off = f.loccol(jk);
      v = f.a(f.locrow(is) + off - 1);
      d = f.a(f.locrow(f.iperm(k)));
    } else {
      swapped_prev = false;
    }
    spike_delete(u, is, off);
    if (std::fabs(v) <= u.small) continue;
    if (!ensure_space(u, u.n + 1)) {
      mark_row(u, is, false);
      return 7;
    }
    const int ir2 = f.iperm(k);
    const double mult = -v / d;
    u.lenl += 1;
    int l = u.lena - u.lenl + 1;
    f.a(l) = mult;
    f.indc(l) = is;
    f.indr(l) = ir2;
    int r1 = f.locrow(ir2), r2 = r1 + f.lenrow(ir2) - 1;
    for (int lr = r1 + 1; lr <= r2; ++lr) {
      int j = f.indr(lr);
      double val = mult * f.a(lr);
      int o = f.loccol(j);
      if (o > 0) {
        int p = f.locrow(is) + o - 1;
        f.a(p) += val;
        if (std::fabs(f.a(p)) <= u.small) spike_delete(u, is, o);
      } else if (std::fabs(val) > u.small) {
        // The spike ends at rowend: append there.
        int p = u.lrow + 1;
        f.a(p) = val;
        f.indr(p) = j;
        f.indc(p) = is;
        listed(u, is, j);
        u.lrow = p;
        f.lenrow(is) += 1;
        f.loccol(j) = f.lenrow(is);
        u.lenu += 1;
      }
    }
  }
  // The spike's entry in the column at position klast becomes its diagonal.
  int jl = f.jperm(klast);
  int off = f.loccol(jl);
  int ls = f.locrow(is);
  if (off > 0) {
    int p = ls + off - 1;
    std::swap(f.a(p), f.a(ls));
    std::swap(f.indr(p), f.indr(ls));
    diag = f.a(ls);
  } else {
    nodiag = true;
  }
  mark_row(u, is, false);
  int64_t limit = int64_t(u.rp(lur::uspace) * double(u.lenu)) + u.m + u.n + 1000;
  if (u.lrow > limit) compress(u);
  return 0;
}

// Bit q of the result is set when p[q] == x (q = 0..15).
inline unsigned match16(const int32_t* p, int32_t x) {
#if defined(__SSE2__)
  const __m128i vx = _mm_set1_epi32(x);
  auto m4 = [&](int o) {
    __m128i c = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + o)), vx);
    return unsigned(_mm_movemask_ps(_mm_castsi128_ps(c)));
  };
  return m4(0) | m4(4) << 4 | m4(8) << 8 | m4(12) << 12;
#else
  unsigned m = 0;
  for (int q = 0; q < 16; ++q) m |= unsigned(p[q] == x) << q;
  return m;
#endif
}

// Positions of x in ind(1..len) in increasing order, into hits(1..); -1 when
// there are more than hits.size().
int find_all(Ivec ind, int len, int x, Ivec hits) {
  const int32_t* p = ind.data();
  const int cap = hits.size();
  int h = 0;
  int b = 0;
  for (; b + 16 <= len; b += 16) {
    for (unsigned m = match16(p + b, x); m != 0; m &= m - 1) {
      if (h == cap) return -1;
      hits(++h) = b + std::countr_zero(m) + 1;
    }
  }
  for (; b < len; ++b) {
    if (p[b] != x) continue;
    if (h == cap) return -1;
    hits(++h) = b + 1;
  }
  return h;
}

// First position of x in ind(1..len), 0 when absent.
int find_first(Ivec ind, int len, int x) {
  const int32_t* p = ind.data();
  int b = 0;
  for (; b + 16 <= len; b += 16)
    if (unsigned m = match16(p + b, x)) return b + std::countr_zero(m) + 1;
  for (; b < len; ++b)
    if (p[b] == x) return b + 1;
  return 0;
}

// Delete column jrep from the rows of U at positions 1..kend, each row
// searched from its start and its first jrep replaced by its last entry.
// Rows at later positions cannot hold jrep, U being triangular.  Instead of
// searching every row, the row file is searched once (vectorized) and the
// owners of the places found are marked (lenrow negated); the rows are then
// visited in pivot order as before, so the deletions and the changes to
// rowend are the same.  loccol holds the places found and is cleared again.
void lu7zap(Upd& u, int jrep, int kend) {
  LuArrays& f = u.f;
  auto del = [&](int i, int l) {  // row i loses its entry at l
    int l2 = f.locrow(i) + f.lenrow(i) - 1;
    f.a(l) = f.a(l2);
    f.indr(l) = f.indr(l2);
    f.indr(l2) = 0;
    f.lenrow(i) -= 1;
    u.lenu -= 1;
    if (l2 == u.lrow) u.lrow = l2 - 1;
  };
  // With the column index the rows that may hold jrep are known: each is
  // searched (the deletions do not depend on the order of the rows).
  if (u.cx != nullptr) {
    for (const int i : u.cx->rows[jrep]) {
      if (u.cx->ipos[i] > kend) continue;
      const int l1 = f.locrow(i), l2 = l1 + f.lenrow(i) - 1;
      for (int l = l1; l <= l2; ++l)
        if (f.indr(l) == jrep) {
          del(i, l);
          break;
        }
    }
    return;
  }
  // Places of jrep, then their owners: loccol(1..nown) lists each owner once;
  // an owner has lenrow negated and the place of its first jrep (the first
  // place found in it) as -indc at its start.
  const int h = find_all(f.indr, u.lrow, jrep, f.loccol);
  bool trusted = h >= 0;
  int nown = 0;
  for (int q = 1; q <= h; ++q) {
    const int p = f.loccol(q), i = f.indc(p);
    const int len = i >= 1 && i <= u.m ? std::abs(f.lenrow(i)) : 0;
    if (len == 0 || p < f.locrow(i) || p >= f.locrow(i) + len) {
      trusted = false;
      break;
    }
    if (f.lenrow(i) < 0) continue;  // a later place in a row already listed
    f.lenrow(i) = -len;
    f.indc(f.locrow(i)) = -p;
    f.loccol(++nown) = i;
  }
  int left = trusted ? nown : 0;
  for (int k = 1; k <= kend && left > 0; ++k) {
    const int i = f.iperm(k);
    if (f.lenrow(i) >= 0) continue;
    const int l1 = f.locrow(i), p = -f.indc(l1);
    f.lenrow(i) = -f.lenrow(i);
    f.indc(l1) = i;
    del(i, p);
    --left;
  }
  for (int q = 1; q <= nown; ++q) {  // owners not reached (beyond kend) or not trusted
    const int i = f.loccol(q);
    if (f.lenrow(i) < 0) {
      f.lenrow(i) = -f.lenrow(i);
      f.indc(f.locrow(i)) = i;
    }
  }
  const int used = h < 0 ? f.loccol.size() : h;
  for (int q = 1; q <= used; ++q) f.loccol(q) = 0;
  if (trusted) return;
  for (int k = 1; k <= kend; ++k) {  // search row by row
    const int i = f.iperm(k);
    const int l1 = f.locrow(i), l2 = l1 + f.lenrow(i) - 1;
    for (int l = l1; l <= l2; ++l)
      if (f.indr(l) == jrep) {
        del(i, l);
        break;
      }
  }
}

// Rank test of the row at position nrank.  Returns 0, or 8 when the column
// of its largest entry is not among positions nrank..n (inconsistent factors).
int lu7rnk(Upd& u, int jsing, double& diag) {
  LuArrays& f = u.f;
  diag = 0.0;
  if (u.nrank < 1) return 0;
  int i = f.iperm(u.nrank);
  int len = f.lenrow(i);
  if (len == 0) {
    --u.nrank;
    return 0;
  }
  int l1 = f.locrow(i), l2 = l1 + len - 1;
  int lmax = l1;
  double amax = std::fabs(f.a(l1));
  for (int l = l1 + 1; l <= l2; ++l) {
    if (std::fabs(f.a(l)) > amax) {
      amax = std::fabs(f.a(l));
      lmax = l;
    }
  }
  int jmax = f.indr(lmax);
  diag = f.a(lmax);
  int kmax = 0;
  for (int k = u.nrank; k <= u.n; ++k) {
    if (f.jperm(k) == jmax) {
      kmax = k;
      break;
    }
  }
  if (kmax == 0) return 8;
  moved(u, u.nrank, kmax);
  std::swap(f.jperm(u.nrank), f.jperm(kmax));
  std::swap(f.a(lmax), f.a(l1));
  std::swap(f.indr(lmax), f.indr(l1));
  if (std::fabs(diag) > u.utol1 && jmax != jsing) return 0;
  for (int l = l1; l <= l2; ++l) f.indr(l) = 0;
  u.lenu -= len;
  f.lenrow(i) = 0;
  if (l2 == u.lrow) {
    u.lrow = l1 - 1;
    while (u.lrow > 0 && f.indr(u.lrow) == 0) --u.lrow;
  }
  --u.nrank;
  return 0;
}

}  // namespace

void lu8rpc(Units& io, int mode1, int mode2, int m, int n, int jrep, Dvec v, Dvec w, int lena,
            Ivec luipar, Dvec lurpar, LuArrays& f, int& inform, double& diag, double& vnorm, LuColIndex* cx) {
  Upd u{io, f, luipar, lurpar, m, n, lena};
  u.nrank = luipar(lup::nrank);
  u.lenl = luipar(lup::lenl);
  u.lenu = luipar(lup::lenu);
  u.lrow = luipar(lup::lrow);
  u.small = lurpar(lur::small);
  u.tau = lurpar(lur::ltol2);
  u.utol1 = lurpar(lur::utol1);
  const double utol2 = lurpar(lur::utol2);
  const int nout = luipar(lup::nout);
  const bool prt = nout > 0 && luipar(lup::lprint) >= 0;
  const int nrank0 = u.nrank;
  diag = 0.0;
  vnorm = 0.0;
  inform = 0;
  bool nodiag = false;

  if (cx != nullptr && (!cx->matches(luipar) || static_cast<int>(cx->rows.size()) != n + 1 ||
                        static_cast<int>(cx->ipos.size()) != m + 1)) {
    cx->valid = false;
    cx = nullptr;
  }
  u.cx = cx;
  auto finish = [&]() {
    if (cx != nullptr) {
      if (inform == 7 || inform == 8) {
        cx->valid = false;
      } else if (u.kmax > 0) {
        lu_index_positions(f, m, n, u.kmin, u.kmax, *cx);
      }
    }
    luipar(lup::inform) = inform;
    luipar(lup::nupdat) += 1;
    luipar(lup::nrank) = u.nrank;
    luipar(lup::lenl) = u.lenl;
    luipar(lup::lenu) = u.lenu;
    luipar(lup::lrow) = u.lrow;
    if (cx != nullptr && cx->valid) cx->stamp_with(luipar);
  };
  auto storage_error = [&]() {
    inform = 7;
    if (prt) {
      io.line(nout, "");
      io.linef(nout, " lu8rpc  error...  Insufficient storage.    lena =%8d", lena);
    }
    finish();
  };

  if (jrep < 1 || jrep > n) {
    inform = 8;
    if (prt) {
      io.line(nout, "");
      io.linef(nout, " lu8rpc  error...  jrep  is out of range.    m =%8d    n =%8d    jrep =%8d", m, n, jrep);
    }
    finish();
    return;
  }
  if (m < 1 || f.a.size() < lena || f.indc.size() < lena || f.indr.size() < lena || f.iperm.size() < m ||
      f.jperm.size() < n || f.lenrow.size() < m || f.locrow.size() < m || f.loccol.size() < n ||
      (mode2 != 0 && v.size() < m) || u.nrank < 0 || u.nrank > std::min(m, n) || u.lrow < 0 ||
      u.lenl < 0 || u.lrow + u.lenl > lena) {
    inform = 8;
    finish();
    return;
  }

  // lu7zap: remove the old column from the rows of U and find its position.
  int krep = find_first(f.jperm, n, jrep);
  if (mode1 != 0) lu7zap(u, jrep, krep > 0 && krep < u.nrank ? krep : u.nrank);
  if (cx != nullptr) cx->rows[jrep].clear();  // column jrep holds nothing now
  if (krep == 0) {  // jperm is not a permutation
    inform = 8;
    finish();
    return;
  }

  // The new column: L^-1 v, then its part within the rank into U (lu7add).
  if (mode2 == 1) {
    int inf1 = 0;
    lu6l(m, n, v, lena, luipar, lurpar, f, inf1);
  }
  int klast = 0;
  bool raised = false;
  if (mode2 != 0) {
    // The rows in pivot order: with the index, its positions put the few
    // nonzeros of a sparse v in that order instead of a pass over all of
    // them (the same appends, and vnorm summed in the same order).
    std::vector<int>* inorder = cx != nullptr ? &cx->starts : nullptr;
    if (inorder != nullptr) {
      inorder->clear();
      const int most = u.nrank / 8;
      const bool few = for_each_nonzero(v, m, [&](int i) {
        const int k = cx->ipos[i];
        if (k <= u.nrank && std::fabs(v(i)) > u.small) inorder->push_back(k);
        return static_cast<int>(inorder->size()) <= most;
      });
      if (few) {
        std::sort(inorder->begin(), inorder->end());
      } else {
        inorder = nullptr;
      }
    }
    auto add = [&](int k) {
      const int i = f.iperm(k);
      const double vi = v(i);
      klast = k;
      vnorm += std::fabs(vi);
      return row_append(u, i, vi, jrep);
    };
    if (inorder != nullptr) {
      for (const int k : *inorder) {
        if (add(k) != 0) return storage_error();
      }
    } else {
      for (int k = 1; k <= u.nrank; ++k) {
        if (std::fabs(v(f.iperm(k))) <= u.small) continue;
        if (add(k) != 0) return storage_error();
      }
    }
    // lu7elm: the part beyond the rank gives at most one new pivot row.
    if (u.nrank < m) {
      if (!ensure_space(u, m - u.nrank)) return storage_error();
      int kmax = 0;
      double vmax = 0.0;
      for (int k = u.nrank + 1; k <= m; ++k) {
        double vi = std::fabs(v(f.iperm(k)));
        if (vi > u.small && vi > vmax) {
          vmax = vi;
          kmax = k;
        }
      }
      if (kmax > 0 && u.nrank >= n) {
        // Every column already has a pivot: the rank cannot rise, so the part
        // beyond it cannot be placed.  Ask for a fresh factorization.
        inform = 8;
        finish();
        return;
      }
      if (kmax > 0) {
        int imax = f.iperm(kmax);
        double vpiv = v(imax);
        for (int k = u.nrank + 1; k <= m; ++k) {
          int i = f.iperm(k);
          if (i == imax || std::fabs(v(i)) <= u.small) continue;
          u.lenl += 1;
          int l = lena - u.lenl + 1;
          f.a(l) = -v(i) / vpiv;
          f.indc(l) = i;
          f.indr(l) = imax;
        }
        moved(u, u.nrank + 1, kmax);
        std::swap(f.iperm(u.nrank + 1), f.iperm(kmax));
        ++u.nrank;
        u.lrow += 1;
        f.locrow(imax) = u.lrow;
        f.lenrow(imax) = 1;
        f.a(u.lrow) = vpiv;
        f.indr(u.lrow) = jrep;
        f.indc(u.lrow) = imax;
        listed(u, imax, jrep);
        u.lenu += 1;
        vnorm += std::fabs(vpiv);
        klast = u.nrank;
        raised = true;
      }
    }
  }

  if (u.nrank == 0) {  // nothing left to place
    inform = u.nrank == nrank0 ? 0 : (u.nrank < nrank0 ? -1 : 1);
    finish();
    return;
  }

  // Placement of the new column and the spike row.  When the part beyond
  // the rank gave a new pivot row, jrep must be that row's column: the
  // column at position lurank goes to krep instead, and after the cyclic
  // shift the old row of jrep (the spike) looks for a pivot in it.
  if (raised && krep < u.nrank) {
    moved(u, krep, u.nrank);
    std::swap(f.jperm(krep), f.jperm(u.nrank));
  }
  if (u.nrank < n) {
    if (krep < u.nrank) {
      klast = u.nrank;
    } else {
      moved(u, krep, u.nrank);
      std::swap(f.jperm(krep), f.jperm(u.nrank));
      krep = u.nrank;
    }
  }
  bool swept = false;
  if (klast >= krep) {
    moved(u, krep, klast);
    lu7cyc(krep, klast, f.iperm);
    lu7cyc(krep, klast, f.jperm);
    if (lu7for(u, krep, klast, diag, nodiag) != 0) return storage_error();
    swept = true;
  }

  // Instability: a new diagonal far larger than the column put in.
  if (swept && vnorm < utol2 * std::fabs(diag)) {
    inform = 2;
    if (prt) {
      io.line(nout, "");
      io.linef(nout, " lu8rpc  warning.  Instability after replacing column.    jrep =%8d    diag =%12.2E",
                   jrep, diag);
    }
    finish();
    return;
  }

  // Singularity of the row now holding column jrep.
  int kpos = swept ? klast : krep;
  int code = 0;
  {
    int i = f.iperm(kpos);
    int l1 = f.locrow(i), len = f.lenrow(i);
    bool sing = len == 0 || f.indr(l1) != jrep;
    if (!sing) {
      double ad = std::fabs(f.a(l1));
      diag = f.a(l1);
      sing = ad <= u.utol1 || ad <= utol2 * vnorm;
    }
    if (sing) {
      if (kpos < u.nrank) {
        moved(u, kpos, u.nrank);
        lu7cyc(kpos, u.nrank, f.iperm);
        lu7cyc(kpos, u.nrank, f.jperm);
        if (lu7for(u, kpos, u.nrank, diag, nodiag) != 0) return storage_error();
      }
      code = lu7rnk(u, jrep, diag);
    } else if (u.nrank < n) {
      code = lu7rnk(u, 0, diag);
    }
  }
  if (code == 8) {
    inform = 8;
    if (prt) io.line(nout, "Fatal error in DECOM lu7rnk");
    finish();
    return;
  }

  if (u.nrank == nrank0) {
    inform = 0;
  } else if (u.nrank < nrank0) {
    inform = -1;
    if (nrank0 == n && prt) {
      io.line(nout, "");
      io.linef(nout, " lu8rpc  warning.  Singularity after replacing column.    jrep =%8d    diag =%12.2E",
                   jrep, diag);
    }
  } else {
    inform = 1;
  }
  finish();
}

}  // namespace tv

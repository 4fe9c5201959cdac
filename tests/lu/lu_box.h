// Test harness of the LU package: owns the caller storage, builds matrices,
// and checks factors and solves against dense arithmetic.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/units.h"
#include "lu/lu.h"

namespace lutest {

struct Entry {
  int i, j;
  double v;
};
using Entries = std::vector<Entry>;

// A matrix by columns (column j - 1 maps row to value), and its entries.
using Column = std::map<int, double>;
inline Entries entries_of(const std::vector<Column>& cols) {
  Entries e;
  for (size_t j = 0; j < cols.size(); ++j)
    for (auto [i, v] : cols[j]) e.push_back({i, int(j) + 1, v});
  return e;
}

inline const double kEps = std::pow(2.0, -52);

struct LuBox {
  int m = 0, n = 0, lena = 0;
  std::vector<double> a, wcol;
  std::vector<int> indc, indr, iperm, jperm, lencol, lenrow, loccol, locrow, ibucket, jbucket, iinv, jinv, jlist,
      jmark, imark;
  std::array<int, 31> ip{};
  std::array<double, 31> rp{};
  tv::Units io;
  tv::LuArrays f;
  int unit = 9;

  LuBox(int m_, int n_, int lena_) { resize(m_, n_, lena_); }

  void resize(int m_, int n_, int lena_) {
    m = m_;
    n = n_;
    lena = lena_;
    // One spare slot each so an overrun past lena shows as a changed guard value.
    a.assign(lena + 1, 0.0);
    indc.assign(lena + 1, 0);
    indr.assign(lena + 1, 0);
    auto vi = [](std::vector<int>& v, int len) { v.assign(std::max(len, 1), 0); };
    vi(iperm, m); vi(lenrow, m); vi(locrow, m); vi(iinv, m); vi(imark, m); vi(jbucket, m);
    vi(jperm, n); vi(lencol, n); vi(loccol, n); vi(jinv, n); vi(jlist, n); vi(jmark, n); vi(ibucket, n);
    wcol.assign(std::max(n, 1), 0.0);
    f.a = tv::Dvec(a.data(), lena);
    f.indc = tv::Ivec(indc.data(), lena);
    f.indr = tv::Ivec(indr.data(), lena);
    f.iperm = tv::Ivec(iperm.data(), m);
    f.jperm = tv::Ivec(jperm.data(), n);
    f.lencol = tv::Ivec(lencol.data(), n);
    f.lenrow = tv::Ivec(lenrow.data(), m);
    f.loccol = tv::Ivec(loccol.data(), n);
    f.locrow = tv::Ivec(locrow.data(), m);
    f.ibucket = tv::Ivec(ibucket.data(), n);
    f.jbucket = tv::Ivec(jbucket.data(), m);
    f.iinv = tv::Ivec(iinv.data(), m);
    f.jinv = tv::Ivec(jinv.data(), n);
    f.jlist = tv::Ivec(jlist.data(), n);
    f.jmark = tv::Ivec(jmark.data(), n);
    f.imark = tv::Ivec(imark.data(), m);
    f.wcol = tv::Dvec(wcol.data(), n);
    defaults();
  }

  void defaults() {
    ip.fill(0);
    rp.fill(0.0);
    ip[1] = 0;   // no unit unless a test asks
    ip[2] = -1;
    ip[3] = 5;
    ip[6] = 0;
    ip[8] = 1;
    rp[1] = 10.0;
    rp[2] = 10.0;
    rp[3] = std::pow(kEps, 0.8);
    rp[4] = std::pow(kEps, 0.67);
    rp[5] = std::pow(kEps, 0.67);
    rp[6] = 3.0;
    rp[7] = 0.3;
    rp[8] = 0.5;
  }

  void capture(int level) {
    io.attach_buffer(unit);
    ip[1] = unit;
    ip[2] = level;
  }
  std::string text() const { return io.buffer(unit); }

  tv::Ivec luipar() { return tv::Ivec(ip.data() + 1, 30); }
  tv::Dvec lurpar() { return tv::Dvec(rp.data() + 1, 30); }

  int factor(const Entries& e, int rule = 0, bool keep = true) {
    ip[6] = rule;
    ip[8] = keep ? 1 : 0;
    int nent = int(e.size());
    for (int l = 0; l < nent; ++l) {
      a[l] = e[l].v;
      indc[l] = e[l].i;
      indr[l] = e[l].j;
    }
    guard();
    int inform = -99;
    tv::lu1fac(io, m, n, nent, lena, luipar(), lurpar(), f, inform);
    return inform;
  }
  // Values past lena that the package must never touch.
  void guard() {
    a[lena] = 12345.0;
    indc[lena] = 777;
    indr[lena] = 777;
  }
  bool guard_intact() const { return a[lena] == 12345.0 && indc[lena] == 777 && indr[lena] == 777; }

  int solve(int mode, std::vector<double>& v, std::vector<double>& w) {
    int inform = -99;
    tv::lu6sol(mode, m, n, tv::Dvec(v.data(), m), tv::Dvec(w.data(), n), lena, luipar(), lurpar(), f, inform);
    return inform;
  }
  int replace(int jrep, std::vector<double>& v, double& diag, double& vnorm, int mode2 = 1) {
    int inform = -99;
    tv::Dvec vv(v.data(), m);
    tv::lu8rpc(io, 1, mode2, m, n, jrep, vv, vv, lena, luipar(), lurpar(), f, inform, diag, vnorm);
    return inform;
  }

  int nrank() const { return ip[16]; }
  int lenL() const { return ip[23]; }
  int lenU() const { return ip[24]; }

  // ---- dense arithmetic with the stored factors ----
  // v <- L v (undo the stored eliminations).
  void apply_L(std::vector<double>& v) const {
    int lenl0 = ip[21], lenl = ip[23];
    for (int l = lena - lenl + 1; l <= lena - lenl0; ++l) v[indc[l - 1] - 1] -= a[l - 1] * v[indr[l - 1] - 1];
    for (int l = lena - lenl0 + 1; l <= lena; ++l) v[indc[l - 1] - 1] -= a[l - 1] * v[indr[l - 1] - 1];
  }
  // v <- L' v.
  void apply_Lt(std::vector<double>& v) const {
    int lenl0 = ip[21], lenl = ip[23];
    for (int l = lena; l > lena - lenl0; --l) v[indr[l - 1] - 1] -= a[l - 1] * v[indc[l - 1] - 1];
    for (int l = lena - lenl0; l > lena - lenl; --l) v[indr[l - 1] - 1] -= a[l - 1] * v[indc[l - 1] - 1];
  }
  // Dense U (m x n, original indices) from the stored rows.
  std::vector<double> dense_U() const {
    std::vector<double> u(size_t(m) * n, 0.0);
    for (int k = 1; k <= nrank(); ++k) {
      int i = iperm[k - 1];
      for (int l = locrow[i - 1]; l < locrow[i - 1] + lenrow[i - 1]; ++l) u[size_t(i - 1) * n + indr[l - 1] - 1] += a[l - 1];
    }
    return u;
  }
};

inline std::vector<double> dense(int m, int n, const Entries& e) {
  std::vector<double> d(size_t(m) * n, 0.0);
  for (auto& x : e) d[size_t(x.i - 1) * n + x.j - 1] += x.v;
  return d;
}
inline double maxabs(const std::vector<double>& v) {
  double t = 0;
  for (double x : v) t = std::max(t, std::fabs(x));
  return t;
}

// max |A - L U| over the entries (both in original indices).
inline double lu_error(const LuBox& b, const Entries& e) {
  std::vector<double> A = dense(b.m, b.n, e), U = b.dense_U();
  double err = 0.0;
  std::vector<double> col(b.m);
  for (int j = 0; j < b.n; ++j) {
    for (int i = 0; i < b.m; ++i) col[i] = U[size_t(i) * b.n + j];
    b.apply_L(col);
    for (int i = 0; i < b.m; ++i) err = std::max(err, std::fabs(col[i] - A[size_t(i) * b.n + j]));
  }
  return err;
}

// ---- matrix makers ----
struct Maker {
  std::mt19937 rng;
  explicit Maker(unsigned seed) : rng(seed) {}
  double uni(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  double val() {
    double x = uni(0.1, 1.0);
    return pick(0, 1) ? x : -x;
  }
  // Random sparse m x n with about `per` entries per column, no duplicates.
  Entries sparse(int m, int n, int per) {
    Entries e;
    std::vector<int> seen(m + 1, 0);
    for (int j = 1; j <= n; ++j) {
      int cnt = std::min(m, pick(1, 2 * per));
      for (int c = 0; c < cnt; ++c) {
        int i = pick(1, m);
        if (seen[i] == j) continue;
        seen[i] = j;
        e.push_back({i, j, val()});
      }
    }
    return e;
  }
  // Square, nonsingular in practice: sparse plus a strong random diagonal.
  Entries square(int n, int per, bool diag = true) {
    Entries e = sparse(n, n, per);
    if (diag) {
      std::vector<char> has(n + 1, 0);
      for (auto& x : e)
        if (x.i == x.j) {
          x.v += x.v > 0 ? 2.0 : -2.0;
          has[x.i] = 1;
        }
      for (int i = 1; i <= n; ++i)
        if (!has[i]) e.push_back({i, i, pick(0, 1) ? 2.5 : -2.5});
    }
    return e;
  }
  // Basis-like: k slack columns (unit entries), the rest sparse structurals.
  Entries basis(int n, int nslk, int per) {
    Entries e;
    std::vector<int> rows(n);
    for (int i = 0; i < n; ++i) rows[i] = i + 1;
    std::shuffle(rows.begin(), rows.end(), rng);
    for (int j = 1; j <= nslk; ++j) e.push_back({rows[j - 1], j, 1.0});
    std::vector<int> seen(n + 1, 0);
    for (int j = nslk + 1; j <= n; ++j) {
      // a strong entry in one of the rows the slacks left free keeps B nonsingular
      int r = rows[j - 1];
      e.push_back({r, j, val() * 3});
      seen[r] = j;
      int cnt = pick(0, 2 * per);
      for (int c = 0; c < cnt; ++c) {
        int i = pick(1, n);
        if (seen[i] == j) continue;
        seen[i] = j;
        e.push_back({i, j, val()});
      }
    }
    return e;
  }
  void shuffle(Entries& e) { std::shuffle(e.begin(), e.end(), rng); }
};

}  // namespace lutest

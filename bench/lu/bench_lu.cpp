// LU package benchmark: factor, solve and update times, fill and growth per
// pivoting rule on basis matrices of Netlib problems (slacks plus structural
// columns picked by a triangular crash) and on random basis-like matrices of
// growing size; UMFPACK and KLU on the same matrices when available.
//
// usage: bench_lu [netlib-dir ...] [--sizes 1000,10000,100000] [--quick]
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/units.h"
#include "lu/lu.h"

#ifdef TARVO_BENCH_SUITESPARSE
#include <klu.h>
#include <umfpack.h>
#endif

namespace {

struct Csc {  // m x n, 0-based, sorted rows per column
  int m = 0, n = 0;
  std::vector<int> p, i;
  std::vector<double> x;
};

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// ---- a small fixed-format MPS reader: ROWS and COLUMNS only ----------------
bool read_mps(const std::string& path, int& m, std::vector<std::vector<std::pair<int, double>>>& cols) {
  gzFile g = gzopen(path.c_str(), "rb");
  if (!g) return false;
  std::map<std::string, int> rowno;
  std::string objrow, section, lastcol;
  char buf[512];
  m = 0;
  auto field = [](const char* line, int a, int b) {  // 1-based columns a..b, trimmed
    std::string s;
    int len = int(std::strlen(line));
    for (int c = a; c <= b && c <= len; ++c) s += line[c - 1];
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n' || s.back() == '\r')) s.pop_back();
    size_t k = s.find_first_not_of(' ');
    return k == std::string::npos ? std::string() : s.substr(k);
  };
  while (gzgets(g, buf, sizeof buf)) {
    if (buf[0] == '*') continue;
    if (buf[0] != ' ') {
      section = field(buf, 1, 12);
      if (section.rfind("RHS", 0) == 0 || section.rfind("BOUNDS", 0) == 0 || section.rfind("RANGES", 0) == 0 ||
          section.rfind("ENDATA", 0) == 0)
        break;
      continue;
    }
    if (section == "ROWS") {
      std::string type = field(buf, 2, 3), name = field(buf, 5, 12);
      if (type == "N") {
        if (objrow.empty()) objrow = name;
        rowno[name] = 0;  // free rows are not constraints
      } else {
        rowno[name] = ++m;
      }
    } else if (section == "COLUMNS") {
      if (std::strstr(buf, "'MARKER'")) continue;
      std::string col = field(buf, 5, 12);
      if (col != lastcol) {
        cols.emplace_back();
        lastcol = col;
      }
      for (int f = 0; f < 2; ++f) {
        std::string rn = field(buf, 15 + 25 * f, 22 + 25 * f), val = field(buf, 25 + 25 * f, 36 + 25 * f);
        if (rn.empty()) continue;
        auto it = rowno.find(rn);
        if (it == rowno.end() || it->second == 0) continue;
        double v = std::atof(val.c_str());
        if (v != 0.0) cols.back().push_back({it->second, v});
      }
    }
  }
  gzclose(g);
  return m > 0;
}

// Triangular crash: structural columns by increasing count, each taking an
// uncovered row where it has a large enough entry; slacks fill the rest.
Csc crash_basis(int m, const std::vector<std::vector<std::pair<int, double>>>& cols) {
  std::vector<int> order(cols.size());
  for (size_t j = 0; j < cols.size(); ++j) order[j] = int(j);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return cols[a].size() < cols[b].size(); });
  std::vector<char> covered(m + 1, 0);
  std::vector<int> chosen;
  for (int j : order) {
    if (cols[j].empty()) continue;
    double big = 0;
    for (auto& e : cols[j]) big = std::max(big, std::fabs(e.second));
    int r = 0;
    for (auto& e : cols[j])
      if (!covered[e.first] && std::fabs(e.second) >= 0.1 * big) {
        r = e.first;
        break;
      }
    if (r == 0) continue;
    covered[r] = 1;
    chosen.push_back(j);
    if (int(chosen.size()) == m) break;
  }
  Csc B;
  B.m = B.n = m;
  B.p.push_back(0);
  for (int j : chosen) {
    auto c = cols[j];
    std::sort(c.begin(), c.end());
    for (auto& e : c) {
      B.i.push_back(e.first - 1);
      B.x.push_back(e.second);
    }
    B.p.push_back(int(B.i.size()));
  }
  for (int r = 1; r <= m; ++r)
    if (!covered[r]) {
      B.i.push_back(r - 1);
      B.x.push_back(1.0);
      B.p.push_back(int(B.i.size()));
    }
  return B;
}

// Random basis-like matrix: a third slacks, the rest columns with a strong
// entry near the diagonal, two entries in a band and now and then a far one.
Csc random_basis(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0.1, 1.0);
  std::vector<int> perm(n);
  for (int i = 0; i < n; ++i) perm[i] = i;
  std::shuffle(perm.begin(), perm.end(), rng);
  Csc B;
  B.m = B.n = n;
  B.p.push_back(0);
  for (int j = 0; j < n; ++j) {
    std::map<int, double> c;
    if (j % 3 == 0) {
      c[perm[j]] = 1.0;
    } else {
      c[perm[j]] = 2.0 + u(rng);
      for (int t = 0; t < 2; ++t) {
        int r = perm[j] + int(rng() % 101) - 50;
        if (r >= 0 && r < n) c[r] = (rng() & 1 ? 1 : -1) * u(rng);
      }
      if (rng() % 10 == 0) c[int(rng() % n)] = u(rng);
    }
    for (auto& [r, v] : c) {
      B.i.push_back(r);
      B.x.push_back(v);
    }
    B.p.push_back(int(B.i.size()));
  }
  return B;
}

struct LuStore {
  int m, n, lena;
  std::vector<double> a, wcol;
  std::vector<int> indc, indr, iperm, jperm, lencol, lenrow, loccol, locrow, ibucket, jbucket, iinv, jinv, jlist,
      jmark, imark;
  int ip[31] = {};
  double rp[31] = {};
  tv::LuArrays f;
  LuStore(int m_, int n_, int lena_) : m(m_), n(n_), lena(lena_) {
    a.resize(lena);
    indc.resize(lena);
    indr.resize(lena);
    for (auto* v : {&iperm, &lenrow, &locrow, &iinv, &imark, &jbucket}) v->resize(m);
    for (auto* v : {&jperm, &lencol, &loccol, &jinv, &jlist, &jmark, &ibucket}) v->resize(n);
    wcol.resize(n);
    f = tv::LuArrays{tv::Dvec(a.data(), lena), tv::Ivec(indc.data(), lena), tv::Ivec(indr.data(), lena),
                     tv::Ivec(iperm.data(), m), tv::Ivec(jperm.data(), n), tv::Ivec(lencol.data(), n),
                     tv::Ivec(lenrow.data(), m), tv::Ivec(loccol.data(), n), tv::Ivec(locrow.data(), m),
                     tv::Ivec(ibucket.data(), n), tv::Ivec(jbucket.data(), m), tv::Ivec(iinv.data(), m),
                     tv::Ivec(jinv.data(), n), tv::Ivec(jlist.data(), n), tv::Ivec(jmark.data(), n),
                     tv::Ivec(imark.data(), m), tv::Dvec(wcol.data(), n)};
  }
  tv::Ivec luipar() { return tv::Ivec(ip + 1, 30); }
  tv::Dvec lurpar() { return tv::Dvec(rp + 1, 30); }
};

struct Result {
  double tfac = 0, tsol = 0, tupd = 0, growth = 0;
  long fill = 0;
  int inform = 0, rank = 0, ncp = 0;
};

template <class F>
double timeit(F&& f, double budget = 0.3, int maxrep = 200) {
  int rep = 0;
  double t0 = now(), t;
  do {
    f();
    ++rep;
    t = now() - t0;
  } while (t < budget && rep < maxrep);
  return t / rep;
}

Result run_ours(tv::Units& io, const Csc& B, int rule, bool updates) {
  const int m = B.m, n = B.n;
  const int nz = int(B.i.size());
  LuStore s(m, n, std::max(10 * nz, 5 * (m + n)) + 100000);
  auto factor = [&]() {
    s.ip[1] = std::getenv("LU_BENCH_DEBUG") ? 6 : 0;
    s.ip[2] = std::getenv("LU_BENCH_DEBUG") ? 50 : -1;
    s.ip[3] = 5;
    s.ip[6] = rule;
    s.ip[8] = 1;
    s.rp[1] = 100.0;  // the LP default factor tolerance
    s.rp[2] = 10.0;
    s.rp[3] = std::pow(2.0, -52 * 0.8);
    s.rp[4] = s.rp[5] = std::pow(2.0, -52 * 0.67);
    s.rp[6] = 3.0;
    s.rp[7] = 0.3;
    s.rp[8] = 0.5;
    for (int j = 0; j < n; ++j)
      for (int l = B.p[j]; l < B.p[j + 1]; ++l) {
        s.a[l] = B.x[l];
        s.indc[l] = B.i[l] + 1;
        s.indr[l] = j + 1;
      }
    int nent = nz, inform = 0;
    tv::lu1fac(io, m, n, nent, s.lena, s.luipar(), s.lurpar(), s.f, inform);
    return inform;
  };
  Result r;
  r.tfac = timeit(factor);
  r.inform = factor();
  r.rank = s.ip[16];
  r.fill = long(s.ip[23]) + s.ip[24];
  r.growth = s.rp[16];
  r.ncp = s.ip[26];
  if (r.inform > 1) return r;
  std::mt19937 rng(5);
  std::vector<double> v(m), w(n);
  r.tsol = timeit([&]() {
    for (int i = 0; i < m; ++i) v[i] = double(rng() % 7) - 3.0;
    int inf;
    tv::lu6sol(1, m, n, tv::Dvec(v.data(), m), tv::Dvec(w.data(), n), s.lena, s.luipar(), s.lurpar(), s.f, inf);
    tv::lu6sol(3, m, n, tv::Dvec(v.data(), m), tv::Dvec(w.data(), n), s.lena, s.luipar(), s.lurpar(), s.f, inf);
    for (int j = 0; j < n; ++j) w[j] = double(rng() % 7) - 3.0;
    tv::lu6sol(6, m, n, tv::Dvec(v.data(), m), tv::Dvec(w.data(), n), s.lena, s.luipar(), s.lurpar(), s.f, inf);
  });
  if (updates) {
    // 50 replacements chosen as a ratio test would: FTRAN a random column of
    // the matrix, replace the column with the largest pivot.
    int nupd = 0;
    double t0 = now();
    for (int it = 0; it < 50; ++it) {
      int src = int(rng() % n);
      std::fill(v.begin(), v.end(), 0.0);
      for (int l = B.p[src]; l < B.p[src + 1]; ++l) v[B.i[l]] = B.x[l] * (1.0 + 0.01 * it);
      int inf;
      tv::Dvec vv(v.data(), m), ww(w.data(), n);
      tv::lu6sol(1, m, n, vv, ww, s.lena, s.luipar(), s.lurpar(), s.f, inf);
      tv::lu6sol(3, m, n, vv, ww, s.lena, s.luipar(), s.lurpar(), s.f, inf);
      int jrep = 1;
      for (int j = 2; j <= n; ++j)
        if (std::fabs(w[j - 1]) > std::fabs(w[jrep - 1])) jrep = j;
      double diag, vnorm;
      tv::lu8rpc(io, 1, 2, m, n, jrep, vv, vv, s.lena, s.luipar(), s.lurpar(), s.f, inf, diag, vnorm);
      ++nupd;
      if (inf != 0) break;
    }
    r.tupd = (now() - t0) / nupd;  // one FTRAN plus one replacement
  }
  return r;
}

#ifdef TARVO_BENCH_SUITESPARSE
Result run_umfpack(const Csc& B) {
  Result r;
  void *sym = nullptr, *num = nullptr;
  r.tfac = timeit([&]() {
    if (num) umfpack_di_free_numeric(&num);
    if (sym) umfpack_di_free_symbolic(&sym);
    umfpack_di_symbolic(B.m, B.n, B.p.data(), B.i.data(), B.x.data(), &sym, nullptr, nullptr);
    r.inform = umfpack_di_numeric(B.p.data(), B.i.data(), B.x.data(), sym, &num, nullptr, nullptr);
  });
  int64_t lnz = 0, unz = 0, nr, nc, nzud;
  int ilnz, iunz, inr, inc, inzud;
  umfpack_di_get_lunz(&ilnz, &iunz, &inr, &inc, &inzud, num);
  (void)nr; (void)nc; (void)nzud; (void)lnz; (void)unz;
  r.fill = long(ilnz) - B.m + iunz;
  std::vector<double> b(B.m, 1.0), x(B.n);
  r.tsol = timeit([&]() {
    umfpack_di_solve(UMFPACK_A, B.p.data(), B.i.data(), B.x.data(), x.data(), b.data(), num, nullptr, nullptr);
    umfpack_di_solve(UMFPACK_At, B.p.data(), B.i.data(), B.x.data(), x.data(), b.data(), num, nullptr, nullptr);
  });
  umfpack_di_free_numeric(&num);
  umfpack_di_free_symbolic(&sym);
  return r;
}

Result run_klu(const Csc& B) {
  Result r;
  klu_common c;
  klu_defaults(&c);
  c.halt_if_singular = 0;  // the crash bases are often singular: factorize them all the same
  klu_symbolic* sym = nullptr;
  klu_numeric* num = nullptr;
  r.tfac = timeit([&]() {
    if (num) klu_free_numeric(&num, &c);
    if (sym) klu_free_symbolic(&sym, &c);
    sym = klu_analyze(B.n, const_cast<int*>(B.p.data()), const_cast<int*>(B.i.data()), &c);
    num = sym ? klu_factor(const_cast<int*>(B.p.data()), const_cast<int*>(B.i.data()), const_cast<double*>(B.x.data()),
                           sym, &c)
              : nullptr;
  });
  r.inform = num && c.status == KLU_OK ? 0 : 1;
  if (num) r.fill = long(num->lnz) + num->unz - B.n + num->nzoff;
  std::vector<double> b(B.n, 1.0);
  if (num)
    r.tsol = timeit([&]() {
      klu_solve(sym, num, B.n, 1, b.data(), &c);
      klu_tsolve(sym, num, B.n, 1, b.data(), &c);
    });
  if (num) klu_free_numeric(&num, &c);
  if (sym) klu_free_symbolic(&sym, &c);
  return r;
}
#endif

void report(tv::Units& io, const std::string& name, const Csc& B, bool quick) {
  const char* rules[] = {"partial", "rook", "complete"};
  std::printf("%-12s %7d %8d", name.c_str(), B.m, int(B.i.size()));
  Result base;
  for (int rule = 0; rule < (quick ? 1 : 3); ++rule) {
    Result r = run_ours(io, B, rule, rule == 0);
    if (rule == 0) base = r;
    std::printf(" | %s %8.2f ms fill %8ld gr %7.1e", rules[rule], 1e3 * r.tfac, r.fill, r.growth);
    if (rule == 0)
      std::printf(" sol %7.3f ms upd %7.3f ms rank %d cmp %d", 1e3 * r.tsol, 1e3 * r.tupd, r.rank, r.ncp);
  }
#ifdef TARVO_BENCH_SUITESPARSE
  Result u = run_umfpack(B), k = run_klu(B);
  std::printf(" | UMF %8.2f ms fill %8ld sol %7.3f | KLU %8.2f ms fill %8ld sol %7.3f | fac/KLU %5.2f fill/UMF %5.2f",
              1e3 * u.tfac, u.fill, 1e3 * u.tsol, 1e3 * k.tfac, k.fill, 1e3 * k.tsol, base.tfac / k.tfac,
              double(base.fill) / double(std::max(1L, u.fill)));
#endif
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> dirs;
  std::vector<int> sizes{1000, 10000, 100000};
  bool quick = false;
  for (int k = 1; k < argc; ++k) {
    std::string a = argv[k];
    if (a == "--quick") {
      quick = true;
    } else if (a == "--sizes" && k + 1 < argc) {
      sizes.clear();
      for (char* t = std::strtok(argv[++k], ","); t; t = std::strtok(nullptr, ",")) sizes.push_back(std::atoi(t));
    } else {
      dirs.push_back(a);
    }
  }
  tv::Units io;
  std::printf("times per call; fill = lenL + lenU (off-diagonal L plus U with diagonal); gr = growth\n");
  std::printf("sol = one FTRAN (L then U) plus one BTRAN; upd = one FTRAN plus one column replacement\n");
  for (auto& dir : dirs) {
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string f = e->d_name;
        if (f.size() > 4 && (f.find(".mps") != std::string::npos)) files.push_back(f);
      }
      closedir(d);
    }
    std::sort(files.begin(), files.end());
    for (auto& f : files) {
      int m = 0;
      std::vector<std::vector<std::pair<int, double>>> cols;
      if (!read_mps(dir + "/" + f, m, cols)) continue;
      Csc B = crash_basis(m, cols);
      report(io, f.substr(0, f.find('.')), B, quick);
    }
  }
  for (int n : sizes) report(io, "random" + std::to_string(n), random_basis(n, 11), quick);
  return 0;
}

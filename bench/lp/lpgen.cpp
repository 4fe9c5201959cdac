// lpgen: structured linear programs for the LP benchmark, in free MPS.
//
//   lpgen FAMILY SIZE SEED FILE     one problem (FAMILY transp, mcf, stair;
//                                   SIZE a scale factor, see below)
//   lpgen --set DIR [--max NZ]      the benchmark's set: every family at
//                                   about 1e4, 3e4, 1e5, 3e5 and 1e6 nonzeros
//                                   (those above NZ left out), seed 1
//
// Everything follows from the seed through one 64-bit generator (splitmix64),
// so a problem is the same file on every machine.  The families:
//
//   transp  transportation: S sources with supplies, T sinks with demands,
//           every source-sink arc, cost the distance between random points
//           in the unit square (integers 1..1000).  Integer supplies and
//           demands make most bases degenerate.  S = 2 SIZE, T = 3 SIZE.
//   mcf     multicommodity flow: a random connected network of N = 4 SIZE
//           nodes and about 4 N arcs with capacities and costs, K = SIZE
//           commodities each sent from one node to another; flow
//           conservation per node and commodity, joint capacity per arc,
//           and per commodity an uncapacitated expensive direct arc so that
//           every instance is feasible.
//   stair   multi-period production planning: T = SIZE periods, P = 5 SIZE
//           products made on R = SIZE / 2 + 2 resources (each product uses
//           three), inventory linking one period to the next, demand to be
//           met from production or stock, overtime on each resource at a
//           cost.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Rng {
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ULL + 12345) {}
  uint64_t next() {
    uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
  int range(int lo, int hi) { return lo + int(next() % uint64_t(hi - lo + 1)); }
};

// A problem as rows, columns by entries, bounds; written as free MPS.
struct Lp {
  std::string name;
  struct Row {
    std::string name;
    char type;
    double rhs;
  };
  struct Col {
    std::string name;
    std::vector<std::pair<int, double>> e;  // row (0 = objective), value
    double lo = 0.0, up = INFINITY;
  };
  std::vector<Row> rows;  // rows[0] is the objective
  std::vector<Col> cols;
  Lp() { rows.push_back({"COST", 'N', 0.0}); }
  int row(std::string n, char t, double rhs) {
    rows.push_back({std::move(n), t, rhs});
    return int(rows.size()) - 1;
  }
  Col& col(std::string n) {
    cols.push_back({});
    cols.back().name = std::move(n);
    return cols.back();
  }
  long nonzeros() const {
    long k = 0;
    for (auto& c : cols) k += long(c.e.size());
    return k;
  }
  bool write(const std::string& path) const {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "NAME %s FREE\nROWS\n", name.c_str());
    for (auto& r : rows) std::fprintf(f, " %c %s\n", r.type, r.name.c_str());
    std::fprintf(f, "COLUMNS\n");
    for (auto& c : cols)
      for (auto& [i, v] : c.e) std::fprintf(f, " %s %s %.10g\n", c.name.c_str(), rows[i].name.c_str(), v);
    std::fprintf(f, "RHS\n");
    for (size_t i = 1; i < rows.size(); ++i)
      if (rows[i].rhs != 0.0) std::fprintf(f, " RHS %s %.10g\n", rows[i].name.c_str(), rows[i].rhs);
    std::fprintf(f, "BOUNDS\n");
    for (auto& c : cols) {
      if (c.lo != 0.0) std::fprintf(f, " LO BND %s %.10g\n", c.name.c_str(), c.lo);
      if (std::isfinite(c.up)) std::fprintf(f, " UP BND %s %.10g\n", c.name.c_str(), c.up);
    }
    std::fprintf(f, "ENDATA\n");
    return std::fclose(f) == 0;
  }
};

std::string nm(const char* p, long a) {
  std::string s(p);
  s += std::to_string(a);
  return s;
}
std::string nm(const char* p, long a, long b) {
  std::string s = nm(p, a);
  s += '_';
  s += std::to_string(b);
  return s;
}

Lp transportation(int size, uint64_t seed) {
  Rng r(seed);
  const int S = 2 * size, T = 3 * size;
  Lp lp;
  std::vector<double> sx(S), sy(S), tx(T), ty(T);
  for (int i = 0; i < S; ++i) sx[i] = r.uniform(), sy[i] = r.uniform();
  for (int j = 0; j < T; ++j) tx[j] = r.uniform(), ty[j] = r.uniform();
  std::vector<int> dem(T);
  long total = 0;
  for (int j = 0; j < T; ++j) total += dem[j] = r.range(10, 100);
  // Supplies: 10 % more than the demand in all, split at random.
  std::vector<double> w(S);
  double ws = 0;
  for (int i = 0; i < S; ++i) ws += w[i] = 0.5 + r.uniform();
  std::vector<int> sup(S);
  for (int i = 0; i < S; ++i) sup[i] = int(std::ceil(1.1 * double(total) * w[i] / ws));
  std::vector<int> srow(S), trow(T);
  for (int i = 0; i < S; ++i) srow[i] = lp.row(nm("S", i + 1), 'L', sup[i]);
  for (int j = 0; j < T; ++j) trow[j] = lp.row(nm("D", j + 1), 'G', dem[j]);
  for (int i = 0; i < S; ++i)
    for (int j = 0; j < T; ++j) {
      const double d = std::hypot(sx[i] - tx[j], sy[i] - ty[j]);
      auto& c = lp.col(nm("x", i + 1, j + 1));
      c.e = {{0, std::max(1.0, std::round(1000.0 * d))}, {srow[i], 1.0}, {trow[j], 1.0}};
    }
  lp.name = "transp" + std::to_string(size);
  return lp;
}

Lp multicommodity(int size, uint64_t seed) {
  Rng r(seed);
  const int N = 4 * size, K = size;
  // Nodes at random points; arcs to the nearest neighbours (both ways) plus a
  // ring so that the network is connected.
  std::vector<double> px(N), py(N);
  for (int v = 0; v < N; ++v) px[v] = r.uniform(), py[v] = r.uniform();
  std::vector<std::pair<int, int>> arcs;
  std::vector<std::vector<int>> out(N);
  auto add = [&](int a, int b) {
    for (int x : out[a])
      if (x == b) return;
    out[a].push_back(b);
    arcs.push_back({a, b});
  };
  for (int v = 0; v < N; ++v) {
    add(v, (v + 1) % N);
    add((v + 1) % N, v);
  }
  for (int v = 0; v < N; ++v) {
    std::vector<std::pair<double, int>> d;
    for (int u = 0; u < N; ++u)
      if (u != v) d.push_back({std::hypot(px[u] - px[v], py[u] - py[v]), u});
    std::partial_sort(d.begin(), d.begin() + std::min<size_t>(2, d.size()), d.end());
    for (size_t q = 0; q < std::min<size_t>(2, d.size()); ++q) {
      add(v, d[q].second);
      add(d[q].second, v);
    }
  }
  const int A = int(arcs.size());
  std::vector<double> cost(A), cap(A);
  for (int a = 0; a < A; ++a) {
    auto [u, v] = arcs[a];
    cost[a] = std::max(1.0, std::round(100.0 * std::hypot(px[u] - px[v], py[u] - py[v])) + r.range(0, 5));
  }
  std::vector<int> src(K), dst(K), dem(K);
  for (int k = 0; k < K; ++k) {
    src[k] = r.range(0, N - 1);
    do dst[k] = r.range(0, N - 1);
    while (dst[k] == src[k]);
    dem[k] = r.range(5, 50);
  }
  // Capacities: tight enough that the commodities compete for the arcs.
  for (int a = 0; a < A; ++a) cap[a] = r.range(20, 20 + 4 * K);
  Lp lp;
  std::vector<int> capro(A);
  std::vector<int> node0(K);
  for (int k = 0; k < K; ++k) {
    node0[k] = int(lp.rows.size());
    for (int v = 0; v < N; ++v) {
      const double b = v == src[k] ? dem[k] : v == dst[k] ? -dem[k] : 0.0;
      lp.row(nm("n", k + 1, v + 1), 'E', b);
    }
  }
  for (int a = 0; a < A; ++a) capro[a] = lp.row(nm("c", a + 1), 'L', cap[a]);
  for (int k = 0; k < K; ++k) {
    for (int a = 0; a < A; ++a) {
      auto [u, v] = arcs[a];
      auto& c = lp.col(nm("f", k + 1, a + 1));
      c.e = {{0, cost[a]}, {node0[k] + u, 1.0}, {node0[k] + v, -1.0}, {capro[a], 1.0}};
    }
    auto& c = lp.col(nm("u", k + 1));
    c.e = {{0, 5000.0}, {node0[k] + src[k], 1.0}, {node0[k] + dst[k], -1.0}};
  }
  lp.name = "mcf" + std::to_string(size);
  return lp;
}

Lp staircase(int size, uint64_t seed) {
  Rng r(seed);
  const int T = size, P = 5 * size, R = size / 2 + 2;
  std::vector<std::array<int, 3>> uses(P);
  std::vector<std::array<double, 3>> rate(P);
  std::vector<double> pcost(P), hold(P);
  for (int p = 0; p < P; ++p) {
    for (int q = 0; q < 3; ++q) {
      int res;
      bool dup;
      do {
        res = r.range(0, R - 1);
        dup = false;
        for (int s = 0; s < q; ++s) dup = dup || uses[p][s] == res;
      } while (dup && R >= 3);
      uses[p][q] = res;
      rate[p][q] = 0.5 + std::round(20.0 * r.uniform()) / 10.0;
    }
    pcost[p] = r.range(10, 50);
    hold[p] = r.range(1, 4);
  }
  std::vector<double> capr(R, 0.0);
  std::vector<std::vector<int>> dem(T, std::vector<int>(P));
  for (int t = 0; t < T; ++t)
    for (int p = 0; p < P; ++p) {
      const double season = 1.0 + 0.5 * std::sin(6.283185307 * t / 12.0 + p);
      dem[t][p] = int(std::round(season * r.range(0, 20)));
    }
  // Regular capacity: about 80 % of the average load.
  for (int p = 0; p < P; ++p)
    for (int q = 0; q < 3; ++q) capr[uses[p][q]] += 0.8 * 10.0 * rate[p][q];
  Lp lp;
  std::vector<std::vector<int>> bal(T, std::vector<int>(P)), res(T, std::vector<int>(R));
  for (int t = 0; t < T; ++t) {
    for (int p = 0; p < P; ++p) bal[t][p] = lp.row(nm("b", t + 1, p + 1), 'E', dem[t][p]);
    for (int q = 0; q < R; ++q) res[t][q] = lp.row(nm("r", t + 1, q + 1), 'L', std::round(capr[q]));
  }
  for (int t = 0; t < T; ++t) {
    for (int p = 0; p < P; ++p) {
      auto& x = lp.col(nm("x", t + 1, p + 1));
      x.e.push_back({0, pcost[p] * (1.0 + 0.01 * t)});
      x.e.push_back({bal[t][p], 1.0});
      for (int q = 0; q < 3; ++q) x.e.push_back({res[t][uses[p][q]], rate[p][q]});
      // Stock at the end of period t, carried into t+1.
      auto& s = lp.col(nm("s", t + 1, p + 1));
      s.e.push_back({0, hold[p]});
      s.e.push_back({bal[t][p], -1.0});
      if (t + 1 < T) s.e.push_back({bal[t + 1][p], 1.0});
      s.up = 200.0;
    }
    for (int q = 0; q < R; ++q) {
      auto& o = lp.col(nm("o", t + 1, q + 1));
      o.e = {{0, 30.0}, {res[t][q], -1.0}};
    }
  }
  lp.name = "stair" + std::to_string(size);
  return lp;
}

Lp make(const std::string& family, int size, uint64_t seed) {
  if (family == "transp") return transportation(size, seed);
  if (family == "mcf") return multicommodity(size, seed);
  return staircase(size, seed);
}

// The sizes of the set: scale factors giving about 1e4, 3e4, 1e5, 3e5 and
// 1e6 nonzeros (transp 18 SIZE^2, mcf about 74 SIZE^2, stair about 41
// SIZE^2).
struct Member {
  const char* family;
  int size;
};
const Member kSet[] = {
    {"transp", 24}, {"transp", 41}, {"transp", 75}, {"transp", 130}, {"transp", 236},
    {"mcf", 12},    {"mcf", 20},    {"mcf", 37},    {"mcf", 64},     {"mcf", 117},
    {"stair", 16},  {"stair", 27},  {"stair", 49},  {"stair", 86},   {"stair", 156},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--set") == 0) {
    const std::string dir = argv[2];
    long maxnz = 2000000;
    if (argc >= 5 && std::strcmp(argv[3], "--max") == 0) maxnz = std::atol(argv[4]);
    std::filesystem::create_directories(dir);
    // optimal.csv as the benchmark reads it: the sizes, no known optimum
    // (the benchmark takes the solvers' consensus).
    std::FILE* csv = std::fopen((dir + "/optimal.csv").c_str(), "w");
    if (!csv) {
      std::fprintf(stderr, "lpgen: cannot write %s/optimal.csv\n", dir.c_str());
      return 1;
    }
    std::fprintf(csv, "name,rows,cols,nonzeros,optimal_objective,source\n");
    for (const Member& s : kSet) {
      // The nonzeros follow from the size; skip a problem above the limit
      // before building it.
      const double est = std::strcmp(s.family, "transp") == 0 ? 18.0 * s.size * s.size
                         : std::strcmp(s.family, "mcf") == 0  ? 74.0 * s.size * s.size
                                                              : 41.0 * s.size * s.size;
      if (est > 1.5 * double(maxnz)) continue;
      const std::string path = dir + "/" + s.family + std::to_string(s.size) + ".mps";
      Lp lp = make(s.family, s.size, 1);
      std::fprintf(csv, "%s,%zu,%zu,%ld,nan,lpgen %s %d 1\n", lp.name.c_str(), lp.rows.size() - 1, lp.cols.size(),
                   lp.nonzeros(), s.family, s.size);
      if (std::filesystem::exists(path)) continue;
      if (!lp.write(path + ".tmp")) {
        std::fprintf(stderr, "lpgen: cannot write %s\n", path.c_str());
        return 1;
      }
      std::filesystem::rename(path + ".tmp", path);
      std::printf("%-10s rows %8zu  cols %8zu  nonzeros %9ld\n", lp.name.c_str(), lp.rows.size(), lp.cols.size(),
                  lp.nonzeros());
    }
    return std::fclose(csv) == 0 ? 0 : 1;
  }
  if (argc != 5) {
    std::fprintf(stderr,
                 "usage: lpgen FAMILY SIZE SEED FILE   (FAMILY transp, mcf or stair)\n"
                 "       lpgen --set DIR [--max NONZEROS]\n");
    return 2;
  }
  const std::string family = argv[1];
  if (family != "transp" && family != "mcf" && family != "stair") {
    std::fprintf(stderr, "lpgen: unknown family %s\n", family.c_str());
    return 2;
  }
  const int size = std::max(2, std::atoi(argv[2]));
  Lp lp = make(family, size, std::strtoull(argv[3], nullptr, 10));
  if (!lp.write(argv[4])) {
    std::fprintf(stderr, "lpgen: cannot write %s\n", argv[4]);
    return 1;
  }
  std::printf("%s: rows %zu  cols %zu  nonzeros %ld\n", lp.name.c_str(), lp.rows.size(), lp.cols.size(),
              lp.nonzeros());
  return 0;
}

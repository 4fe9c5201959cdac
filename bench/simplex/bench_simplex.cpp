// Solves Netlib problems with the main loop from the all-slack basis,
// without scaling, and reports iterations, factorizations, time per
// iteration and the error of the optimal value.
//
// usage: bench_simplex DATA_DIR [name ...]   (DATA_DIR holds NAME.mps and optimal.csv)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/entry.h"
#include "core/m2amat.h"
#include "core/setup.h"
#include "core/tvsolv.h"
#include "files/mps.h"
#include "lu/basis_state.h"
#include "options/options.h"
#include "simplex/m5solv.h"
#include "simplex/simplex_state.h"

namespace {

std::map<std::string, double> optimal_values(const std::string& dir) {
  std::map<std::string, double> out;
  std::ifstream f(dir + "/optimal.csv");
  std::string line;
  std::getline(f, line);
  while (std::getline(f, line)) {
    std::stringstream ss(line);
    std::string field[5];
    for (auto& s : field) std::getline(ss, s, ',');
    out[field[0]] = std::stod(field[4]);
  }
  return out;
}

struct Result {
  int inform = -1, itn = 0, nfactor = 0;
  double obj = 0.0, seconds = 0.0;
};

Result solve(const std::string& path) {
  Result res;
  tv::Context ctx;
  tv::MpsModel M;
  if (tv::mps_read(ctx, path, M) != 0) return res;
  tv::tvstart(ctx, 0, 0, 0);
  int errors = 0;
  tv::tvopti(ctx, "Scale option", 0, 0, 0, errors);
  tv::tvopti(ctx, "Iterations limit", 100000, 0, 0, errors);
  tv::Problem P = M.problem();
  tv::solve_settings(ctx, P);
  const int nwork = static_cast<int>(tv::partition_workspace(ctx, 0));
  tv::partition_workspace(ctx, nwork);
  std::vector<double> z(nwork, 0.0);
  tv::bind_workspace(ctx, z.data(), nwork);
  tv::run_start(ctx, P);
  tv::m2amat(ctx, 2, P, ctx.ws.ivec(ctx.part.bsfeas));
  for (int j = 1; j <= P.n; ++j) {
    P.hs(j) = 0;
    P.xn(j) = std::clamp(P.xn(j), P.bl(j), P.bu(j));
  }
  for (int i = 1; i <= P.m; ++i) P.hs(P.n + i) = 3;
  int ns = 0, start = 0, inform = 0;
  const auto t0 = std::chrono::steady_clock::now();
  tv::m5solv(ctx, P, ns, start, inform);
  res.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  res.inform = inform;
  res.itn = ctx.spx.itn;
  res.nfactor = ctx.bas.nfactor;
  res.obj = ctx.spx.obj;
  return res;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DATA_DIR [name ...]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const auto opt = optimal_values(dir);
  std::vector<std::string> names;
  for (int k = 2; k < argc; ++k) names.push_back(argv[k]);
  if (names.empty()) {
    for (const auto& kv : opt) names.push_back(kv.first);
  }
  std::printf("%-10s %6s %7s %6s %10s %12s %10s\n", "problem", "inform", "itn", "nfac",
              "seconds", "us/itn", "rel.err");
  for (const auto& nm : names) {
    std::ifstream probe(dir + "/" + nm + ".mps");
    if (!probe) continue;
    const Result r = solve(dir + "/" + nm + ".mps");
    const double want = opt.count(nm) ? opt.at(nm) : 0.0;
    const double err = std::fabs(r.obj - want) / std::max(1.0, std::fabs(want));
    std::printf("%-10s %6d %7d %6d %10.4f %12.1f %10.1e\n", nm.c_str(), r.inform, r.itn,
                r.nfactor, r.seconds, 1e6 * r.seconds / std::max(r.itn, 1), err);
  }
  return 0;
}

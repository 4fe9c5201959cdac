#include "report.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/exit_text.h"

namespace tvcli {

int exit_status(int inform) {
  switch (inform) {
    case TV_OPTIMAL: return kExitOptimal;
    case TV_INFEASIBLE: return kExitInfeasible;
    case TV_UNBOUNDED: return kExitUnbounded;
    case TV_ITERATION_LIMIT:
    case TV_TIME_LIMIT:
    case TV_INTERRUPT: return kExitLimit;
    case TV_BASIS_FILE:
    case TV_MPS_ERRORS:
    case TV_MPS_FILE: return kExitInput;
    default: return kExitFailure;
  }
}

const char* result_text(int inform) { return tv::result_meaning(inform); }

double no_negative_zero(double v) { return v == 0.0 ? 0.0 : v; }

Infeasibilities primal_infeasibilities(const tv::MpsModel& M, double tol) {
  Infeasibilities f;
  for (int j = 0; j < M.nb(); ++j) {
    const double v = std::max(M.bl[j] - M.xn[j], M.xn[j] - M.bu[j]);
    if (v > tol) {
      ++f.count;
      f.sum += v;
    }
    f.largest = std::max(f.largest, v);
  }
  return f;
}

namespace {

constexpr double kBig = 0.9 * 1.0e+20;

std::string num(double v, bool lower_limit, bool upper_limit) {
  if ((lower_limit && v <= -kBig) || (upper_limit && v >= kBig)) return "            None";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%16.8E", no_negative_zero(v));
  return buf;
}

// State word of variable j from its state code (rows: the slack's lower
// bound is the row's upper limit, so 0 and 1 change places).
const char* state_word(const tv::MpsModel& M, int j) {
  const int h = M.hs[j - 1];
  if (h == 3) return "BS";
  if (h == 2) return "SBS";
  if (M.bl[j - 1] == M.bu[j - 1]) return "EQ";
  const bool row = j > M.n;
  if (h == 0) return row ? "UL" : "LL";
  if (h == 1) return row ? "LL" : "UL";
  return "??";
}

}  // namespace

bool write_solution(const std::string& path, const tv::MpsModel& M, const tv::EntryResult& r,
                    const Infeasibilities& inf) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  size_t w = 8;
  for (const auto& s : M.colnames) w = s.size() > w ? s.size() : w;
  for (const auto& s : M.rownames) w = s.size() > w ? s.size() : w;
  const int W = static_cast<int>(w);

  std::fprintf(f, "Problem    %s\n", M.name.c_str());
  std::fprintf(f, "Result     %d  %s\n", r.inform, result_text(r.inform));
  std::fprintf(f, "Objective  %.17g\n", no_negative_zero(r.obj));
  std::fprintf(f, "Infeasibilities %d  sum %.6E  largest %.3E\n", inf.count, inf.sum, inf.largest);
  std::fprintf(f, "Iterations %d\n\n", r.nitns);

  std::fprintf(f, "Rows\n%8s  %-*s  %-5s %16s %16s %16s %16s\n", "Number", W, "Name", "State", "Activity",
               "Lower limit", "Upper limit", "Dual value");
  for (int i = 1; i <= M.m; ++i) {
    const int j = M.n + i;
    std::fprintf(f, "%8d  %-*s  %-5s %s %s %s %s\n", i, W, M.rownames[i - 1].c_str(), state_word(M, j),
                 num(-M.xn[j - 1], false, false).c_str(), num(-M.bu[j - 1], true, false).c_str(),
                 num(-M.bl[j - 1], false, true).c_str(), num(M.pi[i - 1], false, false).c_str());
  }
  std::fprintf(f, "\nColumns\n%8s  %-*s  %-5s %16s %16s %16s %16s\n", "Number", W, "Name", "State",
               "Activity", "Lower limit", "Upper limit", "Reduced cost");
  for (int j = 1; j <= M.n; ++j) {
    std::fprintf(f, "%8d  %-*s  %-5s %s %s %s %s\n", j, W, M.colnames[j - 1].c_str(), state_word(M, j),
                 num(M.xn[j - 1], false, false).c_str(), num(M.bl[j - 1], true, false).c_str(),
                 num(M.bu[j - 1], false, true).c_str(), num(M.rc[j - 1], false, false).c_str());
  }
  return std::fclose(f) == 0;
}

}  // namespace tvcli

#include "report.h"

#include <cstdio>
#include <string>

namespace tvcli {

int exit_status(int inform) {
  switch (inform) {
    case 0: return kExitOptimal;
    case 1: return kExitInfeasible;
    case 2: return kExitUnbounded;
    case 3:
    case 18:
    case 19: return kExitLimit;
    case 40:
    case 41: return kExitInput;
    default: return kExitFailure;
  }
}

const char* result_text(int inform) {
  switch (inform) {
    case 0: return "optimal solution found";
    case 1: return "the problem is infeasible";
    case 2: return "the problem is unbounded (or badly scaled)";
    case 3: return "too many iterations";
    case 4: return "the objective has not changed for many iterations";
    case 5: return "the superbasics limit is too small";
    case 6: return "a user function asked to stop";
    case 7: return "the objective gradients appear to be wrong";
    case 8: return "the constraint gradients appear to be wrong";
    case 9: return "the current point cannot be improved upon";
    case 10: return "numerical error: the constraints cannot be satisfied accurately";
    case 11: return "cannot find a superbasic to replace a basic variable";
    case 12: return "basis factorization requested twice in a row";
    case 13: return "near-optimal solution found";
    case 18: return "time limit reached";
    case 19: return "interrupted";
    case 20: return "not enough storage for the basis factors";
    case 21: return "error in the basis package";
    case 22: return "the basis is singular after repeated factorization attempts";
    case 30: return "the basis file dimensions do not match this problem";
    case 32: return "system error: too many basic variables";
    case 40: return "errors in the MPS file";
    case 41: return "the MPS file cannot be read";
    case 42: return "not enough workspace";
    case tv::kInformBadData: return "the problem data are invalid";
    default: return "the solver did not finish the solve";
  }
}

namespace {

constexpr double kBig = 0.9 * 1.0e+20;

std::string num(double v, bool lower_limit, bool upper_limit) {
  if ((lower_limit && v <= -kBig) || (upper_limit && v >= kBig)) return "            None";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%16.8E", v);
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

bool write_solution(const std::string& path, const tv::MpsModel& M, const tv::EntryResult& r) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  size_t w = 8;
  for (const auto& s : M.colnames) w = s.size() > w ? s.size() : w;
  for (const auto& s : M.rownames) w = s.size() > w ? s.size() : w;
  const int W = static_cast<int>(w);

  std::fprintf(f, "Problem    %s\n", M.name.c_str());
  std::fprintf(f, "Result     %d  %s\n", r.inform, result_text(r.inform));
  std::fprintf(f, "Objective  %.17g\n", r.obj);
  std::fprintf(f, "Infeasibilities %d  sum %.6E\n", r.ninf, r.sinf);
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

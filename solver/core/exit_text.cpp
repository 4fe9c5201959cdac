#include "core/exit_text.h"

#include <cstdio>
#include <vector>

#include "core/context.h"
#include "core/page.h"
#include "tarvo.h"

namespace tv {

namespace {

struct ExitText {
  int inform;
  int form;
  const char* meaning;  // in a few words (usual form only)
  int blanks;           // blank lines before the EXIT line
  const char* text;     // printf format with at most two %lld
  const char* after;    // a line that follows it, or nullptr
};

constexpr ExitText kExits[] = {
    {TV_OPTIMAL, 0, "optimal solution found", 0,
     " EXIT -- optimal solution found", nullptr},
    {TV_INFEASIBLE, 0, "the problem is infeasible", 0,
     " EXIT -- the problem is infeasible", nullptr},
    {TV_UNBOUNDED, 0, "the problem is unbounded (or badly scaled)", 0,
     " EXIT -- the problem is unbounded  (or badly scaled).", nullptr},
    {TV_ITERATION_LIMIT, 0, "too many iterations", 0,
     " EXIT -- too many iterations", nullptr},
    {TV_NO_CHANGE, 0, "the objective has not changed for many iterations", 0,
     " EXIT -- the objective has not changed for the last%8lld  iterations", nullptr},
    {TV_SUPERBASICS_LIMIT, 0, "the superbasics limit is too small", 0,
     " EXIT -- the superbasics limit is too small:%8lld", nullptr},
    {TV_SUPERBASICS_LIMIT, kExitSuperbasicsRg, nullptr, 0,
     " EXIT -- the superbasics limit is too small...%8lld", nullptr},
    {TV_USER_STOP, 0, "a user function asked to stop", 0,
     " EXIT -- function not defined (mode = -1) prior to linesearch", nullptr},
    {TV_USER_STOP, kExitFunobjStop, nullptr, 0,
     " EXIT -- Termination requested by User in subroutine funobj after%8lld  calls", nullptr},
    {TV_USER_STOP, kExitFunconStop, nullptr, 0,
     " EXIT -- Termination requested by User in subroutine funcon", nullptr},
    {TV_OBJ_GRADIENTS, 0, "the objective gradients appear to be wrong", 2,
     " EXIT -- subroutine funobj appears to be giving incorrect gradients", nullptr},
    {TV_CON_GRADIENTS, 0, "the constraint gradients appear to be wrong", 2,
     " EXIT -- subroutine funcon appears to be giving incorrect gradients", nullptr},
    {TV_CANNOT_IMPROVE, 0, "the current point cannot be improved upon", 0,
     " EXIT -- the current point cannot be improved upon", nullptr},
    {TV_NUMERICAL_ERROR, 0, "numerical error: the constraints cannot be satisfied accurately", 0,
     " EXIT -- numerical error.  General constraints cannot be satisfied accurately", nullptr},
    {TV_NO_SUPERBASIC, 0, "cannot find a superbasic to replace a basic variable", 0,
     " EXIT -- cannot find a superbasic to replace basic variable", nullptr},
    {TV_FACTOR_TWICE, 0, "basis factorization requested twice in a row", 0,
     " EXIT -- basis factorization requested twice in a row", nullptr},
    {TV_NEAR_OPTIMAL, 0, "near-optimal solution found", 0,
     " EXIT -- near-optimal solution found",
     " XXX WARNING: reduced gradient is large -- solution is not really optimal"},
    {TV_TIME_LIMIT, 0, "time limit reached", 0,
     " EXIT -- CPU limit exceeded", nullptr},
    {TV_INTERRUPT, 0, "interrupted", 0,
     " EXIT -- control-c interrupt", nullptr},
    {TV_LU_STORAGE, 0, "not enough storage for the basis factors", 1,
     " EXIT -- not enough storage for the basis factors", nullptr},
    {TV_LU_ERROR, 0, "error in the basis package", 1,
     " EXIT -- error in basis package", nullptr},
    {TV_SINGULAR_BASIS, 0, "the basis is singular after repeated factorization attempts", 1,
     " EXIT -- the basis is singular after%4lld  factorization attempts", nullptr},
    {TV_BASIS_FILE, 0, "the basis file does not fit this problem or cannot be read", 1,
     " EXIT -- the basis file dimensions do not match this problem", nullptr},
    {TV_BASIS_FILE, kExitBasisFileUnreadable, nullptr, 1,
     " EXIT -- the basis file cannot be read", nullptr},
    {TV_TOO_MANY_BASICS, 0, "system error: too many basic variables", 1,
     " EXIT -- system error.  Too many basic variables:%8lld", nullptr},
    {TV_MPS_ERRORS, 0, "errors in the MPS file", 0,
     " EXIT -- MPS file not read: %lld errors (result %lld)", nullptr},
    {TV_MPS_FILE, 0, "the MPS file cannot be read", 0,
     " EXIT -- MPS file not read: %lld errors (result %lld)", nullptr},
    {TV_WORKSPACE, 0, "not enough workspace", 0,
     " EXIT -- not enough workspace to start solving this problem.  nwork =%10lld  minwork =%10lld", nullptr},
    {TV_WORKSPACE, kExitWorkspace64, nullptr, 0,
     " EXIT -- not enough workspace: this problem needs %lld words, more than a 32-bit workspace length can hold",
     nullptr},
    {TV_BAD_DATA, 0, "the problem data are invalid", 0,
     " EXIT -- the problem data are invalid", nullptr},
    {TV_SYSTEM_ERROR, 0, "system error: not enough memory, or a failure inside the solver", 0,
     " EXIT -- system error.  Not enough memory", nullptr},
    {TV_SYSTEM_ERROR, kExitFailure, nullptr, 0,
     " EXIT -- system error.  Failure inside the solver", nullptr},
};

const ExitText* find(int inform, int form) {
  for (const ExitText& e : kExits) {
    if (e.inform == inform && e.form == form) return &e;
  }
  return nullptr;
}

std::string format(const char* fmt, long long a, long long b) {
  const int n = std::snprintf(nullptr, 0, fmt, a, b);
  std::vector<char> buf(static_cast<size_t>(n > 0 ? n : 0) + 1);
  std::snprintf(buf.data(), buf.size(), fmt, a, b);
  return std::string(buf.data());
}

}  // namespace

std::string exit_text(int inform, int form, long long a, long long b) {
  const ExitText* e = find(inform, form);
  return e ? format(e->text, a, b) : std::string();
}

void print_exit(Context& ctx, int inform, int form, long long a, long long b) {
  const ExitText* e = find(inform, form);
  if (!e) return;
  m1page(ctx, 2);
  for (int k = 0; k < e->blanks; ++k) ctx.both("");
  ctx.both(format(e->text, a, b));
  if (e->after) ctx.both(e->after);
}

const char* exit_format(int inform, int form) {
  const ExitText* e = find(inform, form);
  return e ? e->text : nullptr;
}

const char* result_meaning(int inform) {
  const ExitText* e = find(inform, kExitUsual);
  return e ? e->meaning : "the solver did not finish the solve";
}

}  // namespace tv

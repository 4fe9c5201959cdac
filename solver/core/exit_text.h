// The texts of the result codes (tarvo.h, enum tv_inform): the EXIT line
// that ends a run on the print and summary files, and a short meaning for
// callers that report a result in a few words.  One table for every place
// that ends a run.
#pragma once

#include <string>

namespace tv {

struct Context;

// Second texts of some results (the `form` argument; 0 is the usual text).
enum : int {
  kExitUsual = 0,
  kExitSuperbasicsRg = 1,  // 5 found by the reduced-gradient iteration
  kExitFunobjStop = 1,     // 6 asked by funobj, after so many calls
  kExitFunconStop = 2,     // 6 asked by funcon
  kExitBasisFileUnreadable = 1,  // 30 for a file that is empty or not a basis file
  kExitWorkspace64 = 1,    // 42 when the need does not fit a 32-bit length
  kExitFailure = 1,        // 44 not for lack of memory
};

// The EXIT line of `inform` with up to two numbers in it ("" when the
// result has none).
std::string exit_text(int inform, int form = kExitUsual, long long a = 0, long long b = 0);

// The EXIT line on the print and summary files after a page break, with the
// blank lines that precede it and the line that follows it (13: the
// warning).  Results without a text print nothing.
void print_exit(Context& ctx, int inform, int form = kExitUsual, long long a = 0, long long b = 0);

// The format of the EXIT line itself (nullptr when none): for a caller that
// must not allocate.
const char* exit_format(int inform, int form = kExitUsual);

// What a result means, in a few words ("optimal solution found").
const char* result_meaning(int inform);

}  // namespace tv

// Output of the command: result texts, exit status, the solution listing.
#pragma once

#include <string>

#include "core/entry.h"
#include "files/mps.h"

namespace tvcli {

// Exit status of the command.
enum Exit : int {
  kExitOptimal = 0,
  kExitInfeasible = 1,
  kExitUnbounded = 2,
  kExitLimit = 3,      // iterations or time limit, interrupt
  kExitFailure = 4,    // any other result of the solver
  kExitInput = 5,      // MPS or SPECS file errors, files that cannot be opened or written
  kExitUsage = 6,
};

int exit_status(int inform);
// A short description of a result code.
const char* result_text(int inform);

// Bound violations of the returned point, rows and columns, in the units of
// the problem as given (the solver's own count and sum are of the scaled
// problem): those above `tol`, their sum and the largest of all.
struct Infeasibilities {
  int count = 0;
  double sum = 0.0;
  double largest = 0.0;
};
Infeasibilities primal_infeasibilities(const tv::MpsModel& M, double tol);

// v, with a negative zero made positive (printed as 0, not -0).
double no_negative_zero(double v);

// The solution with whole names, rows then columns.  False when the file
// cannot be written.
bool write_solution(const std::string& path, const tv::MpsModel& M, const tv::EntryResult& r,
                    const Infeasibilities& inf);

}  // namespace tvcli

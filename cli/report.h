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

// The solution with whole names, rows then columns.  False when the file
// cannot be written.
bool write_solution(const std::string& path, const tv::MpsModel& M, const tv::EntryResult& r);

}  // namespace tvcli

// The solve behind tvlCallSolver: model transfer, solver call and results.
#include "tvl.h"

namespace tvl {

int tvlModelSolve(tvlRec* tvl) {
  raiseError(tvl->utils, 10, "%s", "Model transfer to the solver is not yet available");
  return tvl->utils->code;
}

}  // namespace tvl

// The evaluation callbacks as the solver holds them.
//
// C callers hand plain function pointers to tvsetfun (tarvo.h); C++ callers
// may give anything callable with the same arguments (a lambda with its own
// data, for instance) to tv::tvsetfun(Context&, ...).  An empty function
// means "none".
#pragma once

#include <functional>

namespace tv {

// funobj(mode, nnobj, x, fobj, gobj, nstate, nprob, z, nwork)
using FunObj = std::function<void(int* mode, int* nnobj, double* x, double* fobj, double* gobj,
                                  int* nstate, int* nprob, double* z, int* nwork)>;
// funcon(mode, nncon, nnjac, njac, x, fcon, gcon, nstate, nprob, z, nwork)
using FunCon = std::function<void(int* mode, int* nncon, int* nnjac, int* njac, double* x,
                                  double* fcon, double* gcon, int* nstate, int* nprob, double* z,
                                  int* nwork)>;

}  // namespace tv

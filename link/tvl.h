// The link object and the routines the entry points share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clinkutils.h"
#include "hevapi.h"
#include "hmoapi.h"
#include "optapi.h"

namespace tvl {

// One per tvlCreate; zero-filled at creation.
struct tvlRec {
  clinkutilsRec* utils = nullptr;  // error slot, owned
  hmoHandle_t model = nullptr;     // non-null once tvlReadyAPI was attempted
  hevHandle_t env = nullptr;
  optHandle_t options = nullptr;   // created by the first tvlReadyAPI
  std::uint64_t worksize = 0;      // workspace in 8-byte words
  int majlines = 0;                // iteration log lines since the last header
  int minlines = 0;
  int hostlogfreq = 0;             // host option summary_frequency
  int domlim = 0;                  // host setting DomLim
  unsigned char hasobj = 0;
  int objrowx = -1;
  int* jacstart = nullptr;         // buffers of one solve (tvlModelSolve)
  int njaccols = 0;                // jacstart has njaccols + 1 entries
  int nbuf = 0;                    // length of each of the five buffers below
  int* colbuf = nullptr;
  int* nlbuf = nullptr;
  int* cntbuf = nullptr;
  double* gradbuf = nullptr;
  double* valbuf = nullptr;
  int evalerrs = 0;                // evaluation errors of the current solve
  unsigned char ready = 0;         // the last tvlReadyAPI succeeded
};

// The most recently created live link; the solver's callbacks reach the
// link only through it.
extern tvlRec* global_tvl;

// Options (definition file, user's option file, defaults, user settings).
int optionInit(hevHandle_t env, optHandle_t options, const char* fname);
int optionRead(hevHandle_t env, optHandle_t options, const char* path);
int tvlOptionDefault(tvlRec* tvl);
int tvlOptionApply(tvlRec* tvl);

// Workspace length for a model of n columns, m rows and nz nonzeros; logs
// the sizing lines.  Sets tvl->worksize.
void tvlWorkspaceSize(tvlRec* tvl, int n, int m, int nz);
// The superbasics estimate from the number of nonlinear variables.
int superbasicsEstimate(int nln);

// The solve: model transfer, solver call, results.  Returns the pending
// error code (0 on success).
int tvlModelSolve(tvlRec* tvl);
// How a solver result code reaches the host: the EXIT line(s), the model
// status (0: keep the one set from the infeasibilities), the solve status,
// and whether levels and marginals are written.  nlrows: the model has
// nonlinear nonzeros in its rows; domlim_exceeded: the evaluation errors
// passed the host's limit.
struct ExitReport {
  std::vector<std::string> lines;
  int modelstat = 0;
  int solvestat = 0;
  bool write = false;
};
ExitReport exitReport(int inform, double obj, int minwork, bool noobjective, bool nonlinear, bool nlrows,
                      bool domlim_exceeded);

// Free the link object's buffers of one solve.
void tvlFreeBuffers(tvlRec* tvl);

// The solver's evaluation callbacks: the objective and the nonlinear rows
// at the leading columns x, through the host's evaluator, with evaluation
// errors counted against DomLim (mode -1, or -2 past the limit).
void funobj(int* mode, int* nnobj, double* x, double* fobj, double* gobj, int* nstate, int* nprob, double* z,
            int* nwork);
void funcon(int* mode, int* nncon, int* nnjac, int* njac, double* x, double* fcon, double* gcon, int* nstate,
            int* nprob, double* z, int* nwork);

// The solver's per-iteration log procedure: the host's terminate flag and
// resource limit, and a compact iteration log on the host's log.
void tvlLog(int* kind, int* stop, int* major, int* minor, int* ninf, double* sinf, char* flag, double* step,
            double* objective, double* feasible, double* optimal, int* ns, int* ncon, double* penalty,
            int* bsswp, int flaglen);

}  // namespace tvl

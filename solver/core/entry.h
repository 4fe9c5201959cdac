// The subroutine entries for C++ callers (each takes its own Context).
// The extern "C" entries of tarvo.h call these with default_context().
#pragma once

#include <string_view>

#include "core/problem.h"
#include "tarvo.h"

namespace tv {

struct Context;

// Outputs of one solve besides the arrays.
struct EntryResult {
  int inform = 0;
  int minwork = 0;   // workspace words needed
  int ninf = 0;
  double sinf = 0.0;
  double obj = 0.0;
  int nmajor = 0;
  int nitns = 0;
  int ncstat = 0;
  double cviol = 0.0;
  double cviolr = 0.0;
};

// Start a run: units, machine constants, title box, parameter reset.
void tvstart(Context& ctx, int iprint, int isumm, int ispecs);

// Solve the problem in P (P.ns in/out) with workspace z(1..nwork).
// names: 5 names of 8 characters (problem, objective, rhs, ranges, bounds).
void tvnose(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns, double* z,
            int nwork, int loglev, tv_logfun logfun, EntryResult& r);
void tvnoss(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns, double* z,
            int nwork, EntryResult& r);
// Entry for callers whose slacks are the row activities.
void tarvo_entry(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns, double* z,
                 int nwork, EntryResult& r);

// Workspace estimate (64-bit; the C entry clamps to 32 bits).
long long tvcore(int m, int n, int ne, int nb, int hdim, int maxs, int nnobj, int nncon, int nnjac,
                 int njac);

// Solution state of variable j after a solve: returns the value, sets flag and state.
double tvsolf(Context& ctx, const Problem& P, int j, int& flag, int& state);

}  // namespace tv

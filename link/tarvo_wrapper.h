// The link's adapters onto the solver entries: values and zero-terminated
// strings in, the solver's fixed-length text and unit numbers inside.  The
// module keeps the print, summary and SPECS unit numbers of the process.
#pragma once

#include "tarvo.h"

namespace tvl {

// Fill dest (destlen characters) with blanks and copy src up to its zero.
void cstr2fstr(char* dest, int destlen, const char* src);

// Open the print file `path` on the print unit and start a run (title, all
// parameters unset).  When the file cannot be opened *error is set and the
// print file stays off for the rest of the process.
void f_tvstart(const char* path, int length, int* error);
// The 30-character title, zero-terminated, cut to length-1 characters.
void f_tvtitle(char* buffer, int length);
// Read the SPECS file, when one is set.
void f_tvspec();
// One SPECS phrase; *error nonzero when it was not accepted (also when it
// would not fit a SPECS line).
void f_tvopt(const char* text, int length, int* error);
// A phrase followed by an integer.
void f_tvopti(const char* text, int length, int ivalue, int* error);
// Workspace estimate in words (64-bit).
long long f_tvcore(int m, int n, int ne, int nb, int hdim, int maxs, int nnobj, int nncon, int nnjac,
                   int njac);
// The solver entry; start is "Warm" or "Cold", names holds 5 names of 8
// characters; nnames is 1 (no names).
void f_tvnose(const char* start, int m, int n, int ne, double objconst, int nncon, int nnobj, int nnjac,
              int objrow, const char* names, double* a, int* ha, int* ka, double* bl, double* bu,
              int* hs, double* xn, double* pi, double* rc, int* inform, int* minwork, int* ns,
              int* ninf, double* sinf, double* obj, double* z, int nwork, int loglev, tv_logfun logfun,
              int* nmajor, int* nitns, int* ncstat, double* cviol, double* cviolr);
// The evaluation callbacks of the next solves (null: none).
void f_tvsetfun(tv_funobj funobj, tv_funcon funcon);
// Solution state of solver variable j (1-based) after a solve.
double f_tvsolf(int n, int j, int* flag, int* state, int* hs, double* bl, double* bu, double* rc,
                double* xn);

}  // namespace tvl

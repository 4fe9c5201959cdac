// Basis files: the NEW/OLD, PUNCH/INSERT and DUMP/LOAD pairs.
//
// The calls are in place in the driver and the main loop; the readers and
// writers themselves are not built yet: each returns without reading or
// writing anything.
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// Readers (start of a cold run).  Each reads the basis on `unit` into hs and
// xn, sets ns to the superbasics read, and sets inform = 30 when the file's
// dimensions do not match the problem.  They return true when a basis was read.
bool m4oldb(Context& ctx, Problem& P, int unit, int& ns, int& inform);
bool m4inst(Context& ctx, Problem& P, int unit, int& ns);
bool m4load(Context& ctx, Problem& P, int unit, int& ns);

// NEW basis file on `unit` (also used for the BACKUP file), hs in external
// form: k is the status index (0 periodic save, inform + 1 at the end), itn
// the iteration, ninf/sinf the infeasibilities, obj the objective value
// (multiplied by the sense when written), ns the superbasics.
void m4newb(Context& ctx, const Problem& P, int unit, int k, int itn, int ninf, double sinf,
            double obj, int ns);

// The NEW basis file and, when one is named, the BACKUP file, written from
// the main loop (at the Save frequency with status 0, at the end with
// inform + 1); hs in external form.
void save_new_basis(Context& ctx, const Problem& P, int ns, int status, int itn, int ninf, double sinf,
                    double obj);

// PUNCH and DUMP files at the end of a cycle (unscaled solution, hs external).
void m4pnch(Context& ctx, const Problem& P, int unit);
void m4dump(Context& ctx, const Problem& P, int unit);

}  // namespace tv

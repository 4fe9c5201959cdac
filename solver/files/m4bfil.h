// Basis files: the NEW/OLD, PUNCH/INSERT and DUMP/LOAD pairs.
//
// Each writer produces what its reader accepts.  States in files are the
// external codes (0 lower, 1 upper, 2 superbasic, 3 basic).  A reader works
// on the problem arrays alone (bounds, names, objective row) and the unit it
// is given, so it can be called on any small problem with its text attached
// to a unit (Units::attach_text or attach).  Malformed lines are counted and
// listed up to the Error message limit and reading goes on; a file that is
// empty, or whose header or state section cannot be read, is refused with
// inform = 30 and a message.  Readers rewind the unit before reading.
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// Readers (start of a cold run).  Each reads the basis on `unit` into hs and
// xn and sets ns to the superbasics read.  They return true when a basis was
// read, false with inform = 30 when the file was refused (for an OLD file
// also when its m or n differs from the problem's).
bool m4oldb(Context& ctx, Problem& P, int unit, int& ns, int& inform);
bool m4inst(Context& ctx, Problem& P, int unit, int& ns, int& inform);
bool m4load(Context& ctx, Problem& P, int unit, int& ns, int& inform);

// NEW basis file on `unit` (also used for the BACKUP file), hs in external
// form: k is the status index (0 periodic save, inform + 1 at the end), itn
// the iteration, ninf/sinf the infeasibilities, obj the objective value
// (multiplied by the sense when written), ns the superbasics.  Values are
// written unscaled when the problem is held scaled.  The unit is emptied
// first, so it holds the latest basis only.
void m4newb(Context& ctx, const Problem& P, int unit, int k, int itn, int ninf, double sinf,
            double obj, int ns);

// The NEW basis file written from the main loop, hs in external form: at the
// Save frequency (status 0) together with the BACKUP file when one is named,
// and at the end of a run with status inform + 1.
void save_new_basis(Context& ctx, const Problem& P, int ns, int status, int itn, int ninf, double sinf,
                    double obj);

// PUNCH and DUMP files at the end of a cycle (unscaled solution, hs external).
void m4pnch(Context& ctx, const Problem& P, int unit);
void m4dump(Context& ctx, const Problem& P, int unit);

// The warnings for output files that share a unit with the SPECS file or the
// MPS file (print file), at the start of a run.
void same_unit_warnings(Context& ctx);

}  // namespace tv

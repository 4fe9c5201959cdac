// Calls of the nonlinear callbacks funobj and funcon, and difference
// estimates of the derivatives they do not supply.
//
// Every value of a nonlinear function reaches the solver through m6fobj and
// m6fcon.  They count and time the calls, convert between the scaled and the
// unscaled problem (Scale option 2), find out at the first call which
// gradient entries the callback leaves alone (those still hold the marker
// gdummy), and turn a failed call into the evaluation error `ierr`:
//   ierr = -1  the functions are undefined at this point (mode -1 from the
//              callback, or a value that is NaN or infinite);
//   ierr =  6  the callback asked the run to stop (mode < -1).
// m6dobj and m6dcon estimate the entries still equal to gdummy by forward or
// central differences.
//
// Non-finite values and the first-call count.  The count of supplied entries
// (nsetobj, nsetcon) is made right after the first call that returns
// mode >= 0, before the values are tested: an entry holding NaN was written
// by the callback, so it counts as supplied (and the Derivative level is not
// lowered for it); that call then reports the point undefined (ierr = -1),
// and the count stands for the rest of the run.  A first call that returns
// mode < 0 counts nothing: nstate stays 1 and the next call is the counting
// one.  Difference quotients that come out non-finite are not stored; the
// point is undefined.
//
// The routines work on explicit arrays and on one Evaluator, which holds
// everything about the callbacks that lives for a run.  Arrays handed to a
// callback are exactly their documented length (x: nnobj or nnjac, gobj:
// nnobj, fcon: nncon, gcon: njac); views that are longer are cut to that
// length, views that are shorter are a programming error (caught by the
// bounds-checked builds).
//
// Jacobian layout: the njac entries of gcon are the entries of rows
// 1..nncon in columns 1..nnjac of the matrix (ha, ka), column by column and
// in matrix order within a column.
#pragma once

#include <functional>

#include "core/array.h"
#include "core/units.h"
#include "nonlinear/callbacks.h"

namespace tv {

// Marker of a gradient or Jacobian entry that the callback did not set.
constexpr double kGdummy = -111111.0;

// Calls of one callback.
struct CallCounts {
  int calls = 0;    // every call, whatever the purpose
  int mode2 = 0;    // calls made with mode 2 (function and known gradients)
  int forward = 0;  // calls spent on forward differences
  int central = 0;  // calls spent on central differences
};

struct Evaluator {
  // ---- callbacks and what they receive besides the problem arrays ---------
  FunObj funobj;
  FunCon funcon;
  int probnum = 0;             // "Problem number", passed unchanged
  double* uwork = nullptr;     // workspace handed to the callbacks
  int nuwork = 0;              // its length

  // ---- derivative options --------------------------------------------------
  int derlevel = 3;            // Derivative level; lowered in place (3->2, 1->0)
  int difmode = 1;             // 1 forward, 2 central differences
  double fwdint = 0.0;         // Difference interval
  double cenint = 0.0;         // Central difference interval
  double gdummy = kGdummy;

  // ---- first-call bookkeeping ---------------------------------------------
  int nstate_obj = 1;          // nstate the next funobj call receives
  int nstate_con = 1;          // nstate the next funcon call receives
  int nsetobj = 0;             // gobj entries funobj set at its first call
  int nsetcon = 0;             // gcon entries funcon set at its first call
  // gcon after the first funcon call, unknown entries holding gdummy (njac
  // words).  Reloaded before every mode-2 call while some entries are
  // unknown, so that those entries carry gdummy again and entries given only
  // at the first call keep their values.  When it is empty, gcon is filled
  // with gdummy instead.
  Dvec gconkeep;
  // Some Jacobian entries are not supplied by funcon although the Derivative
  // level says they are all known.  They are estimated like those of
  // levels 0 and 1 (see jac_estimated); never loaded as gdummy.
  bool jac_unknown = false;

  CallCounts obj, con;
  int ierr = 0;

  // ---- scaling -------------------------------------------------------------
  int scaleopt = 0;            // Scale option; 2 or more: nonlinear variables scaled
  int n = 0;                   // columns: row i's scale is scales(n+i)
  CDvec scales;                // column scales (1..n), then row scales
  Dvec xsave;                  // nnl words: x is kept here while it is unscaled

  // ---- output --------------------------------------------------------------
  Units* io = nullptr;         // null: nothing is printed
  int prtfile = 0, sumfile = 0;
  bool page_ejects = true;     // a page break writes "1" on the print file

  // ---- timing --------------------------------------------------------------
  int timlevel = 0;            // clocks 4 and 5 run when > 1
  // Called with +k to start and -k to stop clock k (4 constraints, 5 objective).
  std::function<void(int)> clock;

  // One-time notes already written.
  bool said_nan_obj = false, said_nan_con = false;

  void prt(const std::string& s) const { if (io) io->line(prtfile, s); }
  void sum(const std::string& s) const { if (io) io->line(sumfile, s); }
  void both(const std::string& s) const { prt(s); sum(s); }
  // Page break: "1" (page ejects on) and a blank line on the print file, a
  // blank line on the summary file.
  void page() const;
};

// Start of a run: counters, nstate 1 for both callbacks, first-call counts,
// forward differences, no error, no notes.  Options are the caller's.
void m6start(Evaluator& ev);

// Start of a major iteration: back to forward differences.
inline void m6difreset(Evaluator& ev) { ev.difmode = 1; }

// True when some objective gradient entries are estimated (levels 0 and 2).
inline bool obj_estimated(const Evaluator& ev) { return ev.derlevel == 0 || ev.derlevel == 2; }
// True when some Jacobian entries are estimated (levels 0 and 1, or entries
// that funcon does not set at level 2 or 3).
inline bool jac_estimated(const Evaluator& ev) { return ev.derlevel < 2 || ev.jac_unknown; }

// g(1..n) = gdummy.
void m6dmmy(int n, Dvec g, double gdummy = kGdummy);

// Scaled objective gradient: gobj(j) *= scales(j) for every set entry.
void m7sclg(int nnobj, Dvec gobj, CDvec scales, double gdummy = kGdummy);
// Scaled Jacobian: gcon(l) = scales(j) * gcon(l) / scales(n+i) for every set
// entry l in row i, column j.
void m8sclj(int nncon, int nnjac, int n, CIvec ha, CIvec ka, CDvec scales, Dvec gcon,
            double gdummy = kGdummy);

// Visit the Jacobian entries of column j (1..nnjac): f(k, l, i) with k the
// position in ha, l the position in gcon, i the row.  `l` runs on from the
// value given (the number of entries of the columns before j).
template <class F>
inline void jac_column(int j, int nncon, CIvec ha, CIvec ka, int& l, F&& f) {
  for (int k = ka(j); k < ka(j + 1); ++k) {
    const int i = ha(k);
    if (i <= nncon) {
      ++l;
      f(k, l, i);
    }
  }
}

// One call of funobj.  mode 0: fobj only; mode 2: also the known entries of
// gobj.  The first call of a run always asks for gradients (mode 2) so that
// the entries set can be counted.  Sets ev.ierr on failure.
void m6fobj(Evaluator& ev, int mode, int nnobj, double& fobj, Dvec gobj, Dvec x);

// One call of funcon (fcon, and with mode 2 the known entries of gcon).  The
// first call of a run asks for gradients, counts the entries set and, when
// some are missing, keeps the pattern and calls again at the same point.
// After a mode-2 call, entries still equal to gdummy at Derivative level 2
// or 3 switch jac_unknown on (with one note in the print file).
void m6fcon(Evaluator& ev, int mode, int nncon, int nnjac, int njac, CIvec ha, CIvec ka, Dvec x,
            Dvec fcon, Dvec gcon);

// Count of gcon(1..njac) entries equal to gdummy.  When some are left and
// the Derivative level says all are known, switches jac_unknown on and
// writes the note once.  Returns the count.
int m6gunk(Evaluator& ev, int njac, CDvec gcon);

// Difference estimates of the gobj entries equal to gdummy, given fobj =
// f(x).  x(j) is perturbed by h(1 + |x(j)|), h the forward or central
// interval by difmode, and restored exactly, also on failure.  gwork
// (nnobj, optional) receives whatever the callback writes into its gradient
// argument during these calls; without it gobj itself is passed.
void m6dobj(Evaluator& ev, int nnobj, double fobj, Dvec gobj, Dvec x, Dvec gwork = {});

// Difference estimates of the gcon entries equal to gdummy, one
// perturbation per column that has such entries, given fcon = c(x).
// cplus and cminus (nncon each; cminus only in central mode) receive the
// perturbed values, so fcon and x are unchanged on return, also on failure.
// gwork (njac, optional) as for m6dobj.
void m6dcon(Evaluator& ev, int nncon, int nnjac, int njac, CIvec ha, CIvec ka, CDvec fcon, Dvec x,
            Dvec gcon, Dvec cplus, Dvec cminus, Dvec gwork = {});

// m6fun job 0: before an evaluation whose gradients are needed, mark the
// entries that will be estimated: gobj when obj_estimated; gcon when there
// are nonlinear constraints, "Lagrangian" is Yes and the Derivative level is
// below 2.  (At level 2 or 3 m6fcon itself restores the unknown marks.)
void m6fun0(const Evaluator& ev, int nnobj, Dvec gobj, int nncon, int njac, Dvec gcon,
            bool lagrangian);

// The single call of each callback after the run has ended at a feasible
// point: nstate = 2 + inform, mode 0, unscaled x, scaling off; nstate is 0
// afterwards.  funcon first (when nncon > 0), then funobj (when nnobj > 0).
void m6final(Evaluator& ev, int inform, int nnobj, int nncon, int nnjac, int njac, CIvec ha,
             CIvec ka, Dvec x, double& fobj, Dvec gobj, Dvec fcon, Dvec gcon);

}  // namespace tv

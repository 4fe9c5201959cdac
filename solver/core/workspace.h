// The workspace `z` and its partition (m2core).
//
// The caller passes one array of `nwork` double words.  The solver carves it
// into regions whose lengths follow from the problem's dimensions; integer
// regions hold two 32-bit integers per word.  A region of k doubles takes k
// words, a region of k integers takes k/2 + 1 words.
//
// Type safety: the storage belongs to double objects when the caller hands it
// over.  Before a region is used for integers the partition starts the
// lifetime of int32_t objects there (placement new, no run-time cost for a
// trivial type), and views are taken through std::launder, so no access reads
// an object through an lvalue of a different type.  A region that changes
// role during a solve (the solve vectors `y`, `y2` serve the LU package as
// integer work space) is switched explicitly with as_ints / as_doubles.
#pragma once

#include <cstdint>
#include <new>

#include "core/array.h"

namespace tv {

// One region: 1-based first word in z, number of words, number of entries.
struct Region {
  int64_t start = 0;  // first word (1-based); 0 when not placed
  int64_t words = 0;
  int32_t len = 0;    // entries
  bool is_int = false;
};

// The regions of the main partition: 1..25 those every solve has, 26..35
// the simplex method's own (the last eight only with Devex pricing, and
// 40..44 after them).  The
// LU factor storage that follows is laid out by the basis factorization
// manager's map (lu/lumap.h).  The solver allocates nothing else while it
// runs: its arrays are these regions and the caller's arrays.
struct Partition {
  Region user;      // 1  caller's words, untouched
  Region bsfeas;    // 2  int: row types at start-up, feasibility states later
  Region kbs;       // 3  int: basic then superbasic variables
  Region scales;    // 4  column then row scales
  Region work;      // 5  work vector of the reduced-gradient iteration
  Region xbs;       // 6  values in kbs order
  Region xsave;     // 7  nonlinear variables saved around evaluations
  Region y;         // 8  solve vector
  Region y2;        // 9  second solve vector
  Region gsub;      // 10 subproblem gradient
  Region gkept;     // 11 kept costs (copy of grd)
  Region hess;      // 12 reduced-Hessian factor R
  Region rg;        // 13 reduced gradient
  Region rg2;       // 14 second reduced gradient
  Region gobj;      // 15 objective gradient
  Region gobj2;     // 16 second objective gradient
  Region fcon6;     // 17 six constraint vectors of length nncon
  Region lambda;    // 18 row multipliers
  Region fcon1;     // 19 one constraint vector
  Region gcon;      // 20 Jacobian values
  Region gcon2;     // 21 second Jacobian copy
  Region xfull2;    // 22 two full-length vectors
  Region blbs;      // 23 lower bounds in kbs order
  Region bubs;      // 24 upper bounds in kbs order
  Region grd;       // 25 costs in kbs order
  Region devex;     // 26 Devex reference weights, nb doubles indexed by variable:
                    //    |w(j)| >= 1 is the weight of nonbasic j; the sign
                    //    tells whether j belongs to the reference framework
                    //    (+) or not (-).  The pivot row's B'^-1 e_r goes to
                    //    region 5 (`work`), free during a simplex step.
  // Nonlinear constraints (njac each, else empty): the spare Jacobian copy of
  // m8augl, and the pattern funcon left unknown at its first call.
  Region gcon3;     // 36 spare Jacobian copy
  Region gconkeep;  // 37 Jacobian with the unknown entries marked
  Region conbnd;    // 38 the caller's bounds of the nonlinear rows' slacks (2 nncon), unscaled
  Region chzr;      // 27 int: the positions that can block, pass 1 to pass 2 of
                    //    the ratio test (nbs + 1)
  Region ynz;       // 39 int: the nonzero positions of y = B^-1 a_q in increasing
                    //    order, then m + 1 (m + 1)
  // Devex pricing: the structural columns by rows (a sparse pivot row from
  // the rows of rho's nonzeros), the pivot row, and the candidate list.
  // Only when Devex pricing is in force (linear problems), else empty.
  Region dvxstart;  // 28 int: first position of each row, m + 1 (the last: ne + 1)
  Region dvxcol;    // 29 int: column of each entry, ne, row by row
  Region dvxval;    // 30 value of each entry, ne
  Region dvxrow;    // 31 the pivot row over the columns, n
  Region dvxmark;   // 32 int: column j is in dvxtouch, n
  Region dvxtouch;  // 33 int: the columns the pivot row touches, n
  Region dvxrhonz;  // 40 int: the nonzero positions of rho in increasing order, m
  Region dvxlist;   // 34 int: the candidate list, nb
  Region dvxpos;    // 35 int: place of each variable in the list (0: not listed), nb
  Region dvxdsc;    // 41 score d of each listed variable, by place in the list, nb
  Region dvxssc;    // 42 its ratio d^2/w, nb
  // Steepest-edge weights (only with that rule): tau of the last pivot for
  // the weights' update, and the right-hand side its solve destroys.
  Region dvxtau;    // 43 tau = B'^-1 D y / y_r, m
  Region dvxtrhs;   // 44 D y / y_r, m
  int64_t lufirst = 0;  // first free word after the regions

  // Sizes used by the partition.
  int nbs = 0, lenr = 0, nscale = 0, nx = 0, njac = 0, maxs = 0, hdim = 0;
};

// Typed access to the caller's workspace.
class Workspace {
 public:
  void bind(double* z, int64_t nwork) { z_ = z; nwork_ = nwork; }
  double* raw() const { return z_; }
  int64_t nwork() const { return nwork_; }

  // Doubles: words start .. start+len-1.
  Dvec dvec(int64_t start, int len) const { return Dvec(len > 0 ? z_ + (start - 1) : nullptr, len); }
  Dvec dvec(const Region& r) const { return dvec(r.start, r.len); }

  // Integers packed two per word from word `start`.  The int32_t objects must
  // have been created with make_ints.
  Ivec ivec(int64_t start, int len) const {
    if (len <= 0) return Ivec();
    return Ivec(std::launder(reinterpret_cast<int32_t*>(z_ + (start - 1))), len);
  }
  Ivec ivec(const Region& r) const { return ivec(r.start, r.len); }

  // Start the lifetime of `len` int32_t objects (zero-filled) at word `start`.
  Ivec make_ints(int64_t start, int len) const;
  // Start the lifetime of `len` double objects (zero-filled) at word `start`.
  Dvec make_doubles(int64_t start, int len) const;
  Ivec as_ints(const Region& r) const { return make_ints(r.start, 2 * static_cast<int>(r.words)); }
  Dvec as_doubles(const Region& r) const { return make_doubles(r.start, r.len); }

 private:
  double* z_ = nullptr;
  int64_t nwork_ = 0;
};

// Words taken by k integers (two per word, at least one word).
inline int64_t int_words(int64_t k) { return k / 2 + 1; }

}  // namespace tv

// Nonlinear test problems with known optima, for the solver's tests and the
// NLP benchmark.
//
// A problem is held in a neutral form (0-based, row activities, no slacks):
//
//   minimize    f(x[0..nnobj-1]) + cobj'x + objconst
//   subject to  rlo(i) <= c_i(x[0..nnjac-1]) + lin_i'x <= rup(i)   i <  nncon
//               rlo(i) <= lin_i'x                   <= rup(i)     nncon <= i < m
//               xlo <= x <= xup
//
// The nonlinear variables are the leading columns and the nonlinear rows the
// leading rows.  A nonlinear row keeps in lin only its terms in columns
// nnjac.. (its terms in the Jacobian columns belong to c_i, value and
// gradient), because the solver holds the Jacobian block of such a row by
// itself.  build_arrays() turns a problem into the column-wise arrays of the
// subroutine entry (slack = minus the row activity) and nlp_funobj/nlp_funcon
// are the evaluation callbacks for it.
//
// Typical use in a test:
//   tvnlp::NlpProblem p = tvnlp::make_problem("hs071");
//   tvnlp::TvRun r = tvnlp::solve_tvnose(p);          // tvstart, callbacks, tvnose
//   EXPECT_NEAR(r.obj, p.fstar, 1e-6 * std::max(1.0, std::fabs(p.fstar)));
// or, to drive the entry by hand:
//   tvnlp::TvArrays t = tvnlp::build_arrays(p);
//   tvnlp::bind(p);                                     // problem seen by the callbacks
//   tvsetfun(tvnlp::nlp_funobj, tvnlp::nlp_funcon);
//   tvnose("Cold", &t.m, &t.n, ... t.a.data(), t.ha.data(), t.ka.data(), ...);
#pragma once

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace tvnlp {

constexpr double kInf = 1.0e20;  // an infinite bound for the solver
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// What a solver should report.
enum class Expect { Optimal, Unbounded };

// One linear term: row, column (0-based), coefficient.
struct Entry {
  int row, col;
  double val;
};

// Objective part f: value into f; gradient (nnobj entries) into g unless g is
// null.  Returns false where the function is undefined.
using ObjFn = std::function<bool(const double* x, double& f, double* g)>;
// Constraint part c: nncon values into c; when J is not null, the Jacobian
// entries in the order of the problem's `jac` list.  False where undefined.
using ConFn = std::function<bool(const double* x, double* c, double* J)>;

struct NlpProblem {
  std::string name;
  std::string group;  // "hs", "qp", "scalable" or "bad"
  bool linear_constraints = true;  // no nonlinear rows: nncon = 0
  int n = 0, m = 0;
  int nnobj = 0, nncon = 0, nnjac = 0;
  std::vector<double> xlo, xup, x0;  // n entries
  std::vector<double> rlo, rup;      // m entries
  std::vector<Entry> lin;            // linear terms of every row
  std::vector<double> cobj;          // linear objective (empty or n entries)
  double objconst = 0.0;
  std::vector<std::pair<int, int>> jac;  // (row < nncon, col < nnjac), order of ConFn's J
  ObjFn fobj;                            // empty when nnobj = 0
  ConFn fcon;                            // empty when nncon = 0
  double fstar = kNaN;           // optimal objective (NaN when unbounded)
  std::vector<double> xstar;     // an optimal point when known (else empty)
  double xstar_tol = 1e-5;       // relative accuracy of f at xstar (digits of the source)
  std::string source;            // where fstar comes from
  Expect expect = Expect::Optimal;

  // Whole objective at a point of n entries (NaN where undefined).
  double objective(const double* x) const;
  // Row activities (m entries) at a point; false where undefined.
  bool activities(const double* x, double* r) const;
};

// Names of every problem in the library, in catalogue order.
std::vector<std::string> problem_names();
// One problem by name; size > 0 changes the size of a scalable problem
// (ignored by the others).  Throws std::out_of_range for an unknown name.
NlpProblem make_problem(const std::string& name, int size = 0);
// Every problem at its default size.
std::vector<NlpProblem> all_problems();

// The arrays of the subroutine entry for one problem: columns 1..n, rows
// 1..m of the problem, then (when there is a linear objective, or no row at
// all) the free objective row objrow = m.  In every column the Jacobian entries come first
// (rows 1..nncon, ascending) with placeholder value 0; the gcon vector of
// funcon lists them column by column.
struct TvArrays {
  int m = 0, n = 0, nb = 0, ne = 0;
  int nncon = 0, nnobj = 0, nnjac = 0, njac = 0, objrow = 0;
  double objconst = 0.0;
  std::vector<double> a, bl, bu, xn, pi, rc;
  std::vector<int> ha, ka, hs;
};
TvArrays build_arrays(const NlpProblem& p);

// Position in gcon (0-based) of every entry of p.jac.
std::vector<int> gcon_positions(const NlpProblem& p);

// The callbacks evaluate the problem given to bind() (the entry's callbacks
// are plain function pointers; the problem number argument is not used).
// bind(nullptr) unbinds; the callbacks then return mode -2 (stop).
void bind(const NlpProblem* p);
inline void bind(const NlpProblem& p) { bind(&p); }

// Calls counted since the last bind() or reset_counts().
struct CallCounts {
  long funobj = 0, funcon = 0;          // every call
  long funobj_grad = 0, funcon_grad = 0;  // calls with mode 2 (derivatives wanted)
};
CallCounts counts();
void reset_counts();

extern "C" {
void nlp_funobj(int* mode, int* nnobj, double* x, double* fobj, double* gobj, int* nstate,
            int* nprob, double* z, int* nwork);
void nlp_funcon(int* mode, int* nncon, int* nnjac, int* njac, double* x, double* fcon,
            double* gcon, int* nstate, int* nprob, double* z, int* nwork);
}

// One cold solve through the process-wide entry with default options (no
// print or summary file) apart from a Superbasics limit of 5/4 of the
// nonlinear variables + 2 (at least 50).  Limits <= 0 keep the solver's
// defaults; `specs` are further SPECS phrases applied after them.
struct TvRun {
  int inform = -1;
  double obj = kNaN;  // as returned by the entry
  std::vector<double> x;  // the n columns
  int itns = 0, nmajor = 0, ninf = 0;
  double sinf = 0.0, cviol = 0.0;
  CallCounts calls;  // of the callbacks during the solve
};
TvRun solve_tvnose(const NlpProblem& p, int itnlimit = 0, int majlimit = 0,
                   const std::vector<std::string>& specs = {});

}  // namespace tvnlp

// Test host: the in-memory model object and environment (libvoskdclib64.so).
//
// Model file, one directive per line ('*' starts a comment, except on the
// expression lines nlobj and nlrow, where it multiplies):
//   name <text>
//   modeltype <n>               1 linear, 2 nonlinear, 8 no objective; without
//                               it: 2 when the model has a nonlinear term, else 1
//   sense min|max|<n>           0 minimise, 1 maximise
//   objconst <value>
//   optfile <path>              user option file (relative: to the model file)
//   basis                       the statuses below form a start basis
//   env <setting> <value>       environment setting (see hevRec)
//   count <nz64|nlnz64|nln> <value> report this count instead of the real one
//   col <name> <lower> <upper> [level v] [marginal v] [status s]
//   row <name> <type> <rhs> [level v] [marginal v] [status s] [order k]
//        type: =e= =g= =l= =n= =x= =c= =b= (also e g l n x c b)
//   coef <row name|obj> <col name> <value> [nl]
//   nlobj <expression>          added to the objective
//   nlrow <row name> <expression> added to the row's left-hand side
// Bounds may be inf or -inf.  Columns and rows are defined before they are
// used.  A coefficient marked nl stands for the term value * x^2.  The
// expression language is in expr.h.
//
// A row is the sum of its coefficients and expressions, compared with its
// right-hand side; the objective is objconst plus its coefficients and
// expressions.  When the file is read, each row (and the objective) is split
// into a linear part, one coefficient per column, and a nonlinear part: a
// column is nonlinear in the row when it occurs in an expression other than
// through sums and multiples by constants (x*y, x^2, exp(x), x/y, ...).  Its
// Jacobian entry is flagged nonlinear and its coefficients go into the
// nonlinear part, which the evaluation calls give with value and exact
// gradient; the entry's value is the derivative at the column levels of the
// file (0 where that is undefined).  An expression with no nonlinear column is
// linear: its constant moves into the right-hand side (or objconst).  A row
// with a nonlinear entry has order 2 unless it says otherwise.
#pragma once

#include <chrono>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "expr.h"

struct hevRec {
  // Settings by lower-case name.  Known ones: WorkSpace, WorkFactor, DomLim,
  // IterLim, ResLim, NameSysDir, ScratchDir (directory of scratch files),
  // StatusFile (copy of the status stream), ClockStep (each clock reading
  // advances by this many seconds instead of real time), TerminateAfter (the
  // terminate flag is up from this call of hevTerminateGet on; 0 never).
  std::map<std::string, std::string> settings;
  bool owned_by_model = false;
  int statcon = 0;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  double fake_clock = 0.0;
  long terminate_calls = 0;
  void* status_file = nullptr;  // FILE*
};

struct hmoRec {
  static constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Entry {
    int col;
    double val;
    bool nl;
  };
  struct Row {
    std::string name;
    int type = 0;  // 0 =E=, 1 =G=, 2 =L=, 3 =N=, 4 =X=, 5 =C=, 6 =B=
    double rhs = 0.0, level = 0.0, marginal = 0.0;
    int status = 0;
    int order = 0;  // 0: 1 when linear, else 2
    std::vector<Entry> e;  // one per column, in column order
    tvhost::Expr nl;       // the nonlinear part
    std::vector<int> nlcols;  // its columns, in column order
  };
  struct Col {
    std::string name;
    double lo = 0.0, up = kInf, level = 0.0, marginal = 0.0;
    int status = 0;
  };
  struct Result {
    bool set = false;
    double level = 0.0, marginal = 0.0;
    int basis = 0, cond = 0;
  };

  hevRec* env = nullptr;
  std::string name, optfile;
  int modeltype = 1, sense = 0;
  bool modeltype_given = false;
  double objconst = 0.0;
  bool basis = false;
  std::vector<Col> cols;
  std::vector<Row> rows;
  std::vector<Entry> obj;
  tvhost::Expr objnl;
  std::vector<int> objnlcols;
  long long nz64_override = -1, nlnz64_override = -1, nln_override = -1;

  // Settings made by the solver link.
  int base = 0, objstyle = 0, objreform = 0;
  double pinf = kInf, minf = -kInf;
  // The solver's view: position -> host index; colpos: host column -> position.
  std::vector<int> colperm, rowperm, colpos;

  // Results.
  int modelstat = 0, solvestat = 0;
  std::vector<Result> rowres, colres;
  double headntail[10] = {};
  bool headntail_set[10] = {};
  bool completed = false;
  // Evaluation calls made (hmoEvalNewPoint, hmoEvalGradNL, hmoEvalGradNLObj)
  // and the evaluation errors they reported.
  long newpoint_calls = 0, row_evals = 0, obj_evals = 0, eval_errors = 0;
};

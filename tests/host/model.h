// Test host: the in-memory model object and environment (libvoskdclib64.so).
//
// Model file, one directive per line ('*' starts a comment):
//   name <text>
//   modeltype <n>               1 linear (default); 8 means no objective
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
// Bounds may be inf or -inf.  A coefficient marked nl stands for the
// nonlinear term value * x^2 of its row (or of the objective); a row with a
// nonlinear term has order 2 unless it says otherwise.
#pragma once

#include <chrono>
#include <limits>
#include <map>
#include <string>
#include <vector>

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
    std::vector<Entry> e;
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
  double objconst = 0.0;
  bool basis = false;
  std::vector<Col> cols;
  std::vector<Row> rows;
  std::vector<Entry> obj;
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
};

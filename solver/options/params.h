// The solver's parameter blocks.
//
// Every tunable quantity lives here, grouped by the named blocks (m1eps,
// m1file, m2parm, m2lu4, m2file, m5log4, ...).  One Params object belongs to
// each Context, so two solves never share parameters.  The registry in
// param_table.cpp names every field and drives the reset and the listing.
//
// Protocol of a solve: reset (m3dflt mode 1) marks everything unset, SPECS
// phrases and the option entries set values, the entry stores the problem's
// dimensions, m3dflt mode 2 resolves whatever is still unset against the
// problem, mode 3 prints the listing.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/array.h"

namespace tv {

constexpr int kUnsetI = -11111;

// Pricing rules (iparm(6)); the defaults resolve 0 to one of the others.
constexpr int kPriceDefault = 0;
constexpr int kPricePartial = 1;  // partial pricing by the largest reduced cost
constexpr int kPriceDevex = 2;    // full pricing by d_j^2 / w_j with Devex reference weights
constexpr int kPricePartialDevex = 3;  // partial pricing by sections, d_j^2 / w_j within them
constexpr int kPriceSteepest = 4;  // full pricing by d_j^2 / w_j, w_j the steepest-edge weights of the framework
// The rules that price every column by reference weights (the partition
// gives them the row-wise copy and the candidate list).
constexpr bool prices_every_column_by_weights(int rule) { return rule == kPriceDevex || rule == kPriceSteepest; }
constexpr double kUnsetR = -11111.0;

// Machine constants (block m1eps): constants of the build, stored, not computed.
struct MachineConstants {
  double eps = 2.220446049250313E-16;     // 2^-52
  double eps080 = 3.000213634488528E-13;  // eps^0.8
  double eps067 = 3.2517335437943067E-11; // eps^0.67
  double eps050 = 1.4901161193847656E-08; // eps^0.5
  double eps033 = 6.828499381469512E-06;  // eps^0.33
  double eps025 = 1.220703125E-04;        // eps^0.25
  double eps020 = 7.40095979741405E-04;   // eps^0.2
  double infbnd = 1.0E+20;                // the bound value meaning infinity
};
inline constexpr MachineConstants kMachine{};

struct Params {
  // ---- m1eps, m1word --------------------------------------------------------
  MachineConstants mc;
  int nwordr = 2, nwordi = 2, nwordh = 2;

  // ---- m1file: reader, print and summary units ------------------------------
  int rdrfile = 5;   // "(Card reader)"
  int prtfile = 0;   // print file
  int sumfile = 0;   // summary file

  // ---- m2file: the other units (<= 0 means no file) -------------------------
  int bkpfile = 0, dumpfile = 0, loadfile = 0, mpsfile = 0, newbfile = 0, insfile = 0;
  int oldbfile = 0, pchfile = 0, solfile = 0, specfile = 0, repfile = 0;

  // ---- m2parm: rparm(1..30) and iparm(1..30) --------------------------------
  // Named entries are fields below; rparm_ref/iparm_ref map an index to the
  // field when it has a name, else to the anonymous slot.
  double rparm_[30] = {};
  int iparm_[30] = {};
  double bigobj = kUnsetR;    // rparm(1) Unbounded objective value
  double bigstep = kUnsetR;   // rparm(2) Unbounded step size
  double fprec = kUnsetR;     // rparm(3) Function precision
  double majdamp = kUnsetR;   // rparm(4) Major damping parameter
  double crashtol = kUnsetR;  // rparm(5) Crash tolerance
  double mindamp = kUnsetR;   // rparm(6) Minor damping parameter
  double penaltycopy = kUnsetR;  // rparm(7) copy of penalty
  double luswaptol = kUnsetR; // rparm(8) LU swap tolerance
  int crashopt = 3;           // iparm(1) Crash option
  int lsdebug = 9999999;      // iparm(2) Linesearch debug after
  int listparms = 1;          // iparm(3) parameter listing switch (reset to 1: Print level 1 lists)
  int scaleprt = 0;           // iparm(4) Scale print
  int nlstart = 2;            // iparm(5) Start assigned nonlinears
  int pricing = 0;            // iparm(6) pricing rule: 0 by problem type, 1 partial, 2 Devex, 3 partial Devex, 4 steepest edge
  double& rparm_ref(int i);   // 1..30
  int& iparm_ref(int i);      // 1..30

  // ---- m2lu4: the LU package's lurpar(1..30) and luipar(1..30) -------------
  double lurpar_[30] = {};
  int32_t luipar_[30] = {};
  Dvec lurpar() { return Dvec(lurpar_, 30); }
  Ivec luipar() { return Ivec(luipar_, 30); }
  double& lufactol() { return lurpar_[0]; }   // lurpar(1) LU factor tolerance
  double& luupdtol() { return lurpar_[1]; }   // lurpar(2) LU update tolerance
  double& lusingtol() { return lurpar_[3]; }  // lurpar(4); lurpar(5) is set alike
  double& lusingtol2() { return lurpar_[4]; } // lurpar(5)
  double& ludenstol() { return lurpar_[7]; }  // lurpar(8) LU density tolerance
  int32_t& lupivot() { return luipar_[5]; }   // luipar(6) 0 partial 1 rook 2 complete

  // ---- m5freq -------------------------------------------------------------
  int chkfreq = kUnsetI, facfreq = kUnsetI, logfreq = kUnsetI, savfreq = kUnsetI;
  int sumfreq = kUnsetI, expfreq = kUnsetI;
  int freq_spare[2] = {0, 0};  // the two words after the summary frequency

  // ---- m5tols, m5lp1, m5prc, m5step, m5lobj ---------------------------------
  double feastol = kUnsetR, opttol = kUnsetR, pivtol = kUnsetR;
  double m5tols6 = 1.0E-4;   // m5tols entry 6: max(eps033, 1e-4)
  int itnmax = kUnsetI;
  int partprice = kUnsetI;
  int multprice = 1;
  int scaleopt = kUnsetI;
  double scaletol = kUnsetR;
  double objweight = kUnsetR;
  int objsense = 1;          // 1 minimize, -1 maximize
  char sensename[5] = "Min ";

  // ---- m7len, m7conv, m7tols, m7cg1/2 (reduced-gradient iteration) --------
  int hdim = kUnsetI, maxs = kUnsetI;
  double lstol = kUnsetR, subtol = kUnsetR;
  double m7tols[6] = {0.1, 1.0E-6, 0.010000000000000002, 1.0E-12, 0.001, 1.4901161193847656E-08};
  int m7cg1 = -1;
  int m7cg2[2] = {1, 0};

  // ---- m8diff, m8veri, m8func (functions and derivatives) -----------------
  double fwdint = kUnsetR, cenint = kUnsetR;
  double gdummy = -111111.0;
  int derlevel = 3;
  int verlevel = 0;
  int m8veri_next = -2;      // the word after the verify level
  int objchk1 = -1, objchk2 = -1, conchk1 = -1, conchk2 = -1;

  // ---- m8al1, m8al2 (augmented Lagrangian, major iterations) --------------
  int majmax = 50;
  int minormax = kUnsetI;
  double penalty = kUnsetR;
  double radius = kUnsetR;
  double rowtol = kUnsetR;
  int completion = kUnsetI;  // 0 partial, 1 full
  int lagrangian = 1;        // 1 yes, 0 no
  int jacform = 1;           // 1 dense, 2 sparse

  // ---- m5log1, m5log4, m1tim, m1env ---------------------------------------
  int prtlevel = 0;
  int dbglevel = 0;
  int timlevel = 3;
  // m5log4: brief print log, full print log, brief summary log, full summary log.
  int lprbrf = 1, lprful = 0, lsmbrf = 1, lsmful = 0;
  bool page_ejects = true;   // m1env: "1" page breaks on the print file

  // ---- m5len, m8len, m2len: problem dimensions stored by the entry --------
  int solprint = 2;          // Solution yes (2) / no (0)
  int wsuser = 0;            // Workspace (user)
  int wstotal = 0;           // Workspace (total); not reset
  int rowlim = 0, collim = 0, elmlim = 0;
  int nncon = 0, nnobj = 0, nnjac = 0;
  int nnl = 0, nncon1 = 1;   // derived

  // ---- m3mps3, m3mps4: MPS input ------------------------------------------
  double aijdrop = 1.0E-10;
  double bldef = 0.0;
  double budef = 1.0E+20;
  int listlim = 0, errlim = 10;
  int phcols = 0, phelems = 0;

  // ---- cyclcm ---------------------------------------------------------------
  int cyclim = 1, cycprt = 1;
  double cyctol = 0.0;
  int probnum = 0;

  // ---- names: problem, objective, rhs, ranges, bounds (8 characters each) -
  char names[5][8];

  Params() { std::memset(names, ' ', sizeof names); }

  bool linear() const { return nnl == 0; }
};

}  // namespace tv

// MPS files: reader and writer.
//
// The reader fills an MpsModel, which owns the problem arrays of a solve in
// std::vectors and hands out a tv::Problem view of them (problem()).  It
// reads fixed and free format, plain or gzip-compressed (detected from the
// content, not the file name).
//
// Conventions of the model (those of the solver's problem arrays):
//   * rows are held as A x + s = 0, so a row lo <= a x <= up has slack bounds
//     bl(n+i) = -up, bu(n+i) = -lo; the objective row is one of the rows
//     (objrow, free); further N rows are free rows;
//   * infinite bounds are stored as -/+ infbnd (1.0e+20); any bound of
//     magnitude >= 1.0e+20 in the file is infinite;
//   * a right-hand side on the objective row is stored as objconst = -rhs;
//   * column defaults are the Lower and Upper bound default parameters;
//     coefficients with |a| below the Aij tolerance (and zeros) are dropped.
//
// Names.  colnames and rownames keep every name whole.  The solver's own
// reports and basis files work with 8-character names (name1/name2: two
// 4-character words, characters 1-4 and 5-8 copied byte for byte into each
// 32-bit word).  A name of at most 8 characters is used as it is.  A longer
// name is cut to its first 8 characters when no other name, short or cut,
// gives the same 8 characters; otherwise every name of such a colliding group
// gets a numbered short name: its first characters, "~" and a number
// (LONGROW_A, LONGROW_B -> LONGRO~1, LONGRO~2), skipping any number whose
// result is already taken.  So two different names never share an
// 8-character name; the command-line program prints the whole names.
//
// Result codes:
//   0   the file was read;
//   40  errors in the data: a line that cannot be understood (unknown row or
//       column, duplicate name or entry, bad number or a coefficient of
//       magnitude 1e+20 or more, unknown bound type, field out of its
//       columns in fixed format, line too long, control characters,
//       sections out of order, ...); every error is reported with its line
//       number, the line and what is wrong;
//   41  the file cannot be opened or read, or it is not an MPS file: no ROWS
//       or COLUMNS section, or no ENDATA line (a truncated file).
// At most `errlim` (Error message limit) errors and as many warnings are
// listed, on the print and the summary file; the rest are counted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/problem.h"

namespace tv {

struct Context;

enum class MpsFormat { Auto, Fixed, Free };

struct MpsModel {
  std::string name;                // problem name (NAME line), whole
  int m = 0, n = 0, ne = 0;        // rows (objective and free rows included), columns, entries
  int objrow = 0;                  // index of the objective row; 0 = none
  double objconst = 0.0;           // constant of the objective
  int objsense = 0;                // sense stated in the file: 0 none, 1 minimise, -1 maximise

  // Problem arrays; element k of the 1-based array is vector[k-1].
  std::vector<double> a;           // ne
  std::vector<int32_t> ha;         // ne
  std::vector<int32_t> ka;         // n+1
  std::vector<double> bl, bu;      // nb = n+m
  std::vector<int32_t> hs;         // nb, start states (0)
  std::vector<double> xn, rc;      // nb
  std::vector<double> pi;          // m

  std::vector<std::string> colnames, rownames;  // whole names
  std::vector<int32_t> name1, name2;            // nb, 8-character names (see above)

  // Names of the sets used (blank when the file has none or leaves them blank).
  std::string rhsname, rngname, bndname;

  int nint = 0;        // integer columns and integer bounds read as continuous
  int ndropped = 0;    // coefficients dropped by the Aij tolerance (zeros included)
  double maxdropped = 0.0;  // the largest magnitude among them

  int nb() const { return n + m; }
  // View of the arrays for the solver's entries (names included).
  Problem problem();
  // The five 8-character names for the entry: problem, objective row,
  // rhs, ranges and bounds set (40 characters, blank padded).
  std::string names40() const;
  // Column j (1..n) or row i (1..m) name as the solver sees it (8 characters,
  // trailing blanks removed).
  std::string short_name(int j) const;  // j in 1..nb
  // Rebuild name1/name2 from colnames/rownames.
  void make_short_names();
  // Resize every array for m rows, n columns and ne entries (values zero,
  // bounds of the columns [0, inf], rows free).
  void resize(int m_, int n_, int ne_);
};

// 8-character names packed into two 32-bit words, and back.
void pack_name8(const std::string& name, int32_t& w1, int32_t& w2);
std::string unpack_name8(int32_t w1, int32_t w2);  // 8 characters

// Read an MPS file (plain or gzip).  Uses the parameters of ctx.par:
//   aijdrop   coefficients with |a| < aijdrop are dropped;
//   bldef, budef  column bounds not given in BOUNDS (exchanged when bldef > budef);
//   listlim   the first listlim lines are listed on the print file;
//   errlim    at most errlim errors and errlim warnings are listed;
//   names[1..4]  objective row, rhs, ranges and bounds set to use (blank:
//             the first N row, the first set of each section);
//   rowlim, collim, elmlim  expected sizes: room is reserved for them, a
//             larger file is read all the same.
// Messages go to the print and summary files; clock 1 runs during the read.
// Returns 0, 40 or 41; on 40 and 41 the model is left empty.
int mps_read(Context& ctx, const std::string& path, MpsModel& model,
             MpsFormat format = MpsFormat::Auto);
// The same from text in memory (`label` names it in messages).
int mps_read_text(Context& ctx, const std::string& text, MpsModel& model,
                  MpsFormat format = MpsFormat::Auto, const std::string& label = "(text)");

// Write the model as an MPS file; free format unless some name contains a
// blank or is empty, which only fixed format can carry (or `format` asks for
// fixed).  Numbers are written with the fewest digits that read back to the
// same double; fixed format refuses a file whose numbers need more than its
// 12 columns rather than round them.  A path ending in ".gz" is written
// compressed.  Returns 0, or 41 when the file cannot be written or the
// model cannot be represented (with a message on the print and summary files).
int mps_write(Context& ctx, const MpsModel& model, const std::string& path,
              MpsFormat format = MpsFormat::Auto);
// The file as text; returns false (and sets `why`) when the names cannot be
// represented in the format.
bool mps_write_text(const MpsModel& model, std::string& out, std::string& why,
                    MpsFormat format = MpsFormat::Auto);

// Shortest decimal text that reads back to the same double.
std::string mps_number(double v);

}  // namespace tv

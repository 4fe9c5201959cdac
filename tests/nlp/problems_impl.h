// Helpers shared by the problem families of the library (not for users).
// Row and column numbers given to these helpers are 1-based, as in the
// published statements of the problems.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "problems.h"

namespace tvnlp::detail {

struct Maker {
  std::string name;
  std::function<NlpProblem(int size)> make;
};

// A problem with n columns, start x0, free columns, no rows.
NlpProblem base(const std::string& name, const std::string& group, int n, std::vector<double> x0);
// Bounds of every column, or of column j.
void bounds(NlpProblem& p, double lo, double up);
void bound(NlpProblem& p, int j, double lo, double up);
// Declare the nonlinear rows (before any linear row): nncon rows, nonlinear
// in columns 1..nnjac, with the Jacobian pattern of 1-based (row, column)
// pairs in the order fcon writes J; an empty pattern means dense, row by row.
void nonlinear_rows(NlpProblem& p, int nnjac, std::vector<double> lo, std::vector<double> up,
                    std::vector<std::pair<int, int>> pattern = {});
// Append a linear row lo <= sum a_j x_j <= up; terms are (column, a_j).
// Returns the row number (1-based).
int linear_row(NlpProblem& p, double lo, double up, std::initializer_list<std::pair<int, double>> terms);
// A linear term in column j of nonlinear row i (j > nnjac).
void linear_term(NlpProblem& p, int i, int j, double a);
// Published or established optimum.
void optimum(NlpProblem& p, double fstar, std::vector<double> xstar, const std::string& source,
             double xstar_tol = 1e-5);

std::vector<Maker> hs_linear();
std::vector<Maker> hs_nonlinear();
std::vector<Maker> qp_known();
std::vector<Maker> scalable();
std::vector<Maker> bad();

// Deterministic pseudo-random numbers in [0, 1) for the generated problems.
class Lcg {
 public:
  explicit Lcg(unsigned long long seed) : s_(seed) {}
  double next() {
    s_ = s_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return double(s_ >> 11) * (1.0 / 9007199254740992.0);
  }
  double uniform(double lo, double hi) { return lo + (hi - lo) * next(); }

 private:
  unsigned long long s_;
};

}  // namespace tvnlp::detail

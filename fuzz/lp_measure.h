// A point returned as optimal, measured against the problem as the caller
// gave it (copied before the solve, so nothing the solver did to its arrays
// can hide an error): bounds, rows A x + s = 0, reduced costs from the
// returned multipliers, and the objective value.  Every measure is relative,
// so that badly scaled problems are judged by the same standard as tame ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tvfuzz {

// The problem arrays in the solver's convention (slack of row i is variable
// n+i with A x + s = 0); vectors hold the 1-based arrays from element 0.
struct LpData {
  int m = 0, n = 0, objrow = 0;
  double objconst = 0.0;
  std::vector<double> a;
  std::vector<int32_t> ha, ka;
  std::vector<double> bl, bu;
};

struct PointErrors {
  double primal = 0.0;     // largest bound violation / (1 + |bound|)
  double rows = 0.0;       // largest |a_i x + s_i| / (1 + sum_j |a_ij x_j| + |s_i|)
  double dual = 0.0;       // largest reduced cost of the wrong sign / (1 + sum_i |pi_i a_ij|)
  double objective = 0.0;  // |obj - (objconst - s_objrow)| / (1 + |obj| + sum_j |c_j x_j|)
  int jprimal = 0, irows = 0, jdual = 0;
};

// x, pi: the returned point and multipliers (nb and m entries); obj the
// returned objective value; sense 1 minimise, -1 maximise.  The multipliers
// come back in the caller's sense (the objective row's is -1 either way), so
// a maximisation is judged by the minimisation of its negative, whose
// multipliers are -pi.
PointErrors measure_point(const LpData& lp, int sense, const std::vector<double>& x,
                          const std::vector<double>& pi, double obj);

// The first measure above its limit, described; empty when all hold.
std::string point_fault(const PointErrors& e, double primal_tol, double rows_tol, double dual_tol,
                        double obj_tol);

// The point as a table (at most `limit` variables): bounds, value, state,
// reduced cost from the returned multipliers; then the multipliers.  For
// the report of a fault.
std::string describe_point(const LpData& lp, const std::vector<double>& x, const std::vector<int32_t>& hs,
                           const std::vector<double>& pi, int limit = 80);

}  // namespace tvfuzz

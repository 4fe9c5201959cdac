// Inputs the fuzz targets found faults with (tests/data/fuzz/TARGET/), kept
// as regression tests: each passes its target's checks again and ends as
// the fix intends.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/lp.h"
#include "fuzz_checks.h"

namespace {

std::string fuzz_dir(const std::string& target) { return std::string(TARVO_TEST_DATA) + "/fuzz/" + target; }

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::vector<std::string> files_of(const std::string& target) {
  std::vector<std::string> out;
  if (DIR* d = opendir(fuzz_dir(target).c_str())) {
    while (const dirent* e = readdir(d))
      if (e->d_name[0] != '.') out.push_back(e->d_name);
    closedir(d);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::string data(const std::string& target, const std::string& name) {
  return read_file(fuzz_dir(target) + "/" + name);
}

}  // namespace

// A compressed file cut short anywhere is refused, also after its ENDATA
// line (the reader stopped there and never saw the stream end early) and in
// the gzip trailer alone.  Found by the mps_gzip target.
TEST(FuzzRegressions, CompressedFileCutAfterEndataIsRefused) {
  const std::string text =
      "NAME UNBND\nROWS\n N OBJ\n G R1\nCOLUMNS\n X OBJ -1 R1 1\nRHS\n RHS R1 1\nENDATA\n"
      " Y OBJ 1 R1\n* lines after the end are not read\n";
  for (unsigned pos = 0; pos < 200; ++pos) EXPECT_EQ(tvfuzz::check_mps_gzip(text, 1, pos), "") << pos;
}

// Every kept input passes its target's checks in the target's usual modes.
TEST(FuzzRegressions, EveryKeptInputPassesItsChecks) {
  for (const std::string& f : files_of("mps")) {
    for (int format : {0, 1, 2}) EXPECT_EQ(tvfuzz::check_mps(data("mps", f), format), "") << f;
  }
  for (const std::string& f : files_of("mps_gzip")) {
    EXPECT_EQ(tvfuzz::check_mps_gzip(data("mps_gzip", f), 0, 0), "") << f;
    EXPECT_EQ(tvfuzz::check_mps_file(data("mps_gzip", f)), "") << f;
  }
  for (const std::string& f : files_of("specs")) {
    for (int mode : {0, 1, 2, 3}) EXPECT_EQ(tvfuzz::check_specs(data("specs", f), mode), "") << f;
  }
  // Basis files: .old, .ins, .load, read by their reader with names and
  // with made names.
  for (const std::string& f : files_of("basis")) {
    const int format = tvtest::contains(f, ".old") ? 0 : tvtest::contains(f, ".ins") ? 1 : 2;
    for (bool named : {true, false}) EXPECT_EQ(tvfuzz::check_basis(data("basis", f), format, named), "") << f;
  }
  for (const std::string& f : files_of("solve")) {
    for (int flags : {-1, 0x00, 0x02, 0x13}) EXPECT_EQ(tvfuzz::check_solve(data("solve", f), flags), "") << f;
  }
}

// An unbounded problem whose scaled form looked optimal: the clean-up on the
// unscaled problem finds the ray, and that is the answer.
TEST(FuzzRegressions, UnboundedRayOfTheCleanUpIsFinal) {
  tvfuzz::SolveOutcome o;
  EXPECT_EQ(tvfuzz::check_solve(data("solve", "unbounded_after_cleanup.mps"), -1, &o), "");
  EXPECT_EQ(o.inform, 2);
  EXPECT_TRUE(tvtest::contains(o.print, "clean-up iterations on the unscaled problem")) << o.print;
  EXPECT_TRUE(tvtest::contains(o.print, "EXIT -- the problem is unbounded")) << o.print;
}

// A row with the coefficient 1e+10 on a column at 0 (row scale 2e+12): the
// optimum of the scaled problem, its basic values solved for there, left the
// row's basic slack at 1.4e-6 where the activity is 0.  The clean-up now
// measures the rows in the user's units too and solves for the basic values
// on the unscaled problem when they are off.
TEST(FuzzRegressions, RowsOfTheOptimumHoldInTheUsersUnits) {
  for (int flags : {0x03, -1}) {
    tvfuzz::SolveOutcome o;
    EXPECT_EQ(tvfuzz::check_solve(data("solve", "row_residual_after_scaling.mps"), flags, &o), "") << flags;
    EXPECT_EQ(o.inform, 0) << flags;
  }
}

// The objective 2 x_A with A + B = 1 and 1e10 A in [-1e-8, 0] (Crash option
// 0, Devex, Factorization frequency 3, Expand frequency 5, Scale option 2):
// the clean-up on the unscaled problem ended "optimal" with x_A = -1.49e-16,
// x_B's rounding in the first row, so the second row's activity was 1.5e-6
// off the slack it reported.  The recomputation of the basic values skips
// values below eps^0.8 in its residual; the clean-up now refines them once
// more with every value counted: x_A = -1e-18.
TEST(FuzzRegressions, BasicValueBelowTheSkipIsRefinedInALargeRow) {
  tvfuzz::SolveOutcome o;
  EXPECT_EQ(tvfuzz::check_solve(data("solve", "row_of_1e10_basic_value.mps"), 0xc0, &o), "");
  EXPECT_EQ(o.inform, 0);
  EXPECT_LT(o.errors.rows, 1e-12);
  EXPECT_TRUE(tvtest::contains(o.print, " -- clean-up iterations on the unscaled problem"));
}

// Maximize x - 3.3e17 y (x <= 5) with Scale option 2: the objective row's
// scale (about 6e8) left its basic slack at 0 where x = 5 after the one
// iteration, and the run reported the objective 0.  The clean-up now measures
// the objective row as it measures the others and solves for the basic
// values on the unscaled problem: the objective is 5.
TEST(FuzzRegressions, ObjectiveRowOfTheOptimumHoldsInTheUsersUnits) {
  tvfuzz::SolveOutcome o;
  const std::string text = read_file(std::string(TARVO_TEST_DATA) + "/cleanup/objective_row_after_scaling.mps");
  EXPECT_EQ(tvfuzz::check_solve(text, 0x36, &o), "");
  EXPECT_EQ(o.inform, 0);
  EXPECT_NEAR(o.obj, 5.0, 1e-9);
}

// Maximize x - 3.3e17 y with x + y <= 10, x >= 1 through another row: the
// objective row, scaled by its largest entry, leaves x's cost 3e-18 of it,
// so the scaled multipliers lost it and the run ended "optimal" at x = 1
// (objective 1; the optimum is 10).  The nonbasic reduced costs computed
// from those multipliers looked optimal; the basic variable x had a reduced
// cost of 1, which the clean-up now measures too, and it iterates on the
// unscaled problem to x = 10.
TEST(FuzzRegressions, MultipliersThatLostACostAreCaughtByTheBasicReducedCosts) {
  tvfuzz::SolveOutcome o;
  EXPECT_EQ(tvfuzz::check_solve(data("solve", "huge_cost_objective_row.mps"), 0x27, &o), "");
  EXPECT_EQ(o.inform, 0);
  EXPECT_NEAR(o.obj, 10.0, 1e-9);
  EXPECT_TRUE(tvtest::contains(o.print, " -- clean-up iterations on the unscaled problem"));
}

// Coefficients from 1e-10 to 1e+10 and an objective row scaled by 4e8.  The
// clean-up on the unscaled problem ends without an optimal point and the run
// falls back to the scaled problem, which ends "optimal" at a point whose
// reduced costs have the wrong sign by a third in the user's units.  Two
// faults: the basic objective slack, solved for with the basis, was 4.2e-6
// off the point's objective (it now comes from the row's activity), and the
// run said "optimal".  It ends near-optimal now, with the prices it measured,
// one EXIT line and a feasible point whose objective is its own.
TEST(FuzzRegressions, ScaledOptimumThatDoesNotPriceOutIsNearOptimal) {
  const std::string t = read_file(std::string(TARVO_TEST_DATA) + "/cleanup/objective_slack_after_fallback.mps");
  ASSERT_FALSE(t.empty());
  tvfuzz::SolveOutcome o;
  EXPECT_EQ(tvfuzz::check_solve(t, 0x36, &o), "");
  ASSERT_EQ(o.inform, 13);
  EXPECT_LT(o.errors.rows, 1e-12);
  EXPECT_LT(o.errors.objective, 1e-12);
  EXPECT_TRUE(tvtest::contains(o.print, " -- clean-up ended without an optimal point; back to the problem as scaled"));
  EXPECT_TRUE(tvtest::contains(o.print, " EXIT -- near-optimal solution found"));
  EXPECT_TRUE(tvtest::contains(o.print, " XXX WARNING: reduced gradient is large -- solution is not really optimal"));
  EXPECT_EQ(tvtest::count(o.print, " EXIT -- "), 1);
}

// A column with the bounds LI 1 and UI 0 (lower above upper): it stayed
// nonbasic on its upper bound, phase 1 saw no infeasible basic variable, and
// the run ended "optimal" with the bound violated by 1.  Such a problem has
// no feasible point: the run now ends infeasible and says which variable.
TEST(FuzzRegressions, CrossedBoundsAreInfeasible) {
  for (int flags : {0x03, -1}) {
    tvfuzz::SolveOutcome o;
    EXPECT_EQ(tvfuzz::check_solve(data("solve", "crossed_bounds.mps"), flags, &o), "") << flags;
    EXPECT_EQ(o.inform, 1) << flags;  // the problem is infeasible
    EXPECT_TRUE(tvtest::contains(o.print, " XXX  Variable       3 has its lower bound above its upper bound")) << flags;
    EXPECT_TRUE(tvtest::contains(o.print, " EXIT -- the problem is infeasible")) << flags;
  }
}

// Basis files that start basic variables at 1e+10 and 1e+12 where they end
// near 3 (far_start_*): the basic values were corrected once, which left
// errors of 1e-6 in the rows, and the end check let them through (an
// objective off by 5e-6; with 1e+12 rows off by 1e-5, a wrong "optimal";
// with 1e+14 result 10).
// Now the correction is repeated and the end check wants the rows to half
// the precision: each solves to the optimum -2.  (The files are also among
// those of the test above.)
TEST(FuzzRegressions, BasisFilesFarFromTheAnswerEndAtTheOptimum) {
  for (const char* f : {"far_start_basic.ins", "far_start_phase1.load", "far_start_wrong_rows.ins",
                        "far_start_gave_up.ins"}) {
    const int format = tvtest::contains(f, ".ins") ? 1 : 2;
    EXPECT_EQ(tvfuzz::check_basis(data("basis", f), format, true), "") << f;
  }
}

// An OLD file that makes a column of the linear problem superbasic: the run
// took reduced-gradient steps on it in phase 1 and ended with the
// superbasics limit of a linear problem, 1 (result 5).  The column now keeps
// its value as a nonbasic variable and the simplex ends at the optimum.
TEST(FuzzRegressions, SuperbasicOfALinearProblemAtItsOptimum) {
  EXPECT_EQ(tvfuzz::check_basis(data("basis", "superbasic_of_a_linear_problem.old"), 0, true), "");
  // The same from an INSERT file with made names: the reduced gradient of
  // the superbasic it had must not make the optimum "near-optimal".
  EXPECT_EQ(tvfuzz::check_basis(data("basis", "superbasic_of_a_linear_problem.ins"), 1, false), "");
}

// The seeds of the basis target: what the writers make of the small problem,
// at its optimum and part of the way there, read back by each reader and
// solved from, with names and with made names.
TEST(FuzzRegressions, WrittenBasisFilesReadBackAndRestart) {
  for (bool named : {true, false}) {
    for (int iterations : {-1, 1}) {
      SCOPED_TRACE(std::string(named ? "names" : "made names") + ", iterations " + std::to_string(iterations));
      const std::vector<std::string> files = tvfuzz::basis_files_written(named, iterations);
      ASSERT_EQ(files.size(), 3u);
      for (int format = 0; format < 3; ++format) {
        EXPECT_TRUE(tvtest::contains(files[format], format == 0 ? "M=      6 N=      6" : "ENDATA")) << files[format];
        EXPECT_EQ(tvfuzz::check_basis(files[format], format, named), "") << files[format];
      }
    }
  }
  const std::vector<std::string> opt = tvfuzz::basis_files_written(true, -1);
  EXPECT_TRUE(tvtest::contains(opt[0], "OPTIMAL SOLN")) << opt[0];
  // Another problem's OLD file, and a file of nothing but noise, are refused.
  const std::string other = opt[0].substr(0, opt[0].find("M=")) + "M=      5 N=      6 SB=    0\n111111111110\n       0\n";
  EXPECT_EQ(tvfuzz::check_basis(other, 0, true), "");
  EXPECT_EQ(tvfuzz::check_basis("", 2, true), "");
}

// Iteration log, headings, summary log, weight on the objective and the
// final statistics texts.
#include <gtest/gtest.h>

#include <vector>

#include "common/mps_lp.h"
#include "core/exit_text.h"
#include "simplex/harness.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

using namespace spxtest;
using tv::strf;

namespace {

std::vector<std::string> lines_of(const std::string& s) { return tvtest::lines(s); }

int count(const std::vector<std::string>& L, const std::string& text) {
  int c = 0;
  for (const auto& l : L) c += l == text;
  return c;
}

// Iteration numbers of the log lines (lines that start with an integer in
// the first 9 columns and are not message lines).
std::vector<int> log_itns(const std::vector<std::string>& L, size_t width) {
  std::vector<int> out;
  for (const auto& l : L) {
    if (l.size() != width) continue;
    int itn = 0;
    if (std::sscanf(l.c_str(), "%9d", &itn) == 1) out.push_back(itn);
  }
  return out;
}

const char* kShortHead = "      Itn     dj     ninf   sinf       objective       LU";
const char* kSumHead = "      Itn     dj     ninf   sinf       objective";

}  // namespace

TEST(IterationLog, ShortPrintLogOnEachIteration) {
  LoopRun r(tvtest::netlib_lp("sc50a"), [](tv::Context& c) { opt_i(c, "Log frequency", 1); });
  r.slack_basis();
  ASSERT_EQ(r.solve(), 0);
  const auto L = lines_of(r.prt());
  const std::vector<int> itns = log_itns(L, 9 + 9 + 7 + 10 + 16 + 9);
  ASSERT_EQ(static_cast<int>(itns.size()), r.itn());
  for (size_t k = 0; k < itns.size(); ++k) EXPECT_EQ(itns[k], static_cast<int>(k) + 1);
  // A heading (after a blank line) before the first line and after every 40.
  EXPECT_EQ(count(L, kShortHead), 1 + (r.itn() - 1) / 40);
  for (size_t k = 0; k < L.size(); ++k) {
    if (L[k] == kShortHead) {
      EXPECT_EQ(L[k - 1], "");
    }
  }
  // The last line holds the final objective and the factor sizes.
  const std::string last = strf("%9d", r.itn());
  for (const auto& l : L) {
    if (l.size() == 60 && l.compare(0, 9, last) == 0) {
      EXPECT_EQ(l.substr(35, 16), strf("%16.8E", r.obj()));
    }
  }
}

TEST(IterationLog, LogFrequencyAndSummary) {
  LoopRun r(tvtest::netlib_lp("sc205"), [](tv::Context& c) {
    opt_i(c, "Log frequency", 100);
    opt_i(c, "Summary frequency", 5);
  });
  r.slack_basis();
  ASSERT_EQ(r.solve(), 0);
  ASSERT_GT(r.itn(), 200);
  const std::vector<int> itns = log_itns(lines_of(r.prt()), 60);
  ASSERT_GE(itns.size(), 3u);
  EXPECT_EQ(itns[0], 1);
  EXPECT_EQ(itns[1], 100);
  EXPECT_EQ(itns[2], 200);
  // Summary: iteration 1 and every 5th, a heading every 10 lines.
  const auto S = lines_of(r.sum());
  const std::vector<int> sitns = log_itns(S, 51);
  ASSERT_GE(sitns.size(), 3u);
  EXPECT_EQ(sitns[0], 1);
  EXPECT_EQ(sitns[1], 5);
  EXPECT_EQ(sitns[2], 10);
  EXPECT_EQ(count(S, kSumHead), 1 + (static_cast<int>(sitns.size()) - 1) / 10);
  EXPECT_TRUE(has(r.sum(), " Itn        0 -- feasible solution.  Objective =   0.000000000E+00"));
}

TEST(IterationLog, LongLogAndFactorLines) {
  LoopRun r(tvtest::netlib_lp("afiro"), [](tv::Context& c) {
    opt_i(c, "Print level", 1);
    opt_i(c, "Log frequency", 1);
  });
  r.slack_basis();
  ASSERT_EQ(r.solve(), 0);
  const std::string prt = r.prt();
  EXPECT_TRUE(has(prt, "\n      Itn ph pp     dj     +sbs   -sbs    -bs  step    pivot     ninf  sinf,objective"
                       "        L        U ncp\n"));
  EXPECT_TRUE(has(prt, " Factor      1  Demand      0  Itn          0  Infeas       0\n"));
  EXPECT_TRUE(has(prt, strf(" Nonlin      0  Linear      0  Slacks%8d  Objective %20.8E", 28, 0.0)));
  EXPECT_TRUE(has(prt, " Biggest dj ="));
  // One long line per iteration: itn, blank, flag, state, section, ...
  int nlines = 0;
  for (const auto& l : lines_of(prt)) {
    int itn = 0, state = 0;
    char blank = 0, flag = 0;
    if (l.size() >= 13 && std::sscanf(l.c_str(), "%9d%c%c%1d", &itn, &blank, &flag, &state) == 4 &&
        blank == ' ' && flag == ' ' && (state == 1 || state == 2) && l.size() == 9 + 1 + 1 + 1 + 3 + 9 +
        21 + 8 + 9 + 7 + 16 + 9 + 9 + 4) {
      ++nlines;
    }
  }
  EXPECT_EQ(nlines, r.itn());
}

TEST(IterationLog, ItnPrintedModuloHundredMillion) {
  LoopRun r(tvtest::netlib_lp("afiro"), [](tv::Context& c) { opt_i(c, "Log frequency", 1); });
  r.ctx.spx.itn = 123456789;
  r.ctx.spx.nmin = 1;
  tv::m5log(r.ctx, r.P, 0);
  EXPECT_TRUE(has(r.prt(), "\n 23456789"));
}

TEST(IterationLog, DebugListing) {
  LoopRun r(tvtest::netlib_lp("afiro"), [](tv::Context& c) { opt_i(c, "Debug level", 100); });
  r.slack_basis();
  ASSERT_EQ(r.solve(), 0);
  EXPECT_TRUE(has(r.prt(), " BS and SB values..."));
  EXPECT_TRUE(has(r.prt(), " BS and SB values:"));
}

TEST(IterationLog, WeightOnObjectiveReduced) {
  // min 10 x1 with x1 >= 1 as a row: with weight 0.5 the composite cost
  // first points the wrong way, the weight is reduced once, then x1 enters.
  LoopRun r(TestLP::dense({{1}, {10}}, {1, -kInf}, {kInf, kInf}, {0}, {5}, 2), [](tv::Context& c) {
    opt_r(c, "Weight on objective", 0.5);
    opt_i(c, "Print level", 1);
  });
  r.slack_basis();
  ASSERT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), 10.0, 1e-12);
  EXPECT_TRUE(has(r.prt(), " Weight on obj reduced to    5.00E-02"));
  EXPECT_EQ(r.ctx.spx.wtobj, 0.0);  // zero once feasible
}

TEST(IterationLog, ExitTexts) {
  LoopRun r(tvtest::netlib_lp("afiro"));
  const struct {
    int inform, value;
    const char* text;
  } cases[] = {
      {4, 1000, " EXIT -- the objective has not changed for the last    1000  iterations"},
      {5, 1, " EXIT -- the superbasics limit is too small:       1"},
      {9, 0, " EXIT -- the current point cannot be improved upon"},
      {10, 0, " EXIT -- numerical error.  General constraints cannot be satisfied accurately"},
      {11, 0, " EXIT -- cannot find a superbasic to replace basic variable"},
      {12, 0, " EXIT -- basis factorization requested twice in a row"},
      {13, 0, " EXIT -- near-optimal solution found"},
      {7, 0, " EXIT -- subroutine funobj appears to be giving incorrect gradients"},
      {8, 0, " EXIT -- subroutine funcon appears to be giving incorrect gradients"},
  };
  for (const auto& c : cases) {
    r.ctx.io.clear_buffer(kPrt);
    r.ctx.io.clear_buffer(kSum);
    tv::print_exit(r.ctx, c.inform, tv::kExitUsual, c.value);
    EXPECT_TRUE(has(r.prt(), std::string(c.text) + "\n")) << c.inform;
    EXPECT_TRUE(has(r.sum(), std::string(c.text) + "\n")) << c.inform;
  }
  r.ctx.io.clear_buffer(kPrt);
  tv::print_exit(r.ctx, TV_NEAR_OPTIMAL);
  EXPECT_TRUE(has(r.prt(), " XXX WARNING: reduced gradient is large -- solution is not really optimal"));
}

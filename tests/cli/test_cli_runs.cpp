// The tarvo command keeps the user's work and does what was asked: a solve
// whose basis factors outgrow the workspace goes on from where it stopped,
// limits hold for the whole run, counts are read as given, SPECS values that
// are cut or read as 0 are reported, dropped coefficients are shown, output
// files are checked before the solve, infeasibilities are unscaled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "core/context.h"
#include "core/entry.h"
#include "files/mps.h"
#include "options/params.h"

using namespace clitest;

namespace {

// A random sparse LP whose optimal basis fills its LU factors far beyond the
// room the workspace estimate gives them: m equality rows, 2m columns of 10
// entries in distinct random rows, the right-hand side from a positive point.
void write_random_lp(const std::string& path, int m) {
  uint64_t s = 12345;
  auto uniform = [&s]() {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) / 9007199254740992.0;  // [0, 1)
  };
  std::vector<double> rhs(m, 0.0);
  std::ostringstream f;
  f.precision(17);
  f << "NAME RANDLP\nROWS\n N COST\n";
  for (int i = 0; i < m; ++i) f << " E R" << i << "\n";
  f << "COLUMNS\n";
  for (int j = 0; j < 2 * m; ++j) {
    const double x0 = 0.5 + uniform();
    f << " C" << j << " COST " << 1.0 + uniform() << "\n";
    std::vector<int> rows;
    while (rows.size() < 10) {
      const int i = static_cast<int>(uniform() * m);
      if (std::find(rows.begin(), rows.end(), i) != rows.end()) continue;
      rows.push_back(i);
      const double v = (uniform() < 0.5 ? -1.0 : 1.0) * (0.5 + uniform());
      rhs[i] += v * x0;
      f << " C" << j << " R" << i << " " << v << "\n";
    }
  }
  f << "RHS\n";
  for (int i = 0; i < m; ++i) f << " RHS R" << i << " " << rhs[i] << "\n";
  std::ofstream(path) << f.str() << "ENDATA\n";
}

// Solved in this process with ample workspace: the optimum and the iterations.
double reference_optimum(const std::string& path, int& iterations) {
  tv::Context ctx;
  tv::tvstart(ctx, 0, 0, 0);
  tv::MpsModel M;
  EXPECT_EQ(tv::mps_read(ctx, path, M), 0);
  tv::Problem P = M.problem();
  const tv::Params saved = ctx.par;
  int ns = 0;
  double z1[1] = {0.0};
  tv::EntryResult r;
  tv::tvnose(ctx, "Cold", P, M.names40().data(), ns, z1, 1, 0, nullptr, r);  // learn minwork
  ctx.par = saved;
  std::vector<double> z(static_cast<size_t>(r.minwork) * 8);
  tv::tvnose(ctx, "Cold", P, M.names40().data(), ns, z.data(), static_cast<int>(z.size()), 0, nullptr, r);
  EXPECT_EQ(r.inform, 0);
  iterations = r.nitns;
  return r.obj;
}

double number_after(const std::string& out, const std::string& label) {
  std::string v;
  EXPECT_TRUE(field(out, label, v)) << label << " in\n" << out;
  return std::strtod(v.c_str(), nullptr);
}

size_t count(const std::string& s, const std::string& what) {
  size_t k = 0;
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++k;
  return k;
}

}  // namespace

// The factors outgrow the workspace part way: the solve goes on from the
// basis reached (not from the start), the iterations of both parts count,
// and an iteration limit holds for the parts together.
TEST(CliRuns, StorageFailureContinuesFromTheBasisReached) {
  const std::string mps = temp("fill.mps"), prt = temp("fill.prt");
  write_random_lp(mps, 300);
  int ref_its = 0;
  const double ref = reference_optimum(mps, ref_its);

  Cmd r = run("-p " + prt + " " + mps);
  const std::string print = slurp(prt);
  ASSERT_NE(print.find(" EXIT -- not enough storage for the basis factors"), std::string::npos)
      << "the test problem no longer outgrows the workspace";
  EXPECT_NE(r.out.find(" tarvo: more room for the basis factors: the solve goes on from the basis reached"),
            std::string::npos);
  EXPECT_NE(print.find(" start = Warm"), std::string::npos);
  EXPECT_EQ(result_of(r), 0) << r.out;
  EXPECT_NEAR(number_after(r.out, "Objective value"), ref, 1e-9 * std::fabs(ref));

  std::vector<int> its;  // of each part, from the print file
  const std::string label = "\n No. of iterations";
  for (size_t p = print.find(label); p != std::string::npos; p = print.find(label, p + 1))
    its.push_back(std::atoi(print.c_str() + p + label.size()));
  ASSERT_GE(its.size(), 2u);
  int total = 0;
  for (int k : its) total += k;
  EXPECT_EQ(static_cast<int>(number_after(r.out, "Iterations")), total);
  EXPECT_GT(its.front(), 0);                                                // work done before the failure
  EXPECT_LT(its.back(), ref_its) << "the continuation solved from scratch";  // and kept

  // A limit a few iterations past the failure ends the whole run there.
  r = run("-q -i " + std::to_string(its.front() + 5) + " " + mps);
  EXPECT_EQ(result_of(r), 3) << r.out;
  EXPECT_EQ(static_cast<int>(number_after(r.out, "Iterations")), its.front() + 5);
  std::remove(mps.c_str());
  std::remove(prt.c_str());
}

// Counts on the command line are taken as given, or refused with the reason.
// A SPECS value that the reading rule turns into 0 stays 0, with a warning.
TEST(CliRuns, IterationLimitsAreReadAsGiven) {
  Cmd r = run("-q -i 100000000 " + data("afiro.mps"));
  EXPECT_EQ(result_of(r), 0) << r.out;
  const struct {
    const char* args;
    const char* message;
  } refused[] = {
      {"-i 2147483648", "-i 2147483648: too large; the largest value is 2147483647"},
      {"-i 99999999999999999999999", "too large; the largest value is 2147483647"},
      {"--log-frequency=-5", "--log-frequency -5: a negative value has no meaning here"},
  };
  for (const auto& c : refused) {
    r = run(std::string(c.args) + " " + data("afiro.mps"));
    EXPECT_EQ(r.status, 6) << c.args;
    EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
  }

  const std::string spc = temp("big.spc"), prt = temp("big.prt");
  std::ofstream(spc) << "BEGIN\n  Iterations limit 1e9\n  Scale option 0.5\n  Log frequency 20\nEND\n";
  r = run("-p " + prt + " -s " + spc + " " + data("afiro.mps"));
  const std::string big = " XXX  Warning: the value is read as 0 (integer values of 1.0E+08 or more in magnitude read as 0)";
  const std::string part = " XXX  Warning: the value is read as 0 (integer values are truncated toward zero)";
  EXPECT_NE(r.out.find("   Iterations limit 1e9\n" + big), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("   Scale option 0.5\n" + part), std::string::npos);
  EXPECT_EQ(count(r.out, " XXX  Warning"), 2u);  // not for Log frequency 20
  EXPECT_NE(slurp(prt).find(big), std::string::npos);
  EXPECT_EQ(result_of(r), 3);  // the rule stands: the limit is 0
  std::remove(spc.c_str());
  std::remove(prt.c_str());
}

// Text beyond column 72 of a SPECS line is ignored, with a warning that
// gives the line number and the text; comments and blanks there are quiet.
TEST(CliRuns, SpecsTextBeyondColumn72IsReported) {
  const std::string spc = temp("cut.spc"), prt = temp("cut.prt");
  std::string cut = "  Feasibility tolerance";
  cut.resize(70, ' ');
  cut += "1.0E-2";  // starts in column 71: read as "1."
  std::string comment = "  Scale option 0   * a comment that runs on";
  comment.resize(90, '-');
  std::ofstream(spc) << "* options\nBEGIN\n" << cut << "\n" << comment << "\n  Log frequency 1" << std::string(80, ' ')
                     << "\nEND\n";
  const std::string warning = " XXX  Warning: line     3 of the SPECS file is cut at column 72; ignored: 0E-2";

  Cmd r = run("-p " + prt + " -s " + spc + " " + data("afiro.mps"));
  EXPECT_EQ(result_of(r), 0) << r.out;
  EXPECT_NE(r.out.find(std::string(" ").append(cut, 0, 72) + "\n" + warning + "\n"), std::string::npos) << r.out;
  EXPECT_EQ(count(r.out, "XXX"), 1u);
  EXPECT_NE(slurp(prt).find(warning), std::string::npos);
  r = run("-q -s " + spc + " " + data("afiro.mps"));  // quiet: still shown
  EXPECT_NE(r.out.find(warning), std::string::npos) << r.out;
  // A Begin pushed beyond column 72 is missed: the warning says why.
  std::ofstream(spc) << std::string(72, ' ') << "Begin\n  Iterations 5\nEnd\n";
  r = run("-q -s " + spc + " " + data("afiro.mps"));
  EXPECT_EQ(r.status, 5);
  EXPECT_NE(r.out.find(" XXX  Warning: line     1 of the SPECS file is cut at column 72; ignored: Begin"),
            std::string::npos)
      << r.out;
  std::remove(spc.c_str());
  std::remove(prt.c_str());
}

// -l sets the frequency of the log on standard output and in the print file.
TEST(CliRuns, LogFrequencyGovernsTheLogShown) {
  const std::string prt = temp("log.prt");
  Cmd r = run("-l 4 -p " + prt + " " + data("afiro.mps"));
  ASSERT_EQ(result_of(r), 0) << r.out;
  for (const char* itn : {"\n        1 ", "\n        4 ", "\n        8 "}) {
    EXPECT_NE(r.out.find(itn), std::string::npos) << itn << " in\n" << r.out;
    EXPECT_NE(slurp(prt).find(itn), std::string::npos) << itn;
  }
  EXPECT_EQ(r.out.find("\n        5 "), std::string::npos);
  EXPECT_NE(run("--help").out.find("every N iterations, on\n                          standard output"),
            std::string::npos);
  std::remove(prt.c_str());
}

// Coefficients below the Aij tolerance are dropped: standard output says how
// many and the largest, since they can decide the answer.
TEST(CliRuns, DroppedCoefficientsAreShown) {
  const std::string mps = temp("drop.mps");
  // x = 1e11 would meet R1; without its coefficient R1 cannot be met.
  std::ofstream(mps) << "NAME DROP\nROWS\n N COST\n E R1\n L R2\nCOLUMNS\n X COST 1 R1 1e-11\n X R2 0\n"
                        " Y COST 1 R2 1\nRHS\n RHS R1 1\nENDATA\n";
  Cmd r = run("-q " + mps);
  EXPECT_NE(r.out.find(" Dropped              2  coefficients below the Aij tolerance 1.0E-10, the largest 1.000E-11"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(result_of(r), 1);
  EXPECT_EQ(run("-q " + data("afiro.mps")).out.find(" Dropped"), std::string::npos);
  std::remove(mps.c_str());
}

// An output file that cannot be written stops the command before any work;
// the check leaves an existing file as it was.  Units of a SPECS file are
// named by their files.
TEST(CliRuns, OutputFilesAreCheckedBeforeTheSolve) {
  for (const std::string& bad : {std::string("/nonexistent-dir/x.sol"), testing::TempDir()}) {
    Cmd r = run("-o " + bad + " " + data("afiro.mps"));
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.out.find("tarvo: cannot write the solution file " + bad + ": "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Problem"), std::string::npos) << "read or solved before the check";
  }
  const std::string sol = temp("keep.sol"), spc = temp("units.spc");
  std::ofstream(sol) << "earlier results\n";
  EXPECT_EQ(run("-o " + sol + " " + data("no_such_problem.mps")).status, 5);
  EXPECT_EQ(slurp(sol), "earlier results\n");

  std::ofstream(spc) << "BEGIN\n  Solution file 77\nEND\n";
  Cmd r = run("-s " + spc + " " + data("afiro.mps"));
  EXPECT_NE(r.out.find(" tarvo: the Solution file of the SPECS file (unit 77) is fort.77"), std::string::npos)
      << r.out;
  std::remove("fort.77");
  std::remove(sol.c_str());
  std::remove(spc.c_str());
}

// Messages about a SPECS file name the file, give rejected options as a
// count, and say in words what is wrong with its structure.
TEST(CliRuns, SpecsMessagesSpeakOfTheFile) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"BEGIN\n  No such option\n  Nor this one\nEND\n", ": 2 options were rejected (shown above with the reason)"},
      {"BEGIN\n  Nothing\n", ": the file ends before the End line of its options; 1 rejected before that"},
      {"  Iterations 20\n", ": no options read: the file has no Begin line"},
      {"ENDRUN\n", ": no options read: Endrun comes before any Begin line"},
  };
  const std::string spc = temp("msg.spc");
  for (const auto& c : cases) {
    std::ofstream(spc) << c.text;
    Cmd r = run("-q -s " + spc + " " + data("afiro.mps"));
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.out.find("tarvo: " + spc + c.message), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("(result"), std::string::npos) << r.out;
  }
  std::remove(spc.c_str());
}

// The infeasibilities shown agree with the activities and limits of the
// solution file, not with the scaled problem; no negative zero is written.
TEST(CliRuns, InfeasibilitiesAreUnscaled) {
  const std::string mps = temp("inf.mps"), sol = temp("inf.sol");
  // x <= 1 through a row scaled by 1000, and x >= 2.
  std::ofstream(mps) << "NAME INF\nROWS\n N COST\n L R1\n G R2\n G R3\nCOLUMNS\n X COST 1 R1 1000\n X R2 1\n"
                        " Y COST 1 R3 50\n Y R1 0.001\nRHS\n RHS R1 1000 R2 2\n RHS R3 1\nENDATA\n";
  Cmd r = run("-q -o " + sol + " " + mps);
  EXPECT_EQ(result_of(r), 1) << r.out;
  const std::string s = slurp(sol);
  double sum = 0.0;
  int n = 0;
  std::istringstream in(s);
  for (std::string line; std::getline(in, line);) {
    int num = 0;
    char name[64], state[8], act[32], lo[32], up[32];
    if (std::sscanf(line.c_str(), "%d %63s %7s %31s %31s %31s", &num, name, state, act, lo, up) != 6) continue;
    const double x = std::strtod(act, nullptr);
    double v = 0.0;
    if (std::string(lo) != "None") v = std::max(v, std::strtod(lo, nullptr) - x);
    if (std::string(up) != "None") v = std::max(v, x - std::strtod(up, nullptr));
    if (v > 1e-6) {
      sum += v;
      ++n;
    }
  }
  ASSERT_GT(n, 0) << s;
  int shown_n = 0;
  double shown_sum = 0.0;
  ASSERT_EQ(std::sscanf(r.out.c_str() + r.out.find("\n Infeasibilities"), "\n Infeasibilities %d sum %lf", &shown_n,
                        &shown_sum),
            2);
  EXPECT_EQ(shown_n, n) << r.out;
  EXPECT_NEAR(shown_sum, sum, 1e-6 * sum) << r.out;
  EXPECT_NE(s.find("Infeasibilities " + std::to_string(n) + "  sum"), std::string::npos);
  EXPECT_EQ(s.find("-0.00000000E+00"), std::string::npos) << s;
  std::remove(mps.c_str());
  std::remove(sol.c_str());
}

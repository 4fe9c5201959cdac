// The tarvo command: usage, exit status, input errors, output files, and
// the optimal objective of a few Netlib problems.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "cli/cli_run.h"
#include "core/context.h"
#include "files/mps.h"

using namespace clitest;

TEST(Cli, BinaryExists) { ASSERT_EQ(access(tarvo_path().c_str(), X_OK), 0) << tarvo_path(); }

TEST(Cli, HelpAndVersion) {
  Cmd r = run("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Usage: tarvo [options] MODEL.mps[.gz]"), std::string::npos);
  EXPECT_NE(r.out.find("Exit status: 0 optimal, 1 infeasible, 2 unbounded"), std::string::npos);
  r = run("-h");
  EXPECT_EQ(r.status, 0);
  r = run("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("tarvo T A R V O  5.6"), std::string::npos);
}

TEST(Cli, BadUsageGivesStatus6) {
  const struct {
    const char* args;
    const char* message;
  } cases[] = {
      {"", "no model file given"},
      {"--bogus x.mps", "unknown option --bogus"},
      {"a.mps b.mps", "more than one model file"},
      {"x.mps -i", "-i needs a whole number"},
      {"x.mps --iterations=ten", "--iterations needs a whole number"},
      {"x.mps --time-limit=-1", "--time-limit needs a positive number of seconds"},
      {"x.mps --specs", "--specs needs a file name"},
      {"x.mps --max=1", "--max takes no value"},
      {"x.mps --pricing", "--pricing needs steepest, devex, partial or partial-devex"},
      {"x.mps --pricing=dantzig", "--pricing needs steepest, devex, partial or partial-devex"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    Cmd r = run(c.args);
    EXPECT_EQ(r.status, 6);
    EXPECT_NE(r.out.find(std::string("tarvo: ") + c.message), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Try 'tarvo --help'."), std::string::npos);
  }
}

TEST(Cli, InputErrorsGiveStatus5) {
  Cmd r = run(data("no_such_problem.mps"));
  EXPECT_EQ(r.status, 5);
  EXPECT_NE(r.out.find("no_such_problem.mps: cannot be opened"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("the MPS file cannot be read (result 41)"), std::string::npos);

  const std::string bad = temp("bad.mps");
  std::ofstream(bad) << "NAME BAD\nROWS\n N OBJ\nCOLUMNS\n X NOROW 1\nRHS\nENDATA\n";
  r = run(bad);
  EXPECT_EQ(r.status, 5);
  EXPECT_NE(r.out.find("Error in line       5: unknown row NOROW"), std::string::npos) << r.out;
  // Quiet: the messages still reach the user (on standard error).
  r = run("-q " + bad);
  EXPECT_EQ(r.status, 5);
  EXPECT_NE(r.out.find("unknown row NOROW"), std::string::npos) << r.out;

  r = run("--specs " + temp("no_such_specs") + " " + data("afiro.mps"));
  EXPECT_EQ(r.status, 5);
  EXPECT_NE(r.out.find("cannot open the SPECS file"), std::string::npos);

  const std::string specs = temp("bad.spc");
  std::ofstream(specs) << "BEGIN\n  NO SUCH OPTION 3\nEND\n";
  r = run("--specs " + specs + " " + data("afiro.mps"));
  EXPECT_EQ(r.status, 5) << r.out;
  EXPECT_NE(r.out.find("bad.spc: 1 option was rejected"), std::string::npos) << r.out;

  // Names with blanks cannot be read as free format.
  r = run("--free " + data("forplan.mps"));
  EXPECT_EQ(r.status, 5);
  EXPECT_NE(r.out.find("a ROWS line has a type and a name\n ----> E  DEDO3 8R"), std::string::npos);

  r = run("--write /nonexistent-dir/x.mps " + data("afiro.mps"));
  EXPECT_EQ(r.status, 5);
  std::remove(bad.c_str());
  std::remove(specs.c_str());
}

TEST(Cli, CheckWriteAndPrintFile) {
  const std::string out = temp("afiro_out.mps"), prt = temp("afiro.prt");
  Cmd r = run("--check --write " + out + " --print " + prt + " " + data("afiro.mps"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find(" Problem          AFIRO\n Rows                28\n Columns             32\n"
                       " Elements            88\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find(" Result"), std::string::npos);  // nothing solved
  EXPECT_NE(slurp(prt).find(" MPS file\n --------\n Name            AFIRO"), std::string::npos);

  // The written file is the same problem.
  tv::Context ctx;
  tv::MpsModel a, b;
  ASSERT_EQ(tv::mps_read(ctx, data("afiro.mps"), a), 0);
  ASSERT_EQ(tv::mps_read(ctx, out, b), 0);
  EXPECT_EQ(a.a, b.a);
  EXPECT_EQ(a.bl, b.bl);
  EXPECT_EQ(a.bu, b.bu);
  EXPECT_EQ(a.colnames, b.colnames);
  std::remove(out.c_str());
  std::remove(prt.c_str());
}

TEST(Cli, SolutionFileHasWholeNames) {
  const std::string mps = temp("long.mps"), sol = temp("long.sol");
  std::ofstream(mps) << "NAME LONGNAMES\nROWS\n N COST\n G DEMAND_OF_THE_NORTH\n"
                        "COLUMNS\n SHIPMENT_FROM_PLANT_ONE COST 2 DEMAND_OF_THE_NORTH 1\n"
                        "RHS\n RHS DEMAND_OF_THE_NORTH 3\nENDATA\n";
  Cmd r = run("-q -o " + sol + " " + mps);
  const std::string s = slurp(sol);
  EXPECT_NE(s.find("Problem    LONGNAMES"), std::string::npos) << s;
  EXPECT_NE(s.find("DEMAND_OF_THE_NORTH"), std::string::npos);
  EXPECT_NE(s.find("SHIPMENT_FROM_PLANT_ONE"), std::string::npos);
  EXPECT_NE(s.find("Reduced cost"), std::string::npos);
  EXPECT_EQ(result_of(r), 0);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(s.find("Objective  6\n"), std::string::npos) << s;
  std::remove(mps.c_str());
  std::remove(sol.c_str());
}

TEST(Cli, NetlibObjectives) {
  const struct {
    const char* file;
    double optimal;
    const char* args;
  } cases[] = {
      {"afiro.mps", -4.6475314286E+02, ""},
      {"sc50a.mps", -6.4575077059E+01, ""},
      {"blend.mps", -3.0812149846E+01, ""},
      {"e226.mps", -1.1638929066E+01, ""},  // objective constant 7.113 included
      {"adlittle.mps", 2.2549496316E+05, "-q"},
      {"forplan.mps", -6.6421896127E+02, "-q"},   // names with blanks, ranges
      {"boeing1.mps", -3.3521356751E+02, "-q"},   // ranges on L and G rows
      {"tuff.mps", 2.9214776509E-01, "-q"},       // UP, LO, FX, FR bounds
      {"blend.mps", -3.0812149846E+01, "-q --free"},  // blank set names found by counting fields
      {"boeing1.mps", -3.3521356751E+02, "-q --pricing partial"},
      {"boeing1.mps", -3.3521356751E+02, "-q --pricing=devex"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Cmd r = run(std::string(c.args) + " " + data(c.file));
    const int res = result_of(r);
    EXPECT_EQ(res, 0) << r.out;
    EXPECT_EQ(r.status, 0);
    std::string v;
    ASSERT_TRUE(field(r.out, "Objective value", v)) << r.out;
    const double obj = std::strtod(v.c_str(), nullptr);
    EXPECT_LE(std::fabs(obj - c.optimal), 1e-6 * std::max(1.0, std::fabs(c.optimal))) << obj;
  }
}

TEST(Cli, MaximisationFromTheFileAndTheCommandLine) {
  Cmd r = run(example("small_max.mps"));
  EXPECT_EQ(result_of(r), 0);
  EXPECT_EQ(r.status, 0) << r.out;
  std::string v;
  ASSERT_TRUE(field(r.out, "Objective value", v));
  EXPECT_NEAR(std::strtod(v.c_str(), nullptr), 11.0, 1e-9);
  // --min overrides the file: the minimum is at x = y = 0.
  r = run("--min " + example("small_max.mps"));
  ASSERT_TRUE(field(r.out, "Objective value", v));
  EXPECT_NEAR(std::strtod(v.c_str(), nullptr), 0.0, 1e-9);
}

TEST(Cli, IterationAndTimeLimits) {
  Cmd r = run("-q -i 1 " + data("afiro.mps"));
  int res = result_of(r);
  EXPECT_EQ(res, 3) << r.out;
  EXPECT_EQ(r.status, 3);
  // A time limit far below one iteration's time stops at the first check.
  r = run("-q --time-limit 1e-9 " + data("degen2.mps"));
  EXPECT_EQ(result_of(r), 18) << r.out;
  EXPECT_EQ(r.status, 3);
}

// --pricing reaches the solver: the rules take different paths to the same
// optimum, and the default is steepest edge.
TEST(Cli, PricingRuleSelectsThePath) {
  auto iterations = [](const std::string& args) {
    Cmd r = run("-q " + args + " " + data("boeing1.mps"));
    std::string v;
    EXPECT_TRUE(field(r.out, "Iterations", v)) << r.out;
    return std::atoi(v.c_str());
  };
  const int dflt = iterations(""), steep = iterations("--pricing steepest"), devex = iterations("--pricing devex"),
            partial = iterations("--pricing partial");
  EXPECT_GT(dflt, 0);
  EXPECT_EQ(dflt, steep);
  EXPECT_NE(steep, devex);
  EXPECT_NE(devex, partial);
}

// Basis files: round trips on Netlib problems (NEW to OLD, PUNCH to INSERT,
// DUMP to LOAD) that restart optimal in 0 iterations, the exact layouts and
// made names, periodic saves, malformed files, an OLD file of another
// problem, and Hot starts in the same workspace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/lp.h"
#include "common/mps_lp.h"
#include "common/netlib.h"
#include "core/context.h"
#include "core/entry.h"
#include "driver/driver_run.h"
#include "files/m4bfil.h"
#include "files/m4getb.h"
#include "options/params.h"

using namespace tv;
using tvtest::contains;
using tvtest::DriverRun;
using tvtest::kInf;
using tvtest::TestLP;

namespace {

constexpr int kNew = 11, kBak = 12, kPch = 13, kDmp = 14, kIn = 15;

// min 2 x1 + 3 x2 + x3  s.t.  x1 + x2 + x3 = 10,  x1 - x2 >= -2,
// 0 <= x1 <= 4,  x2 >= 0.5,  x3 <= 5  (objective row 3).  Solution
// x = (4, 1, 5), objective 16, hs = (1, 3, 1, 0, 3, 3).
TestLP lp_b() {
  return TestLP::dense({{1, 1, 1}, {1, -1, 0}, {2, 3, 1}}, {10, -2, -kInf}, {10, kInf, kInf}, {0, 0.5, -kInf},
                       {4, kInf, 5}, 3);
}

// A solve with the basis files given as SPECS phrases; `in` is the text of
// an input basis file on unit 15 (empty: none).
struct BasisRun : DriverRun {
  BasisRun(TestLP problem, const std::vector<std::string>& options, const std::string& in = "") {
    lp = std::move(problem);
    start(options);
    for (int u : {kNew, kBak, kPch, kDmp}) ctx.io.attach_buffer(u);
    if (!in.empty()) ctx.io.attach_text(kIn, in);
  }
  std::string file(int unit) const { return ctx.io.buffer(unit); }
};

// A reader called alone on lp_b, print and summary files in memory.
struct Reader {
  Context ctx;
  TestLP lp = lp_b();
  int ns = 0, inform = 0;
  Reader() {
    tvstart(ctx, 0, 0, 0);
    ctx.io.attach_buffer(tvtest::kPrt);
    ctx.io.attach_buffer(tvtest::kSum);
    ctx.par.prtfile = tvtest::kPrt;
    ctx.par.sumfile = tvtest::kSum;
    ctx.par.errlim = 10;
  }
  bool read(bool (*reader)(Context&, Problem&, int, int&, int&), const std::string& text) {
    ctx.io.attach_text(kIn, text);
    Problem P = lp.view();
    return reader(ctx, P, kIn, ns, inform);
  }
  std::string prt() const { return ctx.io.buffer(tvtest::kPrt); }
};

}  // namespace

TEST(BasisFiles, RoundTripsRestartNetlibProblemsOptimalInZeroIterations) {
  for (const char* name : {"afiro", "sc105", "adlittle", "bandm", "scfxm1"}) {
    SCOPED_TRACE(name);
    BasisRun cold(tvtest::netlib_lp(name), {"New basis file 11", "Punch file 13", "Dump file 14"});
    cold.solve("Cold");
    ASSERT_EQ(cold.r.inform, 0);
    const double fstar = tvtest::netlib_optimum(name);
    EXPECT_NEAR(cold.r.obj, fstar, 1e-6 * std::fabs(fstar));
    const struct {
      const char* phrase;
      int unit;
    } readers[] = {{"Old basis file 15", kNew}, {"Insert file 15", kPch}, {"Load file 15", kDmp}};
    for (const auto& rd : readers) {
      SCOPED_TRACE(rd.phrase);
      BasisRun warm(tvtest::netlib_lp(name), {rd.phrase}, cold.file(rd.unit));
      warm.solve("Cold");
      EXPECT_EQ(warm.r.inform, 0);
      EXPECT_EQ(warm.r.nitns, 0);
      EXPECT_NEAR(warm.r.obj, fstar, 1e-6 * std::fabs(fstar));
      EXPECT_EQ(warm.lp.hs, cold.lp.hs);
      for (size_t j = 0; j < cold.lp.xn.size(); ++j)
        EXPECT_NEAR(warm.lp.xn[j], cold.lp.xn[j], 1e-7 * (1 + std::fabs(cold.lp.xn[j]))) << j + 1;
      EXPECT_FALSE(contains(warm.prt(), "  ignored:"));
    }
  }
}

TEST(BasisFiles, ExactLayoutsAndMadeNames) {
  BasisRun r(lp_b(), {"New basis file 11", "Punch file 13", "Dump file 14", "Scale option 0"});
  r.solve("Cold");
  ASSERT_EQ(r.r.inform, 0);
  EXPECT_EQ(r.file(kNew),
            "          ITN       2    OPTIMAL SOLN  NINF      0      OBJ   1.600000000000E+01\n"
            "OBJ=         RHS=         RNG=         BND=         M=      3 N=      3 SB=    0\n"
            "131033\n"
            "       0\n");
  EXPECT_EQ(r.file(kPch),
            "NAME                    PUNCH/INSERT\n"
            " UL x......1             4.00000E+00\n"
            " XL x......2  r......1   1.00000E+00\n"
            " UL x......3             5.00000E+00\n"
            "ENDATA\n");
  EXPECT_EQ(r.file(kDmp),
            "NAME                       DUMP/LOAD\n"
            " UL x......1             4.00000E+00\n"
            " BS x......2             1.00000E+00\n"
            " UL x......3             5.00000E+00\n"
            " LL r......1            -1.00000E+01\n"
            " BS r......2            -3.00000E+00\n"
            " BS r......3            -1.60000E+01\n"
            "ENDATA\n");
  EXPECT_TRUE(contains(r.sum(), " NEW BASIS file saved on file  11    itn =      2\n"));
  EXPECT_TRUE(contains(r.sum(), " PUNCH file saved on file  13\n"));
  EXPECT_TRUE(contains(r.sum(), " DUMP file saved on file  14\n"));

  // Made names of a larger problem: column 5 and row 12.
  BasisRun a(tvtest::netlib_lp("afiro"), {"Dump file 14"});
  a.solve("Cold");
  EXPECT_TRUE(contains(a.file(kDmp), " x......5 ")) << a.file(kDmp);
  EXPECT_TRUE(contains(a.file(kDmp), " r.....12 "));
}

TEST(BasisFiles, PunchLeavesOutABasicColumnWithNoNonbasicRowLeft) {
  Context ctx;
  tvstart(ctx, 0, 0, 0);
  ctx.io.attach_buffer(kPch);
  TestLP lp = lp_b();
  lp.hs = {3, 3, 0, 1, 3, 3};  // one nonbasic row for two basic columns
  lp.xn = {1, 2, 0, -10, 0, 0};
  Problem P = lp.view();
  m4pnch(ctx, P, kPch);
  // x3 is written for its lower bound (-infinity), not for its value 0.
  EXPECT_EQ(ctx.io.buffer(kPch),
            "NAME                    PUNCH/INSERT\n"
            " XU x......1  r......1   1.00000E+00\n"
            " LL x......3             0.00000E+00\n"
            "ENDATA\n");
}

TEST(BasisFiles, PeriodicSavesKeepOnlyTheLatestBasisAndValuesAreUnscaled) {
  BasisRun r(tvtest::netlib_lp("afiro"), {"New basis file 11", "Backup basis file 12", "Save frequency 5"});
  r.solve("Cold");
  ASSERT_EQ(r.r.inform, 0);
  EXPECT_TRUE(contains(r.sum(), " NEW BASIS file saved on file  11    itn =      5\n"));
  EXPECT_TRUE(contains(r.sum(), " NEW BASIS file saved on file  12    itn =     10\n"));
  // Each file holds one basis: the final one, and the last periodic one.
  EXPECT_EQ(r.file(kNew).find("ITN"), r.file(kNew).rfind("ITN"));
  EXPECT_TRUE(contains(r.file(kNew), "OPTIMAL SOLN"));
  EXPECT_EQ(r.file(kBak).substr(0, 37), "          ITN      10    PROCEEDING  ");

  // A nonbasic variable between its bounds keeps its value, unscaled, in a
  // scaled run stopped at once.
  BasisRun w(lp_b(), {"New basis file 11", "Iterations limit 0", "Scale option 2"});
  w.lp.hs = {1, 3, 0, 0, 3, 3};
  w.lp.xn = {4, 1, 2.5, -10, -3, -16};
  w.solve("Warm");
  EXPECT_EQ(w.r.inform, 3);
  EXPECT_NE(w.ctx.ws.dvec(w.ctx.part.scales)(3), 1.0);  // column 3 is scaled
  EXPECT_TRUE(contains(w.file(kNew), "EXCESS ITNS"));
  EXPECT_TRUE(contains(w.file(kNew), "\n       3    2.50000000000000E+00 -1\n")) << w.file(kNew);
}

TEST(BasisFiles, OldFileOfAnotherProblemEndsWithResult30) {
  BasisRun cold(tvtest::netlib_lp("afiro"), {"New basis file 11"});
  cold.solve("Cold");
  BasisRun r(lp_b(), {"Old basis file 15"}, cold.file(kNew));
  r.solve("Cold");
  EXPECT_EQ(r.r.inform, 30);
  EXPECT_EQ(r.r.nitns, 0);
  EXPECT_TRUE(contains(r.sum(),
                       " OLD BASIS file to be input from file  15\n"
                       "           ITN      10    OPTIMAL SOLN  NINF      0      OBJ  -4.647531428571E+02\n"
                       " OBJ=         RHS=         RNG=         BND=         M=     28 N=     32 SB=    0\n"
                       "\n\n"
                       " EXIT -- the basis file dimensions do not match this problem\n"))
      << r.sum();
}

TEST(BasisFiles, MalformedOldFilesAreRefusedOrTheirLinesIgnored) {
  const std::string head =
      "LPB       ITN       2    OPTIMAL SOLN  NINF      0      OBJ   1.600000000000E+01\n"
      "OBJ=         RHS=         RNG=         BND=         M=      3 N=      3 SB=    0\n";
  const struct {
    std::string text, message;
  } refused[] = {
      {"", "line     1: the file is empty"},
      {head.substr(0, 81), "line     2: the file ends after its first line"},
      {head.substr(0, 81) + "OBJ=  M=  x", "line     2: no whole numbers after M=, N= and SB="},
      {head, "line     3: the file ends before the state of every variable"},
      {head + "1310\n", "line     3: the state of variable 5 is not 0, 1, 2 or 3"},
      {head + "131043\n", "line     3: the state of variable 5 is not 0, 1, 2 or 3"},
      {head + "13 033\n", "line     3: the state of variable 3 is not 0, 1, 2 or 3"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.text);
    Reader rd;
    EXPECT_FALSE(rd.read(m4oldb, c.text));
    EXPECT_EQ(rd.inform, 30);
    EXPECT_TRUE(contains(rd.prt(), " XXX  OLD BASIS file, " + c.message + "\n")) << rd.prt();
    EXPECT_TRUE(contains(rd.prt(), " EXIT -- the basis file cannot be read\n"));
  }
  Reader none;
  Problem P = none.lp.view();
  EXPECT_FALSE(m4oldb(none.ctx, P, 16, none.ns, none.inform));
  EXPECT_EQ(none.inform, 30);
  EXPECT_TRUE(contains(none.prt(), " XXX  OLD BASIS file: no file is attached to unit 16\n"));

  // Unusable value lines are listed and skipped; the rest is read.
  Reader rd;
  EXPECT_TRUE(rd.read(m4oldb, head + "131033\n  abc\n      99  1.0E+00\n       3  zz\n       3\n"
                                       "       2  1.25000000000000E+00  3\n       0\n       1  9.0\n"));
  EXPECT_EQ(rd.inform, 0);
  EXPECT_EQ(rd.lp.hs, (std::vector<int>{1, 3, 1, 0, 3, 3}));
  EXPECT_EQ(rd.lp.xn[0], 4.0);  // at its upper bound; the line after the terminator is not read
  EXPECT_EQ(rd.lp.xn[1], 1.25);
  EXPECT_TRUE(contains(rd.prt(), " XXX  Line     5  ignored:              99  1.0E+00\n")) << rd.prt();
  EXPECT_TRUE(contains(rd.prt(), " No. of value lines ignored:           4\n"));
}

TEST(BasisFiles, MalformedInsertAndLoadLinesAreCountedAndListed) {
  Reader in;
  EXPECT_TRUE(in.read(m4inst,
                      "NAME          LPB       PUNCH/INSERT\n"
                      " XL x......2  r......3              1.0\n"  // the objective row: ignored
                      " ZZ x......1\n"                              // unknown key
                      " LL nosuch  \n"                              // name not found
                      " UL x......1              4.0E+00zz\n"       // not a number
                      "\n"
                      " XU x......2  r......1              1.0\n"
                      " UL x......3              5.0\n"));
  EXPECT_EQ(in.inform, 0);
  EXPECT_EQ(in.lp.hs, (std::vector<int>{0, 3, 1, 1, 3, 3}));
  EXPECT_EQ(in.lp.xn[3], -10.0);
  const std::string p = in.prt();
  EXPECT_TRUE(contains(p, " XXX  Line     2  ignored:         XL x......2  r......3\n")) << p;
  EXPECT_TRUE(contains(p, " XXX  Line     3  ignored:         ZZ x......1          \n"));
  EXPECT_TRUE(contains(p, " XXX  Line     4  --  name not found:        nosuch  \n"));
  EXPECT_TRUE(contains(p, " XXX  Line     5  ignored:         UL x......1          \n"));
  EXPECT_TRUE(contains(p, " XXX  INSERT file ends without ENDATA after line     8\n"));
  EXPECT_TRUE(contains(p, " No. of lines read           6  Lines ignored     4\n"
                          " No. of basics specified     1  Superbasics       0\n"));

  // LOAD: the fixed key of a fixed column, an empty file.
  Reader ld;
  ld.lp.bl[0] = ld.lp.bu[0] = 4.0;
  EXPECT_TRUE(ld.read(m4load, "NAME\n BS x......1            4.0\n BS x......2\n BS r......2\n BS r......3\nENDATA\n"));
  EXPECT_EQ(ld.lp.hs, (std::vector<int>{0, 3, 0, 0, 3, 3}));
  Reader empty;
  EXPECT_FALSE(empty.read(m4load, ""));
  EXPECT_EQ(empty.inform, 30);
  EXPECT_TRUE(contains(empty.prt(), " XXX  LOAD file, line     1: the file is empty\n"));
}

TEST(BasisFiles, LoadMakesTheObjectiveRowBasicInPlaceOfAnotherVariable) {
  // The objective row is the last variable and not in the file: it becomes
  // basic and the basic variable before it leaves the basis.
  Reader rd;
  EXPECT_TRUE(rd.read(m4load, "NAME\n BS x......1\n BS x......2\n BS r......1\n UL x......3\nENDATA\n"));
  EXPECT_EQ(rd.lp.hs, (std::vector<int>{3, 3, 1, 0, 0, 3}));
}

TEST(BasisFiles, MoreBasicsThanRowsAreCutByTheBasisCheck) {
  // Every variable basic, the objective row last: the check keeps m of them,
  // the objective row among them, and the solve ends optimal.
  const std::string old =
      "LPB\n"
      "OBJ=         RHS=         RNG=         BND=         M=      3 N=      3 SB=    0\n"
      "333333\n       0\n";
  BasisRun r(lp_b(), {"Old basis file 15"}, old);
  r.solve("Cold");
  EXPECT_EQ(r.r.inform, 0);
  EXPECT_NEAR(r.r.obj, 16.0, 1e-9);
  EXPECT_TRUE(contains(r.sum(), " WARNING:      6 basics specified; preferably should have been      3\n"));
  EXPECT_EQ(r.lp.hs[5], 3);

  // The check itself: m basics left, the objective row (last) among them.
  Reader c;
  c.lp.hs = {3, 3, 3, 3, 3, 3};
  Problem P = c.lp.view();
  m4chek(c.ctx, P, c.ns);
  EXPECT_EQ(c.lp.hs, (std::vector<int>{3, 3, 1, 0, 1, 3}));  // placed: 1 above a lower bound
}

TEST(BasisFiles, SameUnitWarnings) {
  BasisRun r(lp_b(), {"New basis file 11", "Punch file 13", "MPS file 13"});
  r.ctx.par.specfile = 11;
  r.solve("Cold");
  EXPECT_TRUE(contains(r.prt(), "\n XXX  Warning: the Specs file and New Basis file are on the same unit\n"));
  EXPECT_TRUE(contains(r.prt(), "\n XXX  Warning: the  MPS  file and Punch file are on the same unit\n"));
}

TEST(BasisFiles, HotStartLettersKeepWhatTheyName) {
  const struct {
    const char* start;
    const char* flags;
    bool scaled_again;
  } cases[] = {
      {"Hot", " gotbas = T     gotfac = T     gothes = T     gotscl = T\n", false},
      {"Hot S", " gotbas = T     gotfac = F     gothes = F     gotscl = T\n", false},
      {"Hot F", " gotbas = T     gotfac = T     gothes = F     gotscl = F\n", true},
      {"hot hf", " gotbas = T     gotfac = T     gothes = T     gotscl = F\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    BasisRun r(lp_b(), {"Scale option 2"});
    r.solve("Cold");
    ASSERT_EQ(r.r.inform, 0);
    r.ctx.io.clear_buffer(tvtest::kPrt);
    r.solve(c.start);
    EXPECT_EQ(r.r.inform, 0);
    EXPECT_EQ(r.r.nitns, 0);
    EXPECT_NEAR(r.r.obj, 16.0, 1e-9);
    EXPECT_TRUE(contains(r.prt(), c.flags)) << r.prt().substr(0, 600);
    EXPECT_EQ(contains(r.prt(), " Scaling\n"), c.scaled_again);
  }
}

TEST(BasisFiles, NewToOldKeepsNonlinearBasicAndSuperbasicValues) {
  // Two nonlinear columns, one of them superbasic: their values, the basic
  // ones and that of a nonbasic variable between its bounds are written in
  // full precision and read back with the states.
  Reader w;
  w.lp.nnobj = 2;
  w.lp.hs = {2, 0, 3, 0, 3, 3};
  w.lp.xn = {1.0 / 3.0, 2.5, 10.0 / 7.0, -10, -2.0 / 3.0, -16};
  w.ctx.io.attach_buffer(kNew);
  Problem P = w.lp.view();
  m4newb(w.ctx, P, kNew, 2, 7, 0, 0.0, 16.0, 1);
  const std::string text = w.ctx.io.buffer(kNew);
  EXPECT_EQ(text,
            "          ITN       7    INFEASIBLE    NINF      0      OBJ   1.600000000000E+01\n"
            "OBJ=         RHS=         RNG=         BND=         M=      3 N=      3 SB=    1\n"
            "203033\n"
            "       1    3.33333333333333E-01  2\n"
            "       2    2.50000000000000E+00  0\n"
            "       3    1.42857142857143E+00  3\n"
            "       5   -6.66666666666667E-01  3\n"
            "       6   -1.60000000000000E+01  3\n"
            "       2    2.50000000000000E+00 -1\n"
            "       0\n");
  Reader r;
  EXPECT_TRUE(r.read(m4oldb, text));
  EXPECT_EQ(r.lp.hs, w.lp.hs);
  EXPECT_EQ(r.ns, 1);
  for (size_t j = 0; j < w.lp.xn.size(); ++j) {
    if (j == 3) continue;  // nonbasic at its bound: the bound
    EXPECT_NEAR(r.lp.xn[j], w.lp.xn[j], 1e-14) << j + 1;
  }
  EXPECT_EQ(r.lp.xn[3], -10.0);
  EXPECT_TRUE(contains(r.prt(), " No. of superbasics loaded:            1\n"));
}

TEST(BasisFiles, OldFileCountsEachSuperbasicOnce) {
  // Columns 1 and 2 superbasic; column 1's value given three times (a
  // damaged file once made the count 13 on a problem of 6 variables), and
  // column 2 fixed, so made nonbasic: one superbasic is left.
  Reader r;
  r.lp.bl[1] = r.lp.bu[1] = 1.5;
  EXPECT_TRUE(r.read(m4oldb,
                     "          ITN       7    PROCEEDING    NINF      0      OBJ   1.600000000000E+01\n"
                     "OBJ=         RHS=         RNG=         BND=         M=      3 N=      3 SB=    2\n"
                     "223033\n"
                     "       1    1.00000000000000E+00  2\n"
                     "       1    1.25000000000000E+00  2\n"
                     "       1    1.50000000000000E+00  2\n"
                     "       2    1.50000000000000E+00  2\n"
                     "       0\n"));
  EXPECT_TRUE(contains(r.prt(), " No. of superbasics loaded:            2\n")) << r.prt();
  EXPECT_TRUE(contains(r.prt(), " No. of fixed cols made nonbasic:      1\n")) << r.prt();
  EXPECT_EQ(r.ns, 1);
  EXPECT_EQ(r.lp.hs[0], 2);
  EXPECT_EQ(r.lp.hs[1], 0);
  EXPECT_EQ(r.lp.xn[0], 1.5);  // the last line holds
}

TEST(BasisFiles, RewritingAFileReplacesIt) {
  const std::string path = testing::TempDir() + "tarvo_basis_rewrite.txt";
  {
    std::ofstream f(path);
    f << "an earlier basis\n";
  }
  Units u;
  u.attach_on_write(3, path);
  u.detach(3);  // never written: the file is as it was
  auto slurp = [&]() {
    std::ifstream f(path);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  };
  EXPECT_EQ(slurp(), "an earlier basis\n");
  u.attach_on_write(3, path);
  u.line(3, "a long first text");
  u.line(3, "of two lines");
  u.truncate(3);
  u.line(3, "short");
  u.flush(3);
  EXPECT_EQ(slurp(), "short\n");
  u.detach(3);
  std::remove(path.c_str());
}

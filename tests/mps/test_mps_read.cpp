// The MPS reader on small hand-made files: both formats, RANGES and BOUNDS
// rules, objective constant and sense, free rows, names, parameters.
#include <cstring>
#include <set>

#include "mps_util.h"

using namespace mpstest;

namespace {

constexpr double kInf = 1.0e+20;

// One fixed-format line: fields at columns 2, 5, 15, 25, 40, 50.
std::string fx(const std::string& f1, const std::string& f2, const std::string& f3 = "",
               const std::string& f4 = "", const std::string& f5 = "", const std::string& f6 = "") {
  std::string s(61, ' ');
  auto put = [&](size_t col, const std::string& t) { s.replace(col - 1, t.size(), t); };
  put(2, f1);
  put(5, f2);
  put(15, f3);
  put(25, f4);
  put(40, f5);
  put(50, f6);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s + "\n";
}

const std::string kFixed = "NAME          TESTLP\nROWS\n" + fx("N", "COST") + fx("L", "LIM1") + fx("G", "LIM2") +
                           fx("E", "MYEQN") + fx("N", "FREE1") + "COLUMNS\n" +
                           fx("", "X1", "COST", "1.0", "LIM1", "1.0") + fx("", "X1", "LIM2", "1.0") +
                           fx("", "X2", "COST", "2.0", "LIM1", "1.0") + fx("", "X2", "MYEQN", "-1.0") +
                           fx("", "X3", "COST", "-1.0", "MYEQN", "1.0") + fx("", "X3", "FREE1", "3.0") +
                           "RHS\n" + fx("", "RHS", "COST", "-5.5", "LIM1", "4.0") +
                           fx("", "RHS", "LIM2", "1.0", "MYEQN", "7.0") + "RANGES\n" +
                           fx("", "RNG", "LIM1", "2.5", "MYEQN", "3.0") + "BOUNDS\n" +
                           fx("UP", "BND", "X1", "4.0") + fx("MI", "BND", "X2") + fx("FX", "BND", "X3", "2.5") +
                           "ENDATA\n";

const std::string kFree =
    "NAME TESTLP\n"
    "ROWS\n N COST\n L LIM1\n G LIM2\n E MYEQN\n N FREE1\n"
    "COLUMNS\n"
    " X1 COST 1 LIM1 1\n X1 LIM2 1\n"
    "\tX2\tCOST 2e0   LIM1 1.\n X2 MYEQN -1\n"
    " X3 COST -1 MYEQN 1\n X3 FREE1 3\n"
    "RHS\n RHS COST -5.5 LIM1 4\n RHS LIM2 1 MYEQN 7\n"
    "RANGES\n RNG LIM1 2.5 MYEQN 3\n"
    "BOUNDS\n UP BND X1 4\n MI BND X2\n FX BND X3 2.5\n"
    "ENDATA\n";

}  // namespace

TEST(MpsRead, FixedAndFreeGiveTheSameArrays) {
  tv::MpsModel F, R;
  std::string msg;
  ASSERT_EQ(read_text(kFixed, F, &msg), 0) << msg;
  ASSERT_EQ(read_text(kFree, R, &msg), 0) << msg;
  expect_same_model(F, R, "fixed vs free");

  EXPECT_EQ(F.name, "TESTLP");
  EXPECT_EQ(F.m, 5);
  EXPECT_EQ(F.n, 3);
  EXPECT_EQ(F.ne, 9);
  EXPECT_EQ(F.objrow, 1);
  EXPECT_EQ(F.objconst, 5.5);
  EXPECT_EQ(F.ka, (std::vector<int32_t>{1, 4, 7, 10}));
  EXPECT_EQ(F.ha, (std::vector<int32_t>{1, 2, 3, 1, 2, 4, 1, 4, 5}));
  EXPECT_EQ(F.a, (std::vector<double>{1, 1, 1, 2, 1, -1, -1, 1, 3}));
  // Columns: X1 [0,4], X2 [-inf,inf] (MI keeps the default upper bound), X3 fixed.
  EXPECT_EQ(F.bl[0], 0.0);
  EXPECT_EQ(F.bu[0], 4.0);
  EXPECT_EQ(F.bl[1], -kInf);
  EXPECT_EQ(F.bu[1], kInf);
  EXPECT_EQ(F.bl[2], 2.5);
  EXPECT_EQ(F.bu[2], 2.5);
  // Slacks: bl = -up, bu = -lo.  Objective and FREE1 free; LIM1 [1.5,4];
  // LIM2 [1,inf]; MYEQN (E, R = 3 > 0) [7,10].
  const int n = F.n;
  EXPECT_EQ(F.bl[n + 0], -kInf);
  EXPECT_EQ(F.bu[n + 0], kInf);
  EXPECT_EQ(F.bl[n + 1], -4.0);
  EXPECT_EQ(F.bu[n + 1], -1.5);
  EXPECT_EQ(F.bl[n + 2], -kInf);
  EXPECT_EQ(F.bu[n + 2], -1.0);
  EXPECT_EQ(F.bl[n + 3], -10.0);
  EXPECT_EQ(F.bu[n + 3], -7.0);
  EXPECT_EQ(F.bl[n + 4], -kInf);
  EXPECT_EQ(F.bu[n + 4], kInf);
  EXPECT_EQ(F.rhsname, "RHS");
  EXPECT_EQ(F.rngname, "RNG");
  EXPECT_EQ(F.bndname, "BND");
  EXPECT_EQ(F.names40(), "TESTLP  COST    RHS     RNG     BND     ");

  // The problem view points at the model's arrays.
  tv::Problem P = F.problem();
  EXPECT_EQ(P.nb, 8);
  EXPECT_EQ(P.nnames, 8);
  EXPECT_EQ(P.ka(4), 10);
  EXPECT_EQ(P.a(9), 3.0);
  EXPECT_EQ(P.bl(n + 2), -4.0);
  EXPECT_EQ(P.objconst, 5.5);
  EXPECT_EQ(tv::unpack_name8(P.name1(n + 4), P.name2(n + 4)), "MYEQN   ");
}

TEST(MpsRead, RangeSignRules) {
  // rhs 10 everywhere; E rows with R > 0, R < 0 and R = 0, L and G with negative R.
  const std::string text =
      "NAME R\nROWS\n N OBJ\n E E1\n E E2\n E E3\n L L1\n G G1\n"
      "COLUMNS\n X1 OBJ 1 E1 1\n X1 E2 1 E3 1\n X1 L1 1 G1 1\n"
      "RHS\n RHS E1 10 E2 10\n RHS E3 10 L1 10\n RHS G1 10\n"
      "RANGES\n RNG E1 4 E2 -4\n RNG E3 0 L1 -3\n RNG G1 -2\n"
      "ENDATA\n";
  tv::MpsModel M;
  std::string msg;
  ASSERT_EQ(read_text(text, M, &msg), 0) << msg;
  auto lo = [&](int i) { return -M.bu[M.n + i - 1]; };
  auto up = [&](int i) { return -M.bl[M.n + i - 1]; };
  EXPECT_EQ(lo(2), 10.0);  // E, R > 0: [rhs, rhs + R]
  EXPECT_EQ(up(2), 14.0);
  EXPECT_EQ(lo(3), 6.0);   // E, R < 0: [rhs - |R|, rhs]
  EXPECT_EQ(up(3), 10.0);
  EXPECT_EQ(lo(4), 10.0);  // E, R = 0: equality
  EXPECT_EQ(up(4), 10.0);
  EXPECT_EQ(lo(5), 7.0);   // L: [rhs - |R|, rhs]
  EXPECT_EQ(up(5), 10.0);
  EXPECT_EQ(lo(6), 10.0);  // G: [rhs, rhs + |R|]
  EXPECT_EQ(up(6), 12.0);
}

TEST(MpsRead, EveryBoundType) {
  const std::string text =
      "NAME B\nROWS\n N OBJ\nCOLUMNS\n"
      " UP1 OBJ 1\n LO1 OBJ 1\n FX1 OBJ 1\n FR1 OBJ 1\n MI1 OBJ 1\n PL1 OBJ 1\n BV1 OBJ 1\n"
      " LI1 OBJ 1\n UI1 OBJ 1\n NEGUP OBJ 1\n LOTHENUP OBJ 1\n UPTHENLO OBJ 1\n MIUP OBJ 1\n"
      "RHS\n"
      "BOUNDS\n"
      " UP BND UP1 5\n LO BND LO1 -3\n FX BND FX1 7\n FR BND FR1\n MI BND MI1\n"
      " UP BND PL1 9\n PL BND PL1\n BV BND BV1\n LI BND LI1 2\n UI BND UI1 8\n"
      " UP BND NEGUP -4\n LO BND LOTHENUP -10\n UP BND LOTHENUP -4\n"
      " UP BND UPTHENLO -4\n LO BND UPTHENLO -6\n MI BND MIUP\n UP BND MIUP 3\n"
      "ENDATA\n";
  tv::MpsModel M;
  auto ctx = make_ctx();
  ASSERT_EQ(tv::mps_read_text(*ctx, text, M), 0) << ctx->io.buffer(kPrint);
  const double want[][2] = {{0, 5},       {-3, kInf},   {7, 7},     {-kInf, kInf}, {-kInf, kInf},
                            {0, kInf},    {0, 1},       {2, kInf},  {0, 8},        {-kInf, -4},
                            {-10, -4},    {-6, -4},     {-kInf, 3}};
  ASSERT_EQ(M.n, 13);
  for (int j = 0; j < M.n; ++j) {
    EXPECT_EQ(M.bl[j], want[j][0]) << M.colnames[j];
    EXPECT_EQ(M.bu[j], want[j][1]) << M.colnames[j];
  }
  EXPECT_EQ(M.nint, 3);  // BV, LI, UI read as continuous
  const std::string summ = ctx->io.buffer(kSumm);
  // One integer warning, and the negative upper bound rule announced for
  // the columns without a lower bound (NEGUP, UPTHENLO).
  size_t count = 0;
  for (size_t p = summ.find("integer variables"); p != std::string::npos;
       p = summ.find("integer variables", p + 1))
    ++count;
  EXPECT_EQ(count, 1u);
  EXPECT_NE(summ.find("negative upper bound on column NEGUP"), std::string::npos);
  EXPECT_EQ(summ.find("negative upper bound on column LOTHENUP"), std::string::npos);
  EXPECT_NE(summ.find("3 integer columns read as continuous"), std::string::npos);
}

TEST(MpsRead, ObjectiveConstantAndSense) {
  const std::string body = "ROWS\n N OBJ\n L C1\nCOLUMNS\n X OBJ 2 C1 1\nRHS\n RHS OBJ 3.25 C1 1\nENDATA\n";
  tv::MpsModel M;
  ASSERT_EQ(read_text("NAME S\n" + body, M), 0);
  EXPECT_EQ(M.objconst, -3.25);
  EXPECT_EQ(M.objsense, 0);
  ASSERT_EQ(read_text("NAME S\nOBJSENSE\n    MAX\n" + body, M), 0);
  EXPECT_EQ(M.objsense, -1);
  ASSERT_EQ(read_text("NAME S\nOBJSENSE MAXIMIZE\n" + body, M), 0);
  EXPECT_EQ(M.objsense, -1);
  ASSERT_EQ(read_text("NAME S\nOBJSENSE\n  MIN\n" + body, M), 0);
  EXPECT_EQ(M.objsense, 1);
  std::string msg;
  EXPECT_EQ(read_text("NAME S\nOBJSENSE\n  UPWARDS\n" + body, M, &msg), 40);
  EXPECT_NE(msg.find("unknown objective sense UPWARDS"), std::string::npos);
}

TEST(MpsRead, FreeRowsAndTheChoiceOfObjective) {
  const std::string text =
      "NAME F\nROWS\n N COST\n L C1\n N PROFIT\nCOLUMNS\n X COST 1 C1 1\n X PROFIT 5\n"
      "RHS\n RHS C1 4 PROFIT 9\nENDATA\n";
  tv::MpsModel M;
  auto ctx = make_ctx();
  ASSERT_EQ(tv::mps_read_text(*ctx, text, M), 0);
  EXPECT_EQ(M.objrow, 1);
  // PROFIT is a free row; its right-hand side is ignored with a warning.
  EXPECT_EQ(M.bl[M.n + 2], -kInf);
  EXPECT_EQ(M.bu[M.n + 2], kInf);
  EXPECT_NE(ctx->io.buffer(kSumm).find("right-hand side on free row PROFIT ignored"), std::string::npos);

  // The Objective parameter picks the other N row; its rhs is the constant.
  auto ctx2 = make_ctx();
  std::memcpy(ctx2->par.names[1], "PROFIT  ", 8);
  ASSERT_EQ(tv::mps_read_text(*ctx2, text, M), 0);
  EXPECT_EQ(M.objrow, 3);
  EXPECT_EQ(M.objconst, -9.0);
  EXPECT_EQ(M.names40().substr(8, 8), "PROFIT  ");

  // So does an OBJNAME section.
  ASSERT_EQ(read_text("NAME F\nOBJNAME\n PROFIT\n" + text.substr(7), M), 0);
  EXPECT_EQ(M.objrow, 3);

  // A name that is not an N row is an error.
  auto ctx3 = make_ctx();
  std::memcpy(ctx3->par.names[1], "C1      ", 8);
  EXPECT_EQ(tv::mps_read_text(*ctx3, text, M), 40);
  EXPECT_NE(ctx3->io.buffer(kSumm).find("objective row C1 is not an N row"), std::string::npos);
}

TEST(MpsRead, EightCharacterNamesInFixedFormat) {
  const std::string text = "NAME          EIGHT\nROWS\n" + fx("N", "ABCDEFGH") + fx("L", "R2345678") +
                           "COLUMNS\n" + fx("", "C2345678", "ABCDEFGH", "1.5", "R2345678", "-2.25") +
                           "RHS\n" + fx("", "RHS12345", "R2345678", "123456789012") + "BOUNDS\n" +
                           fx("UP", "BND12345", "C2345678", "-1.0E+01") + "ENDATA\n";
  tv::MpsModel M;
  std::string msg;
  ASSERT_EQ(read_text(text, M, &msg, tv::MpsFormat::Fixed), 0) << msg;
  EXPECT_EQ(M.rownames, (std::vector<std::string>{"ABCDEFGH", "R2345678"}));
  EXPECT_EQ(M.colnames[0], "C2345678");
  EXPECT_EQ(M.a, (std::vector<double>{1.5, -2.25}));
  EXPECT_EQ(M.bl[M.n + 1], -123456789012.0);
  EXPECT_EQ(M.bu[0], -10.0);
  EXPECT_EQ(M.bl[0], -kInf);
  EXPECT_EQ(M.rhsname, "RHS12345");
  EXPECT_EQ(M.short_name(1), "C2345678");

  // A ninth character runs into the blank columns: an error in fixed format.
  std::string bad = text;
  bad.replace(bad.find("    C2345678"), 12, "    C23456789");
  EXPECT_EQ(read_text(bad, M, &msg, tv::MpsFormat::Fixed), 40);
  EXPECT_NE(msg.find("outside the fields of fixed format"), std::string::npos);
}

TEST(MpsRead, BlankNamesAndBlankSetNamesNeedFixedFormat) {
  // Names with blanks, and RHS and BOUNDS lines with no set name.
  const std::string text = "NAME          BLANKS\nROWS\n" + fx("N", "OBJ ROW") + fx("G", "ROW 2") +
                           "COLUMNS\n" + fx("", "COL 1", "OBJ ROW", "1", "ROW 2", "2") +
                           fx("", "COL 2", "ROW 2", "1") + "RHS\n" + fx("", "", "ROW 2", "6") +
                           "BOUNDS\n" + fx("UP", "", "COL 1", "2") + "ENDATA\n";
  tv::MpsModel M;
  std::string msg;
  ASSERT_EQ(read_text(text, M, &msg), 0) << msg;  // detected as fixed
  EXPECT_EQ(M.colnames, (std::vector<std::string>{"COL 1", "COL 2"}));
  EXPECT_EQ(M.rownames[1], "ROW 2");
  EXPECT_EQ(M.bu[M.n + 1], -6.0);
  EXPECT_EQ(M.bu[0], 2.0);
  EXPECT_EQ(M.rhsname, "");
  // Round trip keeps the blanks (the writer picks fixed format).
  std::string out, why;
  ASSERT_TRUE(tv::mps_write_text(M, out, why)) << why;
  tv::MpsModel R;
  ASSERT_EQ(read_text(out, R, &msg), 0) << msg << out;
  expect_same_model(M, R, "blank names");
}

TEST(MpsRead, FreeFormatSetNameMayBeLeftOut) {
  const std::string text =
      "NAME S\nROWS\n N OBJ\n L C1\n L C2\nCOLUMNS\n X OBJ 1 C1 1\n X C2 1\n"
      "RHS\n C1 4 C2 5\nBOUNDS\n UP X 3\n FR Y_UNUSED_NOT_A_COLUMN_IS_AN_ERROR\nENDATA\n";
  tv::MpsModel M;
  std::string msg;
  EXPECT_EQ(read_text(text, M, &msg), 40);
  EXPECT_NE(msg.find("unknown column Y_UNUSED"), std::string::npos);
  const std::string good =
      "NAME S\nROWS\n N OBJ\n L C1\n L C2\nCOLUMNS\n X OBJ 1 C1 1\n X C2 1\n"
      "RHS\n C1 4 C2 5\nBOUNDS\n UP X 3\n MI X\nENDATA\n";
  ASSERT_EQ(read_text(good, M, &msg), 0) << msg;
  EXPECT_EQ(M.bl[M.n + 1], -4.0);
  EXPECT_EQ(M.bl[M.n + 2], -5.0);
  EXPECT_EQ(M.bl[0], -kInf);
  EXPECT_EQ(M.bu[0], 3.0);
}

TEST(MpsRead, LongNamesGetDistinctEightCharacterNames) {
  const std::string text =
      "NAME LONG\nROWS\n N OBJ\n L LONGNAME\n L LONGNAME_A\n L LONGNAME_B\n L LONGNAMEX\n"
      "COLUMNS\n VERYLONGCOLUMN OBJ 1 LONGNAME 1\n VERYLONGCOLUMN LONGNAME_A 1\n"
      " VERYLONGCOLUMN LONGNAME_B 1 LONGNAMEX 1\nRHS\nENDATA\n";
  tv::MpsModel M;
  std::string msg;
  ASSERT_EQ(read_text(text, M, &msg), 0) << msg;
  EXPECT_EQ(M.rownames[2], "LONGNAME_A");  // whole names kept
  EXPECT_EQ(M.short_name(1), "VERYLONG");  // unique cut
  EXPECT_EQ(M.short_name(M.n + 2), "LONGNAME");  // fits: unchanged
  EXPECT_EQ(M.short_name(M.n + 3), "LONGNA~1");  // collisions numbered
  EXPECT_EQ(M.short_name(M.n + 4), "LONGNA~2");
  EXPECT_EQ(M.short_name(M.n + 5), "LONGNA~3");
  std::set<std::pair<int32_t, int32_t>> seen;
  for (int j = 0; j < M.n + M.m; ++j) EXPECT_TRUE(seen.insert({M.name1[j], M.name2[j]}).second);
}

TEST(MpsRead, AijToleranceAndBoundDefaults) {
  const std::string text =
      "NAME T\nROWS\n N OBJ\n L C1\nCOLUMNS\n X OBJ 1e-11 C1 0.4\n Y OBJ 0 C1 2\nRHS\nENDATA\n";
  tv::MpsModel M;
  ASSERT_EQ(read_text(text, M), 0);
  EXPECT_EQ(M.ne, 2);  // 1e-11 and the zero dropped
  EXPECT_EQ(M.ndropped, 2);
  EXPECT_EQ(M.ka, (std::vector<int32_t>{1, 2, 3}));

  auto ctx = make_ctx();
  ctx->par.aijdrop = 0.5;
  ctx->par.bldef = 10.0;  // above the upper default: the two change places
  ctx->par.budef = -1.0;
  ASSERT_EQ(tv::mps_read_text(*ctx, text, M), 0);
  EXPECT_EQ(M.ne, 1);
  EXPECT_EQ(M.bl[0], -1.0);
  EXPECT_EQ(M.bu[0], 10.0);
}

TEST(MpsRead, SetNamesChooseAmongSets) {
  const std::string text =
      "NAME T\nROWS\n N OBJ\n L C1\nCOLUMNS\n X OBJ 1 C1 1\n"
      "RHS\n RHS1 C1 4\n RHS2 C1 8\nBOUNDS\n UP B1 X 1\n UP B2 X 2\nENDATA\n";
  tv::MpsModel M;
  auto ctx = make_ctx();
  ASSERT_EQ(tv::mps_read_text(*ctx, text, M), 0);
  EXPECT_EQ(M.bl[M.n + 1], -4.0);
  EXPECT_EQ(M.bu[0], 1.0);
  EXPECT_NE(ctx->io.buffer(kSumm).find("lines of other sets ignored: RHS 1, RANGES 0, BOUNDS 1"),
            std::string::npos);
  auto ctx2 = make_ctx();
  std::memcpy(ctx2->par.names[2], "RHS2    ", 8);
  std::memcpy(ctx2->par.names[4], "B2      ", 8);
  ASSERT_EQ(tv::mps_read_text(*ctx2, text, M), 0);
  EXPECT_EQ(M.bl[M.n + 1], -8.0);
  EXPECT_EQ(M.bu[0], 2.0);
  EXPECT_EQ(M.rhsname, "RHS2");
}

TEST(MpsRead, IntegerMarkersReadAsContinuousWithOneWarning) {
  const std::string text =
      "NAME I\nROWS\n N OBJ\n L C1\nCOLUMNS\n"
      " M1 'MARKER' 'INTORG'\n X OBJ 1 C1 1\n Y OBJ 1 C1 1\n M2 'MARKER' 'INTEND'\n"
      " Z OBJ 1 C1 1\n M3 'MARKER' 'INTORG'\n W OBJ 1\n M4 'MARKER' 'INTEND'\n"
      "RHS\n RHS C1 5\nENDATA\n";
  tv::MpsModel M;
  auto ctx = make_ctx();
  ASSERT_EQ(tv::mps_read_text(*ctx, text, M), 0) << ctx->io.buffer(kPrint);
  EXPECT_EQ(M.n, 4);
  EXPECT_EQ(M.nint, 3);
  EXPECT_EQ(M.bu[0], kInf);
  const std::string s = ctx->io.buffer(kSumm);
  EXPECT_EQ(s.find("integer variables are read as continuous"),
            s.rfind("integer variables are read as continuous"));
}

TEST(MpsRead, ListLimitEchoesTheFirstLines) {
  auto ctx = make_ctx();
  ctx->par.listlim = 3;
  tv::MpsModel M;
  ASSERT_EQ(tv::mps_read_text(*ctx, kFree, M), 0);
  const std::string p = ctx->io.buffer(kPrint);
  EXPECT_NE(p.find("       1  NAME TESTLP"), std::string::npos);
  EXPECT_NE(p.find("       3   N COST"), std::string::npos);
  EXPECT_EQ(p.find("       4   L LIM1"), std::string::npos);
}

TEST(MpsWrite, RoundTripOfRangesBoundsConstantSenseAndFreeRows) {
  tv::MpsModel M, R;
  std::string msg;
  // A free row ahead of the objective row must not become the objective.
  const std::string text =
      "NAME RT\nOBJSENSE\n MAX\nROWS\n N FREEROW\n L C1\n N OBJ\n E C2\n"
      "COLUMNS\n X FREEROW 1 C1 0.1\n X OBJ 0.3 C2 0.7\n Y C1 1e-3\n EMPTYCOL C1 0\n"
      "RHS\n RHS C1 0.3 OBJ 1.1\n RHS C2 0.1\nRANGES\n RNG C1 0.2 C2 -0.7\n"
      "BOUNDS\n UP BND X -0.1\n LO BND Y -1e30\n UP BND Y 1e25\n FX BND EMPTYCOL 0\nENDATA\n";
  auto ctx = make_ctx();
  std::memcpy(ctx->par.names[1], "OBJ     ", 8);
  ASSERT_EQ(tv::mps_read_text(*ctx, text, M), 0) << ctx->io.buffer(kPrint);
  EXPECT_EQ(M.objrow, 3);
  EXPECT_EQ(M.objsense, -1);
  std::string out, why;
  ASSERT_TRUE(tv::mps_write_text(M, out, why)) << why;
  ASSERT_EQ(read_text(out, R, &msg), 0) << msg << out;
  expect_same_model(M, R, "written\n" + out);
  EXPECT_EQ(R.bl[1], -kInf);  // Y: infinite bounds stay infinite
  EXPECT_EQ(R.bu[1], kInf);
  EXPECT_EQ(R.n, 3);          // the empty column is still there
}

TEST(MpsWrite, NumbersReadBackExactly) {
  for (double v : {0.1, -1.0 / 3.0, 1e-300, 5e-324, 1.7976931348623157e308, 123456789012345678.0, -0.0,
                   2.5, 1e20 * (1 - 1e-16)}) {
    std::string s = tv::mps_number(v);
    EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
    EXPECT_LE(s.size(), 24u);
  }
  EXPECT_EQ(tv::mps_number(0.1), "0.1");
  EXPECT_EQ(tv::mps_number(2.5), "2.5");
}

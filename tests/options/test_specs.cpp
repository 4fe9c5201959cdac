// SPECS phrases: tokens, keyword lookup, numbers, the dispatcher and its
// messages, and the single-option entries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "opt_util.h"
#include "options/params.h"
#include "options/specs.h"

using namespace tv;
using namespace optest;

TEST(Tokens, SeparatorsCaseCutAndCount) {
  std::string t[10];
  bool cut[10];
  EXPECT_EQ(optokn("  iterations=500,\tlimit: x  ", 10, t, cut), 4);
  EXPECT_EQ(t[0], "ITERATIONS");
  EXPECT_EQ(t[1], "500");
  EXPECT_EQ(t[2], "LIMIT");
  EXPECT_EQ(t[3], "X");
  EXPECT_EQ(t[4], "");
  EXPECT_EQ(optokn("abcdefghijklmnopqrstuvwxyz b", 10, t, cut), 2);
  EXPECT_EQ(t[0], "ABCDEFGHIJKLMNOP");
  EXPECT_TRUE(cut[0]);
  EXPECT_FALSE(cut[1]);
  // Only a..z change case.
  EXPECT_EQ(optokn("\xe9t\xe9 (user)", 3, t), 2);
  EXPECT_EQ(t[0], "\xe9T\xe9");
  EXPECT_EQ(t[1], "(USER)");
  // At most `count` tokens; the rest are blank.
  EXPECT_EQ(optokn("a b c d", 2, t), 2);
  EXPECT_EQ(t[1], "B");
  EXPECT_EQ(optokn("", 3, t), 0);
  EXPECT_EQ(t[0], "");
}

// GCC 12 reports a false -Wrestrict (overlapping memcpy) inside std::string's
// inlined copy in this test's string assignments (a known GCC 12 regression).
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
TEST(Lookup, AbbreviationsAliasesAndOrder) {
  auto look = [](std::span<const char* const> table, std::string key) {
    const int k = oplook(table, true, key);
    return k > 0 ? key : "<" + std::to_string(k) + ">";
  };
  EXPECT_EQ(look(first_keywords1(), "P"), "PARTIAL");
  EXPECT_EQ(look(first_keywords1(), "PR"), "PRINT");
  EXPECT_EQ(look(first_keywords1(), "S"), "SCALE");
  EXPECT_EQ(look(first_keywords1(), "SUM"), "SUMMARY");
  EXPECT_EQ(look(first_keywords1(), "MIN"), "MINOR");
  EXPECT_EQ(look(first_keywords1(), "MAX"), "<0>");
  EXPECT_EQ(look(first_keywords2(), "MAX"), "MAXIMIZE");
  EXPECT_EQ(look(first_keywords1(), "ITNS"), "ITERATIONS");
  EXPECT_EQ(look(first_keywords1(), "ITERS"), "ITERATIONS");
  EXPECT_EQ(look(first_keywords1(), "ITER"), "ITERATIONS");
  EXPECT_EQ(look(first_keywords1(), "ITERSX"), "<0>");
  EXPECT_EQ(look(second_keywords(), "ITNS"), "ITERATIONS");
  EXPECT_EQ(look(second_keywords(), "(U"), "(USER)");
  EXPECT_EQ(look(first_keywords1(), "SUPERBASICSXXXXX"), "<0>");
  // A blank key never matches, not even the first entry.
  EXPECT_EQ(look(second_keywords(), ""), "<0>");
  std::string key = "P";
  EXPECT_EQ(oplook(first_keywords1(), true, key), 22);  // 1-based index of PARTIAL
  // A table that is not alphabetical reports an ambiguous key.
  const char* const unordered[] = {"PRINT", "PARTIAL", "PIVOT"};
  key = "P";
  EXPECT_EQ(oplook(unordered, false, key), -1);
  key = "PI";
  EXPECT_EQ(oplook(unordered, false, key), 3);
  EXPECT_EQ(key, "PIVOT");
}
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic pop
#endif

TEST(Numbers, TestAndStrictReading) {
  for (const char* s : {"500", "-1.5", "+2.", ".5", "1E9", "1.0D-3", "-1.00000000E+100"}) {
    double v = 0;
    EXPECT_TRUE(looks_like_number(s)) << s;
    EXPECT_TRUE(read_real(s, v)) << s;
  }
  double v = 0;
  EXPECT_TRUE(read_real("1.0D-3", v));
  EXPECT_EQ(v, 1.0E-3);
  for (const char* s : {"1E", "1-2", "+-", "1.2.3", "--3", "E5", "-", ".", "1E999", "1E+", "1.E-"}) {
    EXPECT_TRUE(number_shaped(s)) << s;
    EXPECT_FALSE(read_real(s, v)) << s;
  }
  for (const char* s : {"DEED", "E", "LIMIT", "(USER)", "1X"}) EXPECT_FALSE(number_shaped(s)) << s;
  int i = 0;
  EXPECT_TRUE(read_int("-2147483648", i));
  EXPECT_EQ(i, -2147483648);
  EXPECT_FALSE(read_int("2147483648", i));
  EXPECT_FALSE(read_int("2.5", i));
  EXPECT_FALSE(read_int("+", i));
}

TEST(Phrases, IterationsLimitInAllItsForms) {
  for (const char* ph : {"ITERATIONS=500", "ITERATIONS LIMIT 500", "ITNS 500", "ITERS 500", "iterations limit 500",
                         "Iters, 500", "ITERATIONS 500.9"}) {
    Context ctx;
    fresh(ctx);
    EXPECT_EQ(phrase(ctx, ph), 0) << ph;
    EXPECT_EQ(ctx.par.itnmax, 500) << ph;
  }
  Context ctx;
  fresh(ctx);
  EXPECT_EQ(phrase(ctx, "ITERATIONS 1E9"), 0);
  EXPECT_EQ(ctx.par.itnmax, 0);
  EXPECT_EQ(phrase(ctx, "ITERATIONS -5.7"), 0);
  EXPECT_EQ(ctx.par.itnmax, -5);
}

TEST(Phrases, EdgeCasesOfTheKeywordRules) {
  Context ctx;
  fresh(ctx);
  Params& p = ctx.par;
  EXPECT_EQ(phrase(ctx, "PRINT FREQUENCY 10"), 0);
  EXPECT_EQ(p.logfreq, 10);
  EXPECT_EQ(p.sumfreq, kUnsetI);

  // MIN is MINOR, rejected for its missing second keyword.
  ctx.io.clear_buffer(kPrint);
  EXPECT_EQ(phrase(ctx, "MIN"), 1);
  EXPECT_EQ(p.objsense, 1);
  EXPECT_EQ(p.minormax, kUnsetI);
  EXPECT_EQ(lines(ctx.io.buffer(kPrint)).back(), " XXX  Second keyword not recognized:  ");
  EXPECT_EQ(phrase(ctx, "MAX"), 0);
  EXPECT_EQ(p.objsense, -1);
  EXPECT_EQ(phrase(ctx, "MINIMIZE"), 0);
  EXPECT_EQ(p.objsense, 1);
  EXPECT_EQ(phrase(ctx, "MAXIMIZE"), 0);
  EXPECT_EQ(p.objsense, -1);

  EXPECT_EQ(phrase(ctx, "COMPLETION YES"), 0);
  EXPECT_EQ(p.completion, kUnsetI);
  EXPECT_EQ(phrase(ctx, "COMPLETION MAYBE"), 1);
  EXPECT_EQ(lines(ctx.io.buffer(kPrint)).back(), " XXX  Second keyword not recognized:  MAYBE");
  EXPECT_EQ(phrase(ctx, "COMPLETION FULL"), 0);
  EXPECT_EQ(p.completion, 1);

  EXPECT_EQ(phrase(ctx, "VERIFY"), 0);
  EXPECT_EQ(p.verlevel, 3);
  EXPECT_EQ(phrase(ctx, "VERIFY LEVEL -1"), 0);
  EXPECT_EQ(p.verlevel, -1);
  EXPECT_EQ(phrase(ctx, "VERIFY CONSTRAINTS"), 0);
  EXPECT_EQ(p.verlevel, 2);

  EXPECT_EQ(phrase(ctx, "FEASIBILITY TOLERANCE 1E-7 * 5 more"), 0);
  EXPECT_EQ(p.feastol, 1.0E-7);
  EXPECT_EQ(phrase(ctx, "*ITERATIONS 77"), 0);
  EXPECT_EQ(phrase(ctx, "   * ITERATIONS 77"), 0);
  EXPECT_EQ(p.itnmax, kUnsetI);
}

TEST(Phrases, ScaleWordsAndTolerance) {
  for (bool linear : {true, false}) {
    Context ctx;
    fresh(ctx);
    EXPECT_EQ(phrase(ctx, "SCALE"), 0);
    EXPECT_EQ(ctx.par.scaleopt, -1);
    resolve(ctx, 10, 10, 10, 0, linear ? 0 : 4, 0);
    EXPECT_EQ(ctx.par.scaleopt, linear ? 2 : 1);
  }
  Context ctx;
  fresh(ctx);
  Params& p = ctx.par;
  EXPECT_EQ(phrase(ctx, "SCALE OPTION 0"), 0);
  EXPECT_EQ(phrase(ctx, "SCALE TOLERANCE 0.8"), 0);
  EXPECT_EQ(p.scaleopt, 0);
  EXPECT_EQ(p.scaletol, 0.8);
  EXPECT_EQ(phrase(ctx, "SCALE LINEAR"), 0);
  EXPECT_EQ(p.scaleopt, 1);
  EXPECT_EQ(p.scaletol, 0.8);
  EXPECT_EQ(phrase(ctx, "SCALE ALL 0.7"), 0);
  EXPECT_EQ(p.scaleopt, 2);
  EXPECT_EQ(p.scaletol, 0.7);
  EXPECT_EQ(phrase(ctx, "SCALE NO"), 0);
  EXPECT_EQ(p.scaleopt, 0);
  EXPECT_EQ(phrase(ctx, "SCALE YES"), 0);
  EXPECT_EQ(p.scaleopt, -1);
  EXPECT_EQ(phrase(ctx, "SCALE PRINT"), 0);
  EXPECT_EQ(p.scaleprt, 1);
  // A rejected phrase changes nothing, not even the tolerance.
  EXPECT_EQ(phrase(ctx, "SCALE MAYBE 0.3"), 1);
  EXPECT_EQ(p.scaletol, 0.7);
}

TEST(Phrases, EveryKindOfTarget) {
  Context ctx;
  fresh(ctx);
  Params& p = ctx.par;
  const char* ok[] = {
      "LU SINGULARITY TOLERANCE 1E-9", "PENALTY PARAMETER 2.5", "NONLINEAR VARIABLES 7", "NONLINEAR CONSTRAINTS 3",
      "WORKSPACE (USER) 1000",         "Workspace (total) 2000", "SUMMARY LEVEL 1",      "LU ROOK PIVOTING",
      "START ASSIGNED NONLINEARS BASIC", "START X Y OBJECTIVE 5", "STOP CONSTRAINTS 9",  "RHS rhs1",
      "BOUNDS B",                      "OBJECTIVE COSTROW12345", "JACOBIAN SPARSE",      "LAGRANGIAN NO",
      "ROWS 250",                      "ROWS TOLERANCE 1E-5",    "CYCLE TOLERANCE 0.5",  "Solution No",
      "Print level 1",                 "Major iterations 3",     "Backup basis file 12", "IPARM 5 4",
      "RPARM 9 2.5",                   "RPARM 7 3.0",            "Lower bound 1",        "Unbounded step 5"};
  for (const char* ph : ok) EXPECT_EQ(phrase(ctx, ph), 0) << ph;
  EXPECT_EQ(p.lusingtol(), 1.0E-9);
  EXPECT_EQ(p.lusingtol2(), 1.0E-9);
  EXPECT_EQ(p.penalty, 2.5);
  EXPECT_EQ(p.penaltycopy, 3.0);  // RPARM 7 came later
  EXPECT_EQ(p.nnobj, 7);
  EXPECT_EQ(p.nnjac, 7);
  EXPECT_EQ(p.nncon, 3);
  EXPECT_EQ(p.wsuser, 1000);
  EXPECT_EQ(p.wstotal, 2000);
  EXPECT_EQ(p.lsmbrf, 0);
  EXPECT_EQ(p.lsmful, 1);
  EXPECT_EQ(p.lupivot(), 1);
  EXPECT_EQ(p.nlstart, 4);  // IPARM 5 came later than START ... BASIC
  EXPECT_EQ(p.objchk1, 5);
  EXPECT_EQ(p.conchk2, 9);
  EXPECT_EQ(std::string(p.names[2], 8), "RHS1    ");
  EXPECT_EQ(std::string(p.names[4], 8), "B       ");  // the name as written, not a keyword
  EXPECT_EQ(std::string(p.names[1], 8), "COSTROW1");
  EXPECT_EQ(p.jacform, 2);
  EXPECT_EQ(p.lagrangian, 0);
  EXPECT_EQ(p.rowlim, 250);
  EXPECT_EQ(p.rowtol, 1.0E-5);
  EXPECT_EQ(p.cyctol, 0.5);
  EXPECT_EQ(p.solprint, 0);
  EXPECT_EQ(p.prtlevel, 1);
  EXPECT_EQ(p.majmax, 3);
  EXPECT_EQ(p.bkpfile, 12);
  EXPECT_EQ(p.rparm_ref(9), 2.5);
  EXPECT_EQ(p.bldef, 1.0);
  EXPECT_EQ(p.bigstep, 5.0);
  EXPECT_EQ(phrase(ctx, "START ASSIGNED NONLINEARS SUPERBASIC"), 0);
  EXPECT_EQ(p.nlstart, 2);
  EXPECT_EQ(phrase(ctx, "SUMMARY LEVEL 0"), 0);
  EXPECT_EQ(p.lsmbrf, 1);
  EXPECT_EQ(p.lsmful, 0);

  // DEFAULTS resets everything.
  EXPECT_EQ(phrase(ctx, "DEFAULTS"), 0);
  EXPECT_EQ(p.majmax, 50);
  EXPECT_EQ(p.rowlim, 0);
  EXPECT_EQ(std::string(p.names[2], 8), "        ");
}

TEST(Phrases, MessagesOnPrintAndSummaryFiles) {
  Context ctx;
  fresh(ctx);
  EXPECT_EQ(phrase(ctx, "  Foo bar 3   "), 1);
  EXPECT_EQ(phrase(ctx, "IPARM 31 5"), 1);
  EXPECT_EQ(phrase(ctx, "START ASSIGNED NONLINEARS ZEBRA"), 1);
  EXPECT_EQ(phrase(ctx, "Iterations 500"), 0);
  EXPECT_EQ(ctx.io.buffer(kPrint),
            "        Foo bar 3\n"
            " XXX  Keyword not recognized:         FOO\n"
            "      IPARM 31 5\n"
            " XXX  The parm subscript is out of range:        31\n"
            "      START ASSIGNED NONLINEARS ZEBRA\n"
            " XXX  Fourth keyword not recognized:  ZEBRA\n"
            "      Iterations 500\n");
  EXPECT_EQ(ctx.io.buffer(kSumm),
            "   Foo bar 3\n"
            " XXX  Keyword not recognized:         FOO\n"
            " IPARM 31 5\n"
            " XXX  The parm subscript is out of range:        31\n"
            " START ASSIGNED NONLINEARS ZEBRA\n"
            " XXX  Fourth keyword not recognized:  ZEBRA\n");
  EXPECT_EQ(ctx.par.itnmax, 500);
  EXPECT_EQ(phrase(ctx, "IPARM 0 5"), 1);
  EXPECT_EQ(phrase(ctx, "RPARM -1 5"), 1);
  EXPECT_EQ(lines(ctx.io.buffer(kPrint)).back(), " XXX  The parm subscript is out of range:        -1");

  // No units: nothing printed, the error still counted.
  Context quiet;
  fresh(quiet);
  int errors = 0;
  tvopt(quiet, "FOO", 0, 0, errors);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(quiet.io.buffer(kPrint), "");
}

TEST(Phrases, MalformedNumbersRejectThePhrase) {
  for (const char* bad : {"1E", "1-2", "+-", "1.2.3", "--3", "1E999", "0.00000000000000012345"}) {
    Context ctx;
    fresh(ctx);
    const std::string ph = std::string("ITERATIONS ") + bad;
    EXPECT_EQ(phrase(ctx, ph), 1) << ph;
    EXPECT_EQ(ctx.par.itnmax, kUnsetI) << ph;
    std::string tok;
    optokn(bad, 1, &tok);
    EXPECT_EQ(lines(ctx.io.buffer(kPrint)).back(), " XXX  Number not recognized:          " + tok) << ph;
    EXPECT_EQ(phrase(ctx, std::string("FEASIBILITY TOLERANCE ") + bad), 1);
    EXPECT_EQ(ctx.par.feastol, kUnsetR);
  }
  Context ctx;
  fresh(ctx);
  Params& p = ctx.par;
  // The third token of IPARM and RPARM.
  EXPECT_EQ(phrase(ctx, "IPARM 3 1E"), 1);
  EXPECT_EQ(phrase(ctx, "IPARM 3 2.5"), 1);
  EXPECT_EQ(phrase(ctx, "IPARM 3 99999999999"), 1);
  EXPECT_EQ(phrase(ctx, "IPARM 3 ABC"), 1);
  EXPECT_EQ(p.listparms, 1);
  EXPECT_EQ(phrase(ctx, "RPARM 9 1.2.3"), 1);
  EXPECT_EQ(phrase(ctx, "RPARM 9 --3"), 1);
  EXPECT_EQ(p.rparm_ref(9), kUnsetR);
  EXPECT_EQ(phrase(ctx, "IPARM 3 0"), 0);
  EXPECT_EQ(p.listparms, 0);
  EXPECT_EQ(phrase(ctx, "IPARM 3"), 0);  // blank value reads as zero
  EXPECT_EQ(p.listparms, 0);
  // Phrases that take no number ignore a malformed one; names keep it.
  EXPECT_EQ(phrase(ctx, "JACOBIAN SPARSE 1E"), 0);
  EXPECT_EQ(phrase(ctx, "RHS 1-2"), 0);
  EXPECT_EQ(std::string(p.names[2], 8), "1-2     ");
  // A phrase without a number gives 0.
  EXPECT_EQ(phrase(ctx, "ITERATIONS"), 0);
  EXPECT_EQ(p.itnmax, 0);
}

TEST(Phrases, LongLinesAndManyTokens) {
  Context ctx;
  fresh(ctx);
  // Everything past column 72 is ignored.
  std::string line = "ITERATIONS LIMIT";
  line.resize(72, ' ');
  EXPECT_EQ(phrase(ctx, line + "500"), 0);
  EXPECT_EQ(ctx.par.itnmax, 0);
  std::string cut = "ITERATIONS LIMIT";
  cut.resize(69, ' ');
  EXPECT_EQ(phrase(ctx, cut + "123456"), 0);
  EXPECT_EQ(ctx.par.itnmax, 123);
  // Only ten tokens are examined.
  EXPECT_EQ(phrase(ctx, "ITERATIONS A B C D E F G H I 500"), 0);
  EXPECT_EQ(ctx.par.itnmax, 0);
  EXPECT_EQ(phrase(ctx, "ITERATIONS A B C D E F G H 500 7"), 0);
  EXPECT_EQ(ctx.par.itnmax, 500);
  // The echo is cut too.
  ctx.io.clear_buffer(kPrint);
  std::string longer(100, 'X');
  EXPECT_EQ(phrase(ctx, "ITERATIONS 9 " + longer), 0);
  EXPECT_EQ(lines(ctx.io.buffer(kPrint)).back().size(), 6u + 72u);
}

TEST(SingleOption, IntegerAndRealValues) {
  Context ctx;
  fresh(ctx);
  Params& p = ctx.par;
  int errors = 0;
  tvopti(ctx, "Iterations Limit", 500, kPrint, kSumm, errors);
  tvopti(ctx, "Verify Level", -1, kPrint, kSumm, errors);
  tvoptr(ctx, "Feasibility tolerance", 2.5E-7, kPrint, kSumm, errors);
  tvoptr(ctx, "LOWER", -1.0E+100, kPrint, kSumm, errors);  // fills all 16 columns
  std::string padded = "Major iterations limit";
  padded.resize(72, ' ');
  tvopti(ctx, padded, 2000000000, kPrint, kSumm, errors);
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(p.itnmax, 500);
  EXPECT_EQ(p.verlevel, -1);
  EXPECT_EQ(p.feastol, 2.5E-7);
  EXPECT_EQ(p.bldef, -1.0E+100);
  EXPECT_EQ(p.majmax, 0);  // 2e9 is beyond the integer range of phrases
  const auto out = lines(ctx.io.buffer(kPrint));
  EXPECT_EQ(out[0], "      Iterations Limit             500");
  EXPECT_EQ(out[2], "      Feasibility tolerance  2.50000000E-07");
  EXPECT_EQ(out[3], "      LOWER -1.00000000E+100");
}

TEST(SingleOption, PhraseLengthLimit) {
  // 56 characters leave room for the number; 57 do not.
  std::string p56 = "Iterations limit";
  p56.resize(55, '.');
  p56 += 'X';
  ASSERT_EQ(p56.size(), 56u);
  Context ctx;
  fresh(ctx);
  int errors = 0;
  tvopti(ctx, p56, 321, kPrint, kSumm, errors);
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(ctx.par.itnmax, 321);
  tvopti(ctx, p56 + "Y", 654, kPrint, kSumm, errors);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(ctx.par.itnmax, 321);
  EXPECT_EQ(lines(ctx.io.buffer(kPrint)).back(), " XXX  Option phrase too long for its value");
  EXPECT_EQ(lines(ctx.io.buffer(kSumm)).back(), " XXX  Option phrase too long for its value");
  tvoptr(ctx, std::string(80, 'A'), 1.0, kPrint, kSumm, errors);
  EXPECT_EQ(errors, 2);
  // A real that needs all 16 columns needs one more for the blank before it.
  std::string low = "Lower bound";
  low.resize(56, ' ');
  low[55] = 'Z';
  tvoptr(ctx, low, -1.0E+100, kPrint, kSumm, errors);
  EXPECT_EQ(errors, 3);
  low.erase(54, 1);
  tvoptr(ctx, low, -1.0E+100, kPrint, kSumm, errors);
  EXPECT_EQ(errors, 3);
  EXPECT_EQ(ctx.par.bldef, -1.0E+100);
  // Values that are not numbers are refused.
  tvoptr(ctx, "Feasibility tolerance", std::numeric_limits<double>::quiet_NaN(), kPrint, kSumm, errors);
  tvoptr(ctx, "Feasibility tolerance", std::numeric_limits<double>::infinity(), kPrint, kSumm, errors);
  EXPECT_EQ(errors, 5);
  EXPECT_EQ(ctx.par.feastol, kUnsetR);
  EXPECT_EQ(lines(ctx.io.buffer(kPrint)).back(), " XXX  Option value is not finite");
}

// SPECS files (Begin, Skip, End, Endrun), tvspec and the C entries.
#include <gtest/gtest.h>

#include <cstring>

#include "opt_util.h"
#include "options/params.h"
#include "tarvo.h"

using namespace tv;
using namespace optest;

namespace {

int read_specs(Context& ctx, const std::string& text, int mode = 1) {
  ctx.io.attach_text(kSpecs, text);
  return m3file(ctx, mode, kSpecs, m3key, kPrint, kSumm);
}

}  // namespace

TEST(SpecsFile, BeginSetEndAndEcho) {
  Context ctx;
  fresh(ctx);
  int errors = 0;
  tvopt(ctx, "Major iterations 7", 0, 0, errors);  // lost: Begin resets
  const int r = read_specs(ctx,
                           "* leading comment\n"
                           "\n"
                           "Begin  test problem\n"
                           "   Iterations limit   500\n"
                           "*  Feasibility tolerance 1e-3\n"
                           "   Feasibility tolerance 1e-7   * tight\n"
                           "End\n"
                           "Iterations 9\n");
  EXPECT_EQ(r, 0);
  EXPECT_EQ(ctx.par.itnmax, 500);
  EXPECT_EQ(ctx.par.feastol, 1.0E-7);
  EXPECT_EQ(ctx.par.majmax, 50);
  EXPECT_EQ(ctx.io.buffer(kPrint),
            "\n"
            "      Begin  test problem\n"
            "         Iterations limit   500\n"
            "      *  Feasibility tolerance 1e-3\n"
            "         Feasibility tolerance 1e-7   * tight\n"
            "      End\n");
  EXPECT_EQ(ctx.io.buffer(kSumm), "\n Begin  test problem\n");
  // The reader stopped after End: the next line is still unread.
  std::string next;
  ASSERT_TRUE(ctx.io.read_line(kSpecs, next));
  EXPECT_EQ(next, "Iterations 9");
}

TEST(SpecsFile, RejectedPhrasesAreCountedAndTheRestApplied) {
  Context ctx;
  fresh(ctx);
  const int r = read_specs(ctx,
                           "BEGIN\n"
                           "Frobnicate 3\n"
                           "Iterations 1E\n"
                           "Scale option 0\n"
                           "Iparm 40 1\n"
                           "END\n");
  EXPECT_EQ(r, 3);
  EXPECT_EQ(ctx.par.scaleopt, 0);
  EXPECT_EQ(ctx.par.itnmax, kUnsetI);
}

TEST(SpecsFile, SkipAndStrayPhrasesBeforeBegin) {
  Context ctx;
  fresh(ctx);
  EXPECT_EQ(read_specs(ctx, "Skip this set\nIterations 5\nEnd\nBEGIN\nHessian 9\nEND\n"), 0);
  EXPECT_EQ(ctx.io.buffer(kPrint), "\n      BEGIN\n      Hessian 9\n      END\n");
  EXPECT_EQ(ctx.par.hdim, 9);
  EXPECT_EQ(ctx.par.itnmax, kUnsetI);

  // A file that starts with a phrase: the looking-for message once, the
  // following lines ignored until Begin.
  Context stray;
  fresh(stray);
  EXPECT_EQ(read_specs(stray, "Iterations 5\nHessian 9\nEnd\nBegin\nSuperbasics 20\nEnd\n"), 0);
  EXPECT_EQ(stray.par.itnmax, kUnsetI);
  EXPECT_EQ(stray.par.hdim, kUnsetI);
  EXPECT_EQ(stray.par.maxs, 20);
  const std::string looking =
      "\n\n"
      " XXX  Error while looking for a SPECS file on unit      4\n"
      " XXX  The file should start with Begin, Skip or Endrun\n"
      " XXX  but the first record found was the following:\n"
      "\n"
      " ---->Iterations 5\n"
      "\n"
      " XXX  Continuing to look for SPECS file...\n";
  EXPECT_EQ(stray.io.buffer(kPrint), looking + "\n      Begin\n      Superbasics 20\n      End\n");
  EXPECT_EQ(stray.io.buffer(kSumm), looking + "\n Begin\n");
}

TEST(SpecsFile, EndOfFileAndEndrun) {
  // End of file before any set.
  Context ctx;
  fresh(ctx);
  EXPECT_EQ(read_specs(ctx, "* nothing here\n"), 3);
  const std::string eof = "\n\n XXX  End-of-file encountered while looking for a SPECS file on unit     4\n";
  EXPECT_EQ(ctx.io.buffer(kPrint), eof);
  EXPECT_EQ(ctx.io.buffer(kSumm), eof);
  // In a later mode it is the end of the run.
  Context later;
  fresh(later);
  EXPECT_EQ(read_specs(later, "", 2), 3);
  EXPECT_EQ(later.io.buffer(kPrint), " Endrun\n");
  EXPECT_EQ(later.io.buffer(kSumm), " Endrun\n");

  // End of file inside a set.
  Context open;
  fresh(open);
  EXPECT_EQ(read_specs(open, "Begin\nIterations 5"), 2);
  EXPECT_EQ(open.par.itnmax, 5);
  EXPECT_EQ(lines(open.io.buffer(kPrint)).back(),
            " XXX  End-of-file encountered while processing a SPECS file on unit     4");
  EXPECT_EQ(lines(open.io.buffer(kSumm)).back(),
            " XXX  End-of-file encountered while processing a SPECS file on unit     4");

  // Endrun, also while skipping.
  Context run;
  fresh(run);
  EXPECT_EQ(read_specs(run, "Skip\nItns 4\n  Endrun now\nBegin\nEnd\n"), 4);
  EXPECT_EQ(run.io.buffer(kPrint), "\n        Endrun now\n");
  EXPECT_EQ(run.io.buffer(kSumm), "\n   Endrun now\n");
}

TEST(SpecsFile, UnitsOutsideTheRangeAndMissingFiles) {
  Context ctx;
  fresh(ctx);
  ctx.io.attach_text(100, "Begin\nIterations 5\nEnd\n");
  EXPECT_EQ(m3file(ctx, 1, 100, m3key, kPrint, kSumm), 1);
  EXPECT_EQ(m3file(ctx, 1, 0, m3key, kPrint, kSumm), 1);
  EXPECT_EQ(m3file(ctx, 1, -3, m3key, kPrint, kSumm), 1);
  EXPECT_EQ(ctx.par.itnmax, kUnsetI);
  EXPECT_EQ(ctx.io.buffer(kPrint), "");

  // tvspec records the unit; unit 0 reads nothing.
  EXPECT_EQ(tvspec(ctx, 0), 0);
  EXPECT_EQ(ctx.par.specfile, 0);
  // A unit with no file attached ends at once.
  EXPECT_EQ(tvspec(ctx, 17), 3);
  EXPECT_EQ(ctx.par.specfile, 17);
  EXPECT_EQ(lines(ctx.io.buffer(kPrint)).back(),
            " XXX  End-of-file encountered while looking for a SPECS file on unit    17");
}

TEST(SpecsFile, LongLinesAreCut) {
  Context ctx;
  fresh(ctx);
  std::string far = "Iterations limit";
  far.resize(72, ' ');
  std::string begin = "Begin ";
  begin.resize(200, 'x');  // one physical line, cut to 72
  EXPECT_EQ(read_specs(ctx, begin + "\n" + far + "500\n" + "Hessian 4\nEnd\n"), 0);
  EXPECT_EQ(ctx.par.itnmax, 0);
  EXPECT_EQ(ctx.par.hdim, 4);
  const auto out = lines(ctx.io.buffer(kPrint));
  EXPECT_EQ(out[1].size(), 6u + 72u);
}

TEST(SpecsFile, TvspecUsesThePrintAndSummaryUnits) {
  Context ctx;
  fresh(ctx);
  ctx.io.attach_text(kSpecs, "BEGIN\nFoo\nEND\n");
  EXPECT_EQ(tvspec(ctx, kSpecs), 1);
  EXPECT_NE(ctx.io.buffer(kPrint).find(" XXX  Keyword not recognized:         FOO"), std::string::npos);
  EXPECT_NE(ctx.io.buffer(kSumm).find(" Foo\n XXX  Keyword not recognized:         FOO"), std::string::npos);
}

TEST(CEntries, OptionsThroughTheProcessContext) {
  Context& ctx = default_context();
  fresh(ctx, 0, 0);
  int zero = 0, errors = 0;
  // Not terminated: the length decides.
  const char text[] = {'I', 't', 'n', 's', ' ', '4', '2', 'X', 'Y'};
  tvopt(text, &zero, &zero, &errors, 7);
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(ctx.par.itnmax, 42);
  // A zero byte ends the text early.
  tvopt("Hessian 12\0garbage", &zero, &zero, &errors, 19);
  EXPECT_EQ(ctx.par.hdim, 12);
  int iv = 77;
  char padded[40];
  std::memset(padded, ' ', sizeof padded);
  std::memcpy(padded, "Superbasics limit", 17);
  tvopti(padded, &iv, &zero, &zero, &errors, 40);
  EXPECT_EQ(ctx.par.maxs, 77);
  double rv = 1.0E-9;
  tvoptr("Optimality tolerance", &rv, &zero, &zero, &errors, 20);
  EXPECT_EQ(ctx.par.opttol, 1.0E-9);
  EXPECT_EQ(errors, 0);
  tvopt("Nonsense", &zero, &zero, &errors, 8);
  EXPECT_EQ(errors, 1);
  // Missing arguments are tolerated.
  tvopt(nullptr, nullptr, nullptr, nullptr, 5);
  tvopti("Iterations", nullptr, &zero, &zero, &errors, 10);
  EXPECT_EQ(errors, 2);

  int specs = 0, inform = -1;
  tvspec(&specs, &inform);
  EXPECT_EQ(inform, 0);
  ctx.io.attach_text(kSpecs, "Begin\nIterations 31\nEnd\n");
  specs = kSpecs;
  tvspec(&specs, &inform);
  EXPECT_EQ(inform, 0);
  EXPECT_EQ(ctx.par.itnmax, 31);
  EXPECT_EQ(ctx.par.specfile, kSpecs);
  ctx.io.detach(kSpecs);
}

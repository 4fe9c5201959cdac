// The parameter listing (m3dflt mode 3).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "opt_util.h"
#include "options/params.h"

using namespace tv;
using namespace optest;

namespace {

// Golden files live beside this test; TARVO_REGEN_GOLDEN=1 rewrites them
// from the current output (review the diff before committing).
std::string golden_path(const std::string& name) {
  return std::string(TARVO_TEST_DATA) + "/../options/golden/" + name;
}

void check_golden(const std::string& name, const std::string& text) {
  const std::string path = golden_path(name);
  if (const char* regen = std::getenv("TARVO_REGEN_GOLDEN"); regen && *regen == '1') {
    std::ofstream(path) << text;
  }
  std::ifstream in(path);
  ASSERT_TRUE(in.good()) << "missing golden file " << path;
  std::stringstream ss;
  ss << in.rdbuf();
  const auto want = lines(ss.str());
  const auto got = lines(text);
  for (size_t k = 0; k < std::max(want.size(), got.size()); ++k) {
    EXPECT_EQ(k < got.size() ? got[k] : "<missing>", k < want.size() ? want[k] : "<extra>")
        << name << " line " << k + 1;
  }
}

// A linear problem of 50 rows and 100 columns, Print level 1.
void linear_listing(Context& ctx) {
  fresh(ctx);
  ctx.par.rdrfile = 5;
  ctx.par.specfile = 4;
  int errors = 0;
  tvopt(ctx, "Print level 1", 0, 0, errors);
  ASSERT_EQ(errors, 0);
  resolve(ctx, 50, 100, 300, 0, 0, 0, 100000);
  ctx.io.clear_buffer(kPrint);
  m3dflt(ctx, 3);
}

}  // namespace

TEST(Listing, LinearProblemPrintLevelOne) {
  Context ctx;
  linear_listing(ctx);
  check_golden("listing_linear.txt", ctx.io.buffer(kPrint));
}

TEST(Listing, RowsAreLabelsAndValuesInFixedColumns) {
  Context ctx;
  linear_listing(ctx);
  const auto out = lines(ctx.io.buffer(kPrint));
  ASSERT_GE(out.size(), 4u);
  EXPECT_EQ(out[0], "1");  // page break first
  EXPECT_EQ(out[1], "");
  EXPECT_EQ(out[2], " Parameters");
  EXPECT_EQ(out[3], " ----------");
  // Every row of items: 34 columns per item, 6 blanks between items.
  for (const std::string& s : out) {
    if (s.size() < 34 || s.find("..") == std::string::npos) continue;
    EXPECT_TRUE(s.size() == 34 || s.size() == 74 || s.size() == 114) << s;
    if (s.size() > 34) {
      EXPECT_EQ(s.substr(34, 6), "      ") << s;
    }
  }
}

TEST(Listing, OptionalBlocksAndWords) {
  Context ctx;
  fresh(ctx);
  int errors = 0;
  for (const char* ph : {"Print level 1", "MPS file 11", "Jacobian sparse", "Lagrangian no", "Completion full"}) {
    tvopt(ctx, ph, 0, 0, errors);
  }
  ASSERT_EQ(errors, 0);
  resolve(ctx, 30, 40, 100, 10, 20, 25);
  ctx.io.clear_buffer(kPrint);
  m3dflt(ctx, 3);
  const auto out = lines(ctx.io.buffer(kPrint));
  ASSERT_GE(out.size(), 8u);
  // The MPS block follows the heading directly.
  EXPECT_EQ(out[4], " MPS INPUT DATA.");
  EXPECT_EQ(out[5], " Row limit..............        30       List limit.............         0"
                    "       Lower bound default....  0.00E+00");
  const std::string text = ctx.io.buffer(kPrint);
  EXPECT_NE(text.find("\n\n AUGMENTED LAGRANGIAN.\n"), std::string::npos);
  EXPECT_NE(text.find(" Jacobian...............    Sparse"), std::string::npos);
  EXPECT_NE(text.find(" Lagrangian.............       No "), std::string::npos);
  EXPECT_NE(text.find(" Completion.............      Full"), std::string::npos);
  EXPECT_NE(text.find(" Nonlinear constraints..        10"), std::string::npos);
}

TEST(Listing, PrintedOnlyWithPrintFileLevelAndSwitch) {
  // Print level 0: nothing, although there is a print file.
  Context ctx;
  fresh(ctx);
  resolve(ctx, 5, 5, 5);
  ctx.io.clear_buffer(kPrint);
  m3dflt(ctx, 3);
  EXPECT_EQ(ctx.io.buffer(kPrint), "");

  // Listing switch (IPARM 3) off.
  Context off;
  fresh(off);
  int errors = 0;
  tvopt(off, "Print level 1", 0, 0, errors);
  tvopt(off, "IPARM 3 0", 0, 0, errors);
  ASSERT_EQ(errors, 0);
  resolve(off, 5, 5, 5);
  off.io.clear_buffer(kPrint);
  m3dflt(off, 3);
  EXPECT_EQ(off.io.buffer(kPrint), "");

  // No print file: nothing anywhere (the summary file gets no page break).
  Context nofile;
  fresh(nofile, 0, kSumm);
  nofile.par.prtlevel = 1;
  resolve(nofile, 5, 5, 5);
  nofile.io.clear_buffer(kSumm);
  m3dflt(nofile, 3);
  EXPECT_EQ(nofile.io.buffer(kSumm), "");
}

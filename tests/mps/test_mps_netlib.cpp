// The Netlib problems of tests/data: sizes, round trips through the writer,
// compressed input.
#include <zlib.h>

#include <cstdio>

#include "mps_util.h"

using namespace mpstest;

namespace {

// Rows other than the objective, entries outside the objective row.
void counts(const tv::MpsModel& M, int& rows, int& nz) {
  rows = M.m - (M.objrow ? 1 : 0);
  nz = 0;
  for (int k = 0; k < M.ne; ++k) nz += M.ha[k] != M.objrow;
}

}  // namespace

TEST(MpsNetlib, TableListsAtLeast25Problems) { EXPECT_GE(netlib_table().size(), 25u); }

TEST(MpsNetlib, EveryFileReadsWithTheTableSizes) {
  for (const auto& p : netlib_table()) {
    SCOPED_TRACE(p.name);
    auto ctx = make_ctx();
    tv::MpsModel M;
    ASSERT_EQ(tv::mps_read(*ctx, netlib_dir() + "/" + p.name + ".mps", M), 0) << ctx->io.buffer(kSumm);
    int rows = 0, nz = 0;
    counts(M, rows, nz);
    EXPECT_EQ(rows, p.rows);
    EXPECT_EQ(M.n, p.cols);
    EXPECT_EQ(nz, p.nonzeros);
    EXPECT_GT(M.objrow, 0);
    EXPECT_EQ(static_cast<int>(M.ka.size()), M.n + 1);
    EXPECT_EQ(M.ka[M.n], M.ne + 1);
    // No warnings or errors on the summary file.
    EXPECT_EQ(ctx->io.buffer(kSumm), "");
  }
}

TEST(MpsNetlib, EveryFileSurvivesWriteAndReadBack) {
  for (const auto& p : netlib_table()) {
    SCOPED_TRACE(p.name);
    auto ctx = make_ctx();
    tv::MpsModel M, R;
    ASSERT_EQ(tv::mps_read(*ctx, netlib_dir() + "/" + p.name + ".mps", M), 0);
    std::string text, why;
    ASSERT_TRUE(tv::mps_write_text(M, text, why)) << why;
    ASSERT_EQ(tv::mps_read_text(*ctx, text, R, tv::MpsFormat::Auto, p.name), 0) << ctx->io.buffer(kSumm);
    expect_same_model(M, R, p.name);
    // The free reading of the written file agrees too, unless names need fixed format.
    if (text.rfind("NAME          ", 0) != 0) {
      tv::MpsModel F;
      ASSERT_EQ(tv::mps_read_text(*ctx, text, F, tv::MpsFormat::Free, p.name), 0);
      expect_same_model(M, F, p.name + " (free)");
    }
  }
}

TEST(MpsNetlib, E226ObjectiveConstantIsMinusTheRhs) {
  auto ctx = make_ctx();
  tv::MpsModel M;
  ASSERT_EQ(tv::mps_read(*ctx, netlib_dir() + "/e226.mps", M), 0);
  EXPECT_EQ(M.objconst, 7.113);
}

TEST(MpsNetlib, ForplanNamesWithBlanksAndRanges) {
  auto ctx = make_ctx();
  tv::MpsModel M;
  ASSERT_EQ(tv::mps_read(*ctx, netlib_dir() + "/forplan.mps", M), 0);
  bool found = false;
  for (const auto& s : M.colnames) found |= s == "DEDO3 11";
  EXPECT_TRUE(found);
  // Written back in fixed format, because of the blanks.
  std::string text, why;
  ASSERT_TRUE(tv::mps_write_text(M, text, why));
  EXPECT_EQ(text.rfind("NAME          ", 0), 0u);
  EXPECT_FALSE(tv::mps_write_text(M, text, why, tv::MpsFormat::Free));
  EXPECT_NE(why.find("blank"), std::string::npos);
}

TEST(MpsNetlib, BlendBlankRhsSetNameIsNotARow) {
  auto ctx = make_ctx();
  tv::MpsModel M;
  ASSERT_EQ(tv::mps_read(*ctx, netlib_dir() + "/blend.mps", M), 0);
  EXPECT_EQ(M.rhsname, "");
  // Some row has a nonzero right-hand side.
  int nonzero = 0;
  for (int i = 0; i < M.m; ++i) nonzero += M.bl[M.n + i] != 0.0 && M.bl[M.n + i] > -1e20;
  EXPECT_GT(nonzero, 0);
}

TEST(MpsNetlib, GzipFileReadsLikeThePlainFile) {
  auto ctx = make_ctx();
  tv::MpsModel M, Z;
  const std::string plain = netlib_dir() + "/afiro.mps";
  ASSERT_EQ(tv::mps_read(*ctx, plain, M), 0);
  std::string gzpath = testing::TempDir() + "afiro_copy.mps.gz";
  ASSERT_EQ(tv::mps_write(*ctx, M, gzpath), 0);
  ASSERT_EQ(tv::mps_read(*ctx, gzpath, Z), 0);
  expect_same_model(M, Z, "gzip");
  std::remove(gzpath.c_str());
}

// Helpers shared by the MPS tests.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/netlib.h"
#include "core/context.h"
#include "files/mps.h"
#include "options/params.h"

namespace mpstest {

constexpr int kPrint = 9, kSumm = 10;

// A context whose print and summary files are in-memory buffers.
inline std::unique_ptr<tv::Context> make_ctx() {
  auto ctx = std::make_unique<tv::Context>();
  ctx->io.attach_buffer(kPrint);
  ctx->io.attach_buffer(kSumm);
  ctx->par.prtfile = kPrint;
  ctx->par.sumfile = kSumm;
  return ctx;
}

using tvtest::netlib_dir;
using tvtest::netlib_table;
using tvtest::NetlibRow;

// Two models hold the same problem: arrays bit for bit, names, sense.
inline void expect_same_model(const tv::MpsModel& x, const tv::MpsModel& y, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_EQ(x.m, y.m);
  ASSERT_EQ(x.n, y.n);
  ASSERT_EQ(x.ne, y.ne);
  EXPECT_EQ(x.objrow, y.objrow);
  EXPECT_EQ(x.objconst, y.objconst);
  EXPECT_EQ(x.objsense, y.objsense);
  EXPECT_EQ(x.name, y.name);
  EXPECT_EQ(x.ka, y.ka);
  EXPECT_EQ(x.ha, y.ha);
  EXPECT_EQ(x.a, y.a);
  for (size_t k = 0; k < x.a.size() && k < y.a.size(); ++k)
    if (x.a[k] != y.a[k]) {
      ADD_FAILURE() << "a(" << k + 1 << "): " << x.a[k] << " vs " << y.a[k];
      break;
    }
  EXPECT_EQ(x.colnames, y.colnames);
  EXPECT_EQ(x.rownames, y.rownames);
  EXPECT_EQ(x.name1, y.name1);
  EXPECT_EQ(x.name2, y.name2);
  int diff = 0;
  for (int j = 0; j < x.n + x.m; ++j) {
    if (x.bl[j] != y.bl[j] || x.bu[j] != y.bu[j]) {
      if (++diff <= 5)
        ADD_FAILURE() << "bounds of variable " << j + 1 << ": [" << x.bl[j] << ", " << x.bu[j] << "] vs ["
                      << y.bl[j] << ", " << y.bu[j] << "]";
    }
  }
  EXPECT_EQ(diff, 0);
}

// Read text with a fresh context; returns the result code.
inline int read_text(const std::string& text, tv::MpsModel& M, std::string* messages = nullptr,
                     tv::MpsFormat fmt = tv::MpsFormat::Auto) {
  auto ctx = make_ctx();
  int r = tv::mps_read_text(*ctx, text, M, fmt, "test");
  if (messages) *messages = ctx->io.buffer(kPrint);
  return r;
}

}  // namespace mpstest

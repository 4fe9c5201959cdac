#include <gtest/gtest.h>

#include "core/array.h"
#include "core/context.h"
#include "core/workspace.h"

using namespace tv;

TEST(Array, OneBasedViewAndSlices) {
  double buf[6] = {1, 2, 3, 4, 5, 6};
  Dvec v(buf, 6);
  EXPECT_EQ(v(1), 1.0);
  EXPECT_EQ(v(6), 6.0);
  Dvec s = v.sub(3, 2);
  EXPECT_EQ(s.size(), 2);
  EXPECT_EQ(s(1), 3.0);
  EXPECT_EQ(s(2), 4.0);
  EXPECT_EQ(v.from(5)(2), 6.0);
  EXPECT_EQ(v.sub(7, 0).size(), 0);
}

#ifdef TARVO_CHECK_BOUNDS
TEST(ArrayDeathTest, OutOfRangeAccessIsCaught) {
  double buf[3] = {};
  Dvec v(buf, 2);
  EXPECT_DEATH(v(3), "outside 1..2");
  EXPECT_DEATH(v(0), "outside");
}
#endif

TEST(Units, BufferCollectsLinesAndNoFileDropsThem) {
  Units u;
  u.attach_buffer(9);
  u.line(9, "first");
  u.linef(9, "%5d|%s", 42, "x");
  u.line(0, "dropped");
  u.line(17, "unattached: dropped");
  EXPECT_EQ(u.buffer(9), "first\n   42|x\n");
}

TEST(Units, TextUnitReadsLines) {
  Units u;
  u.attach_text(4, "BEGIN\r\n  ITERATIONS 5\nEND");
  std::string s;
  ASSERT_TRUE(u.read_line(4, s));
  EXPECT_EQ(s, "BEGIN");
  ASSERT_TRUE(u.read_line(4, s));
  EXPECT_EQ(s, "  ITERATIONS 5");
  ASSERT_TRUE(u.read_line(4, s));
  EXPECT_EQ(s, "END");
  EXPECT_FALSE(u.read_line(4, s));
  EXPECT_FALSE(u.read_line(0, s));
}

TEST(Workspace, IntegerRegionsPackTwoPerWord) {
  std::vector<double> z(10, 0.0);
  Workspace ws;
  ws.bind(z.data(), 10);
  Ivec iv = ws.make_ints(3, 5);
  for (int i = 1; i <= 5; ++i) iv(i) = 10 * i;
  Ivec again = ws.ivec(3, 5);
  EXPECT_EQ(again(5), 50);
  EXPECT_EQ(int_words(5), 3);
  Dvec dv = ws.make_doubles(6, 2);
  dv(1) = 2.5;
  EXPECT_EQ(ws.dvec(6, 2)(1), 2.5);
}

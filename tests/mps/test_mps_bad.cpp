// Bad MPS input: every case ends with result 40 or 41 and a message that
// names the line and the fault; nothing crashes or reads past the input.
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>

#include "mps_util.h"

using namespace mpstest;

namespace {

const std::string kHead = "NAME BAD\nROWS\n N OBJ\n L C1\nCOLUMNS\n X OBJ 1 C1 1\n";

struct Outcome {
  int inform;
  std::string summ;
};

Outcome read(const std::string& text, tv::MpsFormat fmt = tv::MpsFormat::Auto) {
  auto ctx = make_ctx();
  tv::MpsModel M;
  int r = tv::mps_read_text(*ctx, text, M, fmt, "bad.mps");
  if (r != 0) {
    EXPECT_EQ(M.m, 0);
    EXPECT_TRUE(M.a.empty());
  }
  return {r, ctx->io.buffer(kSumm)};
}

std::string afiro_text() {
  std::ifstream f(netlib_dir() + "/afiro.mps", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(MpsBad, ErrorsInTheDataGive40WithLineAndReason) {
  const struct {
    std::string text, message, line;
  } cases[] = {
      {kHead + " X BADROW 2\nRHS\nENDATA\n", "Error in line       7: unknown row BADROW", " X BADROW 2"},
      {kHead + " Y C1 1e400\nRHS\nENDATA\n", "line       7: bad number 1e400", " Y C1 1e400"},
      {kHead + " Y C1 -1e25\nRHS\nENDATA\n", "coefficient -1e25 is too large", ""},
      {kHead + " Y C1 nan\nRHS\nENDATA\n", "bad number nan", ""},
      {kHead + " Y C1 inf\nRHS\nENDATA\n", "bad number inf", ""},
      {kHead + " Y C1 0x10\nRHS\nENDATA\n", "bad number 0x10", ""},
      {kHead + " Y C1 1.5.2\nRHS\nENDATA\n", "bad number 1.5.2", ""},
      {kHead + " X C1 2\nRHS\nENDATA\n", "duplicate entry in row C1 of column X", ""},
      {kHead + " Y C1 1\n X C1 2\nRHS\nENDATA\n", "column X appears again after other columns", ""},
      {"NAME BAD\nROWS\n N OBJ\n L C1\n G C1\nCOLUMNS\n X OBJ 1\nRHS\nENDATA\n",
       "line       5: duplicate row name C1", " G C1"},
      {"NAME BAD\nROWS\n N OBJ\n Q C1\nCOLUMNS\n X OBJ 1\nRHS\nENDATA\n", "unknown row type Q", ""},
      {kHead + "RHS\n RHS C1 1\n RHS C1 2\nENDATA\n", "duplicate right-hand side for row C1", ""},
      {kHead + "RHS\n RHS NOROW 1\nENDATA\n", "unknown row NOROW", ""},
      {kHead + "RANGES\n RNG C1 1\n RNG C1 2\nENDATA\n", "duplicate range for row C1", ""},
      {kHead + "BOUNDS\n XX BND X 1\nENDATA\n", "unknown bound type XX", ""},
      {kHead + "BOUNDS\n SC BND X 1\nENDATA\n", "semicontinuous bounds (SC) are not supported", ""},
      {kHead + "BOUNDS\n UP BND NOCOL 1\nENDATA\n", "unknown column NOCOL", ""},
      {kHead + "BOUNDS\n UP BND X\nENDATA\n", "", ""},  // free: "BND" is read as the column
      {kHead + "RHS\nQUADOBJ\n X X 1\nENDATA\n", "section QUADOBJ is not supported", ""},
      {kHead + "RHS\nWHATEVER\nENDATA\n", "unknown section WHATEVER", ""},
      {"NAME BAD\nCOLUMNS\n X OBJ 1\nROWS\n N OBJ\nRHS\nENDATA\n", "COLUMNS section before ROWS", ""},
      {kHead + "RHS\nRHS\nENDATA\n", "a second RHS section", ""},
      {kHead + " Y C1\nRHS\nENDATA\n", "a COLUMNS line has a column name", ""},
      {std::string("NAME BAD\nROWS\n N OBJ\n L C1\nCOLUMNS\n X OBJ 1 C1 1\x01\nRHS\nENDATA\n"),
       "control character (code 1) in column 14", " X OBJ 1 C1 1?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Outcome o = read(c.text);
    EXPECT_EQ(o.inform, 40);
    EXPECT_NE(o.summ.find(c.message), std::string::npos) << o.summ;
    if (!c.line.empty()) {
      EXPECT_NE(o.summ.find(" ---->" + c.line + "\n"), std::string::npos) << o.summ;
    }
    EXPECT_NE(o.summ.find("EXIT -- MPS file not read"), std::string::npos);
  }
}

TEST(MpsBad, MissingOrUnreadableFilesGive41) {
  auto ctx = make_ctx();
  tv::MpsModel M;
  EXPECT_EQ(tv::mps_read(*ctx, netlib_dir() + "/no_such_file.mps", M), 41);
  EXPECT_NE(ctx->io.buffer(kSumm).find("no_such_file.mps: cannot be opened"), std::string::npos);
  EXPECT_EQ(tv::mps_read(*ctx, netlib_dir(), M), 41);  // a directory

  // A gzip header followed by garbage.
  std::string path = testing::TempDir() + "corrupt.mps.gz";
  {
    std::ofstream f(path, std::ios::binary);
    const char bytes[] = "\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03garbage that is not deflate data";
    f.write(bytes, sizeof bytes - 1);
  }
  auto ctx2 = make_ctx();
  EXPECT_EQ(tv::mps_read(*ctx2, path, M), 41);
  std::remove(path.c_str());
}

TEST(MpsBad, FilesWithoutTheRequiredSectionsGive41) {
  Outcome o = read("");
  EXPECT_EQ(o.inform, 41);
  EXPECT_NE(o.summ.find("has no ROWS section"), std::string::npos);
  EXPECT_NE(o.summ.find("has no COLUMNS section"), std::string::npos);
  EXPECT_NE(o.summ.find("has no ENDATA line"), std::string::npos);

  // Truncated in the middle of COLUMNS.
  std::string afiro = afiro_text();
  o = read(afiro.substr(0, afiro.size() / 2));
  EXPECT_EQ(o.inform, 41);
  EXPECT_NE(o.summ.find("has no ENDATA line (is it cut short?)"), std::string::npos);
  EXPECT_EQ(o.summ.find("has no ROWS"), std::string::npos);

  // Cut in the middle of a line, no final line end.
  o = read(afiro.substr(0, afiro.find("RHS") + 1));
  EXPECT_EQ(o.inform, 41);
}

TEST(MpsBad, BinaryGarbageNulBytesAndHugeLines) {
  // Pseudo-random bytes, NULs included.
  std::string garbage(200000, '\0');
  uint32_t s = 12345;
  for (auto& c : garbage) {
    s = s * 1664525u + 1013904223u;
    c = static_cast<char>(s >> 24);
  }
  Outcome o = read(garbage);
  EXPECT_TRUE(o.inform == 40 || o.inform == 41) << o.inform;
  o = read(garbage, tv::MpsFormat::Fixed);
  EXPECT_TRUE(o.inform == 40 || o.inform == 41);

  // A NUL byte inside an otherwise good file.
  std::string afiro = afiro_text();
  std::string nul = afiro;
  nul[nul.find("X01")] = '\0';
  o = read(nul);
  EXPECT_EQ(o.inform, 40);
  EXPECT_NE(o.summ.find("control character (code 0)"), std::string::npos);

  // A line of 10^6 characters (a name that never ends).
  std::string huge = kHead + " " + std::string(1000000, 'A') + " C1 1\nRHS\nENDATA\n";
  o = read(huge);
  EXPECT_EQ(o.inform, 40);
  EXPECT_NE(o.summ.find("line       7: line longer than 65536 characters"), std::string::npos);
  // The echo of the line is cut.
  EXPECT_LT(o.summ.size(), 2000u);

  // A very long name on a line of normal length is fine in free format.
  std::string longname(5000, 'N');
  o = read(kHead + " " + longname + " C1 1\nRHS\nENDATA\n");
  EXPECT_EQ(o.inform, 0) << o.summ;
}

TEST(MpsBad, ErrorMessageLimit) {
  std::string text = kHead;
  for (int k = 0; k < 15; ++k) text += " X" + std::to_string(k) + " NOROW 1\n";
  text += "RHS\nENDATA\n";
  auto ctx = make_ctx();
  ctx->par.errlim = 3;
  tv::MpsModel M;
  EXPECT_EQ(tv::mps_read_text(*ctx, text, M), 40);
  const std::string s = ctx->io.buffer(kSumm);
  size_t n = 0;
  for (size_t p = s.find("Error in line"); p != std::string::npos; p = s.find("Error in line", p + 1)) ++n;
  EXPECT_EQ(n, 3u);
  EXPECT_NE(s.find("12 more errors not listed (Error message limit 3)"), std::string::npos);
  EXPECT_NE(s.find("EXIT -- MPS file not read: 15 errors (result 40)"), std::string::npos);
  // The print file gets the same messages.
  EXPECT_NE(ctx->io.buffer(kPrint).find("Error in line       7: unknown row NOROW"), std::string::npos);
}

TEST(MpsBad, WriterRefusesWhatItCannotRepresent) {
  tv::MpsModel M;
  ASSERT_EQ(read_text(kHead + "RHS\nENDATA\n", M), 0);
  std::string out, why;
  M.colnames[0] = "A NAME LONGER THAN EIGHT";
  EXPECT_FALSE(tv::mps_write_text(M, out, why));
  EXPECT_NE(why.find("longer than 8 characters"), std::string::npos);
  auto ctx = make_ctx();
  EXPECT_EQ(tv::mps_write(*ctx, M, testing::TempDir() + "never.mps"), 41);
  M.colnames[0] = "X";
  EXPECT_EQ(tv::mps_write(*ctx, M, "/nonexistent-directory/x.mps"), 41);
  EXPECT_NE(ctx->io.buffer(kSumm).find("cannot be written"), std::string::npos);
}

TEST(MpsBad, MutatedFilesReadSafely) {
  // Deterministic mutants of small Netlib files: bytes changed, lines cut,
  // duplicated or dropped.  Every read ends in 0, 40 or 41, and a model that
  // was read is consistent and can be written.
  uint32_t s = 2024;
  auto rnd = [&](uint32_t k) {
    s = s * 1664525u + 1013904223u;
    return static_cast<size_t>((s >> 8) % k);
  };
  const char* files[] = {"afiro.mps", "blend.mps", "forplan.mps", "boeing1.mps"};
  const char alphabet[] = " \t\n\0-+.eE0123456789ABCNRXUPLOFG'*";
  int reads = 0;
  for (const char* fname : files) {
    std::ifstream f(netlib_dir() + "/" + fname, std::ios::binary);
    const std::string orig((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    for (int trial = 0; trial < 40; ++trial) {
      std::string t = orig;
      const int edits = 1 + static_cast<int>(rnd(6));
      for (int e = 0; e < edits; ++e) {
        size_t p = rnd(static_cast<uint32_t>(t.size()));
        switch (rnd(4)) {
          case 0: t[p] = alphabet[rnd(sizeof alphabet - 1)]; break;
          case 1: t.erase(p, rnd(80)); break;
          case 2: {
            size_t b = t.rfind('\n', p), q = t.find('\n', p);
            if (b != std::string::npos && q != std::string::npos) t.insert(q + 1, t.substr(b + 1, q - b));
            break;
          }
          default: t.insert(p, std::string(rnd(40), alphabet[rnd(sizeof alphabet - 1)])); break;
        }
      }
      auto ctx = make_ctx();
      tv::MpsModel M;
      const int r = tv::mps_read_text(*ctx, t, M);
      ++reads;
      ASSERT_TRUE(r == 0 || r == 40 || r == 41) << r;
      if (r != 0) continue;
      ASSERT_EQ(static_cast<int>(M.ka.size()), M.n + 1);
      ASSERT_EQ(M.ka[0], 1);
      ASSERT_EQ(M.ka[M.n], M.ne + 1);
      for (int j = 0; j < M.n; ++j) ASSERT_LE(M.ka[j], M.ka[j + 1]);
      for (int k = 0; k < M.ne; ++k) ASSERT_TRUE(M.ha[k] >= 1 && M.ha[k] <= M.m);
      std::string out, why;
      if (tv::mps_write_text(M, out, why)) {
        tv::MpsModel R;
        ASSERT_EQ(tv::mps_read_text(*ctx, out, R), 0) << ctx->io.buffer(kSumm);
        expect_same_model(M, R, std::string("mutant of ") + fname);
      }
    }
  }
  EXPECT_EQ(reads, 160);
}

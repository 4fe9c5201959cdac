// m8prtj: debug listings of a major iteration, chosen by the digits of
// Print level (JFLXB).
#include <string>

#include "core/units.h"
#include "nonlinear/auglag.h"

namespace tv {

namespace {

// Title, dashes, five values a line.
void listing(Units& io, int iprint, const char* title, int count, CDvec v) {
  const std::string t(title);
  io.line(iprint, "");
  io.line(iprint, t);
  std::string dashes(t.size() > 1 ? t.size() : 1, '-');
  dashes[0] = ' ';
  io.line(iprint, dashes);
  std::string line;
  for (int k = 1; k <= count; ++k) {
    line += strf("%16.7E", v(k));
    if (k % 5 == 0 || k == count) {
      io.line(iprint, line);
      line.clear();
    }
  }
}

const char* state_code(int h) {
  switch (h) {
    case 0: return "LL";
    case 1: return "UL";
    case 2: return "SB";
    case 3: return "BS";
    case 4: return "EQ";
    default: return "FR";
  }
}

}  // namespace

void m8prtj(Units& io, int iprint, int prtlevel, int nmaj, int nncon, int nnjac, CIvec ha, CIvec ka,
            CDvec xn, CIvec hs, CDvec lambda, CDvec fcon, CDvec gcon) {
  if (iprint <= 0) return;
  const int jdig = (prtlevel / 10) % 10, ldig = (prtlevel / 100) % 10, fdig = (prtlevel / 1000) % 10,
            xdig = (prtlevel / 10000) % 10;
  if (jdig > 0) listing(io, iprint, " Jacobian variables", nnjac, xn);
  if (ldig > 0 && nmaj >= 2) listing(io, iprint, " Multiplier estimates", nncon, lambda);
  if (fdig > 0) listing(io, iprint, " Constraint functions", nncon, fcon);
  if (xdig > 0) {
    io.line(iprint, "");
    io.line(iprint, " x  and  Jacobian");
    io.line(iprint, " ----------------");
    int l = 0;
    for (int j = 1; j <= nnjac; ++j) {
      std::string line = strf("%6d%13.5E %s", j, xn(j), state_code(hs(j)));
      int onl = 0;
      for (int k = ka(j); k < ka(j + 1); ++k) {
        const int i = ha(k);
        if (i > nncon) continue;
        ++l;
        if (onl == 4) {
          io.line(iprint, line);
          line = std::string(22, ' ');
          onl = 0;
        }
        line += strf("%9d%13.5E", i, gcon(l));
        ++onl;
      }
      io.line(iprint, line);
    }
  }
}

}  // namespace tv

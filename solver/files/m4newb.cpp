// The NEW basis file and its reader, the OLD basis file: the state of every
// variable, 80 digits a line, then values (index, value, state) ended by an
// index 0.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/context.h"
#include "core/exit_text.h"
#include "files/basis_lines.h"
#include "files/m4bfil.h"
#include "files/m4soln.h"
#include "options/params.h"
#include "tarvo.h"

namespace tv {

using namespace bfile;

void m4newb(Context& ctx, const Problem& P, int unit, int k, int itn, int ninf, double sinf,
            double obj, int ns) {
  const Params& p = ctx.par;
  const int m = P.m, n = P.n, nb = P.nb;
  if (unit <= 0) return;
  CDvec sc = ctx.ws.dvec(ctx.part.scales);
  const bool scaled = p.scaleopt > 0 && sc.size() >= nb;
  auto unscaled = [&](int j) { return (scaled ? P.xn(j) * sc(j) : P.xn(j)) + 0.0; };
  auto state = [&](int j) { return P.hs(j) >= 0 && P.hs(j) <= 3 ? P.hs(j) : 0; };
  const double sense = p.objsense < 0 ? -1.0 : 1.0;

  begin_write(ctx, unit);
  ctx.io.line(unit, name8(p.names[0]) + strf("  ITN%8d    ", itn) + status_word(k) +
                        strf("  NINF%7d      OBJ%21.12E", ninf, ninf > 0 ? sinf : obj * sense));
  ctx.io.line(unit, "OBJ=" + name8(p.names[1]) + " RHS=" + name8(p.names[2]) + " RNG=" + name8(p.names[3]) +
                        " BND=" + name8(p.names[4]) + strf(" M=%7d N=%7d SB=%5d", m, n, ns));
  std::string digits;
  for (int j = 1; j <= nb; ++j) {
    digits.push_back(static_cast<char>('0' + state(j)));
    if (digits.size() == 80 || j == nb) {
      ctx.io.line(unit, digits);
      digits.clear();
    }
  }
  auto value_line = [&](int j, int s) { ctx.io.line(unit, strf("%8d%24.14E%3d", j, unscaled(j), s)); };
  const int nn = P.nnl();
  for (int j = 1; j <= nb; ++j) {
    if (nn > 0 ? (j <= nn || state(j) > 1) : (ns > 0 && state(j) == 2)) value_line(j, state(j));
  }
  // Nonbasic variables away from their bounds keep their values.
  for (int j = 1; j <= nb; ++j) {
    if (state(j) <= 1 && P.xn(j) > P.bl(j) && P.xn(j) < P.bu(j)) value_line(j, -1);
  }
  ctx.io.line(unit, strf("%8d", 0));
  end_write(ctx, unit);
  ctx.both(strf(" NEW BASIS file saved on file%4d    itn =%7d", unit, itn));
}

bool m4oldb(Context& ctx, Problem& P, int unit, int& ns, int& inform) {
  const Params& p = ctx.par;
  const int m = P.m, n = P.n, nb = P.nb;
  const double big = 0.9 * p.mc.infbnd;
  const char* kFile = "OLD BASIS";

  ctx.both("");
  ctx.both(strf(" OLD BASIS file to be input from file%4d", unit));
  if (!begin_read(ctx, unit, kFile, inform)) return false;
  auto refused = [&](int line, const std::string& why) {
    refuse(ctx, kFile, line, why, inform);
    end_read(ctx, unit);
    return false;
  };

  // Header: the first line as it stands, then the dimensions.
  std::string line;
  if (!ctx.io.read_line(unit, line)) return refused(1, "the file is empty");
  ctx.both(std::string(" ").append(line, 0, 80));
  if (!ctx.io.read_line(unit, line)) return refused(2, "the file ends after its first line");
  long fm = 0, fn = 0, fs = 0;
  const std::string sbfield = cols(line, 76, 5);
  if (!to_int(cols(line, 55, 7), fm) || !to_int(cols(line, 65, 7), fn) ||
      !(blank(sbfield) || to_int(sbfield, fs))) {
    return refused(2, "no whole numbers after M=, N= and SB=");
  }
  ctx.both(std::string(" ").append(cols(line, 1, 52)).append(strf("M=%7ld N=%7ld SB=%5ld", fm, fn, fs)));
  if (fm != m || fn != n) {
    print_exit(ctx, TV_BASIS_FILE);
    inform = TV_BASIS_FILE;
    end_read(ctx, unit);
    return false;
  }

  // States, 80 digits a line; a line is checked whole before it is used.
  int lineno = 2;
  for (int j0 = 1; j0 <= nb; j0 += 80) {
    ++lineno;
    if (!ctx.io.read_line(unit, line)) return refused(lineno, "the file ends before the state of every variable");
    const int count = std::min(80, nb - j0 + 1);
    for (int k = 0; k < count; ++k) {
      const char c = k < static_cast<int>(line.size()) ? line[static_cast<size_t>(k)] : ' ';
      if (c < '0' || c > '3') {
        return refused(lineno, strf("the state of variable %d is not 0, 1, 2 or 3", j0 + k));
      }
    }
    for (int k = 0; k < count; ++k) {
      const int j = j0 + k;
      const int s = line[static_cast<size_t>(k)] - '0';
      P.hs(j) = s;
      if (s == 0 && P.bl(j) > -big) P.xn(j) = P.bl(j);
      if (s == 1 && P.bu(j) < big) P.xn(j) = P.bu(j);
    }
  }

  // Values up to an index below 1 or the end of the file.  A superbasic
  // variable counts once however many lines give its value, so that the
  // count never exceeds the superbasics there are.
  int nsread = 0, nignored = 0;
  std::vector<char> counted(static_cast<size_t>(nb) + 1, 0);
  const long maxlines = static_cast<long>(n) + m + 10000;
  for (long k = 0; k < maxlines; ++k) {
    if (!ctx.io.read_line(unit, line)) break;
    ++lineno;
    long j = 0;
    double v = 0.0;
    if (to_int(cols(line, 1, 8), j) && j < 1) break;
    if (blank(line)) continue;
    if (!to_int(cols(line, 1, 8), j) || j > nb || !to_real(cols(line, 9, 24), v)) {
      ignored(ctx, ++nignored, lineno, line.substr(0, std::min<size_t>(line.size(), 40)));
      continue;
    }
    if (std::fabs(v) < big) P.xn(static_cast<int>(j)) = v;
    if (P.hs(static_cast<int>(j)) == 2 && !counted[static_cast<size_t>(j)]) {
      counted[static_cast<size_t>(j)] = 1;
      ++nsread;
    }
  }
  if (nsread > 0) ctx.both(strf(" No. of superbasics loaded:      %7d", nsread));
  if (nignored > 0) ctx.both(strf(" No. of value lines ignored:     %7d", nignored));

  // A fixed column cannot be basic or superbasic.
  int nfixed = 0;
  for (int j = 1; j <= n; ++j) {
    if (P.hs(j) >= 2 && P.bl(j) == P.bu(j)) {
      if (P.hs(j) == 2 && counted[static_cast<size_t>(j)]) --nsread;
      P.hs(j) = 0;
      ++nfixed;
    }
  }
  if (nfixed > 0) ctx.both(strf(" No. of fixed cols made nonbasic:%7d", nfixed));
  ns = nsread;
  end_read(ctx, unit);
  return true;
}

}  // namespace tv

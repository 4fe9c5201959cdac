// The PUNCH file and its reader, the INSERT file: the basis as pairs of a
// basic column and the nonbasic row it replaces in the slack basis, plus
// the nonbasic columns that are not at a zero lower bound and the
// superbasic variables, by name.
//
// Line layout, columns: key 1-4, first name 5-12, second name 15-22, value
// 25-36 (%12.5E).
#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "files/basis_lines.h"
#include "files/m4bfil.h"
#include "files/m4name.h"
#include "options/params.h"

namespace tv {

using namespace bfile;

void m4pnch(Context& ctx, const Problem& P, int unit) {
  const int m = P.m, n = P.n;
  if (unit <= 0) return;
  static const char* const kKey[3] = {" LL ", " UL ", " SB "};
  auto value = [&](int j) { return strf("%12.5E", P.xn(j) + 0.0); };
  const std::string none(8, ' ');

  begin_write(ctx, unit);
  ctx.io.line(unit, "NAME          " + name8(ctx.par.names[0]) + "  PUNCH/INSERT");
  int irow = 0;  // the last row paired with a basic column
  for (int j = 1; j <= n; ++j) {
    const int s = P.hs(j);
    if (s == 3) {
      int i = irow + 1;
      while (i <= m && P.hs(n + i) == 3) ++i;
      if (i > m) continue;  // no nonbasic row left to pair with
      irow = i;
      const char* key = P.hs(n + i) == 1 ? " XU " : " XL ";
      ctx.io.line(unit, key + m4id(P, j) + "  " + m4id(P, n + i) + "  " + value(j));
    } else if (s == 2 || P.bl(j) != 0.0 || P.xn(j) != 0.0) {
      const int k = s >= 0 && s <= 2 ? s : 0;
      ctx.io.line(unit, kKey[k] + m4id(P, j) + "  " + none + "  " + value(j));
    }
  }
  for (int i = 1; i <= m; ++i) {
    if (P.hs(n + i) == 2) ctx.io.line(unit, " SB " + m4id(P, n + i) + "  " + none + "  " + value(n + i));
  }
  ctx.io.line(unit, "ENDATA");
  end_write(ctx, unit);
  ctx.both(strf(" PUNCH file saved on file%4d", unit));
}

bool m4inst(Context& ctx, Problem& P, int unit, int& ns, int& inform) {
  const Params& p = ctx.par;
  const int n = P.n, nb = P.nb;
  const int jobj = objective_index(P);
  const double big = 0.9 * p.mc.infbnd;

  if (!begin_name_file(ctx, unit, "INSERT", inform)) return false;
  std::string line;

  // The slack basis, changed line by line.
  for (int j = 1; j <= n; ++j) P.hs(j) = 0;
  for (int j = n + 1; j <= nb; ++j) P.hs(j) = 3;
  int nread = 0, nignored = 0, nnotfound = 0, nbasic = 0, nsup = 0;
  int lineno = 1, jrow = n + 1;
  bool ended = false;
  const long maxlines = static_cast<long>(n) + 100000;
  for (long k = 0; k < maxlines; ++k) {
    if (!ctx.io.read_line(unit, line)) break;
    ++lineno;
    const std::string key = cols(line, 1, 4);
    if (key == "ENDA") {
      ended = true;
      break;
    }
    if (blank(line) || line[0] == '*') continue;
    ++nread;
    const std::string name1 = cols(line, 5, 8), name2 = cols(line, 15, 8), vfield = cols(line, 25, 12);
    auto ignore = [&]() { ignored(ctx, ++nignored, lineno, key + name1 + "  " + name2); };

    int jmark = 1;
    const int j = m4name(ctx, P, name1, 1, nb, jmark, lineno, nnotfound);
    if (j == 0) continue;
    double v = 0.0;
    const bool hasv = !blank(vfield);
    if (P.hs(j) >= 2 || (hasv && !to_real(vfield, v))) {
      ignore();
      continue;
    }
    int s = -1;
    if (key == " XL " || key == " XU ") {
      const int jr = m4name(ctx, P, name2, n + 1, nb, jrow, lineno, nnotfound);
      if (jr == 0) continue;
      if (P.hs(jr) != 3 || jr == jobj) {
        ignore();
        continue;
      }
      P.hs(j) = 3;
      ++nbasic;
      if (key == " XL ") {
        P.hs(jr) = 0;
        if (P.bl(jr) > -big) P.xn(jr) = P.bl(jr);
      } else {
        P.hs(jr) = 1;
        if (P.bu(jr) < big) P.xn(jr) = P.bu(jr);
      }
      if (jrow < nb) ++jrow;  // the next pair names a later row
    } else if (key == " LL " || key == " UL " || key == " SB ") {
      s = key == " LL " ? 0 : key == " UL " ? 1 : 2;
      P.hs(j) = s;
      if (s == 2) ++nsup;
    } else {
      ignore();
      continue;
    }
    if (hasv && std::fabs(v) < big) P.xn(j) = s == 0 || s == 1 ? at_bound(v, s, P.bl(j), P.bu(j), big) : v;
  }
  if (!ended) ctx.both(strf(" XXX  INSERT file ends without ENDATA after line%6d", lineno));
  ctx.both("");
  ctx.both(strf(" No. of lines read      %6d  Lines ignored%6d", nread, nignored + nnotfound));
  ctx.both(strf(" No. of basics specified%6d  Superbasics  %6d", nbasic, nsup));
  ns = nsup;
  end_read(ctx, unit);
  return true;
}

}  // namespace tv

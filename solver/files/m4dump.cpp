// The DUMP file and its reader, the LOAD file: one line per variable with
// its key (LL, UL, SB, BS), name and value.
//
// Line layout, columns: key 1-4, name 5-12, value 25-36 (%12.5E).
#include <cmath>

#include "core/context.h"
#include "files/basis_lines.h"
#include "files/m4bfil.h"
#include "files/m4name.h"
#include "options/params.h"

namespace tv {

using namespace bfile;

void m4dump(Context& ctx, const Problem& P, int unit) {
  if (unit <= 0) return;
  static const char* const kKey[4] = {" LL ", " UL ", " SB ", " BS "};
  begin_write(ctx, unit);
  ctx.io.line(unit, "NAME          " + name8(ctx.par.names[0]) + "     DUMP/LOAD");
  for (int j = 1; j <= P.nb; ++j) {
    const int s = P.hs(j) >= 0 && P.hs(j) <= 3 ? P.hs(j) : 0;
    ctx.io.line(unit, kKey[s] + m4id(P, j) + std::string(12, ' ') + strf("%12.5E", P.xn(j) + 0.0));
  }
  ctx.io.line(unit, "ENDATA");
  end_write(ctx, unit);
  ctx.both(strf(" DUMP file saved on file%4d", unit));
}

bool m4load(Context& ctx, Problem& P, int unit, int& ns, int& inform) {
  const Params& p = ctx.par;
  const int n = P.n, nb = P.nb;
  const int jobj = objective_index(P);
  const double big = 0.9 * p.mc.infbnd;

  if (!begin_name_file(ctx, unit, "LOAD", inform)) return false;
  std::string line;

  for (int j = 1; j <= nb; ++j) P.hs(j) = 0;
  int nread = 0, nignored = 0, nnotfound = 0, nbasic = 0, nsup = 0;
  int lineno = 1, jmark = 1;
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
    const std::string name = cols(line, 5, 8), vfield = cols(line, 25, 12);
    const int j = m4name(ctx, P, name, 1, nb, jmark, lineno, nnotfound);
    if (j == 0) continue;
    double v = 0.0;
    const bool hasv = !blank(vfield);
    int s = -1;
    if (P.hs(j) < 2 && !(hasv && !to_real(vfield, v))) {
      if (j == jobj) {
        s = 3;
      } else if (j <= n && P.bl(j) == P.bu(j)) {
        s = 0;  // a fixed column stays nonbasic whatever its key
      } else if (key == " BS ") {
        s = 3;
      } else if (key == " LL ") {
        s = 0;
      } else if (key == " UL ") {
        s = 1;
      } else if (key == " SB ") {
        s = 2;
      }
    }
    if (s < 0) {
      ignored(ctx, ++nignored, lineno, key + name + "  " + cols(line, 15, 8));
      continue;
    }
    P.hs(j) = s;
    if (s == 3) ++nbasic;
    if (s == 2) ++nsup;
    if (hasv && std::fabs(v) < big) P.xn(j) = s <= 1 ? at_bound(v, s, P.bl(j), P.bu(j), big) : v;
  }
  if (!ended) ctx.both(strf(" XXX  LOAD file ends without ENDATA after line%6d", lineno));
  ctx.both("");
  ctx.both(strf(" No. of lines read      %6d  Lines ignored%6d", nread, nignored + nnotfound));
  ctx.both(strf(" No. of basics specified%6d  Superbasics  %6d", nbasic, nsup));

  // The objective row is basic; the basic variable of highest index other
  // than the objective row makes room for it.
  if (jobj > 0 && P.hs(jobj) != 3) {
    P.hs(jobj) = 3;
    for (int j = nb; j >= 1; --j) {
      if (j != jobj && P.hs(j) == 3) {
        P.hs(j) = 0;
        break;
      }
    }
  }
  ns = nsup;
  end_read(ctx, unit);
  return true;
}

}  // namespace tv

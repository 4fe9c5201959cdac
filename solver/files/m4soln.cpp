#include "files/m4soln.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/context.h"
#include "core/entry.h"
#include "core/run_state.h"
#include "options/params.h"

namespace tv {

namespace {

const char* const kStatus[6] = {"PROCEEDING  ", "OPTIMAL SOLN", "INFEASIBLE  ",
                                "UNBOUNDED   ", "EXCESS ITNS ", "ERROR CONDN "};
const char* const kState[6] = {" LL ", " UL ", "SBS ", " BS ", " EQ ", " FR "};
const char kFlag[5] = {' ', 'A', 'D', 'I', 'N'};

std::string name8(const char* s) { return std::string(s, 8); }
std::string blanks(int k) { return std::string(k, ' '); }

// -0.0 prints as 0.
double tidy(double v) { return v + 0.0; }

// Page break on the unit of the report.
void page(Context& ctx, int unit) {
  if (ctx.par.page_ejects) ctx.io.line(unit, "1");
  ctx.io.line(unit, "");
}

}  // namespace

const char* status_word(int k) { return kStatus[std::clamp(k, 0, 5)]; }

std::string m4solp(Context& ctx, int dest, int number, const std::string& name, int flag,
                   int state, const double v[5], int last) {
  const double big = 0.9 * ctx.par.mc.infbnd;
  std::string s = strf("%8d  %-8.8s %c %.3s", number, name.c_str(), kFlag[std::clamp(flag, 0, 4)],
                       kState[std::clamp(state, 0, 5)]);
  for (int k = 0; k < 5; ++k) {
    const double x = tidy(v[k]);
    if (dest == 0 && ((k == 2 && x < -big) || (k == 3 && x > big))) {
      s += "            None";
    } else if (dest != 0 || std::fabs(x) >= 1.0E+9) {
      s += strf("%16.6E", x);
    } else {
      s += strf("%16.5f", x);
    }
  }
  s += strf("%7d", last);
  return s;
}

void m4soln(Context& ctx, int dest, const Problem& P, int ns, int inform, int itn) {
  const Params& p = ctx.par;
  const int unit = dest == 0 ? p.prtfile : p.solfile;
  if (unit <= 0) return;
  const int m = P.m, n = P.n;
  const bool feasible = ctx.run.ninf == 0;
  auto out = [&](const std::string& line) { ctx.io.line(unit, line); };

  page(ctx, unit);
  const std::string head = " NAME" + blanks(11) + name8(p.names[0]) + blanks(13);
  if (feasible) {
    out(head + strf(" OBJECTIVE VALUE%23.10E", ctx.run.obj));
  } else {
    out(head + strf(" INFEASIBILITIES%7d%16.4E", ctx.run.ninf, ctx.run.sinf));
  }
  out("");
  out(" STATUS" + blanks(9) + status_word(inform + 1) + blanks(9) +
      strf(" ITERATION%7d    SUPERBASICS%7d", itn, ns));
  out("");
  out(" OBJECTIVE" + blanks(6) + name8(p.names[1]) + " (" + std::string(p.sensename, 3) + ")");
  out(" RHS      " + blanks(6) + name8(p.names[2]));
  out(" RANGES   " + blanks(6) + name8(p.names[3]));
  out(" BOUNDS   " + blanks(6) + name8(p.names[4]));
  out("");
  out(" SECTION 1 - ROWS");
  out("");
  out("  NUMBER  ...ROW.. STATE  ...ACTIVITY...  SLACK ACTIVITY  ..LOWER LIMIT.  ..UPPER LIMIT."
      "  .DUAL ACTIVITY    ..I");
  out("");

  const double big = 0.9 * p.mc.infbnd;
  int flag = 0, state = 0;
  for (int i = 1; i <= m; ++i) {
    const int j = n + i;
    const double s = P.xn(j), bl = P.bl(j), bu = P.bu(j);
    double slack = std::fabs(bl - s) > std::fabs(s - bu) ? s - bu : s - bl;
    if (std::fabs(slack) >= big) slack = s;
    tvsolf(ctx, n, j, flag, state, P.hs, P.bl, P.bu, P.rc, P.xn);
    const double v[5] = {-s, slack, -bu, -bl, P.pi(i)};
    out(m4solp(ctx, dest, j, m4id(P, j), flag, state, v, i));
  }

  page(ctx, unit);
  out(" SECTION 2 - COLUMNS");
  out("");
  out("  NUMBER  .COLUMN. STATE  ...ACTIVITY...  .OBJ GRADIENT.  ..LOWER LIMIT.  ..UPPER LIMIT."
      "  REDUCED GRADNT    M+J");
  out("");
  CDvec g = ctx.ws.dvec(ctx.part.gobj);
  const int ng = std::min(P.nnobj, g.size());
  for (int j = 1; j <= n; ++j) {
    double grad = 0.0;
    if (P.objrow > 0) {
      for (int l = P.ka(j); l < P.ka(j + 1); ++l) {
        if (P.ha(l) == P.objrow) grad += P.a(l);
      }
    }
    if (feasible && j <= ng) grad += g(j);
    tvsolf(ctx, n, j, flag, state, P.hs, P.bl, P.bu, P.rc, P.xn);
    const double v[5] = {P.xn(j), grad, P.bl(j), P.bu(j), P.rc(j)};
    out(m4solp(ctx, dest, j, m4id(P, j), flag, state, v, m + j));
  }

  if (dest != 0) {
    if (unit != p.prtfile) ctx.io.rewind(unit);
    ctx.both("");
    ctx.both(strf(" SOLUTION file saved on file%4d", unit));
  }
}

}  // namespace tv

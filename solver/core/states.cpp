#include "core/states.h"

#include <cctype>
#include <cmath>
#include <string>

#include "core/context.h"
#include "core/entry.h"
#include "core/run_state.h"
#include "files/save_state.h"
#include "options/params.h"

namespace tv {

void m5hs(HsMode mode, int nb, CDvec bl, CDvec bu, Ivec hs, CDvec xn) {
  if (mode == HsMode::Internal) {
    for (int j = 1; j <= nb; ++j) {
      if (hs(j) > 1) continue;
      if (bl(j) == bu(j)) {
        hs(j) = 4;
      } else if (xn(j) <= bl(j)) {
        hs(j) = 0;
      } else if (xn(j) >= bu(j)) {
        hs(j) = 1;
      } else {
        hs(j) = -1;
      }
    }
  } else {
    for (int j = 1; j <= nb; ++j) {
      if (hs(j) == 4 || hs(j) == -1) hs(j) = 0;
    }
  }
}

std::string run_flag_line(const RunState& R) {
  auto tf = [](bool b) { return b ? " T" : " F"; };
  return strf(" gotbas =%s     gotfac =%s     gothes =%s     gotscl =%s", tf(R.gotbas), tf(R.gotfac),
              tf(R.gothes), tf(R.gotscl));
}

void set_start_mode(Context& ctx, std::string_view start, int& ns) {
  RunState& R = ctx.run;
  R.start = std::string(start);
  R.gotbas = R.gotfac = R.gothes = R.gotscl = false;
  const char c = start.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(start[0])));
  if (c == 'W') {
    R.startmode = kStartWarm;
    R.gotbas = true;
  } else if (c == 'H') {
    R.startmode = kStartHot;
    R.gotbas = true;
    // Letters from the fifth character on say what else is taken over; a
    // string of four characters or fewer (or blank after them) takes all.
    std::string_view rest = start.size() > 4 ? start.substr(4) : std::string_view();
    bool blank = true;
    for (char ch : rest) blank = blank && (ch == ' ' || ch == '\0');
    if (blank) {
      R.gotfac = R.gothes = R.gotscl = true;
    } else {
      for (char ch : rest) {
        switch (std::toupper(static_cast<unsigned char>(ch))) {
          case 'F': R.gotfac = true; break;
          case 'H': R.gothes = true; break;
          case 'S': R.gotscl = true; break;
          default: break;
        }
      }
    }
    ctx.prt(run_flag_line(R));
  } else {
    R.startmode = kStartCold;
    if (c != 'C' && c != 'B') {
      ctx.both(" XXX Start parameter not recognized:  " + std::string(start));
    }
  }
  if (R.startmode == kStartCold) ns = 0;
}

double tvsolf(Context& ctx, int n, int j, int& flag, int& state, CIvec hs, CDvec bl, CDvec bu,
              CDvec rc, CDvec xn) {
  const double tolx = ctx.par.feastol;
  const double tol = ctx.par.opttol * ctx.sav.pinorm;
  const bool feasible = ctx.run.ninf == 0;
  const bool maximize = ctx.par.objsense < 0;

  double d = j <= n ? -rc(j) : rc(j);
  if (feasible && maximize) d = -d;

  state = hs(j);
  if (j > n) {
    if (state == 0) {
      state = 1;
    } else if (state == 1) {
      state = 0;
    }
  }
  const int u = bl(j) == bu(j) ? 4 : state;
  const double x = xn(j);
  double value = 0.0;

  if (state == 0 || state == 1) {
    state = u;
    flag = std::fabs(d) <= tol ? 1 : 0;
    if (x > bl(j) + tolx && x < bu(j) - tolx) {
      state = 5;
      value = std::fabs(d);
    } else if (u == 0) {
      value = d;
    } else if (u == 1) {
      value = -d;
    } else {
      value = tol;
    }
    if (value > tol) flag = 4;
  } else {
    flag = 0;
    if (std::fabs(x - bl(j)) <= tolx || std::fabs(x - bu(j)) <= tolx) flag = 2;
    if (state == 2 && std::fabs(d) > tol) flag = 4;
    if (bl(j) - x > tolx) {
      flag = 3;
      value = bl(j) - x;
    } else if (x - bu(j) > tolx) {
      flag = 3;
      value = x - bu(j);
    } else {
      value = x - bu(j);
    }
    if (!feasible && j == ctx.sav.jpinf) flag = 3;
  }
  if (ctx.sav.inform != 0 && j == ctx.sav.jdinf) flag = 4;
  return value;
}

}  // namespace tv

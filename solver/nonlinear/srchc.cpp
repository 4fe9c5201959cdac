// The step routines of the line search: srchc (cubic interpolation on psi
// and psi') and srchq (parabolic interpolation on psi alone).
//
// Both keep an interval [a, b] known to contain a minimizer once bracketed,
// measured from the best point alfbst, and a second point w (srchq also a
// third point v).  Each call takes the value at the last trial, updates the
// best point, the interval and w (v), tests for termination and chooses the
// next trial: a polynomial step when it falls inside the safe range, else a
// default step (extrapolation, bisection or geometric bisection).  Trials
// never come closer than tol to the best point or to an end of the interval.
#include <algorithm>
#include <cmath>

#include "core/units.h"
#include "nonlinear/srch.h"

namespace tv {

namespace {

const char* tf(bool b) { return b ? "T" : "F"; }

void print_first(Units& u, int iprint, const SearchConsts& c, double alfmax, bool crampd) {
  u.linef(iprint, " g0  tolabs  alfmax        %22.13E%22.13E%16.7E", c.g0, c.tolabs, alfmax);
  u.linef(iprint, " targtg  tolrel  epsaf     %22.13E%22.13E%16.7E", c.targtg, c.tolrel, c.epsaf);
  u.linef(iprint, " crampd                    %s", tf(crampd));
}

struct Flags {
  bool closef = false, found = false, quitI = false, quitFZ = false, quitS = false;
};

void print_state(Units& u, int iprint, const SearchState& st, bool cubic, double tol,
                 const Flags& f) {
  u.linef(iprint, " a  b  b - a  tol          %22.13E%22.13E%16.7E%16.7E", st.alfbst + st.a,
          st.alfbst + st.b, st.b - st.a, tol);
  u.linef(iprint, " nsamea  nsameb  numf      %3d%3d%3d", st.nsamea, st.nsameb, st.numf);
  u.linef(iprint, " braktd  extrap  closef  imprvd %s %s %s %s", tf(st.braktd), tf(st.extrap),
          tf(f.closef), tf(st.imprvd));
  if (cubic) {
    u.linef(iprint, " found  quitI              %s %s", tf(f.found), tf(f.quitI));
    u.linef(iprint, " alfbst  fbest  gbest      %22.13E%22.13E%16.7E", st.alfbst, st.fbest,
            st.gbest);
    u.linef(iprint, " alfaw  fw  gw             %22.13E%22.13E%16.7E", st.alfbst + st.xw, st.fw,
            st.gw);
  } else {
    u.linef(iprint, " found  quitI  quitFZ  quitS  %s %s %s %s", tf(f.found), tf(f.quitI),
            tf(f.quitFZ), tf(f.quitS));
    u.linef(iprint, " alfbst  fbest             %22.13E%22.13E", st.alfbst, st.fbest);
    u.linef(iprint, " alfaw  fw                 %22.13E%22.13E", st.alfbst + st.xw, st.fw);
    if (st.vset)
      u.linef(iprint, " alfav  fv                 %22.13E%22.13E", st.alfbst + st.xv, st.fv);
  }
}

void print_dashes(Units& u, int iprint) { u.line(iprint, " " + std::string(44, '-')); }

// Result code once the search is done (without the srchq-only code 5).
int exit_code(const SearchState& st, bool found, bool quitF, double alfmax) {
  if (found) return st.alfbst >= alfmax ? 2 : 1;
  if (st.moved) return 3;
  if (quitF) return 7;
  if (st.crampd) return 4;
  return 6;
}

// First call: shared set-up.  Returns false when the search ends at once.
bool start(SearchState& st, const SearchConsts& c, double alfmax, double alfa) {
  st.first = false;
  st.done = false;
  st.imprvd = false;
  st.inform = 0;
  st.numf = 0;
  st.alfbst = 0.0;
  st.fbest = 0.0;
  st.gbest = c.g0;
  if (alfmax <= c.tolsml || c.g0 >= 0.0) {
    st.done = true;
    st.inform = 8;
    return false;
  }
  st.braktd = false;
  st.crampd = c.tolabs >= alfmax;
  st.extrap = st.wset = st.vset = st.moved = false;
  st.nsamea = st.nsameb = 0;
  st.tolmax = c.tolabs + c.tolrel * alfmax;
  st.a = 0.0;
  st.b = alfmax + st.tolmax;
  st.fa = 0.0;
  st.factor = 5.0;
  st.xtry = alfa;
  st.xw = st.fw = st.gw = st.xv = st.fv = 0.0;
  return true;
}

// The interval test shared by both routines; may divide tolabs by 10 when
// nothing better has been found yet.
bool interval_test(SearchState& st, SearchConsts& c, double& tol) {
  bool quitI = st.b - st.a <= 2.0 * tol;
  if (quitI && !st.moved) {
    c.tolabs = tol / 10.0;
    tol = tol / 10.0;
    quitI = std::fabs(st.fw) <= c.epsaf || c.tolsml >= tol;
  }
  return quitI;
}

// Accept the polynomial step xw*s/q when it lies in [artmin, artmax].
void accept_poly(SearchState& st, double s, double q, double artmin, double artmax, double tol,
                 bool dbg, Units& u, int iprint) {
  if (q == 0.0) return;
  if (q < 0.0) {
    s = -s;
    q = -q;
  }
  double xs = st.xw * s;
  if (artmin * q <= xs && xs <= artmax * q) {
    st.xtry = std::fabs(xs) < tol * q ? 0.0 : xs / q;
    if (dbg) u.linef(iprint, " Polynomial fit accepted.  xtry =%22.13E", st.xtry);
  }
}

// Safeguards on the next trial; sets alfa.
void safeguard(SearchState& st, double alfmax, double tol, double& alfa) {
  alfa = st.alfbst + st.xtry;
  if (!st.braktd && alfa >= alfmax - st.tolmax) {
    st.braktd = true;
    st.xtry = alfmax - st.alfbst;
    alfa = alfmax;
    return;
  }
  // Never at or beyond an end, and never within tol of the best point: a
  // trial there would repeat the best point (and make xw zero).
  if (st.xtry <= st.a + tol || st.xtry >= st.b - tol || std::fabs(st.xtry) < tol) {
    st.xtry = (st.a + st.b) / 2.0 <= 0.0 ? -tol : tol;
    alfa = st.alfbst + st.xtry;
  }
}

}  // namespace

void srchc(SearchState& st, SearchConsts& c, double alfmax, double ftry, double gtry, double& alfa,
           bool debug, Units& units, int iprint) {
  bool dbg = debug && iprint > 0;
  double tol = c.tolabs;

  if (st.first) {
    bool go = start(st, c, alfmax, alfa);
    if (dbg) print_first(units, iprint, c, alfmax, st.crampd);
    if (!go) return;
  } else {
    if (dbg) units.linef(iprint, " alfa  ftry  gtry          %22.13E%22.13E%16.7E", alfa, ftry, gtry);
    ++st.numf;
    ++st.nsamea;
    ++st.nsameb;
    if (!st.braktd) {
      st.tolmax = c.tolabs + c.tolrel * alfmax;
      st.b = alfmax - st.alfbst + st.tolmax;
    }

    Flags fl;
    fl.closef = std::fabs(ftry - st.fbest) <= c.epsaf;
    st.imprvd = fl.closef ? std::fabs(gtry) <= std::fabs(st.gbest) : ftry < st.fbest;
    if (st.imprvd) {
      // The trial is the new best point; the old best becomes w.
      st.fw = st.fbest;
      st.fbest = ftry;
      st.gw = st.gbest;
      st.gbest = gtry;
      st.alfbst = alfa;
      st.moved = true;
      st.a -= st.xtry;
      st.b -= st.xtry;
      st.xw = -st.xtry;
      st.wset = true;
      if (st.xw < 0.0 && gtry < 0.0) {
        st.extrap = true;
        st.a = 0.0;
        st.nsamea = 0;
      } else {
        st.extrap = st.xw > 0.0 && gtry > 0.0;
        if (gtry <= 0.0) {
          st.a = 0.0;
          st.nsamea = 0;
        } else {
          st.b = 0.0;
          st.nsameb = 0;
          st.braktd = true;
        }
      }
    } else {
      // The trial becomes an end of the interval.
      if (st.xtry <= 0.0) {
        st.a = st.xtry;
        st.nsamea = 0;
      } else {
        st.b = st.xtry;
        st.nsameb = 0;
        st.braktd = true;
      }
      if (!st.wset || st.fw > ftry || !st.extrap) {
        st.xw = st.xtry;
        st.fw = ftry;
        st.gw = gtry;
        st.wset = true;
        st.extrap = false;
      }
    }

    tol = c.tolabs + c.tolrel * st.alfbst;
    fl.found = std::fabs(st.gbest) <= c.targtg;
    bool quitF = st.numf >= c.maxf;
    fl.quitI = interval_test(st, c, tol);
    st.done = fl.quitI || quitF || fl.found;
    if (dbg) print_state(units, iprint, st, true, tol, fl);
    if (st.done) {
      st.inform = exit_code(st, fl.found, quitF, alfmax);
      if (dbg) print_dashes(units, iprint);
      return;
    }

    // Polynomial step from the best point and w.
    double s = 0.0, q = 0.0;
    if (fl.closef) {
      s = st.gbest;
      q = st.gbest - st.gw;
      if (dbg) units.line(iprint, " Parabola.");
    } else {
      if (dbg) units.line(iprint, " Cubic.   ");
      double z = 3.0 * (st.fbest - st.fw) / st.xw + st.gbest + st.gw;
      double r = std::sqrt(std::fabs(st.gbest)) * std::sqrt(std::fabs(st.gw));
      double disc = 0.0;
      bool have = true;
      if ((st.gbest < 0.0) != (st.gw < 0.0)) {
        // sqrt(z^2 + r^2) without overflow.
        double t = std::fabs(z) + r;
        if (t > 0.0) disc = t * std::sqrt((z / t) * (z / t) + (r / t) * (r / t));
      } else if (std::fabs(z) < r) {
        have = false;
      } else {
        disc = std::sqrt(std::fabs(z) + r) * std::sqrt(std::fabs(z) - r);
      }
      if (have) {
        if (st.xw < 0.0) disc = -disc;
        s = st.gbest - z - disc;
        q = st.gbest - st.gw - 2.0 * disc;
      }
    }

    // Default step and the range a polynomial step must fall in.
    double artmin = st.a, artmax = st.b;
    if (!st.braktd) {
      st.xtry = -st.factor * st.xw;
      artmax = st.xtry;
      if (st.alfbst + st.xtry < alfmax) st.factor *= 5.0;
    } else if (st.extrap) {
      double daux = std::fabs(st.xw), dtry = st.b - st.a;
      if (daux >= dtry)
        st.xtry = daux > 0.0 ? 5.0 * dtry * (0.1 + dtry / daux) / 11.0 : 0.0;
      else
        st.xtry = 0.5 * std::sqrt(daux) * std::sqrt(dtry);
      if (st.xw > 0.0) st.xtry = -st.xtry;
      if (dbg)
        units.linef(iprint, " Geo. bisection. xtry,daux,dtry%22.13E%22.13E%16.7E", st.xtry, daux,
                    dtry);
      if (st.xtry <= 0.0)
        artmin = st.xtry;
      else
        artmax = st.xtry;
    } else {
      st.xtry = (st.a + st.b) / 2.0;
      if (dbg) units.linef(iprint, " Bisection.              xmidpt =%22.13E", st.xtry);
      if (st.nsamea > 2 || st.nsameb > 2) {
        st.factor /= 5.0;
        s *= st.factor;
      } else {
        st.factor = 1.0;
      }
    }
    accept_poly(st, s, q, artmin, artmax, tol, dbg, units, iprint);
  }

  safeguard(st, alfmax, tol, alfa);
  if (dbg) print_dashes(units, iprint);
}

void srchq(SearchState& st, SearchConsts& c, double alfmax, double ftry, double& alfa, bool debug,
           Units& units, int iprint) {
  bool dbg = debug && iprint > 0;
  double tol = c.tolabs;

  if (st.first) {
    bool go = start(st, c, alfmax, alfa);
    if (dbg) print_first(units, iprint, c, alfmax, st.crampd);
    if (!go) return;
  } else {
    if (dbg) units.linef(iprint, " alfa  ftry                %22.13E%22.13E", alfa, ftry);
    ++st.numf;
    ++st.nsamea;
    ++st.nsameb;
    if (!st.braktd) {
      st.tolmax = c.tolabs + c.tolrel * alfmax;
      st.b = alfmax - st.alfbst + st.tolmax;
    }

    Flags fl;
    st.imprvd = ftry < st.fbest;
    if (st.vset && !st.imprvd) {
      // Three points within the function's precision: nothing more to learn.
      fl.closef = std::fabs(st.fbest - st.fv) <= c.epsaf;
      fl.quitFZ = fl.closef && ftry - st.fbest < c.epsaf;
    }
    // Whether x lies between the best point (excluded) and w (included).
    auto toward_w = [&st](double x) {
      return st.xw > 0.0 ? (x > 0.0 && x <= st.xw) : (x < 0.0 && x >= st.xw);
    };

    if (st.imprvd) {
      double fold = st.fbest;
      bool outside = !st.wset || st.xtry < std::min(0.0, st.xw) || st.xtry > std::max(0.0, st.xw);
      if (st.wset) {
        st.xv = st.xw - st.xtry;
        st.fv = st.fw;
        st.vset = true;
      }
      st.xw = -st.xtry;
      st.fw = fold;
      st.wset = true;
      st.fbest = ftry;
      st.alfbst = alfa;
      st.moved = true;
      st.a -= st.xtry;
      st.b -= st.xtry;
      if (st.xtry >= 0.0) {
        st.a = -st.xtry;
        st.fa = fold;
        st.nsamea = 0;
      } else {
        st.b = -st.xtry;
        st.nsameb = 0;
        st.braktd = true;
      }
      st.extrap = outside;
    } else {
      if (st.xtry < 0.0) {
        st.a = st.xtry;
        st.fa = ftry;
        st.nsamea = 0;
      } else {
        st.b = st.xtry;
        st.nsameb = 0;
        st.braktd = true;
      }
      if (!st.wset) {
        st.xw = st.xtry;
        st.fw = ftry;
        st.wset = true;
      } else if (st.fw > ftry) {
        bool inside = toward_w(st.xtry);
        st.xv = st.xw;
        st.fv = st.fw;
        st.vset = true;
        st.xw = st.xtry;
        st.fw = ftry;
        if (st.moved) st.extrap = inside;
      } else if (!st.moved) {
        st.xw = st.xtry;
        st.fw = ftry;
      } else if (st.vset) {
        if (st.fv > ftry || !st.extrap) {
          if (toward_w(st.xtry)) {
            st.xw = st.xv;
            st.fw = st.fv;
          }
          st.xv = st.xtry;
          st.fv = ftry;
        }
      } else {
        st.xv = st.xtry;
        st.fv = ftry;
        st.vset = true;
      }
    }

    tol = c.tolabs + c.tolrel * st.alfbst;
    fl.found = st.moved && std::fabs(st.fa - st.fbest) <= -st.a * c.targtg;
    bool quitF = st.numf >= c.maxf;
    fl.quitI = interval_test(st, c, tol);
    fl.quitS = st.alfbst + st.b <= c.alfmin;
    st.done = quitF || fl.quitFZ || fl.quitS || fl.found || fl.quitI;
    if (dbg) print_state(units, iprint, st, false, tol, fl);
    if (st.done) {
      st.inform = fl.quitS ? 5 : exit_code(st, fl.found, quitF, alfmax);
      if (dbg) print_dashes(units, iprint);
      return;
    }

    // Parabola through the best point and w, and v or the slope at 0.
    double s, q;
    double dw = (st.fw - st.fbest) / st.xw;
    if (st.vset && st.moved) {
      double dv = (st.fv - st.fbest) / st.xv;
      s = dv - (st.xv / st.xw) * dw;
      q = 2.0 * (dv - dw);
      if (dbg) units.line(iprint, " Parabolic fit,  three points. ");
    } else {
      s = st.moved ? c.g0 - 2.0 * dw : c.g0;
      q = 2.0 * (c.g0 - dw);
      if (dbg) units.line(iprint, " Parabolic fit,    two points. ");
    }

    double artmin = st.a, artmax = st.b;
    if (!st.braktd) {
      st.xtry = -st.factor * st.xw;
      artmax = st.xtry;
      if (st.alfbst + st.xtry < alfmax) st.factor *= 5.0;
    } else if (!(st.vset && st.moved)) {
      st.xtry = st.extrap ? -st.xw : st.xw / 10.0;
      if (dbg) units.linef(iprint, " Exponent reduced.  Trial point%22.13E", st.alfbst + st.xtry);
    } else {
      // Geometric bisection towards the end e.
      double e;
      if (st.extrap) {
        e = st.xw < 0.0 ? st.b : st.a;
      } else if (st.nsamea > 2 || st.nsameb > 2) {
        st.factor /= 5.0;
        s *= st.factor;
        e = st.nsameb > 2 ? st.b : st.a;
      } else {
        st.factor = 1.0;
        e = (st.a + st.b) / 2.0 > 0.0 ? st.b : st.a;
      }
      double daux = std::fabs(e), dtry = st.b - st.a - daux;
      double x;
      if (daux <= dtry)
        x = dtry > 0.0 ? 5.0 * daux * (0.1 + daux / dtry) / 11.0 : 0.0;
      else
        x = 0.5 * std::sqrt(dtry) * std::sqrt(daux);
      st.xtry = e < 0.0 ? -x : x;
      if (dbg)
        units.linef(iprint, " Geo. bisection. xtry,daux,dtry%22.13E%22.13E%16.7E", st.xtry, daux,
                    dtry);
      if (st.extrap) {
        if (st.xtry <= 0.0)
          artmin = st.xtry;
        else
          artmax = st.xtry;
      }
    }
    accept_poly(st, s, q, artmin, artmax, tol, dbg, units, iprint);
  }

  safeguard(st, alfmax, tol, alfa);
  if (dbg) print_dashes(units, iprint);
}

}  // namespace tv

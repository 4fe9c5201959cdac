// One call of the objective callback (m6fobj) and the helpers it shares with
// the constraint side: the gdummy fill, the gradient scaling, the failed-call
// rules.
#include "nonlinear/eval_calls.h"

namespace tv {

void Evaluator::page() const {
  if (!io) return;
  if (page_ejects) io->line(prtfile, "1");
  io->line(prtfile, "");
  io->line(sumfile, "");
}

void m6start(Evaluator& ev) {
  ev.obj = CallCounts{};
  ev.con = CallCounts{};
  ev.nstate_obj = 1;
  ev.nstate_con = 1;
  ev.nsetobj = 0;
  ev.nsetcon = 0;
  ev.jac_unknown = false;
  ev.difmode = 1;
  ev.ierr = 0;
  ev.said_nan_obj = false;
  ev.said_nan_con = false;
}

void m6dmmy(int n, Dvec g, double gdummy) {
  for (int j = 1; j <= n; ++j) g(j) = gdummy;
}

void m7sclg(int nnobj, Dvec gobj, CDvec scales, double gdummy) {
  for (int j = 1; j <= nnobj; ++j) {
    if (gobj(j) != gdummy) gobj(j) *= scales(j);
  }
}

namespace detail {

bool call_failed(Evaluator& ev, int mode, bool objective) {
  if (mode >= 0) return false;
  if (mode == -1) {
    ev.ierr = -1;
    return true;
  }
  ev.ierr = 6;
  ev.page();
  if (objective) {
    ev.both(strf(" EXIT -- Termination requested by User in subroutine funobj after%8d  calls",
                 ev.obj.calls));
  } else {
    ev.both(" EXIT -- Termination requested by User in subroutine funcon");
  }
  return true;
}

void not_finite(Evaluator& ev, bool objective) {
  ev.ierr = -1;
  bool& said = objective ? ev.said_nan_obj : ev.said_nan_con;
  if (said) return;
  said = true;
  ev.prt(std::string(" XXX  ") + (objective ? "funobj" : "funcon") +
         " returned a value that is NaN or infinite: treated as undefined (mode = -1)");
}

void no_callback(Evaluator& ev, bool objective) {
  ev.ierr = 6;
  ev.page();
  ev.both(std::string(" EXIT -- subroutine ") + (objective ? "funobj" : "funcon") +
          " has not been supplied");
}

}  // namespace detail

namespace {

int call_funobj(Evaluator& ev, int mode, int nnobj, double* x, double& fobj, double* gobj) {
  int m = mode, nn = nnobj, nstate = ev.nstate_obj, nprob = ev.probnum, nw = ev.nuwork;
  detail::CallArray xa(x, nnobj), ga(gobj, nnobj), za(ev.uwork, ev.nuwork);
  ev.funobj(&m, &nn, xa.get(), &fobj, ga.get(), &nstate, &nprob, za.get(), &nw);
  return m;
}

}  // namespace

void m6fobj(Evaluator& ev, int mode, int nnobj, double& fobj, Dvec gobj, Dvec x) {
  if (!ev.funobj) {
    detail::no_callback(ev, true);
    return;
  }
  detail::ClockRun clock(ev, 5);
  const int nstate = ev.nstate_obj;
  const bool first = nstate == 1;
  // The first call always asks for gradients: it is where the entries the
  // callback supplies are counted.
  if (first) mode = 2;
  ev.obj.calls += 1;
  if (mode == 2) ev.obj.mode2 += 1;

  Dvec xv = x.head(nnobj);
  Dvec gv = gobj.head(nnobj);
  if (first) {
    m6dmmy(nnobj, gv, ev.gdummy);
  } else if (nstate >= 2) {
    ev.both("");
    ev.both(strf(" funobj called with nstate =%4d", nstate));
  }

  // With Scale option 2 the callback sees the unscaled variables; x is
  // restored from the copy, bit for bit.
  const bool scaled = ev.scaleopt >= 2;
  int rmode;
  if (scaled) {
    Dvec xs = ev.xsave.head(nnobj);
    for (int j = 1; j <= nnobj; ++j) {
      xs(j) = xv(j);
      xv(j) *= ev.scales(j);
    }
    rmode = call_funobj(ev, mode, nnobj, xv.data(), fobj, gv.data());
    for (int j = 1; j <= nnobj; ++j) xv(j) = xs(j);
  } else {
    rmode = call_funobj(ev, mode, nnobj, xv.data(), fobj, gv.data());
  }
  if (nstate >= 2) ev.nstate_obj = 0;
  if (detail::call_failed(ev, rmode, true)) return;

  if (first) {
    // Entries left at gdummy are unknown.  A NaN differs from gdummy: the
    // callback wrote it, so it counts as set (the point is then undefined,
    // below, but the count stands for the rest of the run).
    ev.nstate_obj = 0;
    int nset = 0;
    for (int j = 1; j <= nnobj; ++j) {
      if (gv(j) != ev.gdummy) ++nset;
    }
    ev.nsetobj = nset;
    ev.both(strf(" funobj  sets%8d   out of%8d   objective  gradients.", nset, nnobj));
    if (nset < nnobj && (ev.derlevel == 1 || ev.derlevel == 3)) {
      ev.derlevel -= 1;
      ev.both("");
      ev.both(strf(" Derivative Level  now reduced to%3d", ev.derlevel));
    }
  }

  bool ok = detail::finite(fobj);
  if (mode == 2) {
    for (int j = 1; ok && j <= nnobj; ++j) {
      if (gv(j) != ev.gdummy && !detail::finite(gv(j))) ok = false;
    }
  }
  if (!ok) {
    detail::not_finite(ev, true);
    return;
  }
  if (scaled && mode == 2 && ev.nsetobj > 0) m7sclg(nnobj, gv, ev.scales, ev.gdummy);
}

}  // namespace tv

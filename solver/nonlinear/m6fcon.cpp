// One call of the constraint callback (m6fcon), the Jacobian scaling and the
// check for Jacobian entries that nobody supplies.
#include "nonlinear/eval_calls.h"

namespace tv {

void m8sclj(int nncon, int nnjac, int n, CIvec ha, CIvec ka, CDvec scales, Dvec gcon,
            double gdummy) {
  int l = 0;
  for (int j = 1; j <= nnjac; ++j) {
    const double cscale = scales(j);
    jac_column(j, nncon, ha, ka, l, [&](int, int l1, int i) {
      if (gcon(l1) != gdummy) gcon(l1) = cscale * gcon(l1) / scales(n + i);
    });
  }
}

int m6gunk(Evaluator& ev, int njac, CDvec gcon) {
  int nunk = 0;
  for (int l = 1; l <= njac; ++l) {
    if (gcon(l) == ev.gdummy) ++nunk;
  }
  // At levels 0 and 1 unknown entries are expected and estimated anyway.
  if (nunk > 0 && ev.derlevel >= 2 && !ev.jac_unknown) {
    ev.jac_unknown = true;
    ev.prt(strf(" XXX  funcon did not set%8d  constraint gradients: they will be estimated by differences.",
                nunk));
  }
  return nunk;
}

namespace {

int call_funcon(Evaluator& ev, int mode, int nncon, int nnjac, int njac, double* x, double* fcon,
                double* gcon) {
  int m = mode, nc = nncon, nj = nnjac, nz = njac, nstate = ev.nstate_con, nprob = ev.probnum,
      nw = ev.nuwork;
  detail::CallArray xa(x, nnjac), fa(fcon, nncon), ga(gcon, njac), za(ev.uwork, ev.nuwork);
  ev.funcon(&m, &nc, &nj, &nz, xa.get(), fa.get(), ga.get(), &nstate, &nprob, za.get(), &nw);
  return m;
}

// The call with everything around it: the unknown marks, unscaled x, the
// count of supplied entries after the first call, the finiteness test, the
// scaling of the results.  `first`: this is the run's first call (gcon
// already holds gdummy everywhere).
void evaluate(Evaluator& ev, int mode, bool first, int nncon, int nnjac, int njac, CIvec ha,
              CIvec ka, Dvec xv, Dvec fv, Dvec gv) {
  // While some entries are unknown at level 2 or 3, give them the marker
  // again before the callback fills in the others; entries that the first
  // call supplied and later calls leave alone keep their first values.
  if (mode == 2 && !first && ev.derlevel >= 2 && ev.nsetcon < njac) {
    if (ev.gconkeep.size() >= njac) {
      for (int l = 1; l <= njac; ++l) gv(l) = ev.gconkeep(l);
    } else {
      m6dmmy(njac, gv, ev.gdummy);
    }
  }

  const bool scaled = ev.scaleopt >= 2;
  int rmode;
  if (scaled) {
    Dvec xs = ev.xsave.head(nnjac);
    for (int j = 1; j <= nnjac; ++j) {
      xs(j) = xv(j);
      xv(j) *= ev.scales(j);
    }
    rmode = call_funcon(ev, mode, nncon, nnjac, njac, xv.data(), fv.data(), gv.data());
    for (int j = 1; j <= nnjac; ++j) xv(j) = xs(j);
  } else {
    rmode = call_funcon(ev, mode, nncon, nnjac, njac, xv.data(), fv.data(), gv.data());
  }
  if (detail::call_failed(ev, rmode, false)) return;

  if (first) {
    ev.nstate_con = 0;
    int nset = 0;
    for (int l = 1; l <= njac; ++l) {
      if (gv(l) != ev.gdummy) ++nset;
    }
    ev.nsetcon = nset;
    ev.both(strf(" funcon  sets%8d   out of%8d   constraint gradients.", nset, njac));
    // Some entries are missing: at levels 2 and 3 keep the pattern as the
    // callback returned it (unscaled), to restore the marks before every
    // later call.
    if (nset < njac && ev.derlevel >= 2 && ev.gconkeep.size() >= njac) {
      for (int l = 1; l <= njac; ++l) ev.gconkeep(l) = gv(l);
    }
  }

  bool ok = true;
  for (int i = 1; ok && i <= nncon; ++i) ok = detail::finite(fv(i));
  if (mode == 2) {
    for (int l = 1; ok && l <= njac; ++l) {
      if (gv(l) != ev.gdummy && !detail::finite(gv(l))) ok = false;
    }
  }
  if (!ok) {
    detail::not_finite(ev, false);
    return;
  }

  if (scaled) {
    for (int i = 1; i <= nncon; ++i) fv(i) /= ev.scales(ev.n + i);
    if (mode == 2 && ev.nsetcon > 0) m8sclj(nncon, nnjac, ev.n, ha, ka, ev.scales, gv, ev.gdummy);
  }
  if (mode == 2) m6gunk(ev, njac, gv);
}

}  // namespace

void m6fcon(Evaluator& ev, int mode, int nncon, int nnjac, int njac, CIvec ha, CIvec ka, Dvec x,
            Dvec fcon, Dvec gcon) {
  if (!ev.funcon) {
    detail::no_callback(ev, false);
    return;
  }
  detail::ClockRun clock(ev, 4);
  Dvec xv = x.head(nnjac);
  Dvec fv = fcon.head(nncon);
  Dvec gv = gcon.head(njac);
  const int nstate = ev.nstate_con;

  if (nstate == 1) {
    // First call of the run: always with gradients, every entry marked, so
    // that the entries the callback supplies can be counted.
    ev.con.calls += 1;
    ev.con.mode2 += 1;
    m6dmmy(njac, gv, ev.gdummy);
    evaluate(ev, 2, true, nncon, nnjac, njac, ha, ka, xv, fv, gv);
    if (ev.ierr != 0 || ev.nsetcon == njac) return;
    // Some entries are missing: evaluate once more at the same point as an
    // ordinary call.
    ev.con.calls += 1;
    ev.con.mode2 += 1;
    evaluate(ev, 2, false, nncon, nnjac, njac, ha, ka, xv, fv, gv);
    return;
  }

  ev.con.calls += 1;
  if (mode == 2) ev.con.mode2 += 1;
  if (nstate >= 2) {
    ev.both("");
    ev.both(strf(" funcon called with nstate =%4d", nstate));
  }
  evaluate(ev, mode, false, nncon, nnjac, njac, ha, ka, xv, fv, gv);
  if (nstate >= 2) ev.nstate_con = 0;
}

}  // namespace tv

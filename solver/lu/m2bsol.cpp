// m2bsol: factorize, solve and update requests; the LU arrays in the
// workspace; extraction of the basis (m2belm); basis re-choice (m2newb);
// singular-basis repair (m2sing).
#include "lu/m2bsol.h"

#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "lu/basis_state.h"
#include "options/params.h"

namespace tv {

LuArrays lu_arrays(Context& ctx, int nrows, int ncols) {
  const LuMap& L = ctx.bas.map;
  const Workspace& ws = ctx.ws;
  Ivec ints = ws.ivec(L.ints, L.nints);
  LuArrays f;
  f.a = ws.dvec(L.la, L.lena);
  f.indc = ws.ivec(L.lindc, L.lena);
  f.indr = ws.ivec(L.lindr, L.lena);
  f.iperm = ints.sub(static_cast<int>(L.oiperm), nrows);
  f.jperm = ints.sub(static_cast<int>(L.ojperm), ncols);
  f.lencol = ints.sub(static_cast<int>(L.olencol), ncols);
  f.lenrow = ints.sub(static_cast<int>(L.olenrow), nrows);
  f.loccol = ints.sub(static_cast<int>(L.oloccol), ncols);
  f.locrow = ints.sub(static_cast<int>(L.olocrow), nrows);
  f.ibucket = ints.sub(static_cast<int>(L.oibucket), ncols);
  f.jbucket = ints.sub(static_cast<int>(L.ojbucket), nrows);
  // The three work arrays follow the part of jbucket in use.
  int o = static_cast<int>(L.ojbucket) + nrows;
  f.jlist = ints.sub(o, ncols);
  o += ncols;
  f.jmark = ints.sub(o, ncols);
  o += ncols;
  f.imark = ints.sub(o, nrows);
  // wcol lives in y; iinv and jinv get y2 only while lu1fac runs.
  f.wcol = ws.dvec(ctx.part.y).head(ncols);
  return f;
}

void basis_manager_start(Context& ctx) {
  ctx.bas.nfactor = 0;
  ctx.bas.nbfac = 0;
  ctx.bas.umin = 0.0;
  ctx.bas.demand = kDemandNone;
  ctx.bas.nupd = 0;
  ctx.bas.ierr = 0;
  ctx.bas.uindex = LuColIndex();  // every solve builds its own (and allocates the same)
}

namespace {

void lu_stats(Context& ctx) {
  Ivec ip = ctx.par.luipar();
  ctx.bas.lenl = ip(lup::lenl);
  ctx.bas.lenu = ip(lup::lenu);
  ctx.bas.ncp = ip(lup::ncp);
  ctx.bas.rowend = ip(lup::lrow);
}

void lu_print_settings(Context& ctx) {
  Params& p = ctx.par;
  Ivec ip = p.luipar();
  Dvec rp = p.lurpar();
  ip(lup::nout) = p.prtfile;
  if (p.prtfile <= 0) {
    ip(lup::lprint) = -1;
  } else if (p.dbglevel == 50) {
    ip(lup::lprint) = 50;
  } else {
    ip(lup::lprint) = (p.prtlevel % 10 > 0) ? 10 : 0;
  }
  ip(lup::maxcol) = 5;
  rp(lur::small) = p.mc.eps080;
  rp(lur::uspace) = 3.0;
  rp(lur::dens1) = 0.3;
}

// Factorize the entry list with nrows rows and m columns.
int factorize(Context& ctx, int nrows, bool keep) {
  Params& p = ctx.par;
  LuMap& L = ctx.bas.map;
  const int m = L.m;
  lu_print_settings(ctx);
  Ivec ip = p.luipar();
  ip(lup::keeplu) = keep ? 1 : 0;
  LuArrays f = lu_arrays(ctx, nrows, m);
  // iinv (nrows) and jinv (m) together in y2, switched to integers for the call.
  Ivec iv = ctx.ws.as_ints(ctx.part.y2);
  f.iinv = iv.head(nrows);
  f.jinv = iv.sub(nrows + 1, m);
  int nent = L.nent;
  int inform = 0;
  lu1fac(ctx.io, nrows, m, nent, L.lena, ip, p.lurpar(), f, inform);
  ctx.ws.as_doubles(ctx.part.y2);
  // The column index describes factors of B only, and is worth keeping up
  // through the updates only while the solves' results are sparse.
  LuColIndex& cx = ctx.bas.uindex;
  cx.valid = false;
  if (keep && nrows == m && (inform == 0 || inform == 1) && std::min(cx.density, cx.tdensity) < 0.2) {
    lu_index_build(m, m, ip, f, cx);
  }
  ctx.bas.lenneed = ip(lup::lenneed);
  lu_stats(ctx);
  return inform;
}

// Growth in the factors: stronger pivoting from the next factorization on.
void growth_reaction(Context& ctx) {
  Params& p = ctx.par;
  Dvec rp = p.lurpar();
  Ivec ip = p.luipar();
  if (rp(lur::growth) * p.mc.eps050 < 1.0) return;
  auto say = [&](const std::string& s) {
    ctx.both("");
    ctx.both(s);
  };
  if (ip(lup::pivot) == lu_partial) {
    ip(lup::pivot) = lu_rook;
    rp(lur::ltol1) = std::min(rp(lur::ltol1), 10.0);
    say(strf(" LU Rook Pivoting invoked.  LU Factor tol =%10.2f", rp(lur::ltol1)));
  } else if (rp(lur::ltol1) >= 2.0) {
    rp(lur::ltol1) = std::sqrt(rp(lur::ltol1));
    say(strf(" LU Factor tol reduced to%10.2f", rp(lur::ltol1)));
  }
  if (rp(lur::ltol1) < rp(lur::ltol2)) {
    rp(lur::ltol2) = rp(lur::ltol1);
    say(strf(" LU Update tol reduced to%10.2f", rp(lur::ltol2)));
  }
}

}  // namespace

int m2bsol(Context& ctx, int request, Dvec v, Dvec w, int jrep, int ns) {
  Params& p = ctx.par;
  LuMap& L = ctx.bas.map;
  const int m = L.m;
  Ivec ip = p.luipar();
  Dvec rp = p.lurpar();
  int inform = 0;
  switch (request) {
    case kFactorB: {
      inform = factorize(ctx, m, true);
      if (inform == 0) growth_reaction(ctx);
      break;
    }
    case kSolveL: {
      LuArrays f = lu_arrays(ctx, m, m);
      lu6sol(1, m, m, v.head(m), v.head(m), L.lena, ip, rp, f, inform);
      break;
    }
    case kFtran: {
      double vmax = 0.0;
      for (int i = 1; i <= m; ++i) vmax = std::max(vmax, std::fabs(v(i)));
      inform = m2ftran(ctx, v, w, vmax);
      break;
    }
    case kBtran: {
      LuArrays f = lu_arrays(ctx, m, m);
      lu6sol(6, m, m, w.head(m), v.head(m), L.lena, ip, rp, f, inform, &ctx.bas.uindex);
      break;
    }
    case kReplace: {
      LuArrays f = lu_arrays(ctx, m, m);
      double diag = 0.0, vnorm = 0.0;
      lu8rpc(ctx.io, 1, 2, m, m, jrep, v.head(m), v.head(m), L.lena, ip, rp, f, inform, diag, vnorm,
             &ctx.bas.uindex);
      ctx.bas.nupd += 1;
      if (inform != 0) ctx.bas.demand = kDemandUpdateFailed;
      lu_stats(ctx);
      break;
    }
    case kFactorBS: {
      const double ltol = rp(lur::ltol1);
      rp(lur::ltol1) = 1.9;
      lu_print_settings(ctx);
      const bool stats = ip(lup::nout) > 0 && ip(lup::lprint) >= 10;
      if (stats) ctx.prt(" ");
      inform = factorize(ctx, m + ns, false);
      if (stats) ctx.prt(" ");
      rp(lur::ltol1) = ltol;
      break;
    }
    default:
      break;
  }
  return inform;
}

int m2ftran(Context& ctx, Dvec v, Dvec w, double vmax) {
  Params& p = ctx.par;
  const LuMap& L = ctx.bas.map;
  const int m = L.m;
  Ivec ip = p.luipar();
  Dvec rp = p.lurpar();
  LuArrays f = lu_arrays(ctx, m, m);
  Dvec vv = v.head(m);
  int inform = 0;
  // Relative drop tolerance for the L solve only.
  const double small = rp(lur::small);
  rp(lur::small) = small * vmax;
  lu6sol(1, m, m, vv, vv, L.lena, ip, rp, f, inform);
  rp(lur::small) = small;
  lu6sol(3, m, m, vv, w.head(m), L.lena, ip, rp, f, inform, &ctx.bas.uindex);
  return inform;
}

int m2belm(Context& ctx, bool bs, const Problem& P, CIvec kbs, int ns) {
  LuMap& L = ctx.bas.map;
  const int m = L.m, n = P.n;
  const int lena = L.lena;
  const int nrows = bs ? m + ns : m;
  LuArrays f = lu_arrays(ctx, nrows, m);
  int nent = 0;
  auto put = [&](double v, int i, int j) {
    ++nent;
    if (nent <= lena) {
      f.a(nent) = v;
      f.indc(nent) = i;
      f.indr(nent) = j;
    }
  };
  if (!bs) {
    for (int i = 1; i <= m; ++i) {
      const int jq = kbs(i);
      if (jq <= 0) continue;
      if (jq > n) {
        put(1.0, jq - n, i);
      } else {
        for (int l = P.ka(jq); l < P.ka(jq + 1); ++l) put(P.a(l), P.ha(l), i);
      }
    }
  } else {
    // Rows whose slack is listed take only the slack's entry.
    Ivec mark = f.imark.head(m);
    for (int r = 1; r <= m; ++r) mark(r) = 0;
    for (int i = 1; i <= nrows; ++i) {
      if (kbs(i) > n) mark(kbs(i) - n) = 1;
    }
    for (int i = 1; i <= nrows; ++i) {
      const int jq = kbs(i);
      if (jq <= 0) continue;
      if (jq > n) {
        put(1.0, i, jq - n);
      } else {
        for (int l = P.ka(jq); l < P.ka(jq + 1); ++l) {
          if (mark(P.ha(l)) == 0) put(P.a(l), i, P.ha(l));
        }
      }
    }
  }
  L.nent = nent;
  return nent;
}

int m2newb(Context& ctx, Problem& P, int ns) {
  const int m = ctx.bas.map.m;
  const int nbs1 = m + ns;
  Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
  LuArrays f = lu_arrays(ctx, nbs1, m);
  Ivec iperm = f.iperm;
  int nexch = 0;
  for (int k = m + 1; k <= nbs1; ++k) {
    if (P.hs(kbs(iperm(k))) != kHsSuper) ++nexch;
  }
  if (nexch == 0) return 0;  // same sets: the superbasic order stays
  // Apply new kbs(k) = old kbs(iperm(k)) in place by following the cycles of
  // iperm (visited entries are marked negative, then restored).
  for (int k = 1; k <= nbs1; ++k) {
    if (iperm(k) < 0) continue;
    const int first = kbs(k);
    int cur = k;
    for (;;) {
      const int next = iperm(cur);
      iperm(cur) = -next;
      if (next == k) {
        kbs(cur) = first;
        break;
      }
      kbs(cur) = kbs(next);
      cur = next;
    }
  }
  for (int k = 1; k <= nbs1; ++k) iperm(k) = -iperm(k);
  for (int k = 1; k <= m; ++k) P.hs(kbs(k)) = kHsBasic;
  for (int k = m + 1; k <= nbs1; ++k) P.hs(kbs(k)) = kHsSuper;
  return nexch;
}

int m2sing(Context& ctx, Problem& P) {
  const int m = ctx.bas.map.m, n = P.n;
  Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
  LuArrays f = lu_arrays(ctx, m, m);
  const bool print = ctx.par.luipar()(lup::lprint) >= 10;
  int nsing = 0;
  for (int k = 1; k <= m; ++k) {
    const int j = f.jperm(k);
    if (f.wcol(j) > 0.0) continue;
    const int jq = kbs(j);
    if (jq > 0) {
      if (P.xn(jq) <= P.bl(jq)) {
        P.xn(jq) = P.bl(jq);
        P.hs(jq) = kHsLower;
      } else if (P.xn(jq) >= P.bu(jq)) {
        P.xn(jq) = P.bu(jq);
        P.hs(jq) = kHsUpper;
      } else {
        P.hs(jq) = kHsBetween;
      }
      if (P.bl(jq) == P.bu(jq)) P.hs(jq) = kHsFixed;
    }
    const int row = f.iperm(k);
    P.hs(n + row) = kHsBasic;
    ++nsing;
    if (print && nsing <= 5) ctx.both(strf(" Column%7d  replaced by slack%7d", jq, row));
  }
  if (print && nsing > 5) ctx.both(strf(" and so on.  Total slacks inserted =%6d", nsing));
  return nsing;
}

}  // namespace tv

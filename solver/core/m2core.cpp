// m2core: the regions of the workspace, and the estimate tvcore.
#include "core/m2core.h"

#include <algorithm>

namespace tv {

namespace {

// Place a region of `len` entries at word `next` and advance `next`.
Region place(int64_t& next, int64_t len, bool is_int) {
  Region r;
  r.len = static_cast<int32_t>(len);
  r.is_int = is_int;
  r.words = len <= 0 ? 0 : (is_int ? int_words(len) : len);
  r.start = next;
  next += r.words;
  return r;
}

}  // namespace

int64_t m2core(const CoreSizes& s, Partition& P) {
  const int64_t m = s.m;
  const int64_t n = s.n;
  const int64_t nb = n + m;
  const int64_t nncon = s.nncon, nnobj = s.nnobj, nnjac = s.nnjac;
  const int64_t nnl = std::max(nnobj, nnjac);

  // A Hessian dimension of 0 (set by the user) leaves R a diagonal only.
  const int64_t maxs = std::max(s.maxs, 1);
  const int64_t hdim = std::min<int64_t>(std::max(s.hdim, 0), maxs);
  const int64_t nbs = m + maxs;
  const int64_t lenr = hdim * (hdim + 1) / 2 + (maxs - hdim);
  const int64_t nscale = s.scaleopt != 0 ? nb : 1;
  const int64_t nx = std::max(nbs, nnl);
  const int64_t njac = std::max(s.njac, 1);

  P.nbs = static_cast<int>(nbs);
  P.maxs = static_cast<int>(maxs);
  P.hdim = static_cast<int>(hdim);
  P.lenr = static_cast<int>(std::min<int64_t>(lenr, INT32_MAX));
  P.nscale = static_cast<int>(nscale);
  P.nx = static_cast<int>(nx);
  P.njac = static_cast<int>(njac);

  int64_t next = 1;
  P.user = place(next, std::max(s.wsuser, 0), false);
  P.bsfeas = place(next, nbs, true);
  P.kbs = place(next, nbs, true);
  P.scales = place(next, nscale, false);
  P.work = place(next, nx, false);
  P.xbs = place(next, nx, false);
  P.xsave = place(next, s.scaleopt >= 2 ? nnl : 0, false);
  P.y = place(next, nx, false);
  P.y2 = place(next, nx, false);
  P.gsub = place(next, nnl, false);
  P.gkept = place(next, nbs, false);
  P.hess = place(next, lenr, false);
  P.rg = place(next, maxs, false);
  P.rg2 = place(next, maxs, false);
  P.gobj = place(next, nnobj, false);
  P.gobj2 = place(next, nnobj, false);
  P.fcon6 = place(next, 6 * nncon, false);
  P.lambda = place(next, nncon > 0 ? m : 0, false);
  P.fcon1 = place(next, nncon, false);
  P.gcon = place(next, njac, false);
  P.gcon2 = place(next, njac, false);
  P.xfull2 = place(next, nncon > 0 ? 2 * nb : 0, false);
  P.gcon3 = place(next, nncon > 0 ? njac : 0, false);
  P.gconkeep = place(next, nncon > 0 ? njac : 0, false);
  P.conbnd = place(next, 2 * nncon, false);
  P.blbs = place(next, nbs, false);
  P.bubs = place(next, nbs, false);
  P.grd = place(next, nbs, false);
  P.devex = place(next, nb, false);
  P.chzr = place(next, nbs + 1, true);
  P.ynz = place(next, m + 1, true);
  const int64_t dn = s.devex ? n : 0, dm = s.devex ? m + 1 : 0, dne = s.devex ? s.ne : 0;
  P.dvxstart = place(next, dm, true);
  P.dvxcol = place(next, dne, true);
  P.dvxval = place(next, dne, false);
  P.dvxrow = place(next, dn, false);
  P.dvxmark = place(next, dn, true);
  P.dvxtouch = place(next, dn, true);
  P.dvxrhonz = place(next, s.devex ? m : 0, true);
  P.dvxlist = place(next, s.devex ? nb : 0, true);
  P.dvxpos = place(next, s.devex ? nb : 0, true);
  P.dvxdsc = place(next, s.devex ? nb : 0, false);
  P.dvxssc = place(next, s.devex ? nb : 0, false);
  P.dvxtau = place(next, s.devex && s.steep ? m : 0, false);
  P.dvxtrhs = place(next, s.devex && s.steep ? m : 0, false);
  P.lufirst = next;
  return next;
}

long long tvcore(int m, int n, int ne, int nb, int hdim, int maxs, int nnobj, int nncon, int nnjac,
                 int njac) {
  // Every term in 64 bits: the products overflow 32 bits on large problems.
  const long long M = m, N = n, NE = ne, NB = nb, H = hdim, S = maxs;
  const long long nnl1 = std::max<long long>({nnobj, nnjac, 1});
  const long long perc = std::max<long long>(N > 0 ? NE / N : 0, 10);
  long long est = nnl1 + H * (H + 1) / 2 - H + NB + 5 * std::max(M + S, nnl1) + 2LL * nnobj +
                  5LL * nncon + 2LL * njac + 18 * perc * std::min(N, M) + 13 * S + 14 * M;
  if (nncon > 0) est += M + 2 * (M + N);
  // The spare Jacobian copy, the Jacobian with its unknown entries marked and
  // the caller's bounds of the nonlinear rows are placed beyond the regions
  // above; without them the estimate could fall below minwork.
  if (nncon > 0) est += 2LL * std::max(njac, 1) + 2LL * nncon;
  return est;
}

}  // namespace tv

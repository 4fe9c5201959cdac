// m2bfac: factorize the current basis, repair it when singular and re-choose
// the basic and superbasic sets when asked; basis_bounds: the bounds in kbs
// order once the basic values are known.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>

#include "core/context.h"
#include "core/exit_text.h"
#include "lu/basis_state.h"
#include "lu/m2bsol.h"
#include "lu/m2crsh.h"
#include "options/params.h"

namespace tv {

namespace {

// Not enough room for the factors.  `required` is the length of a that the
// package or the extraction asked for; the figure printed is always larger
// than what is available, so that a rerun with it gets a longer LU region.
int storage_failure(Context& ctx, int64_t required) {
  BasisState& B = ctx.bas;
  const int64_t lena = B.map.lena;
  const int64_t nwork = ctx.ws.nwork();
  // Ask for at least half as much again as there is: the length the package
  // reports is only what it had reached when it ran out.
  required = std::max(required, lena + lena / 2 + 1000);
  int64_t need = 3 * (required - lena) + nwork;
  need = std::min<int64_t>(need, INT_MAX);
  B.ierr = TV_LU_STORAGE;
  print_exit(ctx, TV_LU_STORAGE);
  ctx.both("");
  ctx.both(strf(" Words available =%8d", static_cast<int>(std::min<int64_t>(nwork, INT_MAX))));
  ctx.both("");
  ctx.both(strf(" Increase Workspace (total) to at least%8d", static_cast<int>(need)));
  return TV_LU_STORAGE;
}

int basis_package_error(Context& ctx) {
  ctx.bas.ierr = TV_LU_ERROR;
  print_exit(ctx, TV_LU_ERROR);
  return TV_LU_ERROR;
}

int64_t five_quarters(int nent) { return (5LL * nent) / 4; }

// The BS re-choice: factorize (B S)' and let its pivot rows be the new basis.
// Returns 0 (also when the number of basic variables is not m, in which case
// nothing is re-chosen and `done` stays false) or an error code.
int bs_rechoice(Context& ctx, Problem& P, int ns, int& nexch, bool& done) {
  const int m = ctx.bas.map.m;
  Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
  done = false;
  int nbasic = 0;
  for (int j = 1; j <= P.nb; ++j) nbasic += P.hs(j) == kHsBasic ? 1 : 0;
  if (nbasic != m) return 0;
  int k = 0;
  for (int j = 1; j <= P.nb; ++j) {
    if (P.hs(j) == kHsBasic) kbs(++k) = j;
  }
  const int nent = m2belm(ctx, true, P, kbs, ns);
  if (nent > ctx.bas.map.lena) return storage_failure(ctx, five_quarters(nent));
  Dvec y = ctx.ws.dvec(ctx.part.y), y2 = ctx.ws.dvec(ctx.part.y2);
  const int code = m2bsol(ctx, kFactorBS, y, y2, 0, ns);
  if (code == 7) return storage_failure(ctx, std::max<int64_t>(five_quarters(nent), ctx.bas.lenneed));
  if (code != 0 && code != 1) return basis_package_error(ctx);
  nexch += m2newb(ctx, P, ns);
  done = true;
  return 0;
}

// Factorization loop: attempts until the basis is nonsingular.
int factor_loop(Context& ctx, const FactorRequest& rq, Problem& P, int& ns, FactorResult& fr,
                bool prtfac) {
  BasisState& B = ctx.bas;
  Params& p = ctx.par;
  const std::string_view ft(rq.factype, 2);
  const int m = B.map.m, n = P.n, nnl = P.nnl();
  Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
  Dvec y = ctx.ws.dvec(ctx.part.y), y2 = ctx.ws.dvec(ctx.part.y2);
  Ivec ip = p.luipar();
  Dvec rp = p.lurpar();

  bool rechoose = false, bt = false, rechosen = false;
  if (ns > 0 && ft == "BS") {
    rechoose = true;
  } else if (ns > 0 && ft == "BT") {
    if (B.umin == 0.0) {
      rechoose = true;
    } else {
      bt = true;
    }
  }

  for (int attempt = 1;; ++attempt) {
    if (rechoose) {
      rechoose = false;
      bt = false;
      B.nbfac = 1;
      bool done = false;
      const int r = bs_rechoice(ctx, P, ns, fr.nexch, done);
      if (r != 0) return r;
      rechosen = rechosen || done;
    }
    B.demand = kDemandNone;
    B.nupd = 0;
    B.ierr = 0;

    // Rebuild the basic part of kbs: slacks first, then structurals.
    int nbasic = 0;
    for (int j = 1; j <= P.nb; ++j) nbasic += P.hs(j) == kHsBasic ? 1 : 0;
    if (nbasic > m) {
      B.ierr = TV_TOO_MANY_BASICS;
      print_exit(ctx, TV_TOO_MANY_BASICS, kExitUsual, nbasic);
      return TV_TOO_MANY_BASICS;
    }
    int k = 0;
    for (int i = 1; i <= m; ++i) {
      if (P.hs(n + i) == kHsBasic) kbs(++k) = n + i;
    }
    const int nslack = k;
    int nonlin = 0, linear = 0;
    for (int j = 1; j <= n; ++j) {
      if (P.hs(j) != kHsBasic) continue;
      kbs(++k) = j;
      if (j <= nnl) {
        ++nonlin;
      } else {
        ++linear;
      }
    }
    while (k < m) kbs(++k) = 0;

    if (B.map.lena < five_quarters(B.map.nent)) return storage_failure(ctx, five_quarters(B.map.nent));
    const int nent = m2belm(ctx, false, P, kbs, 0);
    if (nent > B.map.lena) return storage_failure(ctx, five_quarters(nent));
    if (prtfac) {
      const bool feas = rq.ninf == 0;
      ctx.prt(strf(" Nonlin%7d  Linear%7d  Slacks%8d  %s%20.8E", nonlin, linear, nslack,
                   feas ? "Objective " : "Sum infeas", feas ? rq.objective : rq.sinf));
    }

    // A crash basis is factorized with a larger singularity tolerance once.
    const double utol1 = rp(lur::utol1), utol2 = rp(lur::utol2);
    if (rq.itn == 0 && rq.crashuse > kCrashNone) {
      rp(lur::utol1) = std::max(utol1, p.mc.eps033);
      rp(lur::utol2) = std::max(utol2, p.mc.eps033);
    }
    const int code = m2bsol(ctx, kFactorB, y, y2);
    rp(lur::utol1) = utol1;
    rp(lur::utol2) = utol2;

    const double dumax = rp(lur::dumax), dumin = rp(lur::dumin);
    if (B.nfactor == 1 && ns > 0 && !rechosen && (code == 0 || code == 1)) {
      if (dumax / std::max(dumin, 1.0E-20) >= 1.0E+5) {
        rechoose = true;
        continue;
      }
    }
    if (code == 7) return storage_failure(ctx, std::max<int64_t>(five_quarters(nent), B.lenneed));
    if (code != 0 && code != 1) return basis_package_error(ctx);

    const int nsing = ip(lup::nsing);
    if (rechosen) {
      B.umin = dumin;
    } else if (bt) {
      if (0.1 * B.umin * B.nbfac >= dumin || dumin <= p.mc.eps050 || nsing > 0) {
        rechoose = true;
        continue;
      }
      bt = false;
    }
    if (nsing == 0) return 0;
    if (attempt > 10) {
      B.ierr = TV_SINGULAR_BASIS;
      print_exit(ctx, TV_SINGULAR_BASIS, kExitUsual, attempt);
      return TV_SINGULAR_BASIS;
    }

    m2sing(ctx, P);
    // Superbasics that the repair made basic leave the superbasic set.
    for (int kk = m + ns; kk >= m + 1; --kk) {
      if (P.hs(kbs(kk)) != kHsBasic) continue;
      for (int l = kk; l < m + ns; ++l) kbs(l) = kbs(l + 1);
      --ns;
      fr.nsbdrop += 1;
    }
  }
}

}  // namespace

FactorResult m2bfac(Context& ctx, const FactorRequest& rq, Problem& P, int& ns) {
  BasisState& B = ctx.bas;
  const Params& p = ctx.par;
  FactorResult fr;
  const bool prtfac = p.prtfile > 0 && p.prtlevel % 10 > 0;
  if (!rq.again) {
    if (B.nfactor == 0) {
      B.umin = 0.0;
      B.nbfac = 0;
    }
    B.nfactor += 1;
    B.nbfac += 1;
    if (prtfac) {
      ctx.prt("");
      ctx.prt(strf(" Factor%7d  Demand%7d  Itn%11d  Infeas%8d", B.nfactor, B.demand, rq.itn, rq.ninf));
    }
  }
  B.ierr = 0;
  if (rq.gotfac && B.demand == kDemandNone) return fr;  // the factors kept from before
  fr.made = true;
  fr.ierr = factor_loop(ctx, rq, P, ns, fr, prtfac);
  B.ierr = fr.ierr;
  return fr;
}

void basis_bounds(Context& ctx, Problem& P, int ns, int crashuse) {
  const Params& p = ctx.par;
  const int m = ctx.bas.map.m;
  Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
  Dvec blbs = ctx.ws.dvec(ctx.part.blbs), bubs = ctx.ws.dvec(ctx.part.bubs);
  const int nbs1 = m + ns;
  const double inf = p.mc.infbnd;
  for (int k = 1; k <= nbs1; ++k) {
    const int j = kbs(k);
    blbs(k) = P.bl(j);
    bubs(k) = P.bu(j);
    if (crashuse == kCrashLinearE && j > P.n && P.bl(j) < P.bu(j)) {
      blbs(k) = -inf;
      bubs(k) = inf;
    }
  }
  if (p.dbglevel == 100) {
    Dvec xbs = ctx.ws.dvec(ctx.part.xbs);
    ctx.prt("");
    ctx.prt(" BS and SB values:");
    std::string line;
    for (int k = 1; k <= nbs1; ++k) {
      line += strf("%7d%17.8G", kbs(k), xbs(k));
      if (k % 5 == 0 || k == nbs1) {
        ctx.prt(line);
        line.clear();
      }
    }
  }
}

}  // namespace tv

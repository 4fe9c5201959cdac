// Pricing by reference weights for the primal simplex method: Devex, and
// steepest edge within the reference framework.
//
// Each nonbasic variable j carries a reference weight w_j >= 1, the squared
// norm of its tableau column B^-1 a_j restricted to the reference framework
// (the variables that were nonbasic at the last reset), plus 1 when j is a
// member: kept exactly by steepest edge, estimated by Devex.  Pricing
// chooses, among the variables whose score d_j (the reduced cost with the
// sign of the allowed move) exceeds the tolerance, the largest d_j^2 / w_j:
// the steepest edge in the framework's norm, much less prone than the
// largest d_j to steps that are long in the reduced costs and short in the
// objective.
//
// After a basis change with entering q, pivot row r and pivot alpha_rq the
// pivot row alpha_rj = rho' a_j, rho = B'^-1 e_r (old basis), updates, with
// r_j = alpha_rj / alpha_rq,
//   Devex:          w_j = max(w_j, r_j^2 w_q)                       nonbasic j
//   steepest edge:  w_j = max(w_j - 2 r_j a_j' tau + r_j^2 w_q, 1 + r_j^2)
//   both:           w_p = max(w_q / alpha_rq^2, 1)                  leaving p
// where tau = B'^-1 D B^-1 a_q, D selecting the positions of the
// framework's basic members, so that a_j' tau is the framework's part of
// (B^-1 a_j)' (B^-1 a_q): the cross term Devex drops.  Steepest edge takes
// w_q exact (its column over the framework) and pays one more transposed
// solve and a product of tau with each column the pivot row touches; it
// takes a fifth fewer iterations than Devex over the Netlib problems.
// While the costs stay the same the prices and the reduced costs follow:
//   pi += theta rho,  d_j -= theta alpha_rj,  d_p = -theta,  theta = d_q / alpha_rq,
// so that a pricing needs no transposed solve with the costs.  The row
// comes from a product per nonbasic column, or, when rho is sparse, from
// the rows of its nonzeros (a row-wise copy of the matrix); then only the
// columns it touches are updated, and the scan runs over a list of the
// variables whose score is positive instead of all of them.  A change of
// the costs (phase 1 infeasibilities, the weight on the objective, the
// objective slack entering or leaving) or a factorization recomputes pi
// and rc from scratch in the same pass.  Before an optimal exit is
// declared on updated reduced costs they are recomputed.
//
// The framework is reset (all weights 1, the nonbasic variables its members)
// at the start of every major iteration and when a weight grows beyond
// kWeightMax; under Devex also when the entering variable's estimate is more
// than kEstimateOff times its exact weight.  A Devex estimate below the
// exact weight is the rule rather than the exception (the max-type update
// drops the cross terms); it leaves the relative weights sound, and neither
// a reset nor the exact value in its place helped Devex on the Netlib
// problems (20 to 40 % more iterations): the exact entering weight pays
// only with the exact update of the others.
//
// Storage: the weights in region `devex` by variable, the sign telling
// membership of the framework; rho in region `work`; the row-wise copy,
// the sparse row, the candidate list and tau in the regions dvx* of the
// workspace (core/workspace.h), their counts in DevexState.
#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/nonzeros.h"
#include "core/run_state.h"
#include "lu/m2bsol.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

constexpr double kWeightMax = 1.0e8;
constexpr double kEstimateOff = 3.0;

// Cost of a nonbasic objective slack (the costs in grd cover the basic
// variables only).
double objective_slack_cost(const Context& ctx) {
  const SimplexState& S = ctx.spx;
  const bool feasible = S.ninf == 0;
  return -(ctx.par.objsense * (feasible ? 1.0 : S.phase1_weight()) * ctx.run.objscale);
}

// The candidate list as a small set over the variables: list(1..n) holds
// them, pos(j) the place of j (0 when not listed).  Beside each entry its
// score d and its ratio s = d^2/w as they were when the entry was last set,
// so that a scan reads two contiguous arrays.  Invariant, kept by every
// change of rc and w: the stored d and s are exact, or (after a change of
// hs, which only lowers a listed variable's score: it entered the basis or
// moved to its other bound) no lower than the exact ones; a reset of the
// weights raises scores and marks them all for refreshing.
class CandList {
 public:
  CandList(DevexState& D, const Context& ctx, int nb)
      : n_(D.nlist),
        list_(ctx.ws.ivec(ctx.part.dvxlist)),
        pos_(ctx.ws.ivec(ctx.part.dvxpos)),
        d_(ctx.ws.dvec(ctx.part.dvxdsc)),
        s_(ctx.ws.dvec(ctx.part.dvxssc)) {
    if (!D.listinit) {
      for (int j = 1; j <= nb; ++j) pos_(j) = 0;
      n_ = 0;
      D.listinit = true;
    }
  }
  void clear() {
    for (int k = 1; k <= n_; ++k) pos_(list_(k)) = 0;
    n_ = 0;
  }
  // List j (d > 0) or set its entry.
  void add(int j, double d, double s) {
    int k = pos_(j);
    if (k == 0) {
      k = ++n_;
      list_(k) = j;
      pos_(j) = k;
    }
    d_(k) = d;
    s_(k) = s;
  }
  void drop(int j) {
    if (pos_(j) > 0) remove_at(pos_(j));
  }
  void remove_at(int k) {
    const int j = list_(k), last = list_(n_);
    list_(k) = last;
    d_(k) = d_(n_);
    s_(k) = s_(n_);
    pos_(last) = k;
    --n_;
    pos_(j) = 0;
  }
  int size() const { return n_; }
  int at(int k) const { return list_(k); }
  int place(int j) const { return pos_(j); }
  double d(int k) const { return d_(k); }
  double s(int k) const { return s_(k); }

 private:
  int& n_;
  Ivec list_, pos_;
  Dvec d_, s_;
};

// The ratio by which pricing ranks a candidate of score d and weight w.
inline double ratio(double d, double w) { return d * d / std::fabs(w); }

// Set variable j's entry in the list from its state h and reduced cost rcj.
inline void relist(CandList& cl, CDvec w, int j, int h, double rcj) {
  const double d = h > 1 ? 0.0 : pricing_score(h, rcj);
  if (d > 0.0) {
    cl.add(j, d, ratio(d, w(j)));
  } else {
    cl.drop(j);
  }
}

// The same from the variable's current state.
void relist(const Problem& P, CDvec w, CandList& cl, int j) { relist(cl, w, j, P.hs(j), P.rc(j)); }

// The row-wise copy of the structural columns and the sparse pivot row in
// their workspace regions.
struct Rows {
  explicit Rows(const Context& ctx)
      : start(ctx.ws.ivec(ctx.part.dvxstart)),
        col(ctx.ws.ivec(ctx.part.dvxcol)),
        mark(ctx.ws.ivec(ctx.part.dvxmark)),
        touched(ctx.ws.ivec(ctx.part.dvxtouch)),
        rhonz(ctx.ws.ivec(ctx.part.dvxrhonz)),
        val(ctx.ws.dvec(ctx.part.dvxval)),
        prow(ctx.ws.dvec(ctx.part.dvxrow)) {}
  Ivec start, col, mark, touched, rhonz;
  Dvec val, prow;
};

// The weight update of nonbasic j from its pivot-row entry dr = alpha_rj.
// Devex: w_j = max(w_j, dr^2 c) with c = w_q / alpha_rq^2.  Steepest edge:
// w_j = max(w_j - 2 dr t_j + dr^2 c, dr^2 / alpha_rq^2 + 1) with t_j = a_j'
// tau (exact within the framework: the cross term is the framework's part
// of (B^-1 a_j)' (B^-1 a_q), which Devex drops).  The sign of w_j
// (membership of the framework) is kept.  Returns the weight set, 0 when
// w_j stays.
struct WeightUpdate {
  double c = 0.0, ia2 = 0.0;
  bool se = false;
  CDvec tau;
  double operator()(Dvec w, int j, double dr, double dt) const {
    if (!se) {
      const double ww = dr * dr * c;
      if (ww <= std::fabs(w(j))) return 0.0;
      w(j) = std::copysign(ww, w(j));
      return ww;
    }
    const double ww = std::max(std::fabs(w(j)) - 2.0 * dr * dt + dr * dr * c, dr * dr * ia2 + 1.0);
    w(j) = std::copysign(ww, w(j));
    return ww;
  }
  // t_j of a structural column (0 for Devex, which does not need it).
  double column(const Problem& P, int j) const {
    double t = 0.0;
    if (se) {
      for (int l = P.ka(j); l < P.ka(j + 1); ++l) t += tau(P.ha(l)) * P.a(l);
    }
    return t;
  }
  double slack(int i) const { return se ? tau(i) : 0.0; }
};

// The update for the pending pivot.
WeightUpdate weight_update(const Context& ctx, bool weights) {
  const DevexState& D = ctx.spx.dvx;
  WeightUpdate wu;
  if (!weights) return wu;
  wu.c = D.wq / (D.alpha * D.alpha);
  wu.ia2 = 1.0 / (D.alpha * D.alpha);
  wu.se = D.se;
  if (D.se) wu.tau = ctx.ws.dvec(ctx.part.dvxtau);
  return wu;
}

// The best candidate of a pass.
struct Choice {
  int jq = 0;
  double rcq = 0.0, score = 0.0;
  int jbig = 0;
  double rcbig = 0.0, dbig = -1.0e300;
  bool between = false;
  double wmax = 0.0;  // largest weight set by the update
};

// One pass over the nonbasic variables: fresh reduced costs from pi
// (kFresh) or the update by theta times the pivot row (kApply and not
// kFresh), the weight update from the pivot row (kWeights), and the scan.
template <bool kFresh, bool kApply, bool kWeights>
Choice pass(const Problem& P, CDvec pi, CDvec rho, Dvec w, int jobj, double cobj, double theta,
            const WeightUpdate& wu, int jp, double tol, CandList& cl, int origin) {
  const int n = P.n, m = P.m;
  CDvec a = P.a;
  CIvec ha = P.ha, ka = P.ka, hs = P.hs;
  Dvec rc = P.rc;
  Choice ch;
  cl.clear();
  auto score = [&](int j, int h) {
    const double rcj = rc(j);
    const double d = pricing_score(h, rcj);
    if (h == kHsBetween) ch.between = true;
    if (d <= 0.0) return;
    const double s = ratio(d, w(j));
    cl.add(j, d, s);
    if (d > ch.dbig) {
      ch.dbig = d;
      ch.jbig = j;
      ch.rcbig = rcj;
    }
    if (d > tol) {
      if (s > ch.score || (s == ch.score && first_after(j, ch.jq, origin, P.nb))) {
        ch.score = s;
        ch.jq = j;
        ch.rcq = rcj;
      }
    }
  };
  auto update = [&](int j, double dp, double dr, double dt) {
    if constexpr (kFresh) {
      rc(j) = -dp;
      if (j == jobj) rc(j) += cobj;
    } else if constexpr (kApply) {
      if (j != jp) rc(j) -= theta * dr;
    }
    if constexpr (kWeights) {
      if (j != jp && dr != 0.0) ch.wmax = std::max(ch.wmax, wu(w, j, dr, dt));
    }
  };
  for (int j = 1; j <= n; ++j) {
    const int h = hs(j);
    if (h > 1) continue;
    double dp = 0.0, dr = 0.0, dt = 0.0;
    if (kWeights && wu.se) {
      // Steepest edge: a_j' tau in the same walk (most columns this pass
      // visits have a nonzero pivot-row entry).
      for (int l = ka(j); l < ka(j + 1); ++l) {
        const int i = ha(l);
        if constexpr (kFresh) dp += pi(i) * a(l);
        dr += rho(i) * a(l);
        dt += wu.tau(i) * a(l);
      }
    } else if constexpr (kFresh || kApply) {
      for (int l = ka(j); l < ka(j + 1); ++l) {
        const int i = ha(l);
        if constexpr (kFresh) dp += pi(i) * a(l);
        if constexpr (kApply) dr += rho(i) * a(l);
      }
    }
    update(j, dp, dr, dt);
    score(j, h);
  }
  for (int i = 1; i <= m; ++i) {
    const int j = n + i;
    const int h = hs(j);
    if (h > 1) continue;
    double dp = 0.0, dr = 0.0;
    if constexpr (kFresh) dp = pi(i);
    if constexpr (kApply) dr = rho(i);
    update(j, dp, dr, kWeights ? wu.slack(i) : 0.0);
    score(j, h);
  }
  return ch;
}

using PassFn = Choice (*)(const Problem&, CDvec, CDvec, Dvec, int, double, double, const WeightUpdate&, int, double,
                          CandList&, int);

PassFn pick_pass(bool fresh, bool apply, bool weights) {
  if (fresh) {
    if (!apply) return pass<true, false, false>;
    return weights ? pass<true, true, true> : pass<true, true, false>;
  }
  if (!apply) return pass<false, false, false>;
  return weights ? pass<false, true, true> : pass<false, true, false>;
}

// Build the row-wise copy of the structural columns: row i holds positions
// start(i) .. start(i+1)-1, its columns in increasing order.
void build_rows(DevexState& D, const Rows& R, const Problem& P) {
  const int m = P.m, n = P.n;
  for (int i = 1; i <= m + 1; ++i) R.start(i) = 0;
  for (int l = P.ka(1); l < P.ka(n + 1); ++l) R.start(P.ha(l)) += 1;
  int next = 1;
  for (int i = 1; i <= m; ++i) {
    const int count = R.start(i);
    R.start(i) = next;
    next += count;
  }
  R.start(m + 1) = next;
  // start(i) runs along row i while it is filled and ends at start(i+1).
  for (int j = 1; j <= n; ++j) {
    for (int l = P.ka(j); l < P.ka(j + 1); ++l) {
      const int k = R.start(P.ha(l))++;
      R.col(k) = j;
      R.val(k) = P.a(l);
    }
  }
  for (int i = m; i >= 2; --i) R.start(i) = R.start(i - 1);
  if (m >= 1) R.start(1) = 1;
  for (int j = 1; j <= n; ++j) {
    R.prow(j) = 0.0;
    R.mark(j) = 0;
  }
  D.ntouched = 0;
  D.rowsbuilt = true;
}

// The pivot row's structural part rho' A from the rows where rho is
// nonzero, when those hold few enough of the matrix's entries that this
// beats a product per column.  Returns false (prow untouched) otherwise.
bool row_product(DevexState& D, const Rows& R, const Problem& P, CDvec rho) {
  const int m = P.m;
  if (!D.rowsbuilt) build_rows(D, R, P);
  const long long ne = R.start(m + 1) - 1;
  long long work = 0;
  for (int q = 1; q <= D.nrhonz; ++q) {
    const int i = R.rhonz(q);
    work += R.start(i + 1) - R.start(i);
  }
  if (3 * work > ne) return false;
  for (int q = 1; q <= D.nrhonz; ++q) {
    const int i = R.rhonz(q);
    const double r = rho(i);
    for (int k = R.start(i); k < R.start(i + 1); ++k) {
      const int j = R.col(k);
      if (!R.mark(j)) {
        R.mark(j) = 1;
        R.touched(++D.ntouched) = j;
      }
      R.prow(j) += r * R.val(k);
    }
  }
  return true;
}

// The update by a sparse pivot row: the columns it touches and the slacks
// where rho is nonzero, nothing else.  Returns the largest weight set.
double apply_sparse_row(DevexState& D, const Rows& R, const Problem& P, CDvec rho, Dvec w, double theta,
                        const WeightUpdate& wu, int jp, bool weights, CandList& cl) {
  CIvec hs = P.hs;
  Dvec rc = P.rc;
  double wmax = 0.0;
  auto update = [&](int j, double dr) {
    const int h = hs(j);
    if (h > 1 || j == jp) return;
    rc(j) -= theta * dr;
    if (weights && dr != 0.0) {
      wmax = std::max(wmax, wu(w, j, dr, j > P.n ? wu.slack(j - P.n) : wu.column(P, j)));
    }
    relist(cl, w, j, h, rc(j));
  };
  for (int k = 1; k <= D.ntouched; ++k) {
    const int j = R.touched(k);
    update(j, R.prow(j));
    R.prow(j) = 0.0;
    R.mark(j) = 0;
  }
  D.ntouched = 0;
  for (int q = 1; q <= D.nrhonz; ++q) {
    const int i = R.rhonz(q);
    update(P.n + i, rho(i));
  }
  return wmax;
}

// The best candidate among the listed variables, the same one a full scan
// would choose (the largest d^2/w above tol, the first variable among
// equals), from the stored scores: the best stored entry is checked against
// the variable's current state and, when its entry was out of date, set
// again (or dropped) and the choice made again.  With `refresh` every entry
// is set again first (the weights were reset, or reduced-gradient steps with
// superbasic variables may have changed states).  jbig and between are left
// to a full scan.
Choice scan_list(const Problem& P, CDvec w, double tol, CandList& cl, int origin, bool refresh) {
  if (refresh) {
    for (int k = cl.size(); k >= 1; --k) relist(P, w, cl, cl.at(k));
  }
  for (;;) {
    Choice ch;
    int kq = 0;
    for (int k = 1; k <= cl.size(); ++k) {
      if (cl.d(k) <= tol) continue;
      const double s = cl.s(k);
      if (s > ch.score || (s == ch.score && first_after(cl.at(k), ch.jq, origin, P.nb))) {
        ch.score = s;
        ch.jq = cl.at(k);
        kq = k;
      }
    }
    if (kq == 0) return Choice();
    const double d = cl.d(kq), s = cl.s(kq);
    relist(P, w, cl, ch.jq);
    const int k = cl.place(ch.jq);
    if (k > 0 && cl.d(k) == d && cl.s(k) == s) {
      ch.rcq = P.rc(ch.jq);
      return ch;
    }
  }
}

}  // namespace

void devex_reset(Context& ctx, Problem& P) {
  Dvec w = ctx.ws.dvec(ctx.part.devex);
  for (int j = 1; j <= P.nb; ++j) w(j) = P.hs(j) == kHsBasic ? -1.0 : 1.0;
  ctx.spx.dvx.wupd = false;
  ctx.spx.dvx.scorestale = true;  // the listed ratios rose with the weights
}

void devex_start(Context& ctx, Problem& P) {
  DevexState& D = ctx.spx.dvx;
  D.rcvalid = false;
  D.pending = false;
  D.listvalid = false;
  D.piarg = 0;
  D.cleave = 0.0;
  devex_reset(ctx, P);
}

bool devex_costs_kept(Context& ctx, Problem& P) {
  SimplexState& S = ctx.spx;
  DevexState& D = S.dvx;
  const double cleave = D.cleave;
  D.cleave = 0.0;
  if (!D.on || !D.rcvalid || cleave != 0.0) return false;
  if (S.jobj > 0 && P.hs(S.jobj) != kHsBasic && objective_slack_cost(ctx) != D.cobj) return false;
  CDvec grd = ctx.ws.dvec(ctx.part.grd), gkept = ctx.ws.dvec(ctx.part.gkept);
  if (S.grdslot >= 0 && S.grdslot == D.keptslot) return S.grdslot == 0 || grd(S.grdslot) == gkept(S.grdslot);
  for (int k = 1; k <= P.m; ++k) {
    if (grd(k) != gkept(k)) return false;
  }
  return true;
}

void devex_pivot(Context& ctx, Problem& P, int jr, double alpha) {
  SimplexState& S = ctx.spx;
  DevexState& D = S.dvx;
  const Workspace& ws = ctx.ws;
  const int m = P.m, jq = S.jq;
  CIvec kbs = ws.ivec(ctx.part.kbs);
  Dvec y = ws.dvec(ctx.part.y), rho = ws.dvec(ctx.part.work), w = ws.dvec(ctx.part.devex);
  Dvec gkept = ws.dvec(ctx.part.gkept);
  const int jleave = kbs(jr);

  // The exact weight of q over the framework, from its column in y (its
  // nonzeros are listed in ynz up to the entry m + 1).
  CIvec ynz = ws.ivec(ctx.part.ynz);
  const int nynz = S.nynz;
  double exact = w(jq) > 0.0 ? 1.0 : 0.0;
  for (int k = 1; k <= nynz; ++k) {
    const int i = ynz(k);
    if (i <= m && w(kbs(i)) > 0.0) exact += y(i) * y(i);
  }
  exact = std::max(exact, 1.0);
  const double est = std::fabs(w(jq));

  // Costs in force for the positions: q takes position jr with its cost as
  // a nonbasic variable (0); the leaving variable keeps its cost only when
  // that was 0.  The objective slack changing sides changes the costs.
  D.cleave = gkept(jr);
  gkept(jr) = 0.0;
  if (jr == D.keptslot) D.keptslot = -1;
  if (jq == S.jobj || jleave == S.jobj) D.rcvalid = false;

  D.jq = jq;
  D.jp = jleave;
  D.alpha = alpha;
  D.theta = S.djq / alpha;
  if (D.se) {
    // tau = B'^-1 D y / y_r with the factors of the old basis, as rho below
    // (y may hold -B^-1 a_q: the sign cancels in alpha_rj * a_j' tau).  The
    // entering weight is the exact one.
    Dvec trhs = ws.dvec(ctx.part.dvxtrhs);
    for (int i = 1; i <= m; ++i) trhs(i) = 0.0;
    const double yr = y(jr);
    for (int k = 1; k <= nynz; ++k) {
      const int i = ynz(k);
      if (i <= m && w(kbs(i)) > 0.0) trhs(i) = y(i) / yr;
    }
    m2bsol(ctx, kBtran, trhs, ws.dvec(ctx.part.dvxtau));
    D.wq = exact;
    D.wupd = true;
  } else if (est > kEstimateOff * exact) {
    devex_reset(ctx, P);  // hs already shows the new basis
    D.nreset += 1;
  } else {
    D.wq = est;
    D.wupd = true;
  }

  // rho = B'^-1 e_r with the factors of the old basis, and its nonzeros.
  for (int k = 1; k <= nynz; ++k) {
    if (ynz(k) <= m) y(ynz(k)) = 0.0;
  }
  y(jr) = 1.0;
  m2bsol(ctx, kBtran, y, rho);
  // (Partial Devex prices by sections from rho itself: no list.)
  if (D.on) {
    Ivec rhonz = ws.ivec(ctx.part.dvxrhonz);
    int nrho = 0;
    for_each_nonzero(rho, m, [&](int i) {
      rhonz(++nrho) = i;
      return true;
    });
    D.nrhonz = nrho;
  }
  D.pending = true;
}

void devex_section_prices(Context& ctx, Problem& P, int j1, int j2, int i1, int i2) {
  DevexState& D = ctx.spx.dvx;
  Dvec w = ctx.ws.dvec(ctx.part.devex);
  CDvec rho = ctx.ws.dvec(ctx.part.work);
  CDvec a = P.a, pi = P.pi;
  CIvec ha = P.ha, ka = P.ka, hs = P.hs;
  Dvec rc = P.rc;
  const int n = P.n;
  const bool weights = D.pending && D.wupd;
  const WeightUpdate wu = weight_update(ctx, weights);
  const double c = wu.c;
  double wmax = 0.0;
  if (weights && D.jp > 0) {
    // The leaving variable's weight, once per pivot (jp negated: done).
    w(D.jp) = std::copysign(std::max(c, 1.0), w(D.jp));
    wmax = std::fabs(w(D.jp));
    D.jp = -D.jp;
  }
  const int jp = std::abs(D.jp);
  for (int j = j1; j <= j2; ++j) {
    if (hs(j) > 1) continue;
    double dp = 0.0, dr = 0.0;
    if (weights) {
      for (int l = ka(j); l < ka(j + 1); ++l) {
        const int i = ha(l);
        dp += pi(i) * a(l);
        dr += rho(i) * a(l);
      }
      if (dr != 0.0 && j != jp) wmax = std::max(wmax, wu(w, j, dr, wu.column(P, j)));
    } else {
      for (int l = ka(j); l < ka(j + 1); ++l) dp += pi(ha(l)) * a(l);
    }
    rc(j) = -dp;
  }
  for (int i = i1; i <= i2; ++i) {
    const int j = n + i;
    rc(j) = -pi(i);
    if (!weights || hs(j) > 1 || j == jp || rho(i) == 0.0) continue;
    wmax = std::max(wmax, wu(w, j, rho(i), wu.slack(i)));
  }
  if (wmax > kWeightMax) {
    devex_reset(ctx, P);
    D.nreset += 1;
  }
}

void devex_section_done(Context& ctx) {
  DevexState& D = ctx.spx.dvx;
  D.pending = false;
  D.rcvalid = false;
}

void devex_price(Context& ctx, Problem& P, int ns, bool& increase) {
  SimplexState& S = ctx.spx;
  DevexState& D = S.dvx;
  const Params& p = ctx.par;
  const Workspace& ws = ctx.ws;
  const int m = P.m;
  Ivec kbs = ws.ivec(ctx.part.kbs);
  Dvec rg = ws.dvec(ctx.part.rg);
  Dvec rho = ws.dvec(ctx.part.work), w = ws.dvec(ctx.part.devex);
  const bool feasible = S.ninf == 0;
  double toldj = p.opttol;
  if (!feasible) toldj = std::min(p.opttol, p.mc.eps050);
  const double cobj = objective_slack_cost(ctx);

  Choice ch;
  CandList cl(D, ctx, P.nb);
  // Ties move on from the last choice in phase 1 only: in phase 2 it made
  // no difference or a worse one on the Netlib problems.
  const int origin = S.ninf > 0 ? D.lastq : 0;
  const Rows rows(ctx);
  // The last entering variable is basic now, and the last one chosen may
  // have moved to its other bound instead: their entries are set again.
  if (D.listvalid) {
    if (D.jq > 0) relist(P, w, cl, D.jq);
    if (D.lastq > 0) relist(P, w, cl, D.lastq);
  }
  double wmax = 0.0;  // largest weight the update set
  for (;;) {
    const bool fresh = !D.rcvalid;
    const bool apply = D.pending;
    const bool weights = apply && D.wupd;
    const WeightUpdate wu = weight_update(ctx, weights);
    if (weights) w(D.jp) = std::copysign(std::max(wu.c, 1.0), w(D.jp));
    if (fresh) D.piarg = 0;
    if (!fresh && apply) {
      P.rc(D.jp) = -D.theta;
      // pi changes where rho is nonzero.  Its largest magnitude is looked
      // for over all of pi only when the entry holding it has changed.
      CIvec rhonz = ws.ivec(ctx.part.dvxrhonz);
      const bool holder_kept = D.piarg > 0 && rho(D.piarg) == 0.0;
      double big = holder_kept ? D.pimax : 0.0;
      int arg = holder_kept ? D.piarg : 0;
      auto track = [&](int i) {
        if (std::fabs(P.pi(i)) > big) {
          big = std::fabs(P.pi(i));
          arg = i;
        }
      };
      for (int q = 1; q <= D.nrhonz; ++q) {
        const int i = rhonz(q);
        P.pi(i) += D.theta * rho(i);
        track(i);
      }
      if (!holder_kept) {
        for (int i = 1; i <= m; ++i) track(i);
      }
      D.pimax = big;
      D.piarg = arg;
      S.pinorm = std::max(1.0, big);
      relist(P, w, cl, D.jp);
    }
    const double tol = feasible && S.dualtol > 0.0 ? S.dualtol : toldj * S.pinorm;
    const bool sparse = !fresh && apply && row_product(D, rows, P, rho);
    const double wm = sparse ? apply_sparse_row(D, rows, P, rho, w, D.theta, wu, D.jp, weights, cl) : 0.0;
    if (!fresh && (!apply || sparse)) {
      // The reduced costs changed only where the list follows them: scan
      // the list, and everything only when it offers no candidate.
      ch = D.listvalid ? scan_list(P, w, tol, cl, origin, D.scorestale || ns > 0) : Choice();
      if (ch.jq == 0) ch = pass<false, false, false>(P, P.pi, rho, w, S.jobj, cobj, D.theta, wu, D.jp, tol, cl, origin);
      ch.wmax = wm;
    } else {
      ch = pick_pass(fresh, apply, weights)(P, P.pi, rho, w, S.jobj, cobj, D.theta, wu, D.jp, tol, cl, origin);
    }
    D.listvalid = true;
    D.scorestale = false;
    if (weights) wmax = std::max({wmax, ch.wmax, std::fabs(w(D.jp))});
    D.pending = false;
    D.rcvalid = true;
    D.cobj = cobj;
    if (fresh) D.nfreshrc += 1;
    if (ch.jq > 0 || fresh) break;
    // No candidate on updated reduced costs: make sure with fresh prices.
    fresh_prices(ctx, P, ns);
  }
  if (wmax > kWeightMax) {
    devex_reset(ctx, P);
    D.nreset += 1;
  }

  S.kp = 1;
  S.jbig = ch.jbig;
  S.djbig = ch.jbig > 0 ? ch.rcbig : 0.0;
  S.jq = ch.jq;
  S.djq = ch.rcq;
  S.ncand = 0;
  if (ch.jq > 0) D.lastq = ch.jq;
  if (S.jq > 0) {
    S.kpq = 1;
    S.ncand = 1;
    increase = S.djq < 0.0;
  } else if (ch.between && (!feasible || ns == 0)) {
    choose_between_bounds(ctx, P, increase);
  }
  if (m + ns + 1 <= kbs.size()) kbs(m + ns + 1) = S.jq;
  if (ns + 1 <= rg.size()) rg(ns + 1) = S.djq;
}

}  // namespace tv

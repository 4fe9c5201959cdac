// The evaluation callbacks of the subroutine entry for the bound problem,
// and one complete solve through the process-wide entry.
#include <algorithm>
#include <cstring>

#include "problems.h"
#include "tarvo.h"

namespace tvnlp {

namespace {

struct Bound {
  const NlpProblem* p = nullptr;
  std::vector<int> pos;   // gcon position of every Jacobian entry
  std::vector<double> J;  // Jacobian in the problem's order
  CallCounts counts;
};

Bound& bound() {
  static Bound b;
  return b;
}

}  // namespace

void bind(const NlpProblem* p) {
  Bound& b = bound();
  b.p = p;
  b.pos = p ? gcon_positions(*p) : std::vector<int>();
  b.J.assign(p ? p->jac.size() : 0, 0.0);
  b.counts = CallCounts();
}

CallCounts counts() { return bound().counts; }
void reset_counts() { bound().counts = CallCounts(); }

extern "C" void nlp_funobj(int* mode, int* nnobj, double* x, double* fobj, double* gobj, int* nstate,
                       int* nprob, double* z, int* nwork) {
  Bound& b = bound();
  ++b.counts.funobj;
  if (*mode == 2) ++b.counts.funobj_grad;
  if (!b.p || !b.p->fobj || *nnobj != b.p->nnobj) {
    *mode = -2;
    return;
  }
  try {
    if (!b.p->fobj(x, *fobj, *mode == 2 ? gobj : nullptr)) *mode = -1;
  } catch (...) {
    *mode = -2;
  }
}

extern "C" void nlp_funcon(int* mode, int* nncon, int* nnjac, int* njac, double* x, double* fcon,
                       double* gcon, int* nstate, int* nprob, double* z, int* nwork) {
  Bound& b = bound();
  ++b.counts.funcon;
  if (*mode == 2) ++b.counts.funcon_grad;
  if (!b.p || !b.p->fcon || *nncon != b.p->nncon || *nnjac != b.p->nnjac ||
      *njac != static_cast<int>(b.J.size())) {
    *mode = -2;
    return;
  }
  try {
    const bool want = *mode == 2;
    if (!b.p->fcon(x, fcon, want ? b.J.data() : nullptr)) {
      *mode = -1;
      return;
    }
    if (want)
      for (size_t k = 0; k < b.J.size(); ++k) gcon[b.pos[k]] = b.J[k];
  } catch (...) {
    *mode = -2;
  }
}

TvRun solve_tvnose(const NlpProblem& p, int itnlimit, int majlimit, const std::vector<std::string>& specs) {
  TvArrays t = build_arrays(p);
  bind(p);
  tvsetfun(p.nnobj > 0 ? nlp_funobj : nullptr, p.nncon > 0 ? nlp_funcon : nullptr);
  int none = 0, errors = 0;
  tvstart(&none, &none, &none);
  // A superbasics limit that fits the problem (the default 50 is too small
  // for the scalable ones), the rule the host link uses: 5/4 of the
  // nonlinear variables plus 2.
  int maxs = std::max(5 * std::max(p.nnobj, p.nnjac) / 4 + 2, 50);
  tvopti("Superbasics limit", &maxs, &none, &none, &errors, 17);
  if (itnlimit > 0) tvopti("Iterations limit", &itnlimit, &none, &none, &errors, 16);
  if (majlimit > 0) tvopti("Major iterations limit", &majlimit, &none, &none, &errors, 22);
  for (const std::string& s : specs) tvopt(s.c_str(), &none, &none, &errors, static_cast<int>(s.size()));

  char names[41];
  std::memset(names, ' ', 40);
  std::memcpy(names, p.name.data(), std::min<size_t>(8, p.name.size()));
  int nnames = 1, name1 = 0, name2 = 0, ns = 0, loglev = 0;
  TvRun r;
  int minwork = 0, ncstat = 0;
  double cviolr = 0.0;
  std::vector<double> z(1);
  for (int pass = 0; pass < 2; ++pass) {
    int nwork = static_cast<int>(z.size());
    tvnose("Cold", &t.m, &t.n, &t.nb, &t.ne, &nnames, &t.nncon, &t.nnobj, &t.nnjac, &t.objrow, &t.objconst,
           names, t.a.data(), t.ha.data(), t.ka.data(), t.bl.data(), t.bu.data(), &name1, &name2, t.hs.data(),
           t.xn.data(), t.pi.data(), t.rc.data(), &r.inform, &minwork, &ns, &r.ninf, &r.sinf, &r.obj, z.data(),
           &nwork, &loglev, nullptr, &r.nmajor, &r.itns, &ncstat, &r.cviol, &cviolr, 4);
    if (r.inform != 42 || minwork <= nwork) break;
    z.assign(minwork, 0.0);
  }
  r.x.assign(t.xn.begin(), t.xn.begin() + p.n);
  r.calls = counts();
  tvsetfun(nullptr, nullptr);
  bind(nullptr);
  return r;
}

}  // namespace tvnlp

// The extern "C" entries: thin adapters onto the C++ entries, using the
// process-wide context.  Nothing throws through them: an exception (an
// allocation that failed, or any other failure inside the solver) becomes
// the result TV_SYSTEM_ERROR with its EXIT line.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "core/context.h"
#include "core/entry.h"
#include "core/exit_text.h"
#include "core/guarded.h"
#include "core/m2core.h"
#include "core/page.h"
#include "tarvo.h"

using tv::Context;

namespace {

tv::Problem make_problem(int m, int n, int nb, int ne, int nnames, int nncon, int nnobj, int nnjac,
                         int objrow, double objconst, double* a, int* ha, int* ka, double* bl,
                         double* bu, int* name1, int* name2, int* hs, double* xn, double* pi,
                         double* rc) {
  tv::Problem P;
  P.m = m;
  P.n = n;
  P.nb = nb;
  P.ne = ne;
  P.nnames = nnames;
  P.nncon = nncon;
  P.nnobj = nnobj;
  P.nnjac = nnjac;
  P.objrow = objrow;
  P.objconst = objconst;
  // Views are sized from the dimensions as given; the entry checks them
  // before any view is used beyond its first element.
  const int sne = std::max(ne, 0), snb = std::max(nb, 0), sm = std::max(m, 0);
  P.a = tv::Dvec(a, sne);
  P.ha = tv::Ivec(ha, sne);
  P.ka = tv::Ivec(ka, std::max(n, 0) + 1);
  P.bl = tv::Dvec(bl, snb);
  P.bu = tv::Dvec(bu, snb);
  P.name1 = tv::Ivec(name1, std::max(nnames, 0));
  P.name2 = tv::Ivec(name2, std::max(nnames, 0));
  P.hs = tv::Ivec(hs, snb);
  P.xn = tv::Dvec(xn, snb);
  P.pi = tv::Dvec(pi, sm);
  P.rc = tv::Dvec(rc, snb);
  return P;
}

std::string_view start_view(const char* start, int len) {
  if (!start || len <= 0) return std::string_view();
  return std::string_view(start, static_cast<size_t>(len));
}

bool dims_ok(int m, int n, int nb) {
  return m >= 0 && n >= 0 && static_cast<long long>(m) + n == nb;
}

// The part the three solve entries share: refuse a shape that cannot be
// viewed, view the caller's arrays, solve, copy the common outputs.
template <class Solve>
tv::EntryResult solve_entry(int* m, int* n, int* nb, int* ne, int* nnames, int* nncon, int* nnobj,
                            int* nnjac, int* objrow, double* objconst, double* a, int* ha, int* ka,
                            double* bl, double* bu, int* name1, int* name2, int* hs, double* xn,
                            double* pi, double* rc, int* inform, int* minwork, int* ninf,
                            double* sinf, double* obj, Solve solve) {
  tv::EntryResult r;
  const int failed = tv::guarded([&] {
    Context& ctx = tv::default_context();
    if (!dims_ok(*m, *n, *nb)) {
      r.inform = TV_BAD_DATA;
      ctx.both(tv::exit_text(TV_BAD_DATA));
    } else {
      tv::Problem P = make_problem(*m, *n, *nb, *ne, *nnames, *nncon, *nnobj, *nnjac, *objrow,
                                   *objconst, a, ha, ka, bl, bu, name1, name2, hs, xn, pi, rc);
      solve(ctx, P, r);
    }
  });
  if (failed != 0) r.inform = failed;
  *inform = r.inform;
  *minwork = r.minwork;
  *ninf = r.ninf;
  *sinf = r.sinf;
  *obj = r.obj;
  return r;
}

}  // namespace

extern "C" {

void tvstart(int* iprint, int* isumm, int* ispecs) {
  tv::guarded([&] { tv::tvstart(tv::default_context(), *iprint, *isumm, *ispecs); });
}

void tvtitle(char* title, int titlelen) {
  // Blanks first: a title that cannot be made leaves no garbage behind.
  for (int i = 0; i < titlelen; ++i) title[i] = ' ';
  tv::guarded([&] {
    const std::string& t = tv::title_text();
    for (int i = 0; i < titlelen; ++i) title[i] = i < static_cast<int>(t.size()) ? t[i] : ' ';
  });
}

void tvcore(int* m, int* n, int* ne, int* nb, int* hdim, int* maxs, int* nnobj, int* nncon,
            int* nnjac, int* njac, int* estimate) {
  long long e = 0;
  tv::guarded([&] { e = tv::tvcore(*m, *n, *ne, *nb, *hdim, *maxs, *nnobj, *nncon, *nnjac, *njac); });
  *estimate = static_cast<int>(std::clamp<long long>(e, 0, INT_MAX));
}

void tvcore64(int* m, int* n, int* ne, int* nb, int* hdim, int* maxs, int* nnobj, int* nncon,
              int* nnjac, int* njac, long long* estimate) {
  long long e = 0;
  tv::guarded([&] { e = tv::tvcore(*m, *n, *ne, *nb, *hdim, *maxs, *nnobj, *nncon, *nnjac, *njac); });
  *estimate = e;
}

void tvnose(const char* start, int* m, int* n, int* nb, int* ne, int* nnames, int* nncon,
            int* nnobj, int* nnjac, int* objrow, double* objconst, const char* names, double* a,
            int* ha, int* ka, double* bl, double* bu, int* name1, int* name2, int* hs, double* xn,
            double* pi, double* rc, int* inform, int* minwork, int* ns, int* ninf, double* sinf,
            double* obj, double* z, int* nwork, int* loglev, tv_logfun logfun, int* nmajor,
            int* nitns, int* ncstat, double* cviol, double* cviolr, int startlen) {
  const tv::EntryResult r = solve_entry(
      m, n, nb, ne, nnames, nncon, nnobj, nnjac, objrow, objconst, a, ha, ka, bl, bu, name1, name2,
      hs, xn, pi, rc, inform, minwork, ninf, sinf, obj, [&](Context& ctx, tv::Problem& P, tv::EntryResult& res) {
        tv::tvnose(ctx, start_view(start, startlen), P, names, *ns, z, *nwork, *loglev, logfun, res);
      });
  *nmajor = r.nmajor;
  *nitns = r.nitns;
  *ncstat = r.ncstat;
  *cviol = r.cviol;
  *cviolr = r.cviolr;
}

void tvnoss(const char* start, int* m, int* n, int* nb, int* ne, int* nnames, int* nncon,
            int* nnobj, int* nnjac, int* objrow, double* objconst, const char* names, double* a,
            int* ha, int* ka, double* bl, double* bu, int* name1, int* name2, int* hs, double* xn,
            double* pi, double* rc, int* inform, int* minwork, int* ns, int* ninf, double* sinf,
            double* obj, double* z, int* nwork, int startlen) {
  solve_entry(m, n, nb, ne, nnames, nncon, nnobj, nnjac, objrow, objconst, a, ha, ka, bl, bu, name1,
              name2, hs, xn, pi, rc, inform, minwork, ninf, sinf, obj,
              [&](Context& ctx, tv::Problem& P, tv::EntryResult& res) {
                tv::tvnoss(ctx, start_view(start, startlen), P, names, *ns, z, *nwork, res);
              });
}

void tarvo(const char* start, int* m, int* n, int* nb, int* ne, int* nnames, int* nncon, int* nnobj,
           int* nnjac, int* objrow, double* objconst, const char* names, double* a, int* ha, int* ka,
           double* bl, double* bu, int* name1, int* name2, int* hs, double* xn, double* pi,
           double* rc, int* inform, int* minwork, int* ns, int* ninf, double* sinf, double* obj,
           double* z, int* nwork, int startlen) {
  solve_entry(m, n, nb, ne, nnames, nncon, nnobj, nnjac, objrow, objconst, a, ha, ka, bl, bu, name1,
              name2, hs, xn, pi, rc, inform, minwork, ninf, sinf, obj,
              [&](Context& ctx, tv::Problem& P, tv::EntryResult& res) {
                tv::tarvo_entry(ctx, start_view(start, startlen), P, names, *ns, z, *nwork, res);
              });
}

double tvsolf(int* n, int* j, int* flag, int* state, int* hs, double* bl, double* bu, double* rc,
              double* xn) {
  // A variable number below 1 names no element of the arrays.
  if (*j < 1) return 0.0;
  const int len = *j;
  double value = 0.0;
  tv::guarded([&] {
    value = tv::tvsolf(tv::default_context(), *n, *j, *flag, *state, tv::CIvec(hs, len), tv::CDvec(bl, len),
                       tv::CDvec(bu, len), tv::CDvec(rc, len), tv::CDvec(xn, len));
  });
  return value;
}

void tvsetfun(tv_funobj funobj, tv_funcon funcon) {
  tv::guarded([&] {
    Context& ctx = tv::default_context();
    ctx.funobj = funobj;
    ctx.funcon = funcon;
  });
}

int tvattach(int unit, const char* path, const char* mode) {
  if (!path) return 1;
  bool ok = false;
  tv::guarded([&] { ok = tv::default_context().io.attach(unit, path, mode ? mode : "w"); });
  return ok ? 0 : 1;
}

void tvdetach(int unit) {
  tv::guarded([&] { tv::default_context().io.detach(unit); });
}

}  // extern "C"

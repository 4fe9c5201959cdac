// The solver's evaluation callbacks over the host's evaluator.  funobj and
// funcon get the leading nonlinear columns of the point and return the whole
// value of the objective (of each nonlinear row) in those columns with its
// gradient: the host evaluates the nonlinear part, the linear entries of the
// same columns are added here.  Evaluation errors reported by the host, and
// host calls that fail, count against the host's limit DomLim: each one makes
// the call return mode -1 (undefined here), and once the errors of the solve
// pass the limit, mode -2 (stop).
//
// Every count the host returns is checked before it indexes a buffer: a
// sparse answer longer than the buffers is cut (with a warning), a column
// number outside the model or a Jacobian entry beyond its column's share of
// gcon is skipped and counted as an evaluation error.
#include <climits>

#include "tvl.h"

namespace tvl {
namespace {

// Entries of a sparse answer that the buffers can hold.
int usable_entries(tvlRec* tvl, int count) {
  if (count <= tvl->nbuf) return count > 0 ? count : 0;
  printWarning(tvl->env, "HMO: %d entries returned for buffers of %d, the rest ignored", count, tvl->nbuf);
  return tvl->nbuf;
}

// Whether one of the first k entries is nonlinear.
bool has_nonlinear(const tvlRec* tvl, int k, int nlcount) {
  if (nlcount > 0) return true;
  for (int e = 0; e < k; ++e)
    if (tvl->nlbuf[e]) return true;
  return false;
}

// Count the errors of one evaluation into the solve's total and the mode.
// Returns true when the solve has passed the limit.
bool count_errors(tvlRec* tvl, int errors, int* mode) {
  if (errors <= 0) return false;
  tvl->evalerrs = errors > INT_MAX - tvl->evalerrs ? INT_MAX : tvl->evalerrs + errors;
  *mode = -1;
  if (tvl->evalerrs > tvl->domlim) {
    *mode = -2;
    return true;
  }
  return false;
}

}  // namespace

void funobj(int* mode, int* nnobj, double* x, double* fobj, double* gobj, int* nstate, int* nprob, double* z,
            int* nwork) {
  const int nn = *nnobj;
  *fobj = 0.0;
  for (int j = 0; j < nn; ++j) gobj[j] = 0.0;
  tvlRec* tvl = global_tvl;
  if (!tvl || !tvl->gradbuf) {
    *mode = -2;  // no solve of this link is running
    return;
  }
  for (int j = 0; j < tvl->nbuf; ++j) tvl->gradbuf[j] = 0.0;
  if (!tvl->hasobj) return;

  const int ncols = nn < tvl->nbuf ? nn : tvl->nbuf;
  int errors = 0;
  int count = 0, nlcount = 0;
  if (hmoGetObjSparse(tvl->model, tvl->colbuf, tvl->valbuf, tvl->nlbuf, &count, &nlcount) != 0) {
    printWarning(tvl->env, "%s", "HMO: evaluate objective gradient failed!");
    count_errors(tvl, 1, mode);
    return;
  }
  count = usable_entries(tvl, count);
  if (has_nonlinear(tvl, count, nlcount)) {
    double f = 0.0, gx = 0.0;
    int e = 0;
    if (hmoEvalGradNLObj(tvl->model, x, &f, tvl->gradbuf, &gx, &e) != 0) {
      printWarning(tvl->env, "%s", "HMO: evaluate objective gradient failed!");
      count_errors(tvl, 1, mode);
      return;
    }
    *fobj = f;
    if (e > 0) errors += e;
  }
  for (int k = 0; k < count; ++k) {
    const int j = tvl->colbuf[k];
    if (j < 0 || j >= tvl->nbuf) {
      ++errors;  // a column the model does not have
      continue;
    }
    if (j >= ncols) continue;  // a linear column: the objective row holds it
    if (tvl->nlbuf[k]) {
      gobj[j] = tvl->gradbuf[j];
    } else {
      gobj[j] = tvl->valbuf[k];
      *fobj += tvl->valbuf[k] * x[j];
    }
  }
  count_errors(tvl, errors, mode);
}

void funcon(int* mode, int* nncon, int* nnjac, int* njac, double* x, double* fcon, double* gcon, int* nstate,
            int* nprob, double* z, int* nwork) {
  const int nrows = *nncon, ngcon = *njac;
  for (int i = 0; i < nrows; ++i) fcon[i] = 0.0;
  for (int k = 0; k < ngcon; ++k) gcon[k] = 0.0;
  tvlRec* tvl = global_tvl;
  if (!tvl || !tvl->gradbuf || !tvl->jacstart) {
    *mode = -2;
    return;
  }
  for (int j = 0; j < tvl->nbuf; ++j) {
    tvl->gradbuf[j] = 0.0;
    tvl->cntbuf[j] = 0;
  }
  if (hmoEvalNewPoint(tvl->model, x) != 0) {
    printWarning(tvl->env, "%s", "HMO: evaluate new point failed!");
    if (count_errors(tvl, 1, mode)) return;
  }
  // Jacobian columns as the link placed them.
  const int ncols = *nnjac < tvl->njaccols ? *nnjac : tvl->njaccols;
  const int* jacstart = tvl->jacstart;

  for (int i = 0; i < nrows; ++i) {
    int errors = 0;
    int count = 0, nlcount = 0;
    double f = 0.0, gx = 0.0;
    int e = 0;
    if (hmoGetRowSparse(tvl->model, i, tvl->colbuf, tvl->valbuf, tvl->nlbuf, &count, &nlcount) != 0 ||
        hmoEvalGradNL(tvl->model, i, x, &f, tvl->gradbuf, &gx, &e) != 0) {
      printWarning(tvl->env, "HMO: evaluate constraint gradient %d failed!", i);
      if (count_errors(tvl, 1, mode)) return;
      continue;
    }
    count = usable_entries(tvl, count);
    fcon[i] = f;
    if (e > 0) errors += e;
    for (int k = 0; k < count; ++k) {
      const int j = tvl->colbuf[k];
      if (j < 0 || j >= tvl->nbuf) {
        ++errors;
        continue;
      }
      if (j >= ncols) continue;
      const int at = jacstart[j] + tvl->cntbuf[j];
      if (at >= jacstart[j + 1] || at >= ngcon) {
        ++errors;  // more entries than the column had when the model was sent
        continue;
      }
      ++tvl->cntbuf[j];
      if (tvl->nlbuf[k]) {
        gcon[at] = tvl->gradbuf[j];
      } else {
        gcon[at] = tvl->valbuf[k];
        fcon[i] += tvl->valbuf[k] * x[j];
      }
    }
    if (count_errors(tvl, errors, mode)) return;
  }
}

}  // namespace tvl

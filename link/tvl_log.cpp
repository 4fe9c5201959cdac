// The solver's per-iteration log procedure.  Every call first looks at the
// host's terminate flag and resource limit (the solver stops at once when
// asked); then every hostlogfreq-th minor iteration and every major
// iteration get one line on the host's log, with a header before every
// tenth line of a kind.  A major line makes the next minor line start with
// a fresh header.
#include "tvl.h"

namespace tvl {

void tvlLog(int* kind, int* stop, int* major, int* minor, int* ninf, double* sinf, char* flag, double* step,
            double* objective, double* feasible, double* optimal, int* ns, int* ncon, double* penalty,
            int* bsswp, int flaglen) {
  tvlRec* tvl = global_tvl;
  if (!tvl || !kind || !stop) return;
  hevHandle_t env = tvl->env;

  if (hevTerminateGet(env)) {
    println(env, "%s", " Received interrupt signal, will stop shortly...");
    *stop = 2;
    return;
  }
  if (hevTimeDiffStart(env) > hevGetDblOpt(env, "ResLim")) {
    println(env, "%s", " Resource limit exceeded, will stop shortly...");
    *stop = 1;
    return;
  }

  if (*kind == 1) {
    const int itn = *minor;
    // A frequency of 0 or less would divide by zero: every iteration is logged.
    const int freq = tvl->hostlogfreq > 0 ? tvl->hostlogfreq : 1;
    if (itn % freq != 0) return;
    tvl->minlines %= 10;
    if (tvl->minlines == 0) {
      println(env, "%s", "    Itn  ninf      sinf       objective");
      tvl->majlines = 0;
    }
    println(env, "%7d%6d %10.3e %16.8e", itn, *ninf, *sinf, *objective);
    ++tvl->minlines;
  } else if (*kind == 2) {
    tvl->majlines %= 10;
    if (tvl->majlines == 0)
      println(env, "%s", " Major minor  step     objective  Feasible Optimal  nsb   ncon penalty BSswp");
    const char f = (flag && flaglen > 0) ? *flag : ' ';
    println(env, "%6d%6d%c %7.1e %12.5e %7.1e %7.1e %4d %6d %7.1e %5d", *major, *minor, f, *step, *objective,
            *feasible, *optimal, *ns, *ncon, *penalty, *bsswp);
    ++tvl->majlines;
    tvl->minlines = 0;
  }
}

}  // namespace tvl

// Workspace sizing: the solver's estimate for the model, or the host's
// WorkSpace setting, capped to what a 32-bit workspace length can address.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "tarvo_wrapper.h"
#include "tvl.h"

namespace tvl {
namespace {

constexpr double kWordsPerMb = 131072.0;  // 8-byte words in a megabyte

int clamp_int(long long v) { return static_cast<int>(std::clamp<long long>(v, 0, INT_MAX)); }

}  // namespace

int superbasicsEstimate(int nln) {
  const long long k = 5LL * nln;
  if (k > 19991) return 5000;
  if (k <= 3) return 3;
  return static_cast<int>(k / 4 + 2);
}

void tvlWorkspaceSize(tvlRec* tvl, int n, int m, int nz) {
  hevHandle_t env = tvl->env;
  const double workspace = hevGetDblOpt(env, "WorkSpace") * kWordsPerMb;
  const double workfactor = hevGetDblOpt(env, "WorkFactor");
  const int g = superbasicsEstimate(hmoNLN(tvl->model));

  // The estimate assumes half of everything is nonlinear.  A model without
  // columns is sized as one with a single column (the estimate divides by n).
  const long long N = std::max(n, 1), M = std::max(m, 0), NZ = std::max(nz, 0);
  const int nnobj = clamp_int(N / 2 + 1), nncon = clamp_int(M / 2 + 1), njac = clamp_int(NZ / 2 + 1);
  long long est = f_tvcore(clamp_int(M), clamp_int(N), clamp_int(NZ), clamp_int(N + M), g, g, nnobj, nncon,
                           nnobj, njac);
  est += 100000;

  double words;
  if (workspace == 0.0) {
    words = static_cast<double>(est) * workfactor;
  } else {
    words = std::ceil(workspace);
  }
  // Below one word (or not a number) becomes one word.
  if (!(words >= 1.0)) words = 1.0;
  std::uint64_t worksize = words >= 9.0e18 ? UINT64_MAX : static_cast<std::uint64_t>(words);
  if (worksize > static_cast<std::uint64_t>(INT_MAX)) {
    worksize = INT_MAX;
    printWarning(env, "%s", "internal allocation limit exceeded: work space request was capped");
  }
  tvl->worksize = worksize;

  println(env, "%s", "");
  if (workspace != 0.0 && workfactor != 1.0) {
    println(env, "%s", " workspace and workfactor both set: workfactor ignored");
    println(env, " Work space requested by solver -- %9.2f Mb", static_cast<double>(est) / kWordsPerMb);
    println(env, " Work space requested by user   -- %9.2f Mb", workspace / kWordsPerMb);
  } else if (workspace != 0.0) {
    println(env, " Work space requested by solver -- %9.2f Mb", static_cast<double>(est) / kWordsPerMb);
    println(env, " Work space requested by user   -- %9.2f Mb", workspace / kWordsPerMb);
  } else if (workfactor != 1.0) {
    println(env, " Work space requested by solver -- %9.2f Mb", static_cast<double>(est) / kWordsPerMb);
  }
  println(env, " Work space allocated           -- %9.2f Mb", static_cast<double>(worksize) / kWordsPerMb);
  println(env, "%s", "");
}

}  // namespace tvl

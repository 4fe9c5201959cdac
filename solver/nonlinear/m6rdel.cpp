// Changes of the superbasic set seen by R: deleting a superbasic (m6rdel)
// and bringing the most promising diagonal-only superbasic next to the
// triangle (m6swap).
//
// Deleting column jq of the triangle leaves rows jq..nr upper Hessenberg:
// old row i (i > jq) starts one column left of its new diagonal.  Each such
// subdiagonal element is rotated into the row above, and the row then moves
// up by one.  Rows keep their full storage length, so "moving up" is a
// shift of each row's entries one column to the left.
#include <algorithm>
#include <cmath>
#include <utility>

#include "nonlinear/m6hess.h"
#include "options/params.h"

namespace tv {

namespace {

template <class T>
void shift_down(Arr<T> a, int first, int last) {
  if (a.empty()) return;
  for (int k = first; k < last; ++k) a(k) = a(k + 1);
}

template <class T>
void exchange(Arr<T> a, int i, int j) {
  if (!a.empty()) std::swap(a(i), a(j));
}

}  // namespace

void m6rdel(int hdim, int ns, int jq, Dvec r, bool update, const SbLists& L) {
  if (jq < 1 || jq >= ns) return;  // the last one: nothing moves
  const double tolrot = kMachine.eps080;

  if (update) {
    int nr = std::min(hdim, ns);
    if (jq <= nr) {
      // Rows above jq lose column jq.
      for (int i = 1; i < jq; ++i)
        for (int j = jq + 1; j <= nr; ++j) r(m6rloc(hdim, i, j - 1)) = r(m6rloc(hdim, i, j));
      // Row jq without its diagonal becomes the new row jq.
      for (int j = jq + 1; j <= nr; ++j) r(m6rloc(hdim, jq, j - 1)) = r(m6rloc(hdim, jq, j));
      for (int i = jq + 1; i <= nr; ++i) {
        // New row i-1 holds columns i-1..nr-1 (new numbering) in row i-1;
        // old row i holds columns i..nr (old) = i-1..nr-1 (new) in row i,
        // its first element below the diagonal of new row i-1.
        double b = r(m6rloc(hdim, i, i));
        if (std::fabs(b) > tolrot) {
          double& a = r(m6rloc(hdim, i - 1, i - 1));
          double h = std::hypot(a, b);
          double c = a / h, s = b / h;
          a = h;
          for (int j = i + 1; j <= nr; ++j) {
            double& up = r(m6rloc(hdim, i - 1, j - 1));
            double& lo = r(m6rloc(hdim, i, j));
            double x = up, y = lo;
            up = c * x + s * y;
            lo = s * x - c * y;
          }
        }
        for (int j = i + 1; j <= nr; ++j) r(m6rloc(hdim, i, j - 1)) = r(m6rloc(hdim, i, j));
      }
      if (ns > hdim) {
        // The first diagonal-only superbasic enters the triangle as its last
        // column, with no off-diagonal entries.
        for (int i = 1; i < hdim; ++i) r(m6rloc(hdim, i, hdim)) = 0.0;
        r(m6rloc(hdim, hdim, hdim)) = r(m6dloc(hdim, hdim + 1));
        for (int j = hdim + 1; j < ns; ++j) r(m6dloc(hdim, j)) = r(m6dloc(hdim, j + 1));
      }
    } else {
      for (int j = jq; j < ns; ++j) r(m6dloc(hdim, j)) = r(m6dloc(hdim, j + 1));
    }
  }

  int m = L.m;
  shift_down(L.kbs, m + jq, m + ns);
  shift_down(L.xbs, m + jq, m + ns);
  shift_down(L.blbs, m + jq, m + ns);
  shift_down(L.bubs, m + jq, m + ns);
  shift_down(L.grd, m + jq, m + ns);
  shift_down(L.rg, jq, ns);
}

void m6swap(int hdim, int ns, Dvec r, const SbLists& L) {
  if (ns <= hdim + 1) return;
  int kmax = hdim + 1;
  double rgmax = -1.0;
  for (int k = hdim + 1; k <= ns; ++k) {
    double t = std::fabs(L.rg(k));
    if (t > rgmax) {
      rgmax = t;
      kmax = k;
    }
  }
  int k1 = hdim + 1;
  if (kmax == k1) return;
  int m = L.m;
  exchange(L.kbs, m + k1, m + kmax);
  exchange(L.xbs, m + k1, m + kmax);
  exchange(L.blbs, m + k1, m + kmax);
  exchange(L.bubs, m + k1, m + kmax);
  exchange(L.grd, m + k1, m + kmax);
  exchange(L.rg, k1, kmax);
  std::swap(r(m6dloc(hdim, k1)), r(m6dloc(hdim, kmax)));
}

}  // namespace tv

// Solves with the factors left by lu1fac and changed by lu8rpc.
//
// L is L0 (nlcols columns packed against lena) followed by single update
// entries below it, oldest first.  Each entry (a, indc = t, indr = s) means
// v(t) += a * v(s).  U rows are reached through iperm/locrow/lenrow with the
// diagonal first; positions beyond lurank have no pivot.
#include <cmath>

#include "lu/lu_impl.h"

namespace tv {

void lu6l(int m, int n, Dvec v, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f, int& inform) {
  const double small = lurpar(lur::small);
  const int nlcols = luipar(lup::numl0), lenl0 = luipar(lup::lenl0), lenl = luipar(lup::lenl);
  int l1 = lena + 1;
  for (int k = 1; k <= nlcols; ++k) {
    int len = f.lencol(k);
    int l2 = l1 - 1;
    l1 -= len;
    int ipiv = f.indr(l1);
    double vpiv = v(ipiv);
    if (std::fabs(vpiv) > small) {
      for (int l = l1; l <= l2; ++l) v(f.indc(l)) += f.a(l) * vpiv;
    }
  }
  for (int l = lena - lenl0; l >= lena - lenl + 1; --l) {
    double vs = v(f.indr(l));
    if (std::fabs(vs) > small) v(f.indc(l)) += f.a(l) * vs;
  }
  inform = 0;
}

void lu6lt(int m, int n, Dvec v, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f, int& inform) {
  const double small = lurpar(lur::small);
  const int nlcols = luipar(lup::numl0), lenl0 = luipar(lup::lenl0), lenl = luipar(lup::lenl);
  for (int l = lena - lenl + 1; l <= lena - lenl0; ++l) {
    double vt = v(f.indc(l));
    if (std::fabs(vt) > small) v(f.indr(l)) += f.a(l) * vt;
  }
  // L0 columns from the last (lowest) to the first.
  int l1 = lena - lenl0 + 1;
  for (int k = nlcols; k >= 1; --k) {
    int len = f.lencol(k);
    int l2 = l1 + len - 1;
    double sum = 0.0;
    for (int l = l1; l <= l2; ++l) sum += f.a(l) * v(f.indc(l));
    v(f.indr(l1)) += sum;
    l1 = l2 + 1;
  }
  inform = 0;
}

void lu6u(int m, int n, Dvec v, Dvec w, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f, int& inform,
          LuColIndex* cx) {
  const double small = lurpar(lur::small);
  const int nrank = luipar(lup::nrank);
  // With the column index, the solve by the reach when recent results were
  // sparse; the rows otherwise, counting the result's nonzeros for the choice.
  const bool index = cx != nullptr && cx->matches(luipar) && v.data() != w.data();
  if (!(index && cx->density < 0.1 && lu6u_reach(m, n, v, w, luipar, lurpar, f, *cx))) {
    int klast = 0;
    for (int k = nrank; k >= 1; --k) {
      if (std::fabs(v(f.iperm(k))) > small) {
        klast = k;
        break;
      }
    }
    for (int k = klast + 1; k <= n; ++k) w(f.jperm(k)) = 0.0;
    int nnz = 0;
    for (int k = klast; k >= 1; --k) {
      const int i = f.iperm(k), j = f.jperm(k);
      w(j) = lu6u_row(f, i, v(i), w, small);
      nnz += w(j) != 0.0 ? 1 : 0;
    }
    if (cx != nullptr) lu_index_density(cx->density, nnz, nrank);
  }
  double resid = 0.0;
  for (int k = nrank + 1; k <= m; ++k) resid += std::fabs(v(f.iperm(k)));
  lurpar(lur::resid) = resid;
  inform = resid > 0.0 ? 1 : 0;
}

void lu6ut(int m, int n, Dvec v, Dvec w, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f, int& inform,
           LuColIndex* cx) {
  const double small = lurpar(lur::small);
  const int nrank = luipar(lup::nrank);
  const bool index = cx != nullptr && cx->matches(luipar) && v.data() != w.data();
  if (!(index && cx->tdensity < 0.1 && lu6ut_reach(m, n, v, w, luipar, lurpar, f, *cx))) {
    for (int k = nrank + 1; k <= m; ++k) v(f.iperm(k)) = 0.0;
    int nnz = 0;
    for (int k = 1; k <= nrank; ++k) {
      const int i = f.iperm(k);
      v(i) = lu6ut_row(f, i, w(f.jperm(k)), w, small);
      nnz += v(i) != 0.0 ? 1 : 0;
    }
    if (cx != nullptr) lu_index_density(cx->tdensity, nnz, nrank);
  }
  double resid = 0.0;
  for (int k = nrank + 1; k <= n; ++k) resid += std::fabs(w(f.jperm(k)));
  lurpar(lur::resid) = resid;
  inform = resid > 0.0 ? 1 : 0;
}

// Modes 7 and 8: v <- D^-1 L0^-1 v (D the diagonal of U or its magnitude).
// Every pivot row is divided, including those whose column of L is empty
// (they have no stored L0 column to hang the division on).
void lu6ld(int mode, int m, int n, Dvec v, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f, int& inform) {
  const double small = lurpar(lur::small);
  const int nlcols = luipar(lup::numl0), nrank = luipar(lup::nrank);
  int l1 = lena + 1;
  for (int k = 1; k <= nlcols; ++k) {
    int len = f.lencol(k);
    int l2 = l1 - 1;
    l1 -= len;
    double vpiv = v(f.indr(l1));
    if (std::fabs(vpiv) > small) {
      for (int l = l1; l <= l2; ++l) v(f.indc(l)) += f.a(l) * vpiv;
    }
  }
  // A row's value is final once its own column has been applied, so the
  // divisions can all follow the forward pass.
  for (int k = 1; k <= nrank; ++k) {
    int ipiv = f.iperm(k);
    double vpiv = v(ipiv);
    if (std::fabs(vpiv) <= small) continue;
    double diag = f.a(f.locrow(ipiv));
    v(ipiv) = mode == 7 ? vpiv / diag : vpiv / std::fabs(diag);
  }
  inform = 0;
}

void lu6sol(int mode, int m, int n, Dvec v, Dvec w, int lena, Ivec luipar, Dvec lurpar,
            LuArrays& f, int& inform, LuColIndex* cx) {
  if (mode < 1 || mode > 8) return;
  const bool need_w = mode >= 3 && mode <= 6;
  if (m < 0 || n < 0 || v.size() < m || (need_w && w.size() < n) || f.a.size() < lena || f.indc.size() < lena ||
      f.indr.size() < lena) {
    inform = 8;
    luipar(lup::inform) = inform;
    return;
  }
  switch (mode) {
    case 1: lu6l(m, n, v, lena, luipar, lurpar, f, inform); break;
    case 2: lu6lt(m, n, v, lena, luipar, lurpar, f, inform); break;
    case 3: lu6u(m, n, v, w, lena, luipar, lurpar, f, inform, cx); break;
    case 4: lu6ut(m, n, v, w, lena, luipar, lurpar, f, inform, cx); break;
    case 5:
      lu6l(m, n, v, lena, luipar, lurpar, f, inform);
      lu6u(m, n, v, w, lena, luipar, lurpar, f, inform, cx);
      break;
    case 6:
      lu6ut(m, n, v, w, lena, luipar, lurpar, f, inform, cx);
      {
        int inf2 = 0;
        lu6lt(m, n, v, lena, luipar, lurpar, f, inf2);
      }
      break;
    case 7:
    case 8:
      lu6ld(mode, m, n, v, lena, luipar, lurpar, f, inform);
      lu6lt(m, n, v, lena, luipar, lurpar, f, inform);
      break;
  }
  luipar(lup::inform) = inform;
}

}  // namespace tv

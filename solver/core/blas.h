// The level-1 BLAS routines the solver uses (Debian's libblas), through
// their Fortran symbols, with thin wrappers that take counts and increments
// by value.
#pragma once

extern "C" {
double dasum_(const int* n, const double* x, const int* incx);
void daxpy_(const int* n, const double* a, const double* x, const int* incx, double* y, const int* incy);
void dscal_(const int* n, const double* a, double* x, const int* incx);
int idamax_(const int* n, const double* x, const int* incx);
}

namespace tv {

// The pointer arguments point at the first element used (element 1 of the
// vector in the BLAS sense; for a negative increment the BLAS walks from the
// far end as usual).
inline double dasum(int n, const double* x, int incx) { return n > 0 ? dasum_(&n, x, &incx) : 0.0; }
inline void daxpy(int n, double a, const double* x, int incx, double* y, int incy) {
  if (n > 0) daxpy_(&n, &a, x, &incx, y, &incy);
}
inline void dscal(int n, double a, double* x, int incx) {
  if (n > 0) dscal_(&n, &a, x, &incx);
}
// 1-based index of the first element of largest magnitude; 0 when n <= 0.
inline int idamax(int n, const double* x, int incx) { return n > 0 ? idamax_(&n, x, &incx) : 0; }

}  // namespace tv

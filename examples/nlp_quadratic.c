/* A nonlinear objective with linear constraints through the C entry tvnose.
 *
 *   minimize    (x1 - 3)^2 + (x2 - 3)^2
 *   subject to  x1 + x2 <= 4,   x1, x2 >= 0
 *
 * The answer is x = (2, 2) with objective 2; the row's multiplier is 2.
 *
 * Build: the CMake target example_nlp_quadratic (examples/CMakeLists.txt).
 * Run:   build/examples/example_nlp_quadratic   (prints the solution; the
 *        solver's print file goes to nlp_quadratic.print).
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tarvo.h"

/* The nonlinear objective.  x holds the nnobj leading columns (here both).
 * With *mode = 2 the gradient is wanted as well; entries left alone would be
 * estimated by differences.  Set *mode = -1 where f is undefined, or a value
 * below -1 to stop the run.  gobj has exactly nnobj entries. */
static void funobj(int* mode, int* nnobj, double* x, double* fobj, double* gobj, int* nstate,
                   int* nprob, double* z, int* nwork) {
  const double d1 = x[0] - 3.0, d2 = x[1] - 3.0;
  (void)nnobj; (void)nprob; (void)z; (void)nwork;
  if (*nstate == 1) printf("funobj: first call\n");
  if (*nstate >= 2) printf("funobj: final call, result %d\n", *nstate - 2);
  *fobj = d1 * d1 + d2 * d2;
  if (*mode == 2) {
    gobj[0] = 2.0 * d1;
    gobj[1] = 2.0 * d2;
  }
}

int main(void) {
  /* Dimensions: n columns, m rows (the slack of row i is variable n + i,
   * with A x + s = 0, so lo <= a_i x <= up gives -up <= s_i <= -lo). */
  int m = 1, n = 2, nb = 3, ne = 2;
  int nncon = 0, nnobj = 2, nnjac = 0, objrow = 0, nnames = 1;
  double objconst = 0.0;
  double a[2] = {1.0, 1.0};
  int ha[2] = {1, 1};
  int ka[3] = {1, 2, 3};
  double bl[3] = {0.0, 0.0, -4.0};
  double bu[3] = {1e20, 1e20, 1e20};
  int hs[3] = {0, 0, 0};
  double xn[3] = {0.0, 0.0, 0.0};
  double pi[1] = {0.0}, rc[3] = {0.0, 0.0, 0.0};
  int name1[1] = {0}, name2[1] = {0};
  char names[41] = "QUADRAT                                 ";
  int inform = 0, minwork = 0, ns = 0, ninf = 0, loglev = 0, nmajor = 0, nitns = 0, ncstat = 0;
  double sinf = 0.0, obj = 0.0, cviol = 0.0, cviolr = 0.0;
  int iprint = 9, isumm = 0, ispecs = 0, errors = 0;
  double small[1];
  double* z = small;
  int nwork = 1;

  tvattach(9, "nlp_quadratic.print", "w");
  tvsetfun(funobj, NULL); /* no nonlinear constraints: no funcon */
  tvstart(&iprint, &isumm, &ispecs);
  tvopt("Print level 1", &iprint, &isumm, &errors, 13);
  tvopt("Verify level 1", &iprint, &isumm, &errors, 14);

  /* The first call with too little workspace returns result 42 and the
   * words needed in minwork; the second call solves. */
  for (int pass = 0; pass < 2; ++pass) {
    tvnose("Cold", &m, &n, &nb, &ne, &nnames, &nncon, &nnobj, &nnjac, &objrow, &objconst, names, a, ha,
           ka, bl, bu, name1, name2, hs, xn, pi, rc, &inform, &minwork, &ns, &ninf, &sinf, &obj, z,
           &nwork, &loglev, NULL, &nmajor, &nitns, &ncstat, &cviol, &cviolr, 4);
    if (inform != TV_WORKSPACE) break;
    z = (double*)calloc((size_t)minwork, sizeof(double));
    if (!z) return 2;
    nwork = minwork;
  }
  if (z != small) free(z);
  tvdetach(9);

  printf("result %d, %d iterations\n", inform, nitns);
  printf("x = (%.6f, %.6f), objective %.6f, row multiplier %.6f\n", xn[0], xn[1], obj, pi[0]);
  return inform == TV_OPTIMAL ? 0 : 1;
}

/* TARVO: large-scale sparse optimizer -- subroutine entries.
 *
 * Every argument is passed by reference, arrays are 1-based in the sense of
 * the documentation (element 1 is the first element of the C array).  A
 * character argument is followed, at the end of the argument list, by its
 * length.  These entries use one process-wide solver context; C++ callers
 * who want independent solves use the Context-taking functions of
 * solver/core/entry.h instead.
 */
#ifndef TARVO_H
#define TARVO_H

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes (inform) of a solve.  Results up to 19 leave a usable point
 * in xn, hs, pi, rc. */
enum tv_inform {
  TV_OPTIMAL = 0,            /* optimal solution found */
  TV_INFEASIBLE = 1,         /* the problem is infeasible */
  TV_UNBOUNDED = 2,          /* the problem is unbounded (or badly scaled) */
  TV_ITERATION_LIMIT = 3,    /* too many iterations (or major iterations) */
  TV_NO_CHANGE = 4,          /* the objective has not changed for many iterations */
  TV_SUPERBASICS_LIMIT = 5,  /* the superbasics limit is too small */
  TV_USER_STOP = 6,          /* a user function asked to stop, or was undefined */
  TV_OBJ_GRADIENTS = 7,      /* the objective gradients appear to be wrong */
  TV_CON_GRADIENTS = 8,      /* the constraint gradients appear to be wrong */
  TV_CANNOT_IMPROVE = 9,     /* the current point cannot be improved upon */
  TV_NUMERICAL_ERROR = 10,   /* the general constraints cannot be satisfied accurately */
  TV_NO_SUPERBASIC = 11,     /* no superbasic to replace a basic variable */
  TV_FACTOR_TWICE = 12,      /* basis factorization requested twice in a row */
  TV_NEAR_OPTIMAL = 13,      /* near-optimal solution (reduced gradient still large) */
  TV_TIME_LIMIT = 18,        /* time limit, signalled through the log callback */
  TV_INTERRUPT = 19,         /* interrupt, signalled through the log callback */
  TV_LU_STORAGE = 20,        /* not enough storage for the basis factors */
  TV_LU_ERROR = 21,          /* error in the basis package */
  TV_SINGULAR_BASIS = 22,    /* the basis is singular after repeated factorization attempts */
  TV_BASIS_FILE = 30,        /* the basis file dimensions do not match this problem */
  TV_TOO_MANY_BASICS = 32,   /* system error: too many basic variables */
  TV_MPS_ERRORS = 40,        /* errors in an MPS file (MPS input only) */
  TV_MPS_FILE = 41,          /* an MPS file cannot be read (MPS input only) */
  TV_WORKSPACE = 42,         /* not enough workspace (nwork < minwork); nothing was done */
  TV_BAD_DATA = 43,          /* invalid problem data; nothing was done */
  TV_SYSTEM_ERROR = 44       /* memory could not be allocated, or another failure inside the solver */
};

/* Per-iteration log procedure (the `logfun` argument of tvnose).  kind 1
 * after a minor iteration, 2 after a major iteration.  *stop is set only to
 * ask for a stop: 1 acts as a time limit (result 18), 2 as an interrupt
 * (result 19).  The last argument is the length (1) of `flag`. */
typedef void (*tv_logfun)(int* kind, int* stop, int* major, int* minor, int* ninf,
                          double* sinf, char* flag, double* step, double* objective,
                          double* feasible, double* optimal, int* ns, int* ncon,
                          double* penalty, int* bsswp, int flaglen);

/* Nonlinear objective and constraint callbacks. */
typedef void (*tv_funobj)(int* mode, int* nnobj, double* x, double* fobj, double* gobj,
                          int* nstate, int* nprob, double* z, int* nwork);
typedef void (*tv_funcon)(int* mode, int* nncon, int* nnjac, int* njac, double* x,
                          double* fcon, double* gcon, int* nstate, int* nprob, double* z,
                          int* nwork);

/* Start a run: print and summary units (<= 0: none), SPECS unit; prints the
 * title and resets every parameter. */
void tvstart(int* iprint, int* isumm, int* ispecs);
/* The 30-character title (not zero-terminated). */
void tvtitle(char* title, int titlelen);
/* Read a SPECS file on unit *ispecs; *inform as described for SPECS files. */
void tvspec(int* ispecs, int* inform);
/* One SPECS phrase; *errors grows by one when the phrase is rejected. */
void tvopt(const char* phrase, int* iprint, int* isumm, int* errors, int phraselen);
void tvopti(const char* phrase, int* ivalue, int* iprint, int* isumm, int* errors, int phraselen);
void tvoptr(const char* phrase, double* rvalue, int* iprint, int* isumm, int* errors, int phraselen);

/* Workspace estimate for a problem before any array exists (clamped to the
 * 32-bit range), and the same estimate in 64 bits. */
void tvcore(int* m, int* n, int* ne, int* nb, int* hdim, int* maxs, int* nnobj, int* nncon,
            int* nnjac, int* njac, int* estimate);
void tvcore64(int* m, int* n, int* ne, int* nb, int* hdim, int* maxs, int* nnobj, int* nncon,
              int* nnjac, int* njac, long long* estimate);

/* Solve.  names: 5 names of 8 characters (40 characters, not terminated). */
void tvnoss(const char* start, int* m, int* n, int* nb, int* ne, int* nnames, int* nncon,
            int* nnobj, int* nnjac, int* objrow, double* objconst, const char* names,
            double* a, int* ha, int* ka, double* bl, double* bu, int* name1, int* name2,
            int* hs, double* xn, double* pi, double* rc, int* inform, int* minwork, int* ns,
            int* ninf, double* sinf, double* obj, double* z, int* nwork, int startlen);

void tvnose(const char* start, int* m, int* n, int* nb, int* ne, int* nnames, int* nncon,
            int* nnobj, int* nnjac, int* objrow, double* objconst, const char* names,
            double* a, int* ha, int* ka, double* bl, double* bu, int* name1, int* name2,
            int* hs, double* xn, double* pi, double* rc, int* inform, int* minwork, int* ns,
            int* ninf, double* sinf, double* obj, double* z, int* nwork, int* loglev,
            tv_logfun logfun, int* nmajor, int* nitns, int* ncstat, double* cviol,
            double* cviolr, int startlen);

/* As tvnoss for callers whose slacks are the row activities (not their negatives). */
void tarvo(const char* start, int* m, int* n, int* nb, int* ne, int* nnames, int* nncon,
           int* nnobj, int* nnjac, int* objrow, double* objconst, const char* names,
           double* a, int* ha, int* ka, double* bl, double* bu, int* name1, int* name2,
           int* hs, double* xn, double* pi, double* rc, int* inform, int* minwork, int* ns,
           int* ninf, double* sinf, double* obj, double* z, int* nwork, int startlen);

/* Solution state of variable *j after a solve (state 0..5, flag 0..4).  A *j
 * below 1 returns 0 and leaves *flag and *state alone. */
double tvsolf(int* n, int* j, int* flag, int* state, int* hs, double* bl, double* bu,
              double* rc, double* xn);

/* Nonlinear callbacks of the next solves (null: none); they stay set until
 * the next tvsetfun.  funobj gets x(1..nnobj) (the leading columns, unscaled)
 * and returns fobj and, when *mode is 2, the entries of gobj(1..nnobj) it
 * knows; entries it leaves alone are estimated by differences.  funcon
 * likewise for the nncon nonlinear rows, gcon(1..njac) in the order of the
 * Jacobian entries in the matrix.  *nstate is 1 at the first call of a run,
 * 2 + the result at the final call, else 0.  Returning *mode = -1 says the
 * functions are undefined at x; *mode < -1 stops the run (result 6).  z and
 * *nwork are the "Workspace (user)" words at the start of the workspace.
 * Every array has exactly the length stated: writing beyond it corrupts the
 * caller's or the solver's memory, which the solver cannot detect. */
void tvsetfun(tv_funobj funobj, tv_funcon funcon);

/* Attach a unit number to a file: mode "w" (create/truncate), "a" (append)
 * or "r" (read).  Returns 0 on success, 1 when the file cannot be opened.
 * Unit 6 is standard output until something else is attached to it. */
int tvattach(int unit, const char* path, const char* mode);
/* Close and detach a unit. */
void tvdetach(int unit);

#ifdef __cplusplus
}
#endif

#endif /* TARVO_H */

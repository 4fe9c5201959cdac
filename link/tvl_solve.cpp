// The solve behind tvlCallSolver: the host's model in the solver's layout
// (nonlinear columns and rows first, rows held as A x + s = 0 with the
// objective as one more free row), the solver call, and the results
// written back to the host through the solver's per-variable classification.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "tarvo_wrapper.h"
#include "tvl.h"

namespace tvl {
namespace {

constexpr double kInfBound = 1.0e+20;
constexpr double kBasisTol = 1.0e-7;  // a level this close to a bound is at it
constexpr int kNoObjective = 8;       // host model type without an objective

// Host row types.
constexpr int kEqual = 0, kAtLeast = 1, kAtMost = 2, kFree = 3;

// Host basis statuses.
constexpr int kAtLower = 0, kAtUpper = 1, kBasic = 2, kBetween = 3;

// A zero-filled array of count elements (never a null pointer for 0);
// false when the memory cannot be had.
template <class T>
bool alloc_buffer(T*& p, std::int64_t count) {
  std::free(p);
  p = static_cast<T*>(std::calloc(static_cast<size_t>(count > 0 ? count : 1), sizeof(T)));
  return p != nullptr;
}

// Such an array owned by the solve, freed on every path.
template <class T>
class Array {
 public:
  Array() = default;
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  ~Array() { std::free(p_); }
  bool alloc(std::int64_t count) { return alloc_buffer(p_, count); }
  void release() {
    std::free(p_);
    p_ = nullptr;
  }
  T* get() const { return p_; }
  T& operator[](std::int64_t i) const { return p_[i]; }

 private:
  T* p_ = nullptr;
};

class Solve {
 public:
  explicit Solve(tvlRec* tvl) : tvl_(tvl), mh_(tvl->model), env_(tvl->env), slot_(tvl->utils) {}
  ~Solve() { tvlFreeBuffers(tvl_); }
  int run();

 private:
  bool fail(int code, const char* what) {
    if (code == 5) raiseError(slot_, 5, "Failed calling HMO: %s", what);
    else raiseError(slot_, code, "%s", what);
    return false;
  }
  bool out_of_memory() { return fail(12, "Out of memory!"); }

  bool get_row(int i) {
    cnt_ = nlcnt_ = 0;
    if (hmoGetRowSparse(mh_, i, tvl_->colbuf, tvl_->valbuf, tvl_->nlbuf, &cnt_, &nlcnt_) != 0 ||
        !entries_valid())
      return fail(5, "get sparse row");
    return true;
  }
  bool get_obj() {
    cnt_ = nlcnt_ = 0;
    if (hmoGetObjSparse(mh_, tvl_->colbuf, tvl_->valbuf, tvl_->nlbuf, &cnt_, &nlcnt_) != 0 ||
        !entries_valid())
      return fail(5, "get sparse objective");
    return true;
  }
  // A sparse answer must fit the buffers and name columns of the model.
  bool entries_valid() const {
    if (cnt_ < 0 || cnt_ > n_) return false;
    for (int k = 0; k < cnt_; ++k)
      if (tvl_->colbuf[k] < 0 || tvl_->colbuf[k] >= n_) return false;
    return true;
  }

  bool setup();
  bool permute();
  bool levels_and_bounds();
  bool matrix();
  void start_basis();
  bool solver_settings();
  void call_solver();
  void status();
  bool write_solution();
  void head_and_tail();

  tvlRec* tvl_;
  hmoHandle_t mh_;
  hevHandle_t env_;
  clinkutilsRec* slot_;

  int n_ = 0, m_ = 0, mp_ = 0, nb_ = 0, ne_ = 0;
  int modeltype_ = 0;
  bool nonlinear_ = false;
  int nncon_ = 0, nnobj_ = 0, nnjac_ = 0;
  int cnt_ = 0, nlcnt_ = 0;  // of the last sparse query
  bool warm_ = false;
  bool maximize_ = false;

  Array<double> a_, bl_, bu_, xn_, pi_, rc_, z_;
  Array<int> ha_, ka_, hs_;

  int inform_ = 0, minwork_ = 0, ns_ = 0, ninf_ = 0, nmajor_ = 0, nitns_ = 0, ncstat_ = 0;
  double sinf_ = 0.0, obj_ = 0.0, cviol_ = 0.0, cviolr_ = 0.0;
  bool write_ = false;
};

// Host settings, sizes, buffers, and the row order of a linear model.
bool Solve::setup() {
  // DomLim bounds the evaluation errors of each solve.
  tvl_->evalerrs = 0;
  hmoObjStyleSet(mh_, 2);
  hmoObjReformSet(mh_, 1);
  hmoIndexBaseSet(mh_, 0);
  hmoPinfSet(mh_, kInfBound);
  hmoMinfSet(mh_, -kInfBound);
  n_ = hmoN(mh_);
  m_ = hmoM(mh_);
  if (n_ < 0 || m_ < 0) return fail(5, "get model size");
  modeltype_ = hmoModelType(mh_);
  tvl_->hasobj = modeltype_ != kNoObjective ? 1 : 0;
  tvl_->objrowx = -1;
  nonlinear_ = hmoNLNZ(mh_) >= 1 || hmoObjNLNZ(mh_) > 0;

  if (!alloc_buffer(tvl_->colbuf, n_) || !alloc_buffer(tvl_->nlbuf, n_) || !alloc_buffer(tvl_->cntbuf, n_) ||
      !alloc_buffer(tvl_->gradbuf, n_) || !alloc_buffer(tvl_->valbuf, n_))
    return out_of_memory();
  tvl_->nbuf = n_;

  if (!nonlinear_) {
    hmoSetNRowPerm(mh_);
    return true;
  }
  return permute();
}

// Nonlinear columns first (in constraints and objective, in
// constraints only, in the objective only), then the linear ones; nonlinear
// rows first, then the linear ones; free rows leave the model.
bool Solve::permute() {
  constexpr int kInCon = 1, kInObj = 2;
  Array<int> cls, colperm, rowperm;
  if (!cls.alloc(n_) || !colperm.alloc(n_) || !rowperm.alloc(m_)) return out_of_memory();

  int nrows = 0;
  for (int i = 0; i < m_; ++i) {
    if (hmoGetEquOrderOne(mh_, i) == 1) continue;
    const int type = hmoGetEquTypeOne(mh_, i);
    if (type == kFree) continue;
    if (type == 4) return fail(6, "Equation type =x= not supported.");
    if (type == 5) return fail(6, "Equation type =c= not supported.");
    if (type == 6) return fail(6, "Equation type =b= not supported.");
    if (!get_row(i)) return false;
    for (int k = 0; k < cnt_; ++k)
      if (tvl_->nlbuf[k]) cls[tvl_->colbuf[k]] |= kInCon;
    rowperm[nrows++] = i;
  }
  for (int i = 0; i < m_; ++i)
    if (hmoGetEquOrderOne(mh_, i) == 1 && hmoGetEquTypeOne(mh_, i) != kFree) rowperm[nrows++] = i;
  if (tvl_->hasobj) {
    if (!get_obj()) return false;
    for (int k = 0; k < cnt_; ++k)
      if (tvl_->nlbuf[k]) cls[tvl_->colbuf[k]] |= kInObj;
  }

  int pos = 0;
  for (const int want : {kInCon | kInObj, kInCon, kInObj, 0})
    for (int j = 0; j < n_; ++j)
      if (cls[j] == want) colperm[pos++] = j;
  int nboth = 0, njaconly = 0, nobjonly = 0;
  for (int j = 0; j < n_; ++j) {
    nboth += cls[j] == (kInCon | kInObj);
    njaconly += cls[j] == kInCon;
    nobjonly += cls[j] == kInObj;
  }
  nnjac_ = nboth + njaconly;
  nnobj_ = nnjac_ + nobjonly;

  if (hmoSetRvVarPermutation(mh_, colperm.get(), n_) != 0) return fail(5, "set variable permutation");
  if (hmoSetRvEquPermutation(mh_, rowperm.get(), nrows) != 0) return fail(5, "set equation permutation");
  return true;
}

// The solver's rows, bounds and start point.
bool Solve::levels_and_bounds() {
  m_ = hmoM(mh_);
  if (m_ < 0) return fail(5, "get model size");
  nncon_ = nonlinear_ ? hmoNLM(mh_) : 0;
  if (nncon_ < 0 || nncon_ > m_) return fail(5, "get number of nonlinear rows");
  if (nncon_ == 0) nnjac_ = 0;
  if (tvl_->hasobj) {
    tvl_->objrowx = m_;
    mp_ = m_ + 1;
  } else {
    tvl_->objrowx = -1;
    mp_ = m_;
  }
  const std::int64_t nb = static_cast<std::int64_t>(n_) + mp_;
  if (nb > INT32_MAX) return fail(6, "More than 2^31 variables not supported.");
  nb_ = static_cast<int>(nb);
  if (!bl_.alloc(nb_) || !bu_.alloc(nb_) || !xn_.alloc(nb_) || !rc_.alloc(nb_) || !hs_.alloc(nb_) ||
      !pi_.alloc(mp_))
    return out_of_memory();

  if (hmoGetVarL(mh_, xn_.get()) != 0) return fail(5, "get variable level");
  if (hmoGetVarLower(mh_, bl_.get()) != 0) return fail(5, "get variable lower bounds");
  if (hmoGetVarUpper(mh_, bu_.get()) != 0) return fail(5, "get variable upper bounds");
  if (hmoGetEquL(mh_, xn_.get() + n_) != 0) return fail(5, "get equation level");
  if (hmoGetEquM(mh_, pi_.get()) != 0) return fail(5, "get equation marginals");

  for (int i = 0; i < m_; ++i) {
    const int j = n_ + i;
    const double r = hmoGetRhsOne(mh_, i);
    switch (hmoGetEquTypeOne(mh_, i)) {
      case kEqual:
        bl_[j] = bu_[j] = -r;
        break;
      case kAtLeast:
        bl_[j] = -kInfBound;
        bu_[j] = -r;
        break;
      case kAtMost:
        bl_[j] = -r;
        bu_[j] = kInfBound;
        break;
      default: {
        char txt[kMsgLen] = "";
        hmoGetEquTypeTxt(mh_, i, txt);
        txt[kMsgLen - 1] = '\0';
        raiseError(slot_, 6, "Equation type '%s' not supported.", txt);
        return false;
      }
    }
    xn_[j] = -xn_[j];
  }

  if (tvl_->hasobj) {
    const int j = n_ + tvl_->objrowx;
    bl_[j] = -kInfBound;
    bu_[j] = kInfBound;
    xn_[j] = 0.0;
    if (!get_obj()) return false;
    for (int k = 0; k < cnt_; ++k)
      if (!tvl_->nlbuf[k]) xn_[j] -= tvl_->valbuf[k] * xn_[tvl_->colbuf[k]];
  }
  return true;
}

// The matrix by columns, rows in order (nonlinear rows first),
// the objective's linear part last; where each Jacobian column starts.
bool Solve::matrix() {
  int* count = tvl_->cntbuf;
  for (int j = 0; j < n_; ++j) count[j] = 0;
  std::int64_t ne = 0;
  for (int i = 0; i < m_; ++i) {
    if (!get_row(i)) return false;
    for (int k = 0; k < cnt_; ++k) ++count[tvl_->colbuf[k]];
    ne += cnt_;
  }
  if (tvl_->hasobj) {
    if (!get_obj()) return false;
    for (int k = 0; k < cnt_; ++k)
      if (tvl_->colbuf[k] >= nnobj_) {
        ++count[tvl_->colbuf[k]];
        ++ne;
      }
  }
  if (ne > INT32_MAX) return fail(6, "More than 2^31 nonzeros not supported.");
  ne_ = static_cast<int>(ne);
  if (!a_.alloc(ne_) || !ha_.alloc(ne_) || !ka_.alloc(static_cast<std::int64_t>(n_) + 1) ||
      !alloc_buffer(tvl_->jacstart, static_cast<std::int64_t>(nnjac_) + 1))
    return out_of_memory();
  tvl_->njaccols = nnjac_;

  // ka(j): 0-based start of column j; count becomes the fill position.
  ka_[0] = 0;
  for (int j = 0; j < n_; ++j) {
    ka_[j + 1] = ka_[j] + count[j];
    count[j] = ka_[j];
  }
  for (int i = 0; i < m_; ++i) {
    if (!get_row(i)) return false;
    for (int k = 0; k < cnt_; ++k) {
      const int j = tvl_->colbuf[k];
      // The host may answer differently the second time; never write past a column.
      if (count[j] >= ka_[j + 1]) return fail(5, "get sparse row");
      ha_[count[j]] = i;
      a_[count[j]] = tvl_->valbuf[k];
      ++count[j];
    }
  }
  if (tvl_->hasobj) {
    if (!get_obj()) return false;
    for (int k = 0; k < cnt_; ++k) {
      const int j = tvl_->colbuf[k];
      if (j < nnobj_) continue;
      if (count[j] >= ka_[j + 1]) return fail(5, "get sparse objective");
      ha_[count[j]] = tvl_->objrowx;
      a_[count[j]] = tvl_->valbuf[k];
      ++count[j];
    }
  }
  for (int j = 0; j < n_; ++j)
    if (count[j] != ka_[j + 1]) return fail(5, "get sparse row");

  // Entries of Jacobian column j in the nonlinear rows: they lead the column.
  int* jacstart = tvl_->jacstart;
  jacstart[0] = 0;
  for (int j = 0; j < nnjac_; ++j) {
    int k = ka_[j];
    while (k < ka_[j + 1] && ha_[k] < nncon_) ++k;
    jacstart[j + 1] = jacstart[j] + (k - ka_[j]);
  }
  return true;
}

// A Warm start from the host's basis statuses.
void Solve::start_basis() {
  warm_ = hmoHaveBasis(mh_) != 0 && modeltype_ != kNoObjective;
  if (!warm_) return;
  auto state = [&](int hoststat, int j) {
    if (hoststat == kBasic) return 3;
    if (xn_[j] <= bl_[j] + kBasisTol) return 0;
    if (xn_[j] >= bu_[j] - kBasisTol) return 1;
    return 3;
  };
  for (int j = 0; j < n_; ++j) hs_[j] = state(hmoGetVarStatOne(mh_, j), j);
  for (int i = 0; i < m_; ++i) hs_[n_ + i] = state(hmoGetEquStatOne(mh_, i), n_ + i);
  if (tvl_->hasobj) hs_[n_ + tvl_->objrowx] = 3;
}

// Sense and superbasics limit, after the user's options.
bool Solve::solver_settings() {
  int err = 0;
  if (tvl_->hasobj) {
    const int sense = hmoSense(mh_);
    if (sense != 0 && sense != 1) return fail(6, "Only supports optimization sense min and max.");
    maximize_ = sense == 1;
    f_tvopt(maximize_ ? "Maximize" : "Minimize", kMsgLen, &err);
    if (err) return fail(10, "set objective sense");
  }
  f_tvopti("Superbasics Limit", kMsgLen, superbasicsEstimate(hmoNLN(mh_)), &err);
  if (err) return fail(10, "set superbasic limit");
  return true;
}

// The solver call with 1-based row and column indices.
void Solve::call_solver() {
  char names[41];
  std::memset(names, ' ', 40);
  std::memcpy(names, "ORBA    ", 8);
  names[40] = '\0';
  // The solver's arrays are 1-based.
  for (int k = 0; k < ne_; ++k) ++ha_[k];
  for (int j = 0; j <= n_; ++j) ++ka_[j];
  const double objconst = hmoObjConst(mh_);
  const int objrow = tvl_->objrowx + 1;
  ns_ = 0;
  // The evaluation callbacks (a linear model has none) reach this link
  // through global_tvl; they are cleared again when the solve is over.
  if (nonlinear_) f_tvsetfun(funobj, funcon);
  else f_tvsetfun(nullptr, nullptr);
  f_tvnose(warm_ ? "Warm" : "Cold", mp_, n_, ne_, objconst, nncon_, nnobj_, nnjac_, objrow, names, a_.get(),
           ha_.get(), ka_.get(), bl_.get(), bu_.get(), hs_.get(), xn_.get(), pi_.get(), rc_.get(), &inform_,
           &minwork_, &ns_, &ninf_, &sinf_, &obj_, z_.get(), static_cast<int>(tvl_->worksize), 1, tvlLog,
           &nmajor_, &nitns_, &ncstat_, &cviol_, &cviolr_);
  f_tvsetfun(nullptr, nullptr);
}

// The result code as the host's model and solve status.
void Solve::status() {
  hmoModelStatSet(mh_, (ninf_ != 0 || ncstat_ > 1) ? 6 : 7);
  println(env_, "%s", "");
  const ExitReport e = exitReport(inform_, obj_, minwork_, modeltype_ == kNoObjective, nonlinear_,
                                  inform_ == TV_INFEASIBLE && hmoNLNZ(mh_) > 0, tvl_->domlim < tvl_->evalerrs);
  for (const std::string& line : e.lines) println(env_, "%s", line.c_str());
  if (e.modelstat > 0) hmoModelStatSet(mh_, e.modelstat);
  hmoSolveStatSet(mh_, e.solvestat);
  write_ = e.write;
}

// Level, marginal, basis status and condition of every row and
// column (the objective row is the solver's own).
bool Solve::write_solution() {
  bool infeasible = false;
  auto record = [&](int j, bool is_row, int& basis, int& cond, double& marginal) {
    int flag = 0, state = 0;
    f_tvsolf(n_, j + 1, &flag, &state, hs_.get(), bl_.get(), bu_.get(), rc_.get(), xn_.get());
    switch (state) {
      case 0:
        basis = kAtLower;
        break;
      case 1:
        basis = kAtUpper;
        break;
      case 3:
        basis = kBasic;
        marginal = 0.0;
        break;
      case 4: {
        // A fixed variable is at the bound its reduced cost pushes against.
        const double d = rc_[j];
        const bool upper = is_row ? (maximize_ ? d <= 0.0 : d >= 0.0) : (maximize_ ? d >= 0.0 : d <= 0.0);
        basis = upper ? kAtUpper : kAtLower;
        break;
      }
      default:  // superbasic, or nonbasic between its bounds
        basis = kBetween;
        break;
    }
    if (flag == 3) {
      cond = 2;
      infeasible = true;
    } else {
      cond = (flag == 4 && inform_ != TV_OPTIMAL) ? 1 : 0;
    }
  };
  for (int i = 0; i < m_; ++i) {
    const int j = n_ + i;
    double marginal = 0.0 - rc_[j];
    int basis = 0, cond = 0;
    record(j, true, basis, cond, marginal);
    if (hmoSetSolutionEquRec(mh_, i, 0.0 - xn_[j], marginal + 0.0, basis, cond) != 0)
      return fail(5, "set solution equation record");
  }
  for (int j = 0; j < n_; ++j) {
    double marginal = rc_[j];
    int basis = 0, cond = 0;
    record(j, false, basis, cond, marginal);
    if (hmoSetSolutionVarRec(mh_, j, xn_[j] + 0.0, marginal + 0.0, basis, cond) != 0)
      return fail(5, "set solution variable record");
  }
  if (infeasible) {
    const int ms = hmoModelStat(mh_);
    if (ms == 1 || ms == 2 || ms == 7 || ms == 15 || ms == 16 || ms == 17)
      printWarning(env_, "%s", "Feasible w.r.t. scaled model. Unscaled model has infeasibilities.");
  }
  return true;
}

// Statistics for the host, and the host completes what was not written.
void Solve::head_and_tail() {
  hmoSetHeadnTail(mh_, 3, nitns_);
  hmoSetHeadnTail(mh_, 4, hevTimeDiffStart(env_));
  hmoSetHeadnTail(mh_, 6, tvl_->evalerrs);
  if (tvl_->hasobj) hmoSetHeadnTail(mh_, 5, obj_);
  hmoCompleteSolution(mh_);
}

int Solve::run() {
  if (!setup() || !levels_and_bounds() || !matrix()) return slot_->code;
  start_basis();
  if (!solver_settings()) return slot_->code;
  if (tvl_->worksize > static_cast<std::uint64_t>(INT32_MAX)) tvl_->worksize = INT32_MAX;
  if (!z_.alloc(static_cast<std::int64_t>(tvl_->worksize))) return out_of_memory();
  call_solver();
  // The workspace and the matrix are not needed past the solve.
  z_.release();
  a_.release();
  ha_.release();
  ka_.release();
  status();
  if (write_ && !write_solution()) return slot_->code;
  head_and_tail();
  return slot_->code;
}

}  // namespace

ExitReport exitReport(int inform, double obj, int minwork, bool noobjective, bool nonlinear, bool nlrows,
                      bool domlim_exceeded) {
  ExitReport e;
  auto set = [&](std::initializer_list<const char*> lines, int modelstat, int solvestat, bool write) {
    for (const char* l : lines) e.lines.emplace_back(l);
    e.modelstat = modelstat;
    e.solvestat = solvestat;
    e.write = write;
  };
  char text[kMsgLen];
  switch (inform) {
    case TV_OPTIMAL:
      std::snprintf(text, sizeof text, " EXIT - Optimal Solution found, objective: %g", obj);
      set({text}, noobjective ? 16 : nonlinear ? 2 : 1, 1, true);
      break;
    case TV_INFEASIBLE:
      set({" EXIT - The problem is infeasible."}, nlrows ? 5 : 4, 1, true);
      break;
    case TV_UNBOUNDED:
      set({" EXIT - The problem is unbounded (or badly scaled)."}, 3, 1, false);
      break;
    case TV_ITERATION_LIMIT:
      set({" EXIT - Too many iterations."}, 0, 2, true);
      break;
    case TV_NO_CHANGE:
      set({" EXIT - The objective has not changed in many iterations."}, 0, 4, true);
      break;
    case TV_SUPERBASICS_LIMIT:
      set({" EXIT - The Superbasics Limit is too small."}, 0, 4, false);
      break;
    case TV_USER_STOP:
      if (domlim_exceeded) set({" EXIT - Function evaluation error limit exceeded."}, 0, 5, true);
      else set({" EXIT - Constraint and objective values could not be calculated."}, 0, 4, true);
      break;
    case TV_CANNOT_IMPROVE:
    case TV_FACTOR_TWICE:
    case TV_NEAR_OPTIMAL:
      set({" EXIT - The current point cannot be improved."}, 0, 4, true);
      break;
    case TV_NUMERICAL_ERROR:
      set({" EXIT - Numerical error in trying to satisfy the linear constraints",
           "        (or the linearized constraints). The basis is very ill-conditioned."},
          0, 4, false);
      break;
    case TV_TIME_LIMIT:
      set({" EXIT - Time limit reached."}, 0, 3, false);
      break;
    case TV_INTERRUPT:
      set({" EXIT - Terminated by user."}, 0, 8, false);
      break;
    case TV_LU_STORAGE:
      set({" EXIT - Not enough storage to solve the model."}, 13, 9, false);
      break;
    case TV_WORKSPACE:
      std::snprintf(text, sizeof text, "        Request at least %8.2f Mbytes.",
                    minwork * 1.1 * 8 / 1024 / 1024 + 0.005);
      set({" EXIT - Not enough storage to solve the model.", text}, 13, 9, false);
      break;
    default:
      set({" EXIT - Systems error."}, 0, 4, false);
      break;
  }
  return e;
}

void tvlFreeBuffers(tvlRec* tvl) {
  std::free(tvl->jacstart);
  std::free(tvl->colbuf);
  std::free(tvl->nlbuf);
  std::free(tvl->cntbuf);
  std::free(tvl->gradbuf);
  std::free(tvl->valbuf);
  tvl->jacstart = tvl->colbuf = tvl->nlbuf = tvl->cntbuf = nullptr;
  tvl->gradbuf = tvl->valbuf = nullptr;
  tvl->nbuf = tvl->njaccols = 0;
}

int tvlModelSolve(tvlRec* tvl) {
  Solve solve(tvl);
  return solve.run();
}

}  // namespace tvl

// The exported entry points, the load and unload hooks, and the 13 steps
// of readying a link for one model.
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "tarvo_wrapper.h"
#include "tvl.h"
#include "tvlink.h"

namespace tvl {

tvlRec* global_tvl = nullptr;

namespace {

__attribute__((constructor)) void tvl_load_hook() {
  hmoInitMutexes();
  hevInitMutexes();
  optInitMutexes();
}

__attribute__((destructor)) void tvl_unload_hook() {
  hmoFiniMutexes();
  hevFiniMutexes();
  optFiniMutexes();
}

// Steps 8 and 11: (re)open the print file and reset the solver's parameters.
void start_solver(tvlRec* tvl) {
  char path[kMsgLen] = "";
  hevGetScratchName(tvl->env, "tarvo55Print", path);
  path[kMsgLen - 1] = '\0';
  int err = 0;
  f_tvstart(path, kMsgLen, &err);
  if (err)
    printWarning(tvl->env, "Can't open TARVO print file (%s). It will be suppressed from the sysout file",
                 path);
}

// Steps 1 to 12; every failure leaves a pending error or returns false
// (the definitions could not be read; that error is already printed).
bool ready_steps(tvlRec* tvl, hmoHandle_t model) {
  clinkutilsRec* slot = tvl->utils;
  char msg[kMsgLen] = "";

  // 1. Model-object interface.
  if (!hmoGetReady(msg, kMsgLen)) {
    raiseError(slot, 2, "Can't initialize %s: %s", "HMO", msg);
    return true;
  }
  hmoSetExitIndicator(0);  // a missing host function must never end the host
  // 2.
  tvl->model = model;
  slot->model = model;
  if (!model) {
    raiseError(slot, 2, "Can't initialize %s: %s", "HMO", "no model object");
    return true;
  }
  // 3. Environment interface.
  if (!hevGetReady(msg, kMsgLen)) {
    raiseError(slot, 2, "Can't initialize %s: %s", "HEV", msg);
    return true;
  }
  hevSetExitIndicator(0);
  // 4.
  hevHandle_t env = static_cast<hevHandle_t>(hmoEnvironment(model));
  if (!env) {
    raiseError(slot, 2, "Can't initialize %s: %s", "HEV", "the model object has no environment");
    return true;
  }
  tvl->env = env;
  slot->env = env;
  // 5. Option object and its definitions, once per link.
  if (!tvl->options) {
    if (!optGetReady(msg, kMsgLen)) {
      raiseError(slot, 2, "Can't initialize %s: %s", "OPT", msg);
      return true;
    }
    optSetExitIndicator(0);
    optHandle_t options = nullptr;
    if (!optCreate(&options, msg, kMsgLen)) {
      raiseError(slot, 2, "Can't initialize %s: %s", "OPT", msg);
      return true;
    }
    int init = 1;
    try {
      init = optionInit(env, options, "opttarvo.def");
    } catch (...) {
      optFree(&options);  // not yet the link's: it would be lost
      throw;
    }
    if (init != 0) {
      optFree(&options);  // a later call starts over
      return false;
    }
    tvl->options = options;
  }
  // 6.
  if (hmoNLNZ64(model) > INT_MAX || hmoNZ64(model) > INT_MAX) {
    raiseError(slot, 6, "More than 2^31 nonzeros not supported.");
    return true;
  }
  // 7. Banner.
  char title[64];
  f_tvtitle(title, static_cast<int>(sizeof title));
  println(env, "%s", title);
  println(env, "%s", "");
  println(env, "%s", "    ORBA/TARVO 5.6, Large Scale Nonlinear Solver");
  // 8.
  start_solver(tvl);
  // 9.
  const int n = hmoN(model), m = hmoM(model), nz = hmoNZ(model);
  f_tvspec();
  int err = 0;
  f_tvopt("Jacobian Sparse", 72, &err);
  if (err) raiseError(slot, 10, "set option 'Jacobian'");
  f_tvopti("Superbasics Limit", 72, 5000, &err);
  if (err) raiseError(slot, 10, "set option 'Superbasics Limit'");
  // 10.
  tvlWorkspaceSize(tvl, n, m, nz);
  // 11. Re-open the print file; every parameter is unset again.
  start_solver(tvl);
  // 12. The user's option file, the link's defaults, the user's settings.
  if (hmoOptFile(model)) {
    char name[kMsgLen] = "";
    hmoNameOptFile(model, name);
    name[kMsgLen - 1] = '\0';
    if (optionRead(env, tvl->options, name) != 0) return true;
  }
  if (tvlOptionDefault(tvl) == 0) tvlOptionApply(tvl);
  return true;
}

int ready(tvlRec* tvl, hmoHandle_t model) {
  tvl->ready = 0;
  const bool reached = ready_steps(tvl, model);
  // 13.
  if (reportPending(tvl->utils) || !reached) return 1;
  tvl->ready = 1;
  return 0;
}

int call_solver(tvlRec* tvl) {
  clinkutilsRec* slot = tvl->utils;
  if (!tvl->ready) {
    raiseError(slot, 2, "%s", "The link is not ready: tvlReadyAPI must succeed before tvlCallSolver");
  } else if (global_tvl != tvl) {
    // The callbacks would reach another link object.
    raiseError(slot, 1, "%s", "Only the most recently created link object can solve");
  } else {
    hevTimeDiffStart(tvl->env);
    if (tvlModelSolve(tvl) == 0) println(tvl->env, "%s", "");
    tvlFreeBuffers(tvl);
  }
  return reportPending(slot) ? 1 : 0;
}

// Nothing may leave an entry point by exception; the only one expected is
// an allocation failure.
int out_of_memory(tvlRec* tvl) {
  raiseError(tvl->utils, 12, "%s", "Out of memory!");
  reportPending(tvl->utils);
  return 1;
}

}  // namespace
}  // namespace tvl

using tvl::tvlRec;

extern "C" {

int tvlCreate(void** Cptr, char* msgBuf, int msgBufLen) {
  if (msgBuf && msgBufLen > 0) msgBuf[0] = '\0';
  if (!Cptr) return 1;
  *Cptr = nullptr;
  auto* tvl = new (std::nothrow) tvlRec();
  tvl::clinkutilsRec* slot = tvl ? tvl::clinkutilsCreate() : nullptr;
  if (!slot) {
    delete tvl;
    if (msgBuf && msgBufLen > 0) std::snprintf(msgBuf, static_cast<size_t>(msgBufLen), "%s", "Out of memory!");
    return 1;
  }
  tvl->utils = slot;
  *Cptr = tvl;
  tvl::global_tvl = tvl;
  return 0;
}

void tvlFree(void** Cptr) {
  if (!Cptr || !*Cptr) return;
  auto* tvl = static_cast<tvlRec*>(*Cptr);
  if (tvl->model && tvl->options && optLibraryLoaded()) optFree(&tvl->options);
  tvl::clinkutilsFree(tvl->utils);
  tvl::tvlFreeBuffers(tvl);
  // Only this object's own reference is cleared; another live link stays reachable.
  if (tvl::global_tvl == tvl) tvl::global_tvl = nullptr;
  delete tvl;
  *Cptr = nullptr;
}

int tvlReadyAPI(void* Cptr, void* model) {
  if (!Cptr) return 1;
  try {
    return tvl::ready(static_cast<tvlRec*>(Cptr), static_cast<hmoHandle_t>(model));
  } catch (...) {
    return tvl::out_of_memory(static_cast<tvlRec*>(Cptr));
  }
}

int tvlCallSolver(void* Cptr) {
  if (!Cptr) return 1;
  try {
    return tvl::call_solver(static_cast<tvlRec*>(Cptr));
  } catch (...) {
    return tvl::out_of_memory(static_cast<tvlRec*>(Cptr));
  }
}

}  // extern "C"

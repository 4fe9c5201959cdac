// Model-object interface of the host (sizes, model transfer, results,
// evaluation), bound at run time ("libvoskdclib").  Indices follow the base
// set with hmoIndexBaseSet; string results go into buffers of at least 256
// bytes; a nonzero int result of a query or a write means failure.
#pragma once

#include <cstdint>

#include "api_layer.h"

typedef struct hmoRec* hmoHandle_t;

#define TV_HMO_FUNCTIONS(X)                                                                    \
  X(hmoEnvironment, "hmoEnvironment", void*, (hmoHandle_t mh))                                 \
  X(hmoN, "hmoN", int, (hmoHandle_t mh))                                                       \
  X(hmoM, "hmoM", int, (hmoHandle_t mh))                                                       \
  X(hmoNZ, "hmoNZ", int, (hmoHandle_t mh))                                                     \
  X(hmoNZ64, "hmoNZ64", std::int64_t, (hmoHandle_t mh))                                        \
  X(hmoNLNZ, "hmoNLNZ", int, (hmoHandle_t mh))                                                 \
  X(hmoNLNZ64, "hmoNLNZ64", std::int64_t, (hmoHandle_t mh))                                    \
  X(hmoObjNLNZ, "hmoObjNLNZ", int, (hmoHandle_t mh))                                           \
  X(hmoNLN, "hmoNLN", int, (hmoHandle_t mh))                                                   \
  X(hmoNLM, "hmoNLM", int, (hmoHandle_t mh))                                                   \
  X(hmoModelType, "hmoModelType", int, (hmoHandle_t mh))                                       \
  X(hmoOptFile, "hmoOptFile", int, (hmoHandle_t mh))                                           \
  X(hmoNameOptFile, "ChmoNameOptFile", void, (hmoHandle_t mh, char* name))                     \
  X(hmoObjStyleSet, "hmoObjStyleSet", void, (hmoHandle_t mh, int style))                       \
  X(hmoObjReformSet, "hmoObjReformSet", void, (hmoHandle_t mh, int reform))                    \
  X(hmoIndexBaseSet, "hmoIndexBaseSet", void, (hmoHandle_t mh, int base))                      \
  X(hmoPinfSet, "hmoPinfSet", void, (hmoHandle_t mh, double pinf))                             \
  X(hmoMinfSet, "hmoMinfSet", void, (hmoHandle_t mh, double minf))                             \
  X(hmoSetNRowPerm, "hmoSetNRowPerm", void, (hmoHandle_t mh))                                  \
  X(hmoSetRvVarPermutation, "hmoSetRvVarPermutation", int, (hmoHandle_t mh, int* perm, int n)) \
  X(hmoSetRvEquPermutation, "hmoSetRvEquPermutation", int, (hmoHandle_t mh, int* perm, int n)) \
  X(hmoGetEquOrderOne, "hmoGetEquOrderOne", int, (hmoHandle_t mh, int i))                      \
  X(hmoGetEquTypeOne, "hmoGetEquTypeOne", int, (hmoHandle_t mh, int i))                        \
  X(hmoGetEquTypeTxt, "ChmoGetEquTypeTxt", void, (hmoHandle_t mh, int i, char* txt))           \
  X(hmoGetRowSparse, "hmoGetRowSparse", int,                                                   \
    (hmoHandle_t mh, int i, int* cols, double* vals, int* nlflags, int* count, int* nlcount))  \
  X(hmoGetObjSparse, "hmoGetObjSparse", int,                                                   \
    (hmoHandle_t mh, int* cols, double* vals, int* nlflags, int* count, int* nlcount))         \
  X(hmoGetVarL, "hmoGetVarL", int, (hmoHandle_t mh, double* x))                                \
  X(hmoGetVarLower, "hmoGetVarLower", int, (hmoHandle_t mh, double* x))                        \
  X(hmoGetVarUpper, "hmoGetVarUpper", int, (hmoHandle_t mh, double* x))                        \
  X(hmoGetEquL, "hmoGetEquL", int, (hmoHandle_t mh, double* x))                                \
  X(hmoGetEquM, "hmoGetEquM", int, (hmoHandle_t mh, double* x))                                \
  X(hmoGetRhsOne, "hmoGetRhsOne", double, (hmoHandle_t mh, int i))                             \
  X(hmoHaveBasis, "hmoHaveBasis", int, (hmoHandle_t mh))                                       \
  X(hmoGetVarStatOne, "hmoGetVarStatOne", int, (hmoHandle_t mh, int j))                        \
  X(hmoGetEquStatOne, "hmoGetEquStatOne", int, (hmoHandle_t mh, int i))                        \
  X(hmoSense, "hmoSense", int, (hmoHandle_t mh))                                               \
  X(hmoObjConst, "hmoObjConst", double, (hmoHandle_t mh))                                      \
  X(hmoModelStat, "hmoModelStat", int, (hmoHandle_t mh))                                       \
  X(hmoModelStatSet, "hmoModelStatSet", void, (hmoHandle_t mh, int stat))                      \
  X(hmoSolveStatSet, "hmoSolveStatSet", void, (hmoHandle_t mh, int stat))                      \
  X(hmoSetSolutionEquRec, "hmoSetSolutionEquRec", int,                                         \
    (hmoHandle_t mh, int i, double level, double marginal, int basis, int cond))               \
  X(hmoSetSolutionVarRec, "hmoSetSolutionVarRec", int,                                         \
    (hmoHandle_t mh, int j, double level, double marginal, int basis, int cond))               \
  X(hmoSetHeadnTail, "hmoSetHeadnTail", void, (hmoHandle_t mh, int item, double value))        \
  X(hmoCompleteSolution, "hmoCompleteSolution", void, (hmoHandle_t mh))                        \
  X(hmoEvalNewPoint, "hmoEvalNewPoint", int, (hmoHandle_t mh, double* x))                      \
  X(hmoEvalGradNL, "hmoEvalGradNL", int,                                                       \
    (hmoHandle_t mh, int i, double* x, double* f, double* g, double* gx, int* errors))         \
  X(hmoEvalGradNLObj, "hmoEvalGradNLObj", int,                                                 \
    (hmoHandle_t mh, double* x, double* f, double* g, double* gx, int* errors))

TV_HMO_FUNCTIONS(TV_API_DECLARE_POINTER)
TV_API_LAYER_DECLARE(hmo, hmoHandle_t)
int hmoCreateDD(hmoHandle_t* pH, const char* dirName, const char* data, char* msgBuf, int msgBufLen);


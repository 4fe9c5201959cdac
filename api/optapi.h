// Option-object interface of the host, bound at run time ("liboptdclib").
// String results are written into caller buffers of at least 256 bytes.
#pragma once

#include "api_layer.h"

typedef struct optRec* optHandle_t;

// X(name, symbol, result, (parameters)): the functions the link calls.
#define TV_OPT_FUNCTIONS(X)                                                                   \
  X(optReadDefinition, "CoptReadDefinition", int, (optHandle_t oh, const char* fn))           \
  X(optReadParameterFile, "CoptReadParameterFile", int, (optHandle_t oh, const char* fn))     \
  X(optMessageCount, "optMessageCount", int, (optHandle_t oh))                                \
  X(optGetMessage, "CoptGetMessage", void, (optHandle_t oh, int nrmsg, char* msg, int* itype)) \
  X(optClearMessages, "optClearMessages", void, (optHandle_t oh))                             \
  X(optEOLOnlySet, "optEOLOnlySet", void, (optHandle_t oh, int x))                            \
  X(optResetAllRecent, "optResetAllRecent", void, (optHandle_t oh))                           \
  X(optEchoSet, "optEchoSet", void, (optHandle_t oh, int x))                                  \
  X(optCount, "optCount", int, (optHandle_t oh))                                              \
  X(optGetInfoNr, "optGetInfoNr", int,                                                        \
    (optHandle_t oh, int nr, int* defined, int* definedR, int* refNr, int* dataType,          \
     int* optType, int* subType))                                                             \
  X(optGetOptGroupNr, "optGetOptGroupNr", int, (optHandle_t oh, int nr))                      \
  X(optGetValuesNr, "CoptGetValuesNr", int,                                                   \
    (optHandle_t oh, int nr, char* name, int* ival, double* dval, char* sval))                \
  X(optGetIntStr, "CoptGetIntStr", int, (optHandle_t oh, const char* name))

TV_OPT_FUNCTIONS(TV_API_DECLARE_POINTER)
TV_API_LAYER_DECLARE(opt, optHandle_t)


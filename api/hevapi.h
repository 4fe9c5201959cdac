// Environment interface of the host (log and status streams, settings,
// scratch names, clock, interrupt), bound at run time ("libvoskdclib").
// String results are written into caller buffers of at least 256 bytes.
#pragma once

#include "api_layer.h"

typedef struct hevRec* hevHandle_t;

#define TV_HEV_FUNCTIONS(X)                                                                    \
  X(hevLogStat, "ChevLogStat", void, (hevHandle_t eh, const char* line))                       \
  X(hevLogStatPChar, "ChevLogStatPChar", void, (hevHandle_t eh, const char* text))             \
  X(hevLogStatNoC, "ChevLogStatNoC", void, (hevHandle_t eh, const char* line))                 \
  X(hevStatCon, "hevStatCon", void, (hevHandle_t eh))                                          \
  X(hevStatCoff, "hevStatCoff", void, (hevHandle_t eh))                                        \
  X(hevGetStrOpt, "ChevGetStrOpt", void, (hevHandle_t eh, const char* name, char* value))      \
  X(hevGetDblOpt, "ChevGetDblOpt", double, (hevHandle_t eh, const char* name))                 \
  X(hevGetIntOpt, "ChevGetIntOpt", int, (hevHandle_t eh, const char* name))                    \
  X(hevGetScratchName, "ChevGetScratchName", void, (hevHandle_t eh, const char* base, char* path)) \
  X(hevTimeDiffStart, "hevTimeDiffStart", double, (hevHandle_t eh))                            \
  X(hevTerminateGet, "hevTerminateGet", int, (hevHandle_t eh))                                 \
  X(hevSynchronizeOpt, "hevSynchronizeOpt", void, (hevHandle_t eh, void* oh))

TV_HEV_FUNCTIONS(TV_API_DECLARE_POINTER)
TV_API_LAYER_DECLARE(hev, hevHandle_t)
int hevCreateDD(hevHandle_t* pH, const char* dirName, const char* data, char* msgBuf, int msgBufLen);


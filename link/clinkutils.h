// The link's error slot and message routines.
//
// One pending error per link: raising an error sets the host's model and
// solve status at once, and the message is printed when a later error
// replaces it or when the entry point returns.  Every formatted text is
// bounded; stored messages are always printed through "%s".
#pragma once

#include "hevapi.h"
#include "hmoapi.h"

namespace tvl {

constexpr int kMsgLen = 256;  // message buffers: at most 255 characters

struct clinkutilsRec {
  hmoHandle_t model = nullptr;
  hevHandle_t env = nullptr;
  int code = 0;           // pending error, 0 = none
  char msg[kMsgLen] = {};  // its message
};

clinkutilsRec* clinkutilsCreate();
void clinkutilsFree(clinkutilsRec* slot);

// The word of an error code ("SOLVER ERROR"), null for an unknown code.
const char* errorWord(int code);
// The support address of the contact line.
const char* supportAddress();

#define TVL_PRINTF(f, a) __attribute__((format(printf, f, a)))
void print(hevHandle_t env, const char* fmt, ...) TVL_PRINTF(2, 3);
void println(hevHandle_t env, const char* fmt, ...) TVL_PRINTF(2, 3);
void printWarning(hevHandle_t env, const char* fmt, ...) TVL_PRINTF(2, 3);
void printInfo(hevHandle_t env, const char* fmt, ...) TVL_PRINTF(2, 3);
void printError(hevHandle_t env, int code, const char* fmt, ...) TVL_PRINTF(3, 4);
void raiseError(clinkutilsRec* slot, int code, const char* fmt, ...) TVL_PRINTF(3, 4);

// The end of an entry point: print the pending error, if any, and clear it.
// Returns 1 when an error was pending.
int reportPending(clinkutilsRec* slot);

}  // namespace tvl

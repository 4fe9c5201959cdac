#include "clinkutils.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace tvl {
namespace {

struct ErrorKind {
  int code;
  const char* word;
  int modelstat, solvestat;
};

constexpr ErrorKind kErrors[] = {
    {1, "ERROR", 13, 13},          {2, "INIT ERROR", 13, 9},    {5, "HMO ERROR", 13, 9},
    {6, "CAPABILITY ERROR", 14, 6}, {8, "DICTIONARY ERROR", 13, 9}, {9, "OPT ERROR", 13, 9},
    {10, "SOLVER ERROR", 13, 10},  {11, "DATA ERROR", 13, 13},  {12, "MEMORY ERROR", 13, 9},
    {14, "IO ERROR", 13, 13},
};

const ErrorKind* kind(int code) {
  for (const auto& k : kErrors)
    if (k.code == code) return &k;
  return nullptr;
}

void unknown_code(int code) { std::fprintf(stderr, "### UNKNOWN ERROR CODE: %d\n", code); }

// The environment functions exist only once its layer is bound.
bool have_log(hevHandle_t env) { return env && hevLogStat && hevLogStatNoC && hevLogStatPChar; }

// A status line: between hevStatCon and hevStatCoff, or on standard error
// when there is no environment.
void status_line(hevHandle_t env, const char* line) {
  if (have_log(env)) {
    if (hevStatCon) hevStatCon(env);
    hevLogStatNoC(env, line);
    if (hevStatCoff) hevStatCoff(env);
  } else {
    std::fprintf(stderr, "%s\n", line);
  }
}

void vformat(char* buf, size_t len, const char* fmt, va_list ap) {
  if (!fmt) {
    buf[0] = '\0';
    return;
  }
  std::vsnprintf(buf, len, fmt, ap);
}

// A status line of a prefix and a message, 255 characters at most in all:
// the message is cut to what the prefix leaves.
void prefixed_status(hevHandle_t env, const char* prefix, const char* fmt, va_list ap) {
  char msg[kMsgLen];
  const size_t room = kMsgLen - std::strlen(prefix);
  vformat(msg, room, fmt, ap);
  char line[kMsgLen];
  std::snprintf(line, sizeof line, "%s%s", prefix, msg);
  status_line(env, line);
}

}  // namespace

clinkutilsRec* clinkutilsCreate() { return new (std::nothrow) clinkutilsRec(); }

void clinkutilsFree(clinkutilsRec* slot) { delete slot; }

const char* errorWord(int code) {
  const ErrorKind* k = kind(code);
  return k ? k->word : nullptr;
}

const char* supportAddress() { return "support@tarvo-solver.org"; }

void print(hevHandle_t env, const char* fmt, ...) {
  char buf[kMsgLen];
  va_list ap;
  va_start(ap, fmt);
  vformat(buf, sizeof buf, fmt, ap);
  va_end(ap);
  if (have_log(env)) hevLogStatPChar(env, buf);
  else std::fputs(buf, stderr);
}

void println(hevHandle_t env, const char* fmt, ...) {
  char buf[kMsgLen];
  va_list ap;
  va_start(ap, fmt);
  vformat(buf, sizeof buf, fmt, ap);
  va_end(ap);
  if (have_log(env)) hevLogStat(env, buf);
  else std::fprintf(stderr, "%s\n", buf);
}

void printWarning(hevHandle_t env, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  prefixed_status(env, "*** WARNING: ", fmt, ap);
  va_end(ap);
}

void printInfo(hevHandle_t env, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  prefixed_status(env, "--- ", fmt, ap);
  va_end(ap);
}

void printError(hevHandle_t env, int code, const char* fmt, ...) {
  if (code == 0) return;
  const char* word = errorWord(code);
  if (!word) {
    unknown_code(code);
    return;
  }
  char msg[kMsgLen];
  va_list ap;
  va_start(ap, fmt);
  vformat(msg, sizeof msg, fmt, ap);
  va_end(ap);
  // "*** " + the longest word (16) + ": " + 255 characters, with room to spare.
  char line[2 * kMsgLen];
  std::snprintf(line, sizeof line, "*** %s: %s", word, msg);
  char contact[128];
  std::snprintf(contact, sizeof contact, "*** Contact %s for help.", supportAddress());
  if (have_log(env)) {
    status_line(env, line);
    if (code != 6) hevLogStat(env, contact);
  } else {
    std::fprintf(stderr, "%s\n%s\n", line, contact);
  }
}

void raiseError(clinkutilsRec* slot, int code, const char* fmt, ...) {
  if (!slot || code == 0) return;
  const ErrorKind* k = kind(code);
  if (!k) {
    unknown_code(code);
    return;
  }
  char msg[kMsgLen];
  va_list ap;
  va_start(ap, fmt);
  vformat(msg, sizeof msg, fmt, ap);
  va_end(ap);
  if (slot->model && hmoModelStatSet && hmoSolveStatSet) {
    hmoModelStatSet(slot->model, k->modelstat);
    hmoSolveStatSet(slot->model, k->solvestat);
  }
  if (slot->code != 0 && slot->msg[0]) printError(slot->env, slot->code, "%s", slot->msg);
  slot->code = code;
  std::memcpy(slot->msg, msg, sizeof msg);
}

int reportPending(clinkutilsRec* slot) {
  if (!slot || slot->code == 0) return 0;
  if (slot->msg[0]) printError(slot->env, slot->code, "%s", slot->msg);
  slot->code = 0;
  slot->msg[0] = '\0';
  return 1;
}

}  // namespace tvl

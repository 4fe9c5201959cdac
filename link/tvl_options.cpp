// Host options: the definition file, the user's option file, the link's
// own defaults and the translation of every user setting into a SPECS phrase.
#include <cstdio>
#include <string>

#include "tarvo_wrapper.h"
#include "tvl.h"

namespace tvl {
namespace {

constexpr int kIterCap = 10000000;

// Send the option object's messages as status lines; `all` sends every
// message, otherwise only those of type below 8 or equal to 9.
void send_messages(hevHandle_t env, optHandle_t options, bool all) {
  hevStatCon(env);
  const int count = optMessageCount(options);
  for (int i = 1; i <= count; ++i) {
    char text[kMsgLen] = "";
    int type = 0;
    optGetMessage(options, i, text, &type);
    text[kMsgLen - 1] = '\0';
    if (all || type < 8 || type == 9) hevLogStat(env, text);
  }
  hevStatCoff(env);
  optClearMessages(options);
}

// A plain phrase; on rejection raise code 10 with `what` and return false.
bool phrase(tvlRec* tvl, const char* text, const char* what) {
  int err = 0;
  f_tvopt(text, kMsgLen, &err);
  if (err) raiseError(tvl->utils, 10, "set option '%s'", what);
  return !err;
}

bool phrase_int(tvlRec* tvl, const char* text, int value, const char* what) {
  int err = 0;
  f_tvopti(text, kMsgLen, value, &err);
  if (err) raiseError(tvl->utils, 10, "set option '%s'", what);
  return !err;
}

}  // namespace

int optionInit(hevHandle_t env, optHandle_t options, const char* fname) {
  char sysdir[kMsgLen] = "";
  hevGetStrOpt(env, "NameSysDir", sysdir);
  sysdir[kMsgLen - 1] = '\0';
  const std::string path = std::string(sysdir) + fname;
  const int rc = optReadDefinition(options, path.c_str());
  send_messages(env, options, true);
  if (rc != 0) {
    printError(env, 9, "Can't read '%s'", fname);
    return 9;
  }
  optEOLOnlySet(options, 1);
  hevSynchronizeOpt(env, options);
  optClearMessages(options);
  return 0;
}

int optionRead(hevHandle_t env, optHandle_t options, const char* path) {
  if (!path || !*path) return 0;
  println(env, "%s", "");
  optResetAllRecent(options);
  optEchoSet(options, 1);
  optReadParameterFile(options, path);
  send_messages(env, options, false);
  optEchoSet(options, 0);
  println(env, "%s", "");
  return 0;  // errors in the file reach the user through the messages only
}

int tvlOptionDefault(tvlRec* tvl) {
  f_tvspec();
  if (!phrase(tvl, "Print Level 1", "Print Level") || !phrase(tvl, "Jacobian Sparse", "Jacobian") ||
      !phrase(tvl, "Solution No", "Solution") || !phrase_int(tvl, "Verify Level", -1, "Verify Level"))
    return tvl->utils->code;
  tvl->domlim = hevGetIntOpt(tvl->env, "DomLim");
  int limit = hevGetIntOpt(tvl->env, "IterLim");
  if (limit > kIterCap) limit = kIterCap;
  if (!phrase_int(tvl, "Iterations Limit", limit, "Iterations Limit") ||
      !phrase_int(tvl, "Major Iterations Limit", limit, "Major Iterations Limit"))
    return tvl->utils->code;
  return tvl->utils->code;
}

int tvlOptionApply(tvlRec* tvl) {
  optHandle_t options = tvl->options;
  tvl->hostlogfreq = optGetIntStr(options, "summary_frequency");
  const int count = optCount(options);
  for (int i = 1; i <= count; ++i) {
    int defined = 0, definedR = 0, refNr = 0, dataType = 0, optType = 0, subType = 0;
    optGetInfoNr(options, i, &defined, &definedR, &refNr, &dataType, &optType, &subType);
    if (dataType == 0 || !defined || optGetOptGroupNr(options, i) == 0) continue;
    char name[kMsgLen] = "", sval[kMsgLen] = "";
    int ival = 0;
    double dval = 0.0;
    optGetValuesNr(options, i, name, &ival, &dval, sval);
    name[kMsgLen - 1] = sval[kMsgLen - 1] = '\0';
    for (char* c = name; *c; ++c)
      if (*c == '_') *c = ' ';
    int err = 0;
    char text[2 * kMsgLen + 32];
    switch (dataType) {
      case 1:
        f_tvopti(name, kMsgLen, ival, &err);
        break;
      case 2:
        std::snprintf(text, sizeof text, "%s %g", name, dval);
        f_tvopt(text, static_cast<int>(sizeof text), &err);
        break;
      case 3:
        std::snprintf(text, sizeof text, "%s %s", name, sval);
        f_tvopt(text, static_cast<int>(sizeof text), &err);
        break;
      default:
        raiseError(tvl->utils, 11, "Unknown option type %d of option %s", dataType, name);
        return tvl->utils->code;
    }
    if (err) {
      raiseError(tvl->utils, 10, "set option '%s'", name);
      break;
    }
  }
  return tvl->utils->code;
}

}  // namespace tvl

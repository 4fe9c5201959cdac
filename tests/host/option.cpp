// Test host: the option object (liboptdclib64.so).
//
// Definition file, one option per line ('*' starts a comment):
//   <name> <integer|double|string> <group> <default> [allowed string values ...]
// Option file, one setting per line ('*' or '#' starts a comment):
//   <name> <value>
// Names are compared without regard to case.  Messages kept by the object
// have a type: 0 echo of an option-file line, 2 error, 8 note (not meant for
// the log), 9 warning.
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "host_common.h"

struct optRec {
  struct Opt {
    std::string name;
    int type = 0;  // 1 integer, 2 double, 3 string
    int group = 0;
    int ival = 0;
    double dval = 0.0;
    std::string sval;
    std::vector<std::string> allowed;
    bool defined = false;  // set by the user
    bool recent = false;   // set by the last option file read
  };
  std::vector<Opt> opts;
  std::vector<std::pair<std::string, int>> msgs;
  int eolonly = 0;
  int echo = 0;
};

namespace {

using tvhost::lower;

const tvhost::Signature kSignatures[] = {
    {"optReadDefinition", "i:hs"},     {"optReadParameterFile", "i:hs"},
    {"optMessageCount", "i:h"},        {"optGetMessage", "v:hibI"},
    {"optClearMessages", "v:h"},       {"optEOLOnlySet", "v:hi"},
    {"optResetAllRecent", "v:h"},      {"optEchoSet", "v:hi"},
    {"optCount", "i:h"},               {"optGetInfoNr", "i:hiIIIIII"},
    {"optGetOptGroupNr", "i:hi"},      {"optGetValuesNr", "i:hibIDb"},
    {"optGetIntStr", "i:hs"},
};

std::string g_load_path;

optRec::Opt* find(optRec* oh, const std::string& name) {
  std::string key = lower(name);
  for (auto& o : oh->opts)
    if (lower(o.name) == key) return &o;
  return nullptr;
}

optRec::Opt* at(optRec* oh, int nr) {
  if (!oh || nr < 1 || nr > static_cast<int>(oh->opts.size())) return nullptr;
  return &oh->opts[static_cast<size_t>(nr - 1)];
}

void msg(optRec* oh, const std::string& text, int type) { oh->msgs.emplace_back(text, type); }

bool parse_int(const std::string& s, int& v) {
  errno = 0;
  char* end = nullptr;
  long x = std::strtol(s.c_str(), &end, 10);
  if (errno || end == s.c_str() || *end || x < -2147483647L - 1 || x > 2147483647L) return false;
  v = static_cast<int>(x);
  return true;
}

bool parse_double(const std::string& s, double& v) {
  errno = 0;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return !errno && end != s.c_str() && !*end;
}

// Set option `o` from text; false with a reason when the value does not fit.
bool assign(optRec::Opt& o, const std::string& value, std::string& why) {
  switch (o.type) {
    case 1:
      if (!parse_int(value, o.ival)) { why = "not an integer"; return false; }
      return true;
    case 2:
      if (!parse_double(value, o.dval)) { why = "not a number"; return false; }
      return true;
    case 3:
      if (!o.allowed.empty()) {
        bool ok = false;
        for (auto& a : o.allowed) ok = ok || lower(a) == lower(value);
        if (!ok) { why = "not one of the allowed values"; return false; }
      }
      o.sval = value;
      return true;
  }
  why = "option has no type";
  return false;
}

std::string strip_comment(std::string line, bool hash) {
  auto p = line.find('*');
  if (p != std::string::npos) line.erase(p);
  if (hash && (p = line.find('#')) != std::string::npos) line.erase(p);
  return line;
}

}  // namespace

TVHOST_EXPORT void XCreate(void** h) {
  if (!h) return;
  *h = tvhost::fails("XCreate") ? nullptr : new optRec;
}

TVHOST_EXPORT void XFree(void** h) {
  if (!h) return;
  delete static_cast<optRec*>(*h);
  *h = nullptr;
}

TVHOST_EXPORT int CXCheck(const char* name, int nargs, const int* codes, char* why, int whylen) {
  return tvhost::check(kSignatures, static_cast<int>(std::size(kSignatures)), name, nargs, codes, why,
                       whylen);
}

TVHOST_EXPORT int CXAPIVersion(int api, char* msg, int msglen) {
  return tvhost::version("opt", 4, api, msg, msglen);
}

TVHOST_EXPORT void CoptSetLoadPath(const char* dir) { g_load_path = dir ? dir : ""; }
TVHOST_EXPORT void CoptGetLoadPath(char* dir) { tvhost::put256(dir, g_load_path); }

TVHOST_EXPORT int CoptReadDefinition(optRec* oh, const char* fn) {
  if (!oh) return 1;
  if (tvhost::fails("optReadDefinition")) {
    msg(oh, "*** Reading the definition file failed on request", 2);
    return 1;
  }
  std::ifstream f(fn ? fn : "");
  if (!f) {
    msg(oh, std::string("*** Could not open definition file ") + (fn ? fn : ""), 2);
    return 1;
  }
  oh->opts.clear();
  std::string line;
  int lineno = 0, errors = 0;
  while (std::getline(f, line)) {
    ++lineno;
    std::istringstream ls(strip_comment(line, false));
    optRec::Opt o;
    std::string type, dflt, why;
    if (!(ls >> o.name)) continue;
    if (!(ls >> type >> o.group >> dflt)) {
      msg(oh, "*** Definition line " + std::to_string(lineno) + ": expected name, type, group, default", 2);
      ++errors;
      continue;
    }
    o.type = type == "integer" ? 1 : type == "double" ? 2 : type == "string" ? 3 : 0;
    for (std::string a; ls >> a;) o.allowed.push_back(a);
    if (!o.type || !assign(o, dflt, why) || find(oh, o.name)) {
      msg(oh, "*** Definition line " + std::to_string(lineno) + ": bad option " + o.name, 2);
      ++errors;
      continue;
    }
    oh->opts.push_back(o);
  }
  return errors ? 1 : 0;
}

TVHOST_EXPORT int CoptReadParameterFile(optRec* oh, const char* fn) {
  if (!oh) return 1;
  if (tvhost::fails("optReadParameterFile")) {
    msg(oh, "*** Reading the option file failed on request", 2);
    return 1;
  }
  std::ifstream f(fn ? fn : "");
  if (!f) {
    msg(oh, std::string("*** Could not open option file ") + (fn ? fn : ""), 2);
    return 1;
  }
  if (oh->echo) msg(oh, std::string("Reading parameter(s) from \"") + fn + "\"", 0);
  std::string line;
  int lineno = 0, errors = 0;
  while (std::getline(f, line)) {
    ++lineno;
    std::string body = strip_comment(line, true);
    std::istringstream ls(body);
    std::string name, value, why;
    if (!(ls >> name)) continue;
    if (oh->echo) msg(oh, ">>  " + line, 0);
    optRec::Opt* o = find(oh, name);
    if (!o) {
      msg(oh, "*** Error line " + std::to_string(lineno) + ": unknown option \"" + name + "\"", 2);
      ++errors;
      continue;
    }
    if (!(ls >> value)) {
      msg(oh, "*** Error line " + std::to_string(lineno) + ": no value for " + o->name, 2);
      ++errors;
      continue;
    }
    if (!assign(*o, value, why)) {
      msg(oh, "*** Error line " + std::to_string(lineno) + ": value of " + o->name + " " + why, 2);
      ++errors;
      continue;
    }
    o->defined = true;
    o->recent = true;
  }
  if (oh->echo) msg(oh, "Finished reading from \"" + std::string(fn) + "\"", 0);
  msg(oh, "Option file " + std::string(fn) + ": " + std::to_string(lineno) + " lines, " +
              std::to_string(errors) + " errors", 8);
  return errors ? 1 : 0;
}

TVHOST_EXPORT int optMessageCount(optRec* oh) { return oh ? static_cast<int>(oh->msgs.size()) : 0; }

TVHOST_EXPORT void CoptGetMessage(optRec* oh, int nr, char* text, int* type) {
  if (text) text[0] = '\0';
  if (type) *type = 0;
  if (!oh || nr < 1 || nr > static_cast<int>(oh->msgs.size())) return;
  const auto& m = oh->msgs[static_cast<size_t>(nr - 1)];
  tvhost::put256(text, m.first.substr(0, 255));
  if (type) *type = m.second;
}

TVHOST_EXPORT void optClearMessages(optRec* oh) {
  if (oh) oh->msgs.clear();
}

TVHOST_EXPORT void optEOLOnlySet(optRec* oh, int x) {
  if (oh) oh->eolonly = x;
}

TVHOST_EXPORT void optResetAllRecent(optRec* oh) {
  if (!oh) return;
  for (auto& o : oh->opts) o.recent = false;
}

TVHOST_EXPORT void optEchoSet(optRec* oh, int x) {
  if (oh) oh->echo = x;
}

TVHOST_EXPORT int optCount(optRec* oh) { return oh ? static_cast<int>(oh->opts.size()) : 0; }

TVHOST_EXPORT int optGetInfoNr(optRec* oh, int nr, int* defined, int* definedR, int* refNr,
                               int* dataType, int* optType, int* subType) {
  const optRec::Opt* o = at(oh, nr);
  for (int* p : {defined, definedR, refNr, dataType, optType, subType})
    if (p) *p = 0;
  if (!o) return 0;
  if (defined) *defined = o->defined ? 1 : 0;
  if (definedR) *definedR = o->recent ? 1 : 0;
  if (refNr) *refNr = nr;
  if (dataType) *dataType = o->type;
  if (optType) *optType = o->type;
  return 1;
}

TVHOST_EXPORT int optGetOptGroupNr(optRec* oh, int nr) {
  const optRec::Opt* o = at(oh, nr);
  return o ? o->group : 0;
}

TVHOST_EXPORT int CoptGetValuesNr(optRec* oh, int nr, char* name, int* ival, double* dval, char* sval) {
  const optRec::Opt* o = at(oh, nr);
  if (name) name[0] = '\0';
  if (sval) sval[0] = '\0';
  if (ival) *ival = 0;
  if (dval) *dval = 0.0;
  if (!o) return 0;
  tvhost::put256(name, o->name);
  if (ival) *ival = o->ival;
  if (dval) *dval = o->type == 1 ? o->ival : o->dval;
  tvhost::put256(sval, o->sval);
  return 1;
}

#ifndef TVHOST_DROP_SYMBOL
// Left out of the variant built to exercise an offered but missing symbol.
TVHOST_EXPORT int CoptGetIntStr(optRec* oh, const char* name) {
  if (!oh || !name) return 0;
  const optRec::Opt* o = find(oh, name);
  return o && o->type == 1 ? o->ival : 0;
}
#endif

// Test host: the environment (log and status streams, settings, scratch
// names, clock, terminate flag).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host_common.h"
#include "model.h"

#ifndef TVHOST_SYSDIR
#define TVHOST_SYSDIR "./"
#endif

namespace {

const tvhost::Signature kSignatures[] = {
    {"hevLogStat", "v:hs"},        {"hevLogStatPChar", "v:hs"},  {"hevLogStatNoC", "v:hs"},
    {"hevStatCon", "v:h"},         {"hevStatCoff", "v:h"},       {"hevGetStrOpt", "v:hsb"},
    {"hevGetDblOpt", "d:hs"},      {"hevGetIntOpt", "i:hs"},     {"hevGetScratchName", "v:hsb"},
    {"hevTimeDiffStart", "d:h"},   {"hevTerminateGet", "i:h"},   {"hevSynchronizeOpt", "v:hh"},
};

std::string get(const hevRec* eh, const char* name) {
  if (!eh || !name) return "";
  auto it = eh->settings.find(tvhost::lower(name));
  return it == eh->settings.end() ? "" : it->second;
}

// The status stream: a copy of log lines in a file named by StatusFile.
void status(hevRec* eh, const std::string& text) {
  if (!eh->status_file) {
    std::string path = get(eh, "StatusFile");
    if (path.empty()) return;
    eh->status_file = std::fopen(path.c_str(), "a");
    if (!eh->status_file) return;
  }
  auto* f = static_cast<FILE*>(eh->status_file);
  std::fputs(text.c_str(), f);
  std::fflush(f);
}

}  // namespace

// Used by the model object to make its environment.
hevRec* tvhost_env_new() {
  auto* eh = new hevRec;
  eh->settings = {{"workspace", "0"},        {"workfactor", "1"},   {"reslim", "1000"},
                  {"domlim", "0"},           {"iterlim", "2000000000"},
                  {"namesysdir", TVHOST_SYSDIR}, {"scratchdir", "./"}};
  return eh;
}

void tvhost_env_set(hevRec* eh, const std::string& name, const std::string& value) {
  eh->settings[tvhost::lower(name)] = value;
}

void tvhost_env_delete(hevRec* eh) {
  if (!eh) return;
  if (eh->status_file) std::fclose(static_cast<FILE*>(eh->status_file));
  delete eh;
}

TVHOST_EXPORT void hevXCreate(void** h) {
  if (!h) return;
  *h = tvhost::fails("hevXCreate") ? nullptr : tvhost_env_new();
}

// data: a settings file with lines "<setting> <value>".
TVHOST_EXPORT void ChevXCreateD(void** h, const char* data) {
  if (!h) return;
  *h = nullptr;
  if (tvhost::fails("hevXCreate")) return;
  hevRec* eh = tvhost_env_new();
  if (data && *data) {
    std::ifstream f(data);
    if (!f) {
      tvhost_env_delete(eh);
      return;
    }
    std::string line;
    while (std::getline(f, line)) {
      std::istringstream ls(line.substr(0, line.find('*')));
      std::string name, value;
      if (ls >> name) {
        std::getline(ls >> std::ws, value);
        tvhost_env_set(eh, name, value);
      }
    }
  }
  *h = eh;
}

TVHOST_EXPORT void hevXFree(void** h) {
  if (!h) return;
  auto* eh = static_cast<hevRec*>(*h);
  if (eh && !eh->owned_by_model) tvhost_env_delete(eh);
  *h = nullptr;
}

TVHOST_EXPORT int ChevXCheck(const char* name, int nargs, const int* codes, char* why, int whylen) {
  return tvhost::check(kSignatures, static_cast<int>(std::size(kSignatures)), name, nargs, codes, why,
                       whylen);
}

TVHOST_EXPORT int ChevXAPIVersion(int api, char* msg, int msglen) {
  return tvhost::version("hev", 9, api, msg, msglen);
}

TVHOST_EXPORT void ChevLogStat(hevRec* eh, const char* line) {
  std::string s = std::string(line ? line : "") + "\n";
  tvhost_out(s.c_str());
  if (eh) status(eh, s);
}

TVHOST_EXPORT void ChevLogStatPChar(hevRec* eh, const char* text) {
  std::string s = text ? text : "";
  tvhost_out(s.c_str());
  if (eh) status(eh, s);
}

TVHOST_EXPORT void ChevLogStatNoC(hevRec* eh, const char* line) {
  std::string s = std::string(line ? line : "") + "\n";
  tvhost_out(s.c_str());
  if (eh && eh->statcon) status(eh, s);
}

TVHOST_EXPORT void hevStatCon(hevRec* eh) {
  if (eh) eh->statcon = 1;
}

// Exported as "hevstatcoff" and "HEVTERMINATEGET": the binding layer finds a
// symbol in lower case, as named, or in upper case.
TVHOST_EXPORT void hevstatcoff(hevRec* eh) {
  if (eh) eh->statcon = 0;
}

TVHOST_EXPORT void ChevGetStrOpt(hevRec* eh, const char* name, char* value) {
  tvhost::put256(value, get(eh, name));
}

TVHOST_EXPORT double ChevGetDblOpt(hevRec* eh, const char* name) {
  std::string v = get(eh, name);
  return v.empty() ? 0.0 : std::strtod(v.c_str(), nullptr);
}

TVHOST_EXPORT int ChevGetIntOpt(hevRec* eh, const char* name) {
  std::string v = get(eh, name);
  if (v.empty()) return 0;
  long long x = std::strtoll(v.c_str(), nullptr, 10);
  if (x > 2147483647LL) return 2147483647;
  if (x < -2147483647LL - 1) return -2147483647 - 1;
  return static_cast<int>(x);
}

// Scratch name: ScratchDir + base + ".dat"; a failing call gives "".
TVHOST_EXPORT void ChevGetScratchName(hevRec* eh, const char* base, char* path) {
  if (tvhost::fails("hevGetScratchName") || !eh) {
    tvhost::put256(path, "");
    return;
  }
  std::string dir = get(eh, "ScratchDir");
  if (!dir.empty() && dir.back() != '/') dir += '/';
  tvhost::put256(path, dir + (base ? base : "") + ".dat");
}

// Seconds since the environment was made (or a stepped clock, see ClockStep).
TVHOST_EXPORT double hevTimeDiffStart(hevRec* eh) {
  if (!eh) return 0.0;
  double step = std::strtod(get(eh, "ClockStep").c_str(), nullptr);
  if (step > 0) return eh->fake_clock += step;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - eh->start).count();
}

TVHOST_EXPORT int HEVTERMINATEGET(hevRec* eh) {
  if (!eh) return 0;
  long after = std::strtol(get(eh, "TerminateAfter").c_str(), nullptr, 10);
  ++eh->terminate_calls;
  return after > 0 && eh->terminate_calls >= after ? 1 : 0;
}

TVHOST_EXPORT void hevSynchronizeOpt(hevRec* eh, void* oh) {}

// For the tests: change a setting of an environment.
TVHOST_EXPORT void tvhostEnvSet(hevRec* eh, const char* name, const char* value) {
  if (eh && name) tvhost_env_set(eh, name, value ? value : "");
}

// The host driver: loads the plug-in through the dynamic loader and drives
// it as the modelling host does, one model after another in one process:
//   tvlCreate, tvlReadyAPI, tvlCallSolver, tvlFree.
//
//   tvhost [--plugin PATH] [--libdir DIR] [--control FILE] [--no-ready] [--no-call]
//          [--values] MODEL [MODEL ...]
//
// The host libraries (libvoskdclib64.so, liboptdclib64.so) are loaded from
// --libdir first, so the plug-in's own loads by name find them.  The log
// goes to standard output, followed by "===" lines with the entry points'
// results and what the plug-in wrote back into the model: statuses,
// objective, iterations, and with --values every row and column record.  Exit code: 0
// when every entry point returned 0, 1 when one returned nonzero, 2 when
// the driver itself failed.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "control.h"

#ifndef TVHOST_PLUGIN
#define TVHOST_PLUGIN "libtarvolink.so"
#endif
#ifndef TVHOST_LIBDIR
#define TVHOST_LIBDIR "."
#endif

namespace {

using CreateFn = int (*)(void**, char*, int);
using FreeFn = void (*)(void**);
using ReadyFn = int (*)(void*, void*);
using CallFn = int (*)(void*);
using ModelCreateFn = void (*)(void**, const char*);
using ModelFreeFn = void (*)(void**);
using ReportFn = void (*)(void*, int);

template <class F>
bool sym(void* lib, const char* name, F& f) {
  void* p = dlsym(lib, name);
  if (!p) {
    std::fprintf(stderr, "tvhost: symbol %s not found\n", name);
    return false;
  }
  std::memcpy(&f, &p, sizeof f);
  return true;
}

void* open(const std::string& path) {
  void* lib = dlopen(path.c_str(), RTLD_NOW);
  if (!lib) std::fprintf(stderr, "tvhost: cannot load %s: %s\n", path.c_str(), dlerror());
  return lib;
}

void line(const char* what, int rc) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "=== %s %d\n", what, rc);
  tvhost_out(buf);
}

}  // namespace

int main(int argc, char** argv) {
  std::string plugin = TVHOST_PLUGIN, libdir = TVHOST_LIBDIR;
  bool do_ready = true, do_call = true, values = false;
  std::vector<std::string> models;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--plugin" && i + 1 < argc) plugin = argv[++i];
    else if (a == "--libdir" && i + 1 < argc) libdir = argv[++i];
    else if (a == "--control" && i + 1 < argc) {
      if (tvhost_control_file(argv[++i]) != 0) {
        std::fprintf(stderr, "tvhost: bad control file %s\n", argv[i]);
        return 2;
      }
    } else if (a == "--no-ready") do_ready = false;
    else if (a == "--no-call") do_call = false;
    else if (a == "--values") values = true;
    else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "tvhost: unknown option %s\n", a.c_str());
      return 2;
    } else models.push_back(a);
  }
  if (models.empty()) {
    std::fprintf(stderr,
                 "usage: tvhost [--plugin PATH] [--libdir DIR] [--control FILE] [--no-ready] [--no-call] "
                 "[--values] MODEL...\n");
    return 2;
  }

  void* vosk = open(libdir + "/libvoskdclib64.so");
  void* optlib = open(libdir + "/liboptdclib64.so");
  if (!vosk || !optlib) return 2;
  ModelCreateFn model_create;
  ModelFreeFn model_free;
  ReportFn report;
  if (!sym(vosk, "ChmoXCreateD", model_create) || !sym(vosk, "hmoXFree", model_free) ||
      !sym(vosk, "tvhostReport", report))
    return 2;

  void* lib = open(plugin);
  if (!lib) return 2;
  CreateFn create;
  FreeFn release;
  ReadyFn ready;
  CallFn call;
  if (!sym(lib, "tvlCreate", create) || !sym(lib, "tvlFree", release) || !sym(lib, "tvlReadyAPI", ready) ||
      !sym(lib, "tvlCallSolver", call))
    return 2;

  int status = 0;
  for (const auto& file : models) {
    void* model = nullptr;
    model_create(&model, file.c_str());
    if (!model) {
      std::fprintf(stderr, "tvhost: cannot read model %s\n", file.c_str());
      status = 2;
      break;
    }
    void* link = nullptr;
    char msg[256] = "x";
    int rc = create(&link, msg, static_cast<int>(sizeof msg));
    line("tvlCreate", rc);
    if (rc != 0 || !link) {
      std::fprintf(stderr, "tvhost: tvlCreate failed: %s\n", msg);
      model_free(&model);
      status = 2;
      break;
    }
    if (do_ready) {
      rc = ready(link, model);
      line("tvlReadyAPI", rc);
      if (rc != 0) status = status ? status : 1;
      if (rc == 0 && do_call) {
        rc = call(link);
        line("tvlCallSolver", rc);
        if (rc != 0) status = status ? status : 1;
      }
    }
    report(model, values ? 1 : 0);
    release(&link);
    line("tvlFree", link == nullptr ? 0 : 1);
    model_free(&model);
  }
  dlclose(lib);
  dlclose(optlib);
  dlclose(vosk);
  return status;
}

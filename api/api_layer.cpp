#include "api_layer.h"

#include <dlfcn.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tvapi {
namespace {

// Lock a layer mutex when the mutexes exist; before that, run unguarded.
class Guard {
 public:
  Guard(Layer& L, pthread_mutex_t Layer::*m) : m_(L.MutexIsInitialized ? &(L.*m) : nullptr) {
    if (m_) pthread_mutex_lock(m_);
  }
  ~Guard() {
    if (m_) pthread_mutex_unlock(m_);
  }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  pthread_mutex_t* m_;
};

// Copy text into a caller's message buffer, truncating.
void put_msg(char* msg, int msglen, const std::string& text) {
  if (!msg || msglen <= 0) return;
  std::snprintf(msg, static_cast<size_t>(msglen), "%s", text.c_str());
}

std::string last_dlerror() {
  const char* e = dlerror();
  return e ? e : "unknown loader error";
}

// Resolve a symbol trying its lower-case, unchanged and upper-case spellings;
// `err` receives the loader's message of the last failed attempt.
void* load_sym(void* lib, const char* name, std::string& err) {
  std::string lower(name), upper(name);
  for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const char* spellings[] = {lower.c_str(), name, upper.c_str()};
  for (const char* n : spellings) {
    dlerror();
    void* p = dlsym(lib, n);
    if (p) return p;
    err = last_dlerror();
  }
  return nullptr;
}

template <class F>
F as_fn(void* p) {
  F f;
  static_assert(sizeof f == sizeof p);
  std::memcpy(&f, &p, sizeof f);
  return f;
}

void set_slot(const Function& fn, void* p) { std::memcpy(fn.slot, &p, sizeof p); }

void clear_bindings(Layer& L) {
  for (int i = 0; i < L.nfuncs; ++i) {
    set_slot(L.funcs[i], nullptr);
    L.why[i][0] = '\0';
  }
  L.create = nullptr;
  L.create_d = nullptr;
  L.release = nullptr;
  L.check = nullptr;
  L.version = nullptr;
  L.setLoadPath = nullptr;
  L.getLoadPath = nullptr;
}

// The binding itself; the caller holds libMutex.
int libloader(Layer& L, const char* dir, const char* file, char* msg, int msglen) {
  put_msg(msg, msglen, "");
  if (L.isLoaded) return 1;

  std::string path;
  if (dir && *dir) {
    path = dir;
    if (path.back() != '/') path += '/';
  }
  if (file && *file) {
    path += file;
  } else {
    path += L.desc->basename;
    path += "64.so";
  }
  if (path.size() > static_cast<size_t>(kMaxPath)) {
    put_msg(msg, msglen,
            "Could not load shared library: its path is longer than " + std::to_string(kMaxPath) +
                " characters");
    return 0;
  }

  dlerror();
  void* lib = dlopen(path.c_str(), RTLD_NOW);
  if (!lib) {
    put_msg(msg, msglen, "Could not load shared library " + path + ": " + last_dlerror());
    return 0;
  }

  auto fail = [&](const std::string& text) {
    put_msg(msg, msglen, text);
    clear_bindings(L);
    dlclose(lib);
    return 0;
  };
  std::string err;
  auto required = [&](const char* sym, void*& out) {
    out = load_sym(lib, sym, err);
    return out != nullptr;
  };

  void* p = nullptr;
  if (!required(L.desc->sym_create, p)) return fail(std::string("Could not load symbol '") + L.desc->sym_create + "': " + err);
  L.create = as_fn<CreateFn>(p);
  if (!required(L.desc->sym_free, p)) return fail(std::string("Could not load symbol '") + L.desc->sym_free + "': " + err);
  L.release = as_fn<FreeFn>(p);
  if (!required(L.desc->sym_check, p)) return fail(std::string("Could not load symbol '") + L.desc->sym_check + "': " + err);
  L.check = as_fn<CheckFn>(p);
  if (L.desc->sym_create_d && (p = load_sym(lib, L.desc->sym_create_d, err))) L.create_d = as_fn<CreateDFn>(p);
  // A library without a version entry binds; optCorrectLibraryVersion reports it.
  if ((p = load_sym(lib, L.desc->sym_version, err))) {
    L.version = as_fn<VersionFn>(p);
    char vmsg[kWhyLen] = "";
    if (!L.version(L.desc->api_version, vmsg, kWhyLen)) {
      vmsg[kWhyLen - 1] = '\0';
      return fail(vmsg);
    }
  }

  for (int i = 0; i < L.nfuncs; ++i) {
    const Function& fn = L.funcs[i];
    char* why = L.why[i];
    why[0] = '\0';
    if (L.check(fn.name, fn.nargs, fn.codes, why, kWhyLen)) {
      void* sym = load_sym(lib, fn.symbol, err);
      if (!sym) return fail(std::string("Could not load symbol '") + fn.symbol + "': " + err);
      set_slot(fn, sym);
      why[0] = '\0';
    } else {
      why[kWhyLen - 1] = '\0';
      set_slot(fn, fn.stub);
    }
  }

  if (L.desc->load_path) {
    if ((p = load_sym(lib, "CoptSetLoadPath", err))) L.setLoadPath = as_fn<SetLoadPathFn>(p);
    if ((p = load_sym(lib, "CoptGetLoadPath", err))) L.getLoadPath = as_fn<GetLoadPathFn>(p);
  }
  L.lib = lib;
  L.isLoaded = 1;
  if (dir && *dir && L.setLoadPath) L.setLoadPath(dir);
  return 1;
}

}  // namespace

int get_ready(Layer& L, const char* dir, const char* file, char* msg, int msglen) {
  Guard g(L, &Layer::libMutex);
  return libloader(L, dir, file, msg, msglen);
}

int get_ready_path(Layer& L, const char* path, char* msg, int msglen) {
  if (!path) return get_ready(L, nullptr, nullptr, msg, msglen);
  const char* slash = std::strrchr(path, '/');
  if (!slash) return get_ready(L, nullptr, path, msg, msglen);
  std::string dir(path, static_cast<size_t>(slash - path + 1));
  return get_ready(L, dir.c_str(), slash + 1, msg, msglen);
}

int create(Layer& L, void** handle, const char* dir, const char* file, const char* data, char* msg,
           int msglen) {
  if (!handle) {
    put_msg(msg, msglen, "Error while creating object");
    return 0;
  }
  *handle = nullptr;
  if (!get_ready(L, dir, file, msg, msglen)) return 0;
  if (data) {
    if (!L.create_d) {
      put_msg(msg, msglen, std::string("Function ") + (L.desc->sym_create_d ? L.desc->sym_create_d : "CreateD") +
                               " not found");
      return 0;
    }
    L.create_d(handle, data);
  } else {
    L.create(handle);
  }
  if (!*handle) {
    put_msg(msg, msglen, "Error while creating object");
    return 0;
  }
  Guard g(L, &Layer::objMutex);
  ++L.objectCount;
  return 1;
}

int release(Layer& L, void** handle) {
  if (!handle || !L.isLoaded || !L.release) return 0;
  if (*handle) {
    L.release(handle);
    Guard g(L, &Layer::objMutex);
    if (L.objectCount > 0) --L.objectCount;
  }
  *handle = nullptr;
  return 1;
}

int loaded(Layer& L) {
  Guard g(L, &Layer::libMutex);
  return L.isLoaded;
}

int unload(Layer& L) {
  Guard g(L, &Layer::libMutex);
  {
    Guard o(L, &Layer::objMutex);
    if (L.objectCount > 0) return 0;
  }
  if (L.lib) dlclose(L.lib);
  L.lib = nullptr;
  L.isLoaded = 0;
  clear_bindings(L);
  return 1;
}

int correct_version(Layer& L, char* msg, int msglen) {
  if (!loaded(L)) {
    put_msg(msg, msglen, "Library needs to be initialized first");
    return 0;
  }
  if (!L.version) {
    put_msg(msg, msglen, "Function XAPIVersion not found");
    return 0;
  }
  char vmsg[kWhyLen] = "";
  int ok = L.version(L.desc->api_version, vmsg, kWhyLen);
  vmsg[kWhyLen - 1] = '\0';
  put_msg(msg, msglen, vmsg);
  return ok ? 1 : 0;
}

int set_flag(Layer& L, int Layer::*field, int value) {
  L.*field = value ? 1 : 0;
  return L.*field;
}

int get_flag(Layer& L, int Layer::*field) { return L.*field; }

TVAPIErrorCallback_t get_callback(Layer& L) {
  Guard g(L, &Layer::exceptMutex);
  return L.ErrorCallBack;
}

void set_callback(Layer& L, TVAPIErrorCallback_t cb) {
  Guard g(L, &Layer::exceptMutex);
  L.ErrorCallBack = cb;
}

void error_handling(Layer& L, const char* message) {
  const char* text = message ? message : "";
  ++L.APIErrorCount;
  if (L.ScreenIndicator) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
  int stop = 0;
  bool have_callback = false;
  {
    Guard g(L, &Layer::exceptMutex);
    if (L.ErrorCallBack) {
      have_callback = true;
      stop = L.ErrorCallBack(L.APIErrorCount, text);
    }
  }
  // The host asked for it (callback or exit indicator); the link clears the
  // exit indicator once it has bound a layer, so a stub never ends the host.
  if (have_callback ? stop != 0 : L.ExitIndicator != 0) std::exit(123);
}

void stub_called(Layer& L, int index) {
  char buf[2 * kWhyLen + 64];
  const char* name = (index >= 0 && index < L.nfuncs) ? L.funcs[index].name : "?";
  const char* why = (index >= 0 && index < L.nfuncs) ? L.why[index] : "";
  std::snprintf(buf, sizeof buf, "%s could not be loaded: %s", name, why);
  error_handling(L, buf);
}

int stub_count(Layer& L) {
  Guard g(L, &Layer::libMutex);
  int k = 0;
  for (int i = 0; i < L.nfuncs; ++i) {
    void* bound = nullptr;
    std::memcpy(&bound, L.funcs[i].slot, sizeof bound);
    if (L.isLoaded && bound == L.funcs[i].stub) ++k;
  }
  return k;
}

void init_mutexes(Layer& L) {
  if (L.MutexIsInitialized) return;
  bool ok = true;
  if (pthread_mutex_init(&L.libMutex, nullptr) != 0) {
    error_handling(L, "Problem initializing libMutex");
    ok = false;
  }
  if (pthread_mutex_init(&L.objMutex, nullptr) != 0) {
    error_handling(L, "Problem initializing objMutex");
    ok = false;
  }
  if (pthread_mutex_init(&L.exceptMutex, nullptr) != 0) {
    error_handling(L, "Problem initializing exceptMutex");
    ok = false;
  }
  L.MutexIsInitialized = ok ? 1 : 0;
}

void fini_mutexes(Layer& L) {
  if (!L.MutexIsInitialized) return;
  L.MutexIsInitialized = 0;
  pthread_mutex_destroy(&L.libMutex);
  pthread_mutex_destroy(&L.objMutex);
  pthread_mutex_destroy(&L.exceptMutex);
}

}  // namespace tvapi

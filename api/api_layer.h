// Run-time binding of one host interface library.
//
// The host's interfaces (options, model object, environment) live in shared
// libraries that are found and bound when the link starts, not at build time.
// All three layers share this code: a layer is a table of the functions it
// binds plus a little process-wide state (library handle, object count,
// indicators, error callback, three mutexes).  Each layer's own file
// (optapi, hmoapi, hevapi) declares its function list once as an X-macro and
// expands the public entry points with TV_API_LAYER_DEFINE.
//
// Check protocol.  Before binding a function the layer asks the library's
// check entry whether it offers that function with the expected signature:
//     int check(const char* name, int nargs, const int* codes, char* why, int whylen)
// `codes` holds nargs+1 type codes (result first, then each argument; see
// TypeCode).  The library answers 1 when it offers exactly that function,
// else 0 with a one-line explanation in `why`.  An offered function must then
// resolve as a symbol; a function that is not offered is bound to a stub.
// Version protocol:  int version(int api, char* msg, int msglen) returns 1
// when the library serves interface version `api`, else 0 with a message.
// Creation:  void create(void** handle);  void create_d(void** handle,
// const char* data);  release: void release(void** handle).
#pragma once

#include <pthread.h>

#include <cstdint>
#include <type_traits>

// Error callback: (error count, message) -> nonzero ends the process.
typedef int (*TVAPIErrorCallback_t)(int count, const char* message);

namespace tvapi {

// Type codes of the check protocol, one character each.
enum TypeCode : int {
  kVoid = 'v',
  kInt = 'i',
  kInt64 = 'l',
  kDouble = 'd',
  kHandle = 'h',    // opaque object handle
  kStrIn = 's',     // const char*, zero-terminated
  kStrOut = 'b',    // char* buffer of at least 256 bytes
  kIntPtr = 'I',    // int* (array or out)
  kInt64Ptr = 'L',  // int64_t*
  kDblPtr = 'D',    // double* (array or out)
  kFunPtr = 'f',    // procedure
};

template <class T> struct Code { static constexpr int v = kHandle; };  // other pointers: handles
template <> struct Code<void> { static constexpr int v = kVoid; };
template <> struct Code<int> { static constexpr int v = kInt; };
template <> struct Code<std::int64_t> { static constexpr int v = kInt64; };
template <> struct Code<double> { static constexpr int v = kDouble; };
template <> struct Code<const char*> { static constexpr int v = kStrIn; };
template <> struct Code<char*> { static constexpr int v = kStrOut; };
template <> struct Code<int*> { static constexpr int v = kIntPtr; };
template <> struct Code<std::int64_t*> { static constexpr int v = kInt64Ptr; };
template <> struct Code<double*> { static constexpr int v = kDblPtr; };
template <class R, class... A> struct Code<R (*)(A...)> { static constexpr int v = kFunPtr; };

// Argument count and type codes of a function pointer type.
template <class F> struct Sig;
template <class R, class... A> struct Sig<R (*)(A...)> {
  static constexpr int nargs = sizeof...(A);
  static constexpr int codes[] = {Code<R>::v, Code<A>::v...};
};

// The value a stub returns: zero or null of its result type.
template <class R>
R null_of() {
  if constexpr (!std::is_void_v<R>) return R{};
}

// One interface function.
struct Function {
  const char* name;    // interface name, e.g. "optReadDefinition"
  const char* symbol;  // exported symbol, e.g. "CoptReadDefinition"
  int nargs;
  const int* codes;    // nargs+1 type codes
  void* slot;          // address of the function pointer to fill
  void* stub;          // bound when the library does not offer the function
};

// Fixed description of a layer.
struct Desc {
  const char* prefix;       // "opt", "hmo", "hev"
  const char* basename;     // "liboptdclib", "libvoskdclib"
  const char* sym_create;
  const char* sym_create_d; // null when the layer has no create-with-data entry
  const char* sym_free;
  const char* sym_check;
  const char* sym_version;
  int api_version;
  bool load_path;           // bind CoptSetLoadPath / CoptGetLoadPath when present
};

using CreateFn = void (*)(void**);
using CreateDFn = void (*)(void**, const char*);
using FreeFn = void (*)(void**);
using CheckFn = int (*)(const char*, int, const int*, char*, int);
using VersionFn = int (*)(int, char*, int);
using SetLoadPathFn = void (*)(const char*);
using GetLoadPathFn = void (*)(char*);

constexpr int kWhyLen = 256;
constexpr int kMaxPath = 511;

// Process-wide state of one layer.  Constant-initialised, so the library's
// load hook may use it before any dynamic initialisation has run.
struct Layer {
  const Desc* desc;
  Function* funcs;
  char (*why)[kWhyLen];  // per function: why it was stubbed
  int nfuncs;

  void* lib = nullptr;
  int isLoaded = 0;
  int objectCount = 0;
  pthread_mutex_t libMutex{};
  pthread_mutex_t objMutex{};
  pthread_mutex_t exceptMutex{};
  int MutexIsInitialized = 0;
  int ScreenIndicator = 1;
  int ExitIndicator = 1;
  int ExceptionIndicator = 0;
  TVAPIErrorCallback_t ErrorCallBack = nullptr;
  int APIErrorCount = 0;

  CreateFn create = nullptr;
  CreateDFn create_d = nullptr;
  FreeFn release = nullptr;
  CheckFn check = nullptr;
  VersionFn version = nullptr;
  SetLoadPathFn setLoadPath = nullptr;
  GetLoadPathFn getLoadPath = nullptr;
};

// dir may be null (the loader's search path); file null means the layer's
// own name (basename + "64.so").
int get_ready(Layer& L, const char* dir, const char* file, char* msg, int msglen);
// The L form: split a full path at its last '/'.
int get_ready_path(Layer& L, const char* path, char* msg, int msglen);
int create(Layer& L, void** handle, const char* dir, const char* file, const char* data, char* msg,
           int msglen);
int release(Layer& L, void** handle);
int loaded(Layer& L);
int unload(Layer& L);
int correct_version(Layer& L, char* msg, int msglen);

int set_flag(Layer& L, int Layer::*field, int value);
int get_flag(Layer& L, int Layer::*field);
TVAPIErrorCallback_t get_callback(Layer& L);
void set_callback(Layer& L, TVAPIErrorCallback_t cb);

void error_handling(Layer& L, const char* message);
// A stub was called: report "<name> could not be loaded: <why>".
void stub_called(Layer& L, int index);
int stub_count(Layer& L);
void init_mutexes(Layer& L);
void fini_mutexes(Layer& L);

}  // namespace tvapi

// ---- Public entry points of a layer ---------------------------------------
// Declarations, for prefix P and handle type H.
#define TV_API_LAYER_DECLARE(P, H)                                                        \
  int P##GetReady(char* msgBuf, int msgBufLen);                                           \
  int P##GetReadyD(const char* dirName, char* msgBuf, int msgBufLen);                     \
  int P##GetReadyL(const char* libName, char* msgBuf, int msgBufLen);                     \
  int P##Create(H* pH, char* msgBuf, int msgBufLen);                                      \
  int P##CreateD(H* pH, const char* dirName, char* msgBuf, int msgBufLen);                \
  int P##CreateL(H* pH, const char* libName, char* msgBuf, int msgBufLen);                \
  int P##Free(H* pH);                                                                     \
  int P##LibraryLoaded(void);                                                             \
  int P##LibraryUnload(void);                                                             \
  int P##CorrectLibraryVersion(char* msgBuf, int msgBufLen);                              \
  int P##GetScreenIndicator(void);                                                        \
  int P##SetScreenIndicator(int scrind);                                                  \
  int P##GetExceptionIndicator(void);                                                     \
  int P##SetExceptionIndicator(int excind);                                               \
  int P##GetExitIndicator(void);                                                          \
  int P##SetExitIndicator(int extind);                                                    \
  TVAPIErrorCallback_t P##GetErrorCallback(void);                                         \
  void P##SetErrorCallback(TVAPIErrorCallback_t func);                                    \
  int P##GetAPIErrorCount(void);                                                          \
  void P##SetAPIErrorCount(int ecnt);                                                     \
  void P##ErrorHandling(const char* msg);                                                 \
  void P##InitMutexes(void);                                                              \
  void P##FiniMutexes(void);                                                              \
  /* Number of functions bound to their stub. */                                          \
  int P##StubCount(void);

// Definitions, forwarding to the shared code for layer object LAYER.
#define TV_API_LAYER_DEFINE(P, H, LAYER)                                                        \
  int P##GetReady(char* msgBuf, int msgBufLen) {                                                \
    return tvapi::get_ready(LAYER, nullptr, nullptr, msgBuf, msgBufLen);                        \
  }                                                                                             \
  int P##GetReadyD(const char* dirName, char* msgBuf, int msgBufLen) {                          \
    return tvapi::get_ready(LAYER, dirName, nullptr, msgBuf, msgBufLen);                        \
  }                                                                                             \
  int P##GetReadyL(const char* libName, char* msgBuf, int msgBufLen) {                          \
    return tvapi::get_ready_path(LAYER, libName, msgBuf, msgBufLen);                            \
  }                                                                                             \
  int P##Create(H* pH, char* msgBuf, int msgBufLen) {                                           \
    return tvapi::create(LAYER, reinterpret_cast<void**>(pH), nullptr, nullptr, nullptr, msgBuf, \
                         msgBufLen);                                                            \
  }                                                                                             \
  int P##CreateD(H* pH, const char* dirName, char* msgBuf, int msgBufLen) {                     \
    return tvapi::create(LAYER, reinterpret_cast<void**>(pH), dirName, nullptr, nullptr, msgBuf, \
                         msgBufLen);                                                            \
  }                                                                                             \
  int P##CreateL(H* pH, const char* libName, char* msgBuf, int msgBufLen) {                     \
    if (!tvapi::get_ready_path(LAYER, libName, msgBuf, msgBufLen)) return 0;                    \
    return tvapi::create(LAYER, reinterpret_cast<void**>(pH), nullptr, nullptr, nullptr, msgBuf, \
                         msgBufLen);                                                            \
  }                                                                                             \
  int P##Free(H* pH) { return tvapi::release(LAYER, reinterpret_cast<void**>(pH)); }            \
  int P##LibraryLoaded(void) { return tvapi::loaded(LAYER); }                                   \
  int P##LibraryUnload(void) { return tvapi::unload(LAYER); }                                   \
  int P##CorrectLibraryVersion(char* msgBuf, int msgBufLen) {                                   \
    return tvapi::correct_version(LAYER, msgBuf, msgBufLen);                                    \
  }                                                                                             \
  int P##GetScreenIndicator(void) { return tvapi::get_flag(LAYER, &tvapi::Layer::ScreenIndicator); } \
  int P##SetScreenIndicator(int v) {                                                            \
    return tvapi::set_flag(LAYER, &tvapi::Layer::ScreenIndicator, v);                           \
  }                                                                                             \
  int P##GetExceptionIndicator(void) {                                                          \
    return tvapi::get_flag(LAYER, &tvapi::Layer::ExceptionIndicator);                           \
  }                                                                                             \
  int P##SetExceptionIndicator(int v) {                                                         \
    return tvapi::set_flag(LAYER, &tvapi::Layer::ExceptionIndicator, v);                        \
  }                                                                                             \
  int P##GetExitIndicator(void) { return tvapi::get_flag(LAYER, &tvapi::Layer::ExitIndicator); } \
  int P##SetExitIndicator(int v) { return tvapi::set_flag(LAYER, &tvapi::Layer::ExitIndicator, v); } \
  TVAPIErrorCallback_t P##GetErrorCallback(void) { return tvapi::get_callback(LAYER); }          \
  void P##SetErrorCallback(TVAPIErrorCallback_t f) { tvapi::set_callback(LAYER, f); }           \
  int P##GetAPIErrorCount(void) { return LAYER.APIErrorCount; }                                 \
  void P##SetAPIErrorCount(int n) { LAYER.APIErrorCount = n; }                                  \
  void P##ErrorHandling(const char* msg) { tvapi::error_handling(LAYER, msg); }                 \
  void P##InitMutexes(void) { tvapi::init_mutexes(LAYER); }                                     \
  void P##FiniMutexes(void) { tvapi::fini_mutexes(LAYER); }                                    \
  int P##StubCount(void) { return tvapi::stub_count(LAYER); }

// Per-function pieces generated from a layer's X-macro list
// X(name, symbol, result, (parameters)).
#define TV_API_DECLARE_POINTER(name, sym, R, params) \
  typedef R(*T##name) params;                        \
  extern T##name name;
#define TV_API_DEFINE_POINTER(name, sym, R, params) T##name name = nullptr;
#define TV_API_INDEX(name, sym, R, params) i_##name,
// The stub ignores its arguments, reports and returns a null value of its
// result type; TV_API_LAYER_OBJ names the layer object at the point of use.
#define TV_API_STUB(name, sym, R, params) \
  R d_##name params {                         \
    tvapi::stub_called(TV_API_LAYER_OBJ, i_##name); \
    return tvapi::null_of<R>();                \
  }
#define TV_API_TABLE_ENTRY(name, sym, R, params)                                          \
  {#name, sym, tvapi::Sig<T##name>::nargs, tvapi::Sig<T##name>::codes,                   \
   static_cast<void*>(&name), reinterpret_cast<void*>(&d_##name)},

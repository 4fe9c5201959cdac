// Option layer: its function table, stubs and entry points.
#include "optapi.h"

TV_OPT_FUNCTIONS(TV_API_DEFINE_POINTER)

namespace {

enum { TV_OPT_FUNCTIONS(TV_API_INDEX) kCount };

tvapi::Layer& this_layer();
#define TV_API_LAYER_OBJ this_layer()
TV_OPT_FUNCTIONS(TV_API_STUB)
#undef TV_API_LAYER_OBJ

tvapi::Function funcs[] = {TV_OPT_FUNCTIONS(TV_API_TABLE_ENTRY)};
static_assert(sizeof funcs / sizeof funcs[0] == kCount);
char why[kCount][tvapi::kWhyLen];
constexpr tvapi::Desc desc{"opt", "liboptdclib", "XCreate", nullptr, "XFree", "CXCheck", "CXAPIVersion", 4, true};
constinit tvapi::Layer layer{&desc, funcs, why, kCount};

tvapi::Layer& this_layer() { return layer; }

}  // namespace

TV_API_LAYER_DEFINE(opt, optHandle_t, layer)


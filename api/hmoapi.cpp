// Model-object layer: its function table, stubs and entry points.
#include "hmoapi.h"

TV_HMO_FUNCTIONS(TV_API_DEFINE_POINTER)

namespace {

enum { TV_HMO_FUNCTIONS(TV_API_INDEX) kCount };

tvapi::Layer& this_layer();
#define TV_API_LAYER_OBJ this_layer()
TV_HMO_FUNCTIONS(TV_API_STUB)
#undef TV_API_LAYER_OBJ

tvapi::Function funcs[] = {TV_HMO_FUNCTIONS(TV_API_TABLE_ENTRY)};
static_assert(sizeof funcs / sizeof funcs[0] == kCount);
char why[kCount][tvapi::kWhyLen];
constexpr tvapi::Desc desc{"hmo", "libvoskdclib", "hmoXCreate", "ChmoXCreateD", "hmoXFree", "ChmoXCheck", "ChmoXAPIVersion", 29, false};
constinit tvapi::Layer layer{&desc, funcs, why, kCount};

tvapi::Layer& this_layer() { return layer; }

}  // namespace

TV_API_LAYER_DEFINE(hmo, hmoHandle_t, layer)


int hmoCreateDD(hmoHandle_t* pH, const char* dirName, const char* data, char* msgBuf, int msgBufLen) {
  return tvapi::create(layer, reinterpret_cast<void**>(pH), dirName, nullptr, data ? data : "", msgBuf,
                       msgBufLen);
}

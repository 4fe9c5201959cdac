#include "core/context.h"

namespace tv {

Context& default_context() {
  static Context ctx;
  return ctx;
}

}  // namespace tv

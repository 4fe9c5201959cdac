#include "core/guarded.h"

#include <cstdio>
#include <string>

#include "core/context.h"

namespace tv {

void report_failure(int form, const char* detail) noexcept {
  try {
    Context& ctx = default_context();
    if (detail) ctx.both(std::string(" XXX  ") + detail);
    print_exit(ctx, TV_SYSTEM_ERROR, form);
  } catch (...) {
    std::fputs(exit_format(TV_SYSTEM_ERROR, form), stderr);
    std::fputc('\n', stderr);
  }
}

}  // namespace tv

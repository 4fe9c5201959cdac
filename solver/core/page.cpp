#include "core/page.h"

#include "core/context.h"
#include "options/params.h"

namespace tv {

void m1page(Context& ctx, int mode) {
  if (ctx.par.prtfile > 0) {
    if (ctx.par.page_ejects) ctx.prt("1");
    ctx.prt("");
  }
  if (ctx.par.sumfile > 0 && (ctx.par.lsmbrf > 0 || ctx.par.lsmful > 0 || mode != 0)) ctx.sum("");
}

const std::string& title_text() {
  static const std::string title = "T A R V O  5.6      (Jul 2016)";
  return title;
}

void print_title_box(Context& ctx) {
  const std::string rule = "      " + std::string(30, '=');
  const std::string mid = "      " + title_text();
  for (int unit : {ctx.par.prtfile, ctx.par.sumfile}) {
    ctx.io.line(unit, rule);
    ctx.io.line(unit, mid);
    ctx.io.line(unit, rule);
  }
}

}  // namespace tv

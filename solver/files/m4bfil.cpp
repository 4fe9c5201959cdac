#include "files/m4bfil.h"

#include "core/context.h"
#include "options/params.h"

namespace tv {

bool m4oldb(Context&, Problem&, int, int&, int&) { return false; }
bool m4inst(Context&, Problem&, int, int&) { return false; }
bool m4load(Context&, Problem&, int, int&) { return false; }

void m4newb(Context&, const Problem&, int, int, int, int, double, double, int) {}
void m4pnch(Context&, const Problem&, int) {}

void save_new_basis(Context& ctx, const Problem& P, int ns, int status, int itn, int ninf, double sinf,
                    double obj) {
  const Params& p = ctx.par;
  if (p.newbfile > 0) m4newb(ctx, P, p.newbfile, status, itn, ninf, sinf, obj, ns);
  if (p.bkpfile > 0) m4newb(ctx, P, p.bkpfile, status, itn, ninf, sinf, obj, ns);
}
void m4dump(Context&, const Problem&, int) {}

}  // namespace tv

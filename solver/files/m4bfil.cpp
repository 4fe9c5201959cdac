#include "files/m4bfil.h"

#include "core/context.h"

namespace tv {

bool m4oldb(Context&, Problem&, int, int&, int&) { return false; }
bool m4inst(Context&, Problem&, int, int&) { return false; }
bool m4load(Context&, Problem&, int, int&) { return false; }

void m4newb(Context&, const Problem&, int, int, int, int, double, double, int) {}
void m4pnch(Context&, const Problem&, int) {}
void m4dump(Context&, const Problem&, int) {}

}  // namespace tv

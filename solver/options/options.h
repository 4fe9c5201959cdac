// Parameter defaults and the SPECS language.
#pragma once

#include <string>
#include <string_view>

namespace tv {

struct Context;

// mode 1 reset every parameter, 2 resolve defaults against the problem,
// 3 print the listing; any mode refills the reduced-gradient tolerances.
void m3dflt(Context& ctx, int mode);

// One SPECS phrase (m3key through the single-option entries).  `errors`
// grows by one when the phrase is rejected.
void tvopt(Context& ctx, const std::string& phrase, int iprint, int isumm, int& errors);
void tvopti(Context& ctx, const std::string& phrase, int ivalue, int iprint, int isumm, int& errors);
void tvoptr(Context& ctx, const std::string& phrase, double rvalue, int iprint, int isumm, int& errors);
// Read a SPECS file on `unit` (recorded as the SPECS file unit); returns the
// result of the file reader, 0 when unit <= 0 (no file, nothing read).
int tvspec(Context& ctx, int unit);

// One SPECS line (cut to 72 characters): echoed on `iprint`, applied to
// ctx.par, rejected phrases reported on `iprint` and `isumm` and counted in
// `errors`.  `key` returns the first keyword (full word when recognised,
// "END" for the end of a set, blank for an empty or comment line).
void m3key(Context& ctx, std::string_view line, std::string& key, int iprint, int isumm, int& errors);

// The phrase routine that m3file calls for each line of a set.
using PhraseFn = void (*)(Context& ctx, std::string_view line, std::string& key, int iprint, int isumm,
                          int& errors);

// Read one SPECS set from `unit` (Begin ... End, with Skip and Endrun).
// Returns the number of rejected phrases of the set; 1 for a unit outside
// 1..99 (nothing read); 2 end of file inside a set; 3 end of file before a
// set; 4 Endrun.  mode 1 is the first set of a run.
int m3file(Context& ctx, int mode, int unit, PhraseFn phrase, int iprint, int isumm);

}  // namespace tv

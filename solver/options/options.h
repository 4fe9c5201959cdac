// Parameter defaults and the SPECS language.
#pragma once

#include <string>

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
// Read a SPECS file on `unit`; returns the result of the file reader.
int tvspec(Context& ctx, int unit);

}  // namespace tv

// Names of variables in reports and basis files: the name of variable j and
// the search for a variable by name.
#pragma once

#include <string>
#include <string_view>

#include "core/problem.h"

namespace tv {

struct Context;

// The 8-character name of variable j (1..nb): the stored name when the
// problem carries names (nnames = nb), else a made name: "x" or "r" and the
// column or row number right-justified in 7 places with the leading blanks
// shown as dots (x......5, r.....12).
std::string m4id(const Problem& P, int j);

// Find the variable named `name` (8 characters, blank padded) among the
// variables j1..j2.  The search runs from jmark to j2 and then from j1 to
// jmark, so a file in variable order is read in linear time; jmark is left
// on the match.  Returns the variable, or 0 when there is none: then nerror
// grows and, while it is within the Error message limit, the print file
// gets " XXX  Line nnnnnn  --  name not found:" with the name (`line` is
// the line of the file being read).
int m4name(Context& ctx, const Problem& P, std::string_view name, int j1, int j2, int& jmark, int line,
           int& nerror);

}  // namespace tv

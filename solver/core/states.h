// State codes of the variables and the start mode.
#pragma once

#include <string>
#include <string_view>

#include "core/array.h"

namespace tv {

struct Context;

// Convert hs over all nb variables.  "Internal": nonbasic variables (hs <= 1)
// get 4 when fixed, else 0/1 at or beyond a bound, -1 strictly between.
// "External": 4 and -1 become 0.
enum class HsMode { Internal, External };
void m5hs(HsMode mode, int nb, CDvec bl, CDvec bu, Ivec hs, CDvec xn);

// Interpret the start string: sets ctx.run.startmode, gotbas and, for a Hot
// start, gotfac/gothes/gotscl; a Cold start sets ns = 0.  Prints the flag line
// of a Hot start and the not-recognized line.
void set_start_mode(Context& ctx, std::string_view start, int& ns);

struct RunState;
// " gotbas = T     gotfac = F     ..." : the four run flags in one line.
std::string run_flag_line(const RunState& R);

}  // namespace tv

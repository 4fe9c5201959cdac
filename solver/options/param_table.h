// The parameter registry: one row per parameter, giving its name, type,
// storage, reset value and listing label.  The reset (m3dflt mode 1), the
// lookup by name and the listing (mode 3) are all driven from it; the SPECS
// dispatch table names its targets by the names used here.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "options/params.h"

namespace tv {

enum class PType : unsigned char { Int, Real, Name };

// What the reset does to a parameter.
enum class Reset : unsigned char {
  Keep,   // left alone (units given by the caller, machine constants, ...)
  Unset,  // the unset marker (-11111 or -11111.0; blanks for a name)
  Value,  // the fixed reset value
};

// Where a parameter lives inside Params.  Exactly one pointer is set,
// matching the type (a name is 8 characters, not terminated).
struct ParamRef {
  int* i = nullptr;
  double* r = nullptr;
  char* s = nullptr;
};

using ParamAccess = ParamRef (*)(Params&);
// Custom listing text of the value (10 columns) for the word items.
using ParamShow = std::string (*)(Params&);

struct ParamDef {
  const char* name;
  PType type;
  ParamAccess ref;
  Reset reset;
  double reset_value;  // for Reset::Value (an integer parameter stores it converted)
  bool user;           // set by the user through SPECS phrases (or IPARM/RPARM)
  const char* label;   // 24-character listing label, or nullptr when not listed
  const char* fmt;     // printf format of the listed value (int or double)
  ParamShow show;      // replaces fmt when set
};

// Every parameter, in block order.
std::span<const ParamDef> param_table();

// The registry row of `name` (exact), or nullptr.
const ParamDef* find_param(std::string_view name);

// Reset every parameter of the table (Reset::Unset and Reset::Value rows),
// the anonymous IPARM/RPARM slots, and blank the five names.
void reset_params(Params& p);

// The listed value of a parameter: its `show` text, or its value formatted
// with `fmt`.
std::string show_param(const ParamDef& d, Params& p);

}  // namespace tv

// Pieces shared by the test host's libraries: the check protocol, failure
// injection and small string helpers.
//
// Check protocol (what the link's binding layer asks before it binds a
// function): check(name, nargs, codes, why, whylen) with codes[0] the result
// type and codes[1..nargs] the argument types, one character each:
//   v void, i int, l 64-bit int, d double, h object handle, s input string,
//   b output string buffer (256 bytes), I int*, L int64*, D double*, f procedure.
// The library answers 1 when it offers the function with exactly that
// signature, else 0 and a reason in `why`.  Each library keeps its own table
// of signatures, written as "result:arguments".
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "control.h"

#define TVHOST_EXPORT extern "C" __attribute__((visibility("default")))

namespace tvhost {

struct Signature {
  const char* name;
  const char* sig;  // "r:args"
};

inline int check(const Signature* table, int n, const char* name, int nargs, const int* codes,
                 char* why, int whylen) {
  auto say = [&](const std::string& s) {
    if (why && whylen > 0) std::snprintf(why, static_cast<size_t>(whylen), "%s", s.c_str());
  };
  std::string fn = name ? name : "";
  if (tvhost_omitted(fn.c_str())) {
    say(fn + " is not offered by this library");
    return 0;
  }
  const Signature* s = std::find_if(table, table + n, [&](const Signature& e) { return fn == e.name; });
  if (s == table + n) {
    say(fn + " is not offered by this library");
    return 0;
  }
  std::string asked;
  if (codes && nargs >= 0) {
    asked += static_cast<char>(codes[0]);
    asked += ':';
    for (int k = 1; k <= nargs; ++k) asked += static_cast<char>(codes[k]);
  }
  if (asked != s->sig) {
    say(fn + " has signature " + s->sig + " in this library, the caller expects " + asked);
    return 0;
  }
  return 1;
}

inline int version(const char* layer, int own, int api, char* msg, int msglen) {
  int served = tvhost_version(layer, own);
  if (api == served) {
    if (msg && msglen > 0) msg[0] = '\0';
    return 1;
  }
  if (msg && msglen > 0)
    std::snprintf(msg, static_cast<size_t>(msglen),
                  "Client API version %d does not match the %s library's API version %d", api, layer,
                  served);
  return 0;
}

inline bool fails(const char* function) { return tvhost_fails(function) != 0; }

// Copy into a 256-byte host string buffer; a string that does not fit gives "".
inline void put256(char* out, const std::string& s) {
  if (!out) return;
  if (s.size() > 255) {
    out[0] = '\0';
    return;
  }
  std::memcpy(out, s.c_str(), s.size() + 1);
}

inline std::string lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace tvhost

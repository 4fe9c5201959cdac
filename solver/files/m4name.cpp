#include "files/m4name.h"

#include <cstdint>
#include <cstring>

#include "core/context.h"
#include "options/params.h"

namespace tv {

std::string m4id(const Problem& P, int j) {
  if (P.nnames > 1 && j >= 1 && j <= P.nnames) {
    char s[8];
    const int32_t w1 = P.name1(j), w2 = P.name2(j);
    std::memcpy(s, &w1, 4);
    std::memcpy(s + 4, &w2, 4);
    return std::string(s, 8);
  }
  std::string s = j <= P.n ? strf("x%7d", j) : strf("r%7d", j - P.n);
  for (char& c : s) {
    if (c == ' ') c = '.';
  }
  return s;
}

namespace {

// The variable whose made name is `name` (x......5 is column 5, r.....12 is
// row 12), 0 when it is no made name.  Made names are unique, so this finds
// what a comparison with every made name would find.
int made_name_index(const Problem& P, std::string_view name) {
  if (name.size() != 8 || (name[0] != 'x' && name[0] != 'r')) return 0;
  size_t k = 1;
  while (k < 8 && name[k] == '.') ++k;
  if (k == 8) return 0;
  long v = 0;
  for (; k < 8; ++k) {
    if (name[k] < '0' || name[k] > '9') return 0;
    v = 10 * v + (name[k] - '0');
  }
  if (name[0] == 'x') return v >= 1 && v <= P.n ? static_cast<int>(v) : 0;
  return v >= 1 && v <= P.m ? P.n + static_cast<int>(v) : 0;
}

}  // namespace

int m4name(Context& ctx, const Problem& P, std::string_view name, int j1, int j2, int& jmark, int line,
           int& nerror) {
  char buf[8];
  std::memset(buf, ' ', 8);
  std::memcpy(buf, name.data(), name.size() < 8 ? name.size() : 8);
  const std::string_view key(buf, 8);

  int found = 0;
  if (j1 >= 1 && j1 <= j2 && j2 <= P.nb) {
    if (jmark < j1 || jmark > j2) jmark = j1;
    if (P.nnames > 1 && P.nnames >= P.nb) {
      int32_t w1, w2;
      std::memcpy(&w1, buf, 4);
      std::memcpy(&w2, buf + 4, 4);
      for (int j = jmark; j <= j2 && found == 0; ++j) {
        if (P.name1(j) == w1 && P.name2(j) == w2) found = j;
      }
      for (int j = j1; j < jmark && found == 0; ++j) {
        if (P.name1(j) == w1 && P.name2(j) == w2) found = j;
      }
    } else {
      const int j = made_name_index(P, key);
      if (j >= j1 && j <= j2) found = j;
    }
  }
  if (found > 0) {
    jmark = found;
    return found;
  }
  ++nerror;
  if (nerror <= ctx.par.errlim) {
    ctx.prt(strf(" XXX  Line%6d  --  name not found:        %.8s", line, buf));
  }
  return 0;
}

}  // namespace tv

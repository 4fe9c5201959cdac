// m3key: one SPECS phrase.
#include <cmath>
#include <cstring>

#include "core/context.h"
#include "options/options.h"
#include "options/param_table.h"
#include "options/params.h"
#include "options/specs.h"

namespace tv {

namespace {

std::string_view trim_right(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t' || s[n - 1] == '\r')) --n;
  return s.substr(0, n);
}

// A rejected phrase: the message on the print file; the line and the
// message on the summary file.  A warning is shown the same way but the
// phrase is accepted.
struct Reporter {
  Context& ctx;
  int iprint, isumm;
  std::string_view line;
  int& errors;
  void reject(const std::string& msg) {
    ++errors;
    warn(msg);
  }
  void warn(const std::string& msg) {
    ctx.io.line(iprint, msg);
    if (isumm > 0) {
      // Appended, not " " + temporary: GCC 12 warns falsely (-Wrestrict) on that.
      ctx.io.line(isumm, std::string(" ").append(line));
      ctx.io.line(isumm, msg);
    }
  }
};

// An integer value is the number truncated toward zero, and 0 from 1.0E+8 up
// in magnitude: say so when that turns a nonzero number into 0.
void warn_zero_int(const PhraseNumber& num, Reporter& rep) {
  if (!num.found || num.ival != 0 || num.rval == 0.0) return;
  rep.warn(std::fabs(num.rval) >= 1.0E+8
               ? " XXX  Warning: the value is read as 0 (integer values of 1.0E+08 or more in magnitude read as 0)"
               : " XXX  Warning: the value is read as 0 (integer values are truncated toward zero)");
}

bool is_marker(const char* k2, const char* marker) { return k2 && std::strcmp(k2, marker) == 0; }

ParamRef target(Params& p, const char* name) {
  const ParamDef* d = name ? find_param(name) : nullptr;
  return d ? d->ref(p) : ParamRef{};
}

void set_int(Params& p, const char* name, int v) {
  if (int* q = target(p, name).i) *q = v;
}
void set_real(Params& p, const char* name, double v) {
  if (double* q = target(p, name).r) *q = v;
}

bool needs_number(Act a) {
  switch (a) {
    case Act::Const:
    case Act::Name:
    case Act::Defaults: return false;
    default: return true;
  }
}

// Apply one dispatch row.  Everything that can reject the phrase is checked
// before anything is stored, so a rejected phrase changes nothing.
void apply(Context& ctx, const KeyAction& a, const std::string* tok, const PhraseNumber& num, Reporter& rep) {
  Params& p = ctx.par;
  if (needs_number(a.act) && !num.ok) {
    rep.reject(" XXX  Number not recognized:          " + num.bad);
    return;
  }
  switch (a.act) {
    case Act::Int:
      warn_zero_int(num, rep);
      set_int(p, a.p1, num.ival);
      set_int(p, a.p2, num.ival);
      break;
    case Act::Real:
      set_real(p, a.p1, num.rval);
      set_real(p, a.p2, num.rval);
      break;
    case Act::Const: set_int(p, a.p1, a.value); break;
    case Act::ConstTol:
      if (num.rval > 0.0) set_real(p, a.p2, num.rval);
      set_int(p, a.p1, a.value);
      break;
    case Act::PosReal:
      if (num.rval > 0.0) set_real(p, a.p1, num.rval);
      break;
    case Act::Name:
      if (char* s = target(p, a.p1).s) {
        std::memset(s, ' ', 8);
        std::memcpy(s, tok[1].data(), std::min<size_t>(tok[1].size(), 8));
      }
      break;
    case Act::Defaults: m3dflt(ctx, 1); break;
    case Act::Iparm:
    case Act::Rparm: {
      const int index = num.ival;
      if (index < 1 || index > 30) {
        rep.reject(strf(" XXX  The parm subscript is out of range:%10d", index));
        return;
      }
      // The value is the third token; blank reads as zero.
      const std::string& t3 = tok[2];
      if (a.act == Act::Iparm) {
        int v = 0;
        if (!t3.empty() && !read_int(t3, v)) {
          rep.reject(" XXX  Number not recognized:          " + t3);
          return;
        }
        p.iparm_ref(index) = v;
      } else {
        double v = 0.0;
        if (!t3.empty() && !read_real(t3, v)) {
          rep.reject(" XXX  Number not recognized:          " + t3);
          return;
        }
        p.rparm_ref(index) = v;
      }
      break;
    }
    case Act::Level:
      warn_zero_int(num, rep);
      set_int(p, a.p1, num.ival == 0 ? 1 : 0);
      set_int(p, a.p2, num.ival > 0 ? 1 : 0);
      break;
  }
}

// Apply the rows of one first keyword.  `second` is the second keyword as
// looked up (found2 its index in the second-keyword table).
void dispatch(Context& ctx, std::span<const KeyAction> rows, const std::string* tok, std::string second, int found2,
              const PhraseNumber& num, Reporter& rep) {
  const int pos = rows.front().pos;
  std::string raw = tok[1];
  if (pos != 2) {
    // The keyword that decides sits in another token (START: the fourth).
    raw = tok[pos - 1];
    second = raw;
    found2 = oplook(second_keywords(), true, second);
  }
  const KeyAction* hit = nullptr;
  const KeyAction* other = nullptr;
  const KeyAction* known = nullptr;
  for (const KeyAction& a : rows) {
    if (a.key2 == kAnySecond) {
      apply(ctx, a, tok, num, rep);
      return;
    }
    if (is_marker(a.key2, kOtherSecond)) other = &a;
    else if (is_marker(a.key2, kKnownSecond)) known = &a;
    else if (raw.empty() ? a.key2[0] == '\0' : (found2 > 0 && second == a.key2)) hit = &a;
  }
  if (hit) return apply(ctx, *hit, tok, num, rep);
  if (other) return apply(ctx, *other, tok, num, rep);
  if (found2 > 0) {
    // A second keyword of the language that this first keyword ignores.
    if (known) apply(ctx, *known, tok, num, rep);
    return;
  }
  rep.reject(std::string(pos == 4 ? " XXX  Fourth keyword not recognized:  " : " XXX  Second keyword not recognized:  ") +
             raw);
}

std::span<const KeyAction> rows_of(const std::string& key) {
  std::span<const KeyAction> all = key_actions();
  size_t first = all.size(), last = 0;
  for (size_t k = 0; k < all.size(); ++k) {
    if (key == all[k].key1) {
      if (first == all.size()) first = k;
      last = k + 1;
    }
  }
  if (first == all.size()) return {};
  return all.subspan(first, last - first);
}

}  // namespace

void m3key(Context& ctx, std::string_view line, std::string& key, int iprint, int isumm, int& errors) {
  if (line.size() > static_cast<size_t>(kSpecsLine)) line = line.substr(0, kSpecsLine);
  const std::string_view text = trim_right(line);
  if (iprint > 0) ctx.io.line(iprint, "      " + std::string(text));

  std::string_view body = line;
  if (size_t star = body.find('*'); star != std::string_view::npos) body = body.substr(0, star);

  std::string tok[kMaxTokens];
  bool cut[kMaxTokens];
  optokn(body, kMaxTokens, tok, cut);
  key = tok[0];
  if (key.empty() || key == "END") return;

  Reporter rep{ctx, iprint, isumm, text, errors};
  const PhraseNumber num = phrase_number(tok, cut, kMaxTokens);

  std::string second = tok[1];
  const int found2 = oplook(second_keywords(), true, second);

  if (oplook(first_keywords1(), true, key) > 0 || oplook(first_keywords2(), true, key) > 0) {
    std::span<const KeyAction> rows = rows_of(key);
    if (!rows.empty()) {
      dispatch(ctx, rows, tok, second, found2, num, rep);
      return;
    }
  }
  rep.reject(" XXX  Keyword not recognized:         " + key);
}

}  // namespace tv

// Tokens, keyword lookup and numbers of SPECS phrases.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "options/specs.h"

namespace tv {

namespace {

bool is_sep(char c) { return c == ' ' || c == '\t' || c == ',' || c == ':' || c == '='; }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_number_char(char c) {
  return is_digit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'D';
}

// An entry padded with blanks to 16 characters.
void pad16(const char* entry, char out[kTokenLen]) {
  std::memset(out, ' ', kTokenLen);
  const size_t n = std::min<size_t>(std::strlen(entry), kTokenLen);
  std::memcpy(out, entry, n);
}

// One lookup without following aliases; returns the index or 0/negative.
int look_once(std::span<const char* const> table, bool alphabetical, const std::string& key) {
  const size_t len = key.size();
  if (len == 0 || len > static_cast<size_t>(kTokenLen)) return 0;
  int found = 0;
  int nfound = 0;
  for (size_t k = 0; k < table.size(); ++k) {
    char e[kTokenLen];
    pad16(table[k], e);
    const int c = std::memcmp(e, key.data(), len);
    if (c == 0) {
      if (alphabetical) return static_cast<int>(k + 1);
      // Unordered table: an exact word wins over abbreviations.
      std::string word;
      optokn(table[k], 1, &word);
      if (word == key) return static_cast<int>(k + 1);
      if (nfound++ == 0) found = static_cast<int>(k + 1);
    } else if (alphabetical && c > 0) {
      return 0;
    }
  }
  return nfound > 1 ? -found : found;
}

}  // namespace

bool opscan(std::string_view line, size_t& pos, size_t& first, size_t& last) {
  while (pos < line.size() && is_sep(line[pos])) ++pos;
  if (pos >= line.size()) return false;
  first = pos;
  while (pos < line.size() && !is_sep(line[pos])) ++pos;
  last = pos;
  if (pos < line.size()) ++pos;
  return true;
}

int optokn(std::string_view line, int count, std::string* tokens, bool* cut) {
  for (int k = 0; k < count; ++k) {
    tokens[k].clear();
    if (cut) cut[k] = false;
  }
  size_t pos = 0, first = 0, last = 0;
  int n = 0;
  while (n < count && opscan(line, pos, first, last)) {
    const size_t len = last - first;
    std::string& t = tokens[n];
    t.assign(line.substr(first, std::min<size_t>(len, kTokenLen)));
    for (char& c : t) c = upper(c);
    if (cut) cut[n] = len > static_cast<size_t>(kTokenLen);
    ++n;
  }
  return n;
}

int oplook(std::span<const char* const> table, bool alphabetical, std::string& key) {
  std::string k = key;
  // An alias names its target; allow a short chain, never a loop.
  for (int depth = 0; depth < 4; ++depth) {
    const int idx = look_once(table, alphabetical, k);
    if (idx <= 0) return idx;
    std::string words[2];
    optokn(table[static_cast<size_t>(idx - 1)], 2, words);
    if (words[1].empty()) {
      key = words[0];
      return idx;
    }
    k = words[1];
  }
  return 0;
}

bool looks_like_number(std::string_view tok) {
  int digits = 0, expo = 0, minus = 0, plus = 0, point = 0;
  for (char c : tok) {
    if (!is_number_char(c)) return false;
    if (is_digit(c)) ++digits;
    else if (c == 'E' || c == 'D') ++expo;
    else if (c == '-') ++minus;
    else if (c == '+') ++plus;
    else ++point;
  }
  return digits >= 1 && expo <= 1 && minus <= 2 && plus <= 2 && point <= 1;
}

bool number_shaped(std::string_view tok) {
  bool marked = false;
  for (char c : tok) {
    if (!is_number_char(c)) return false;
    if (c != 'E' && c != 'D') marked = true;
  }
  return marked;
}

bool read_real(std::string_view tok, double& value) {
  // sign? (digits [. digits?] | . digits) ([ED] sign? digits)?
  size_t i = 0;
  const size_t n = tok.size();
  std::string s;
  if (i < n && (tok[i] == '+' || tok[i] == '-')) s += tok[i++];
  size_t mant = 0;
  while (i < n && is_digit(tok[i])) { s += tok[i++]; ++mant; }
  if (i < n && tok[i] == '.') {
    s += tok[i++];
    while (i < n && is_digit(tok[i])) { s += tok[i++]; ++mant; }
  }
  if (mant == 0) return false;
  if (i < n && (tok[i] == 'E' || tok[i] == 'D')) {
    s += 'E';
    ++i;
    if (i < n && (tok[i] == '+' || tok[i] == '-')) s += tok[i++];
    size_t ex = 0;
    while (i < n && is_digit(tok[i])) { s += tok[i++]; ++ex; }
    if (ex == 0) return false;
  }
  if (i != n) return false;
  errno = 0;
  const double v = std::strtod(s.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

bool read_int(std::string_view tok, int& value) {
  size_t i = 0;
  bool neg = false;
  if (i < tok.size() && (tok[i] == '+' || tok[i] == '-')) neg = tok[i++] == '-';
  if (i >= tok.size()) return false;
  long long v = 0;
  for (; i < tok.size(); ++i) {
    if (!is_digit(tok[i])) return false;
    v = v * 10 + (tok[i] - '0');
    if (v > 1LL + INT_MAX) return false;
  }
  if (neg) v = -v;
  if (v > INT_MAX || v < INT_MIN) return false;
  value = static_cast<int>(v);
  return true;
}

PhraseNumber phrase_number(const std::string* tokens, const bool* cut, int count) {
  PhraseNumber num;
  for (int k = 1; k < count; ++k) {
    const std::string& t = tokens[k];
    if (t.empty() || !number_shaped(t)) continue;
    num.found = true;
    double v = 0.0;
    // A cut token is no longer the number that was written.
    if ((cut && cut[k]) || !looks_like_number(t) || !read_real(t, v)) {
      num.ok = false;
      num.bad = t;
      return num;
    }
    num.rval = v;
    num.ival = (std::fabs(v) < 1.0E+8) ? static_cast<int>(v) : 0;
    return num;
  }
  return num;
}

}  // namespace tv

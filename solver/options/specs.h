// The SPECS language: tokens, keyword tables, numbers and the dispatch
// table that maps a phrase to the parameters it sets.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tv {

constexpr int kSpecsLine = 72;  // characters of a SPECS line
constexpr int kTokenLen = 16;   // characters of a token
constexpr int kMaxTokens = 10;  // tokens examined per line

// Skip separators (blank, tab, comma, colon, equals sign) from `pos`, then
// take the token up to the next separator.  Returns false at the end of the
// line; otherwise [first, last) is the token and `pos` is one past the
// separator that ended it.
bool opscan(std::string_view line, size_t& pos, size_t& first, size_t& last);

// Split `line` into at most `count` tokens (upper case, cut to 16
// characters; a blank token is the empty string).  tokens[0..count-1] are
// written, the ones not found are blank.  cut[k], when given, tells whether
// token k was longer than 16 characters.  Returns the number found.
int optokn(std::string_view line, int count, std::string* tokens, bool* cut = nullptr);

// Look `key` up in `table` (entries of at most 16 characters; "ALIAS:TARGET"
// or "ALIAS :TARGET" make ALIAS stand for TARGET).  The key matches an entry
// whose first len(key) characters equal it; in an alphabetical table the
// first such entry wins and the walk stops at the first entry that sorts
// after the key.  On success the key becomes the full (target) word and the
// 1-based index is returned; 0 when not found (a blank key never matches);
// in a table that is not alphabetical, minus the first index when the key
// is ambiguous.
int oplook(std::span<const char* const> table, bool alphabetical, std::string& key);

// The keyword tables, in alphabetical order.
std::span<const char* const> first_keywords1();
std::span<const char* const> first_keywords2();
std::span<const char* const> second_keywords();

// ---- numbers ----------------------------------------------------------------

// The number test: only digits, "+", "-", ".", "E", "D"; at least one digit,
// at most one exponent letter, two "-", two "+" and one ".".
bool looks_like_number(std::string_view tok);
// Made of number characters and containing a digit, sign or point: a token
// meant as a number even if malformed ("+-", "1.2.3").
bool number_shaped(std::string_view tok);
// Strict reading of a real (optional sign, digits with at most one point,
// optional exponent E or D with optional sign and digits); false when the
// token is malformed or the value overflows.
bool read_real(std::string_view tok, double& value);
// Strict reading of a 32-bit integer (optional sign and digits).
bool read_int(std::string_view tok, int& value);

// The value of a phrase: the first token from the second on that is meant as
// a number.  ok is false when that token is malformed (then `bad` holds it).
struct PhraseNumber {
  bool found = false;
  bool ok = true;
  double rval = 0.0;
  int ival = 0;
  std::string bad;
};
PhraseNumber phrase_number(const std::string* tokens, const bool* cut, int count);

// ---- dispatch ---------------------------------------------------------------

enum class Act : unsigned char {
  Int,       // p1 (and p2) := ival
  Real,      // p1 (and p2) := rval
  Const,     // p1 := value
  ConstTol,  // p1 := value, and p2 := rval when rval > 0
  PosReal,   // p1 := rval when rval > 0
  Name,      // p1 := the first 8 characters of the second token
  Defaults,  // reset every parameter
  Iparm,     // iparm(ival) := third token as an integer
  Rparm,     // rparm(ival) := third token as a real
  Level,     // p1 := (ival = 0), p2 := (ival > 0)
};

// Second-keyword markers of a dispatch row.
inline constexpr const char* kAnySecond = nullptr;  // not examined
inline constexpr char kBlankSecond[] = "";           // blank second keyword
inline constexpr char kOtherSecond[] = "*";          // any other, no error
inline constexpr char kKnownSecond[] = "?";          // any other word of the table

struct KeyAction {
  const char* key1;   // full first keyword
  const char* key2;   // full second keyword or a marker above
  Act act;
  const char* p1;     // registry names of the targets
  const char* p2;
  int value;          // for Const and ConstTol
  int pos;            // token holding the second keyword: 2, or 4 (START)
};

std::span<const KeyAction> key_actions();

}  // namespace tv

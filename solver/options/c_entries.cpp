// The C entries of the option routines (tarvo.h): they work on the
// process-wide context and never let an exception escape (core/guarded.h):
// a failure counts as a rejected phrase, or as an unread SPECS file.
#include <cstring>
#include <string>

#include "core/context.h"
#include "core/guarded.h"
#include "options/options.h"
#include "tarvo.h"

namespace {

// A character argument with its length; a C caller may end it early with a
// zero byte.
std::string c_text(const char* s, int len) {
  if (!s || len <= 0) return std::string();
  const void* z = std::memchr(s, '\0', static_cast<size_t>(len));
  const size_t n = z ? static_cast<size_t>(static_cast<const char*>(z) - s) : static_cast<size_t>(len);
  return std::string(s, n);
}

int value_or(const int* p, int dflt) { return p ? *p : dflt; }

}  // namespace

extern "C" {

void tvspec(int* ispecs, int* inform) {
  int result = 1;
  if (tv::guarded([&] { result = tv::tvspec(tv::default_context(), value_or(ispecs, 0)); }) != 0) result = 1;
  if (inform) *inform = result;
}

void tvopt(const char* phrase, int* iprint, int* isumm, int* errors, int phraselen) {
  int err = value_or(errors, 0);
  const int failed = tv::guarded(
      [&] { tv::tvopt(tv::default_context(), c_text(phrase, phraselen), value_or(iprint, 0), value_or(isumm, 0), err); });
  if (failed != 0) ++err;
  if (errors) *errors = err;
}

void tvopti(const char* phrase, int* ivalue, int* iprint, int* isumm, int* errors, int phraselen) {
  int err = value_or(errors, 0);
  const int failed = tv::guarded([&] {
    if (!ivalue) {
      ++err;
    } else {
      tv::tvopti(tv::default_context(), c_text(phrase, phraselen), *ivalue, value_or(iprint, 0), value_or(isumm, 0),
                 err);
    }
  });
  if (failed != 0) ++err;
  if (errors) *errors = err;
}

void tvoptr(const char* phrase, double* rvalue, int* iprint, int* isumm, int* errors, int phraselen) {
  int err = value_or(errors, 0);
  const int failed = tv::guarded([&] {
    if (!rvalue) {
      ++err;
    } else {
      tv::tvoptr(tv::default_context(), c_text(phrase, phraselen), *rvalue, value_or(iprint, 0), value_or(isumm, 0),
                 err);
    }
  });
  if (failed != 0) ++err;
  if (errors) *errors = err;
}

}  // extern "C"

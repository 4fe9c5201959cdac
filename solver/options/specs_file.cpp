// SPECS files (m3file, tvspec) and the single-option entries.
#include <cmath>

#include "core/context.h"
#include "options/options.h"
#include "options/params.h"
#include "options/specs.h"

namespace tv {

namespace {

std::string trimmed(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t' || s[n - 1] == '\r')) --n;
  return std::string(s.substr(0, n));
}

void both_units(Context& ctx, int iprint, int isumm, const std::string& s) {
  ctx.io.line(iprint, s);
  ctx.io.line(isumm, s);
}

// Begin and Endrun lines: an empty line, then the line itself.
void echo_control(Context& ctx, int iprint, int isumm, const std::string& text) {
  ctx.io.line(iprint, "");
  ctx.io.line(iprint, "      " + text);
  ctx.io.line(isumm, "");
  ctx.io.line(isumm, " " + text);
}

// A phrase that the single-option entries cannot pass on: echoed and
// reported like a rejected SPECS line.
void reject_entry(Context& ctx, const std::string& phrase, const char* msg, int iprint, int isumm, int& errors) {
  ++errors;
  const std::string shown = phrase.substr(0, kSpecsLine);
  ctx.io.line(iprint, "      " + shown);
  ctx.io.line(iprint, msg);
  if (isumm > 0) {
    ctx.io.line(isumm, " " + shown);
    ctx.io.line(isumm, msg);
  }
}

// A phrase plus a number text: the number follows the phrase with at least
// one blank between them and the whole must fit in a SPECS line.
void opt_with_number(Context& ctx, const std::string& phrase, std::string number, int iprint, int isumm,
                     int& errors) {
  std::string head = trimmed(phrase);
  if (number.empty() || number.front() != ' ') number.insert(number.begin(), ' ');
  if (head.size() + number.size() > static_cast<size_t>(kSpecsLine)) {
    reject_entry(ctx, head, " XXX  Option phrase too long for its value", iprint, isumm, errors);
    return;
  }
  std::string key;
  m3key(ctx, head + number, key, iprint, isumm, errors);
}

// Text beyond column 72 of a SPECS line is not read.  When that text is not
// blank (and not part of a comment begun earlier), a value may have been cut
// short ("1.0E-2" read as "1."): say which line, and what was ignored.  The
// summary file gets the line as read first, as for a rejected phrase; so does
// the print file unless the phrase routine has echoed it already.
void warn_cut_line(Context& ctx, int iprint, int isumm, const std::string& raw, int lineno, bool echoed) {
  if (raw.size() <= static_cast<size_t>(kSpecsLine)) return;
  const std::string kept = trimmed(std::string_view(raw).substr(0, kSpecsLine));
  if (kept.find('*') != std::string::npos) return;
  const std::string lost = trimmed(std::string_view(raw).substr(kSpecsLine));
  const size_t from = lost.find_first_not_of(" \t");
  if (from == std::string::npos) return;
  const std::string msg =
      strf(" XXX  Warning: line%6d of the SPECS file is cut at column %d; ignored: ", lineno, kSpecsLine) +
      lost.substr(from);
  if (!echoed) ctx.io.line(iprint, "      " + kept);
  ctx.io.line(iprint, msg);
  if (isumm > 0) {
    ctx.io.line(isumm, " " + kept);
    ctx.io.line(isumm, msg);
  }
}

}  // namespace

int m3file(Context& ctx, int mode, int unit, PhraseFn phrase, int iprint, int isumm) {
  if (unit <= 0 || unit > 99) return 1;
  bool skipping = false;
  std::string raw;
  std::string first;
  int lineno = 0;
  while (true) {
    if (!ctx.io.read_line(unit, raw)) {
      if (mode == 1) {
        both_units(ctx, iprint, isumm, "");
        both_units(ctx, iprint, isumm, "");
        both_units(ctx, iprint, isumm,
                   strf(" XXX  End-of-file encountered while looking for a SPECS file on unit%6d", unit));
      } else {
        both_units(ctx, iprint, isumm, " Endrun");
      }
      return 3;
    }
    ++lineno;
    const std::string whole = raw;
    if (raw.size() > static_cast<size_t>(kSpecsLine)) raw.resize(kSpecsLine);
    const std::string text = trimmed(raw);
    optokn(raw, 1, &first);
    if (first == "ENDRUN") {
      echo_control(ctx, iprint, isumm, text);
      return 4;
    }
    if (first.empty() || first.front() == '*') {
      // Outside a set only the first word counts: the cut matters when it
      // leaves none (a Begin beyond column 72 would be missed).
      if (first.empty()) warn_cut_line(ctx, iprint, isumm, whole, lineno, false);
      continue;
    }
    if (first == "SKIP") {
      skipping = true;
      continue;
    }
    if (first == "BEGIN") {
      echo_control(ctx, iprint, isumm, text);
      m3dflt(ctx, 1);
      int errors = 0;
      std::string key;
      while (ctx.io.read_line(unit, raw)) {
        phrase(ctx, raw, key, iprint, isumm, errors);
        warn_cut_line(ctx, iprint, isumm, raw, ++lineno, true);
        if (key == "END") return errors;
      }
      both_units(ctx, iprint, isumm, "");
      both_units(ctx, iprint, isumm, "");
      both_units(ctx, iprint, isumm,
                 strf(" XXX  End-of-file encountered while processing a SPECS file on unit%6d", unit));
      return 2;
    }
    if (skipping) continue;
    skipping = true;
    for (int u : {iprint, isumm}) {
      ctx.io.line(u, "");
      ctx.io.line(u, "");
      ctx.io.linef(u, " XXX  Error while looking for a SPECS file on unit%7d", unit);
      ctx.io.line(u, " XXX  The file should start with Begin, Skip or Endrun");
      ctx.io.line(u, " XXX  but the first record found was the following:");
      ctx.io.line(u, "");
      ctx.io.line(u, " ---->" + text);
      ctx.io.line(u, "");
      ctx.io.line(u, " XXX  Continuing to look for SPECS file...");
    }
  }
}

int tvspec(Context& ctx, int unit) {
  ctx.par.specfile = unit;
  if (unit <= 0) return 0;
  return m3file(ctx, 1, unit, m3key, ctx.par.prtfile, ctx.par.sumfile);
}

void tvopt(Context& ctx, const std::string& phrase, int iprint, int isumm, int& errors) {
  std::string key;
  m3key(ctx, phrase, key, iprint, isumm, errors);
}

void tvopti(Context& ctx, const std::string& phrase, int ivalue, int iprint, int isumm, int& errors) {
  opt_with_number(ctx, phrase, strf("%16d", ivalue), iprint, isumm, errors);
}

void tvoptr(Context& ctx, const std::string& phrase, double rvalue, int iprint, int isumm, int& errors) {
  if (!std::isfinite(rvalue)) {
    // Such a value would be read back as no number at all, i.e. zero.
    reject_entry(ctx, trimmed(phrase), " XXX  Option value is not finite", iprint, isumm, errors);
    return;
  }
  opt_with_number(ctx, phrase, strf("%16.8E", rvalue), iprint, isumm, errors);
}

}  // namespace tv

// SPECS files and phrases under arbitrary input, and what an entry does
// with the parameters they leave before it solves.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/context.h"
#include "core/entry.h"
#include "core/setup.h"
#include "fuzz_checks.h"
#include "fuzz_files.h"
#include "options/options.h"
#include "options/params.h"

namespace tvfuzz {

namespace {

constexpr int kPrint = 9, kSumm = 10, kSpecs = 4;

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> out;
  size_t b = 0;
  while (b <= text.size()) {
    size_t e = text.find('\n', b);
    if (e == std::string::npos) e = text.size();
    out.push_back(text.substr(b, e - b));
    b = e + 1;
  }
  return out;
}

// A problem to resolve the parameters against: 4 rows, 4 columns.
struct SmallLp {
  std::vector<double> a{-1, 1, 1, -1, -2, 1, -1, 1, 1, 1}, bl{0, 0, 1, -1e20, -1e20, -5, -1e20, -20},
      bu{1e20, 1e20, 1, 1e20, 1e20, 1e20, 2, 20}, xn = std::vector<double>(8, 0.0), pi = std::vector<double>(4, 0.0),
      rc = std::vector<double>(8, 0.0);
  std::vector<int32_t> ha{1, 2, 3, 4, 1, 2, 3, 1, 2, 4}, ka{1, 5, 8, 10, 11}, hs = std::vector<int32_t>(8, 0),
      name1{0}, name2{0};
  tv::Problem view() {
    tv::Problem P;
    P.m = 4;
    P.n = 4;
    P.nb = 8;
    P.ne = 10;
    P.nnames = 1;
    P.objrow = 1;
    P.a = tv::Dvec(a.data(), 10);
    P.ha = tv::Ivec(ha.data(), 10);
    P.ka = tv::Ivec(ka.data(), 5);
    P.bl = tv::Dvec(bl.data(), 8);
    P.bu = tv::Dvec(bu.data(), 8);
    P.name1 = tv::Ivec(name1.data(), 1);
    P.name2 = tv::Ivec(name2.data(), 1);
    P.hs = tv::Ivec(hs.data(), 8);
    P.xn = tv::Dvec(xn.data(), 8);
    P.pi = tv::Dvec(pi.data(), 4);
    P.rc = tv::Dvec(rc.data(), 8);
    return P;
  }
};

std::string value_part(const std::string& line, std::string& phrase) {
  const size_t hash = line.rfind('#');
  if (hash == std::string::npos) {
    phrase = line;
    return std::string();
  }
  phrase = line.substr(0, hash);
  return line.substr(hash + 1);
}

}  // namespace

std::string check_specs(const std::string& text, int mode) {
  tv::Context ctx;
  ctx.io.attach_buffer(kPrint);
  ctx.io.attach_buffer(kSumm);
  ctx.io.attach_buffer(6);
  tv::tvstart(ctx, kPrint, kSumm, 0);
  const std::vector<std::string> lines = split_lines(text);
  const int nlines = static_cast<int>(lines.size());

  if (mode == 0) {
    ctx.io.attach_text(kSpecs, text);
    int result = tv::tvspec(ctx, kSpecs);
    // Later sets of the same file, as a caller reading set after set would.
    for (int set = 0; set < 3; ++set) {
      // A set's rejected phrases (at most one a line), or 2, 3, 4 (end of
      // file in a set, before a set; Endrun).
      if (result < 0 || (result > nlines && result > 4)) return "SPECS file result " + std::to_string(result);
      if (result == 3 || result == 4) break;
      result = tv::m3file(ctx, 2, kSpecs, tv::m3key, kPrint, kSumm);
    }
  } else {
    int errors = 0;
    for (const std::string& line : lines) {
      const int before = errors;
      std::string phrase;
      const std::string value = value_part(line, phrase);
      if (mode == 1) {
        tv::tvopt(ctx, line, kPrint, kSumm, errors);
      } else if (mode == 2) {
        errno = 0;
        const long long v = std::strtoll(value.c_str(), nullptr, 0);
        tv::tvopti(ctx, phrase, static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)), kPrint, kSumm,
                   errors);
      } else {
        tv::tvoptr(ctx, phrase, std::strtod(value.c_str(), nullptr), kPrint, kSumm, errors);
      }
      if (errors != before && errors != before + 1) return "one phrase counted as several errors";
    }
  }
  // What an entry does with the parameters before it solves: resolve them
  // for a problem, size the workspace, list them.
  catch_units(ctx);
  SmallLp lp;
  tv::solve_settings(ctx, lp.view());
  const int64_t need = tv::partition_workspace(ctx, 0);
  if (need < 1) return "the workspace partition needs " + std::to_string(need) + " words";
  tv::m3dflt(ctx, 3);
  return "";
}

std::string fuzz_specs(const uint8_t* data, size_t size) {
  if (size < 1) return "";
  return check_specs(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), data[0] % 4);
}

}  // namespace tvfuzz

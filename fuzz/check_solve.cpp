// Whole solves of the small problems the MPS reader accepts: odd but valid
// problems (free rows, empty columns, fixed variables, huge and tiny
// coefficients, ranges on every row type) meet the whole solver.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <vector>

#include "core/context.h"
#include "core/entry.h"
#include "files/mps.h"
#include "fuzz_checks.h"
#include "fuzz_files.h"
#include "lp_measure.h"
#include "options/options.h"
#include "options/params.h"

namespace tvfuzz {

namespace {

constexpr int kPrint = 9, kBasisUnit = 15;
constexpr int kMaxRows = 60, kMaxCols = 60, kMaxEntries = 600;
constexpr int kIterations = 2000;
constexpr long long kMaxWork = 1 << 22;  // words

void set_i(tv::Context& ctx, const char* phrase, int v) {
  int errors = 0;
  tv::tvopti(ctx, phrase, v, 0, 0, errors);
}

// The lines after the ENDATA line (the first line that starts in column 1
// with that word, as the reader sees it).
std::vector<std::string> after_endata(const std::string& text) {
  std::vector<std::string> lines;
  size_t b = 0;
  bool found = false;
  while (b < text.size()) {
    size_t e = text.find('\n', b);
    if (e == std::string::npos) e = text.size();
    const std::string line = text.substr(b, e - b);
    b = e + 1;
    if (found) {
      lines.push_back(line);
    } else if (line.size() >= 6 && line[0] != ' ' && line[0] != '\t') {
      std::string w = line.substr(0, 6);
      for (char& c : w) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      found = w == "ENDATA" && (line.size() == 6 || line[6] == ' ' || line[6] == '\t' || line[6] == '\r');
    }
  }
  return lines;
}

// The options of `flags` (see fuzz_checks.h), then the phrases; the sense is
// the file's (OBJSENSE), turned round by bit 5.  The iterations stay bounded
// and the output goes to buffers whatever the phrases say.
void settings(tv::Context& ctx, int flags, int file_sense, const std::vector<std::string>& phrases,
              const BasisInput* basis) {
  ctx.io.attach_buffer(kPrint);
  ctx.io.clear_buffer(kPrint);
  tv::tvstart(ctx, kPrint, 0, 0);
  set_i(ctx, "Iterations limit", kIterations);
  if (flags >= 0) {
    if ((flags & 3) != 3) set_i(ctx, "Scale option", flags & 3);
    set_i(ctx, "Crash option", (flags >> 2) & 3);
    set_i(ctx, "Iparm 6", flags & 16 ? 1 : 2);
    if (flags & 64) set_i(ctx, "Factorization frequency", 3);
    if (flags & 128) set_i(ctx, "Expand frequency", 5);
  }
  int errors = 0;
  if ((file_sense < 0) != (flags >= 0 && (flags & 32) != 0)) tv::tvopt(ctx, "Maximize", 0, 0, errors);
  for (const std::string& line : phrases) tv::tvopt(ctx, line, kPrint, 0, errors);
  if (ctx.par.itnmax < 0 || ctx.par.itnmax > kIterations) ctx.par.itnmax = kIterations;
  catch_units(ctx);
  if (basis) {
    ctx.io.attach_text(kBasisUnit, basis->text);
    int& unit = basis->format == 0 ? ctx.par.oldbfile : basis->format == 1 ? ctx.par.insfile : ctx.par.loadfile;
    unit = kBasisUnit;
  }
}

}  // namespace

std::string check_solve_model(tv::MpsModel& M, int flags, const std::vector<std::string>& phrases,
                              const char* start, SolveOutcome* out, const BasisInput* basis) {
  SolveOutcome local;
  SolveOutcome& o = out ? *out : local;
  o = SolveOutcome();
  LpData lp;
  lp.m = M.m;
  lp.n = M.n;
  lp.objrow = M.objrow;
  lp.objconst = M.objconst;
  lp.a = M.a;
  lp.ha = M.ha;
  lp.ka = M.ka;
  lp.bl = M.bl;
  lp.bu = M.bu;
  const std::vector<int32_t> hs0 = M.hs;
  const std::vector<double> xn0 = M.xn;

  tv::Context ctx;
  tv::Problem P = M.problem();
  const std::string names = M.names40();
  tv::EntryResult r;
  int ns = 0;
  double probe[1] = {0.0};
  settings(ctx, flags, M.objsense, phrases, basis);
  tv::tvnose(ctx, start, P, names.data(), ns, probe, 1, 0, nullptr, r);
  if (r.inform != TV_WORKSPACE) return "the workspace probe ended with result " + std::to_string(r.inform);
  if (r.minwork > kMaxWork) return "";  // options that ask for more room than is worth trying here
  long long nwork = r.minwork;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::vector<double> z(static_cast<size_t>(nwork), 0.0);
    M.hs = hs0;
    M.xn = xn0;
    ns = 0;
    settings(ctx, flags, M.objsense, phrases, basis);
    tv::tvnose(ctx, start, P, names.data(), ns, z.data(), static_cast<int>(nwork), 0, nullptr, r);
    if (r.inform != TV_LU_STORAGE) break;
    nwork *= 2;
  }
  o.inform = r.inform;
  o.obj = r.obj;
  o.iterations = r.nitns;
  o.print = ctx.io.buffer(kPrint);
  // Phrases may have moved the print and summary files elsewhere.
  const int prt = ctx.par.prtfile, sum = ctx.par.sumfile;
  std::string files = o.print;
  if (prt != kPrint) files += ctx.io.buffer(prt);
  files += ctx.io.buffer(sum);

  // What a linear program may end with: optimal, infeasible, unbounded,
  // limits, no progress, numerical trouble, near-optimal (a point that does
  // not price out in the user's units after all), and the factorization's own
  // failures; nothing nonlinear, no refusal of data the reader accepted,
  // no system error.
  const int inform = r.inform;
  if (basis && inform == TV_BASIS_FILE) {
    return files.find(" EXIT -- ") == std::string::npos ? "a refused basis file without its EXIT line" : "";
  }
  const bool ok_code = (inform >= 0 && inform <= 4) || inform == 9 || inform == 10 || inform == 12 || inform == 13 ||
                       (inform >= 20 && inform <= 22) || inform == 32;
  if (!ok_code) return "solve ended with result " + std::to_string(inform) + "\n" + o.print;
  if ((prt > 0 || sum > 0) && files.find(" EXIT -- ") == std::string::npos) return "no EXIT line";
  for (int j = 0; j < M.n + M.m; ++j)
    if (!std::isfinite(M.xn[j]) || !std::isfinite(M.rc[j])) return "a value of the solution is not finite";
  for (int i = 0; i < M.m; ++i)
    if (!std::isfinite(M.pi[i])) return "a multiplier is not finite";
  if (inform != TV_OPTIMAL && inform != TV_NEAR_OPTIMAL) return "";
  if (r.ninf != 0) return "optimal with infeasibilities";

  // Relative measures, ten times the tolerances in force (at least the
  // defaults 1e-6); the rows within the feasibility tolerance (a basis
  // solve of a badly scaled problem loses some digits).  A near-optimal
  // point is feasible and its objective its own; only its prices may be off.
  const double ptol = 10 * std::max(ctx.par.feastol, 1e-6), dtol = 10 * std::max(ctx.par.opttol, 1e-6);
  o.errors = measure_point(lp, ctx.par.objsense, M.xn, M.pi, r.obj);
  const double dual_tol = inform == TV_OPTIMAL ? dtol : HUGE_VAL;
  const std::string fault = point_fault(o.errors, ptol, ptol / 10, dual_tol, 1e-9);
  if (fault.empty()) return "";
  return (inform == TV_OPTIMAL ? "wrong optimal point: " : "wrong near-optimal point: ") + fault + "\n" + describe_point(lp, M.xn, M.hs, M.pi) + "--- print file:\n" +
         o.print;
}

std::string check_solve(const std::string& text, int flags, SolveOutcome* out) {
  if (out) *out = SolveOutcome();
  tv::Context ctx;
  tv::MpsModel M;
  if (tv::mps_read_text(ctx, text, M) != 0) return "";
  if (M.m > kMaxRows || M.n > kMaxCols || M.ne > kMaxEntries) return "";
  return check_solve_model(M, flags, after_endata(text), "Cold", out);
}

std::string fuzz_solve(const uint8_t* data, size_t size) {
  if (size < 1) return "";
  return check_solve(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), data[0]);
}

}  // namespace tvfuzz

// The basis-file readers (OLD, INSERT, LOAD) against one small problem that
// has every kind of bound and row, alone and as the start of a whole solve.
#include <cmath>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/entry.h"
#include "core/setup.h"
#include "files/m4bfil.h"
#include "files/mps.h"
#include "fuzz_checks.h"
#include "fuzz_files.h"
#include "options/options.h"
#include "options/params.h"

namespace tvfuzz {

namespace {

constexpr int kPrint = 9, kSumm = 10, kUnit = 15;
constexpr int kNew = 11, kPunch = 13, kDump = 14;

// min x1 - x2 + 2 x3 + x4 - x5 + 3 x6 with a free row besides the
// objective, an equality, a range, a >= and a <= row; x1 in [0, 4], x2
// free, x3 fixed at 2, x4 >= -1, x5 <= 3, x6 >= 0.  Optimum -2 (x1 = x6 = 0,
// x2 = 3, x5 - x4 = 3).
const char kProblem[] =
    "NAME SMALLB\n"
    "ROWS\n N COST\n N FREE\n E R1\n L R2\n G R3\n L R4\n"
    "COLUMNS\n"
    " X1 COST 1 R1 1\n X1 R3 1 FREE 1\n"
    " X2 COST -1 R1 1\n X2 R2 1 R4 1\n"
    " X3 COST 2 R1 1\n"
    " X4 COST 1 R2 -1\n X4 R3 1\n"
    " X5 COST -1 R2 1\n X5 R3 1 FREE 1\n"
    " X6 COST 3 R1 1\n X6 R4 2 FREE 1\n"
    "RHS\n RHS R1 5 R2 6\n RHS R3 -2 R4 7\n"
    "RANGES\n RNG R2 4\n"
    "BOUNDS\n UP BND X1 4\n FR BND X2\n FX BND X3 2\n LO BND X4 -1\n MI BND X5\n UP BND X5 3\n"
    "ENDATA\n";
constexpr double kOptimum = -2.0;

tv::MpsModel small_model(bool named) {
  static const tv::MpsModel model = [] {
    tv::Context ctx;
    tv::MpsModel M;
    tv::mps_read_text(ctx, kProblem, M);
    return M;
  }();
  tv::MpsModel M = model;
  if (!named) {
    M.name1.clear();
    M.name2.clear();
  }
  return M;
}

using Reader = bool (*)(tv::Context&, tv::Problem&, int, int&, int&);
const Reader kReaders[] = {tv::m4oldb, tv::m4inst, tv::m4load};

// The reader alone, with the parameters resolved as an entry resolves them.
std::string read_alone(const std::string& text, int format, tv::MpsModel& M, bool& got) {
  tv::Context ctx;
  ctx.io.attach_buffer(kPrint);
  ctx.io.attach_buffer(kSumm);
  tv::tvstart(ctx, kPrint, kSumm, 0);
  catch_units(ctx);
  tv::Problem P = M.problem();
  tv::solve_settings(ctx, P);
  ctx.io.attach_text(kUnit, text);
  int ns = -1, inform = 0;
  got = kReaders[format](ctx, P, kUnit, ns, inform);
  const std::string out = ctx.io.buffer(kPrint) + ctx.io.buffer(kSumm);
  if (!got) {
    if (inform != TV_BASIS_FILE) return "a refused basis file with result " + std::to_string(inform);
    if (out.find(" EXIT -- ") == std::string::npos) return "a refused basis file without its EXIT line";
    return "";
  }
  if (inform != 0) return "a basis file read with result " + std::to_string(inform);
  if (ns < 0 || ns > M.nb()) return "superbasics read: " + std::to_string(ns);
  for (int j = 1; j <= M.nb(); ++j) {
    if (P.hs(j) < 0 || P.hs(j) > 3) return "variable " + std::to_string(j) + " read with state " + std::to_string(P.hs(j));
    if (!std::isfinite(P.xn(j))) return "variable " + std::to_string(j) + " read with a value that is not finite";
  }
  return "";
}

}  // namespace

std::string check_basis(const std::string& text, int format, bool named) {
  tv::MpsModel M = small_model(named);
  bool got = false;
  std::string fault = read_alone(text, format, M, got);
  if (!fault.empty()) return fault;

  M = small_model(named);
  BasisInput basis{format, text};
  SolveOutcome o;
  fault = check_solve_model(M, -1, {}, "Cold", &o, &basis);
  if (!fault.empty()) return fault;
  if ((o.inform == TV_BASIS_FILE) != !got) {
    return got ? "the reader accepts the file but the solve refuses it" : "the solve accepts a refused file";
  }
  if (o.inform == 0 && std::fabs(o.obj - kOptimum) > 1e-6 * (1.0 + std::fabs(kOptimum))) {
    return "optimal at " + std::to_string(o.obj);
  }
  return "";
}

std::vector<std::string> basis_files_written(bool named, int iterations) {
  tv::MpsModel M = small_model(named);
  tv::Context ctx;
  ctx.io.attach_buffer(kPrint);
  tv::tvstart(ctx, kPrint, 0, 0);
  int errors = 0;
  for (const char* phrase : {"New basis file 11", "Punch file 13", "Dump file 14"}) tv::tvopt(ctx, phrase, 0, 0, errors);
  if (iterations >= 0) tv::tvopti(ctx, "Iterations limit", iterations, 0, 0, errors);
  for (int u : {kNew, kPunch, kDump}) ctx.io.attach_buffer(u);
  tv::Problem P = M.problem();
  const std::string names = M.names40();
  std::vector<double> z(200000);
  int ns = 0;
  tv::EntryResult r;
  tv::tvnose(ctx, "Cold", P, names.data(), ns, z.data(), static_cast<int>(z.size()), 0, nullptr, r);
  return {ctx.io.buffer(kNew), ctx.io.buffer(kPunch), ctx.io.buffer(kDump)};
}

std::string fuzz_basis(const uint8_t* data, size_t size) {
  if (size < 1) return "";
  return check_basis(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), data[0] % 3,
                     (data[0] / 3) % 2 == 0);
}

}  // namespace tvfuzz

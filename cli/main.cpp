// tarvo: solve a linear program given as an MPS file.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/entry.h"
#include "core/m2core.h"
#include "core/page.h"
#include "files/mps.h"
#include "options/options.h"
#include "options/params.h"
#include "report.h"

namespace {

using tvcli::kExitInput;
using tvcli::kExitUsage;

const char kUsage[] =
    "Usage: tarvo [options] MODEL.mps[.gz]\n"
    "\n"
    "Reads a linear program from an MPS file (fixed or free format, plain or\n"
    "gzip-compressed), solves it and prints a summary on standard output.\n"
    "\n"
    "Options:\n"
    "  -s, --specs FILE        read options from a SPECS file\n"
    "  -p, --print FILE        write the detailed print file to FILE\n"
    "  -o, --solution FILE     write the solution, with whole names, to FILE\n"
    "      --min, --max        minimise or maximise (overrides the MPS file)\n"
    "  -i, --iterations N      iteration limit\n"
    "  -t, --time-limit SEC    CPU time limit in seconds\n"
    "  -l, --log-frequency N   one iteration log line every N iterations\n"
    "      --pricing RULE      devex, partial (largest reduced cost by sections) or\n"
    "                          partial-devex (Devex weights by sections); default:\n"
    "                          partial on wide problems, else devex\n"
    "  -w, --write FILE        write the problem as read (MPS; FILE.gz compresses)\n"
    "      --check             read the MPS file only; do not solve\n"
    "      --fixed, --free     read the MPS file in this format (default: detected)\n"
    "  -q, --quiet             no solver log on standard output\n"

    "  -h, --help              show this text\n"
    "  -V, --version           show the version\n"
    "\n"
    "Exit status: 0 optimal, 1 infeasible, 2 unbounded, 3 iteration or time\n"
    "limit reached (or interrupted), 4 any other solver failure, 5 input error\n"
    "(MPS or SPECS file, a file that cannot be opened or written), 6 bad usage.\n"
    "Ctrl-C stops the solve at the next iteration (result 19, exit status 3).\n";

// Units of the command's files.
constexpr int kUnitSpecs = 4;
constexpr int kUnitStdout = 6;
constexpr int kUnitQuiet = 8;   // summary file collected in memory with --quiet
constexpr int kUnitPrint = 9;

struct Args {
  std::string model, specs, print, solution, write;
  int sense = 0;          // 1 --min, -1 --max
  long iterations = -1;
  double time_limit = 0.0;
  long log_frequency = -1;
  int pricing = 0;        // 1 partial, 2 Devex (the IPARM 6 values); 0 the solver's default
  bool check = false, quiet = false, help = false, version = false;
  tv::MpsFormat format = tv::MpsFormat::Auto;
};

bool parse_long(const std::string& s, long& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  v = std::strtol(s.c_str(), &end, 10);
  return *end == '\0' && errno == 0 && v >= 0 && v <= INT_MAX;
}

bool parse_seconds(const std::string& s, double& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return *end == '\0' && v > 0.0 && v < 1e12;
}

// Parses argv into a; returns an error text, empty when fine.
std::string parse_args(int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i], val;
    bool has_val = false;
    if (arg.rfind("--", 0) == 0) {
      size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        val = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        has_val = true;
      }
    }
    auto value = [&](std::string& out) -> bool {
      if (has_val) {
        out = val;
        return true;
      }
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "-h" || arg == "--help") {
      a.help = true;
    } else if (arg == "-V" || arg == "--version") {
      a.version = true;
    } else if (arg == "--min" || arg == "--minimize" || arg == "--minimise") {
      a.sense = 1;
    } else if (arg == "--max" || arg == "--maximize" || arg == "--maximise") {
      a.sense = -1;
    } else if (arg == "--check") {
      a.check = true;
    } else if (arg == "-q" || arg == "--quiet") {
      a.quiet = true;
    } else if (arg == "--fixed") {
      a.format = tv::MpsFormat::Fixed;
    } else if (arg == "--free") {
      a.format = tv::MpsFormat::Free;
    } else if (arg == "-s" || arg == "--specs") {
      if (!value(a.specs)) return arg + " needs a file name";
    } else if (arg == "-p" || arg == "--print") {
      if (!value(a.print)) return arg + " needs a file name";
    } else if (arg == "-o" || arg == "--solution") {
      if (!value(a.solution)) return arg + " needs a file name";
    } else if (arg == "-w" || arg == "--write") {
      if (!value(a.write)) return arg + " needs a file name";
    } else if (arg == "-i" || arg == "--iterations") {
      if (!value(v) || !parse_long(v, a.iterations)) return arg + " needs a whole number";
    } else if (arg == "-l" || arg == "--log-frequency") {
      if (!value(v) || !parse_long(v, a.log_frequency)) return arg + " needs a whole number";
    } else if (arg == "--pricing") {
      if (!value(v) || (v != "partial" && v != "devex" && v != "partial-devex"))
        return arg + " needs devex, partial or partial-devex";
      a.pricing = v == "partial" ? 1 : v == "partial-devex" ? 3 : 2;
    } else if (arg == "-t" || arg == "--time-limit") {
      if (!value(v) || !parse_seconds(v, a.time_limit)) return arg + " needs a positive number of seconds";
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else if (a.model.empty()) {
      a.model = arg;
    } else {
      return "more than one model file (" + a.model + ", " + arg + ")";
    }
    if (has_val && (arg == "--help" || arg == "--version" || arg == "--min" || arg == "--max" ||
                    arg == "--check" || arg == "--quiet" || arg == "--fixed" || arg == "--free"))
      return arg + " takes no value";
  }
  if (!a.help && !a.version && a.model.empty()) return "no model file given";
  return std::string();
}

double cpu_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// The time limit works through the iteration callback: the solver asks
// after every iteration, and a stop request of 1 ends the run with result 18.
// The callback has no user argument, so the limit lives here.
struct TimeLimit {
  double limit = 0.0;
  double start = 0.0;
} g_time;

// Ctrl-C asks the solver to stop as interrupted (result 19) at its next
// iteration; a second one ends the program at once.
volatile std::sig_atomic_t g_interrupt = 0;

void on_interrupt(int) {
  g_interrupt = 1;
  std::signal(SIGINT, SIG_DFL);
}

void log_callback(int* kind, int* stop, int*, int*, int*, double*, char*, double*, double*, double*,
                  double*, int*, int*, double*, int*, int) {
  if (g_interrupt) *stop = 2;
  else if (g_time.limit > 0.0 && cpu_seconds() - g_time.start > g_time.limit) *stop = 1;
  (void)kind;
}

// Units named in the SPECS file that nothing attached yet go to fort.N.
void attach_specs_units(tv::Context& ctx) {
  const tv::Params& p = ctx.par;
  const int out[] = {p.prtfile, p.sumfile, p.bkpfile, p.dumpfile, p.newbfile,
                     p.pchfile, p.solfile, p.repfile};
  const int in[] = {p.oldbfile, p.insfile, p.loadfile};
  for (int u : out)
    if (u > 0 && u != 5 && u != kUnitStdout && !ctx.io.attached(u)) ctx.io.attach(u, "fort." + std::to_string(u), "w");
  for (int u : in)
    if (u > 0 && u != 5 && u != kUnitStdout && !ctx.io.attached(u)) ctx.io.attach(u, "fort." + std::to_string(u), "r");
}

int fail(const std::string& what, int status) {
  std::fprintf(stderr, "tarvo: %s\n", what.c_str());
  return status;
}

// Solve with enough workspace: one call to learn the minimum (result 42,
// files switched off and parameters restored afterwards), then the solve;
// when the factors run out of room the solve is repeated with twice the space.
void solve(tv::Context& ctx, tv::MpsModel& M, int loglev, tv::EntryResult& r) {
  tv::Problem P = M.problem();
  const std::string names = M.names40();
  const tv::Params saved = ctx.par;
  int ns = 0;
  double zsmall[1] = {0.0};
  ctx.par.prtfile = 0;
  ctx.par.sumfile = 0;
  tv::tvnose(ctx, "Cold", P, names.data(), ns, zsmall, 1, 0, nullptr, r);
  ctx.par = saved;
  if (r.inform != TV_WORKSPACE || r.minwork <= 0) {
    // Refused before any work (invalid data): again, with the files on, for the message.
    ctx.par = saved;
    tv::tvnose(ctx, "Cold", P, names.data(), ns, zsmall, 1, 0, nullptr, r);
    return;
  }

  long long est = tv::tvcore(M.m, M.n, M.ne, M.n + M.m, 1, 1, 0, 0, 0, 1);
  long long nwork = std::max<long long>(r.minwork, est);
  for (int attempt = 0; attempt < 3; ++attempt) {
    nwork = std::min<long long>(nwork, INT_MAX);
    std::vector<double> z(static_cast<size_t>(nwork), 0.0);
    ns = 0;
    std::fill(M.hs.begin(), M.hs.end(), 0);
    std::fill(M.xn.begin(), M.xn.end(), 0.0);
    ctx.par = saved;
    g_time.start = cpu_seconds();
    tv::tvnose(ctx, "Cold", P, names.data(), ns, z.data(), static_cast<int>(nwork), loglev,
               loglev > 0 ? log_callback : nullptr, r);
    if (r.inform != TV_LU_STORAGE || nwork >= INT_MAX) return;
    ctx.both(" tarvo: more workspace for the basis factors; solving again");
    nwork *= 2;
  }
}

int run(int argc, char** argv) {
  Args a;
  std::string err = parse_args(argc, argv, a);
  if (!err.empty()) {
    std::fprintf(stderr, "tarvo: %s\nTry 'tarvo --help'.\n", err.c_str());
    return kExitUsage;
  }
  if (a.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (a.version) {
    std::printf("tarvo %s\n", tv::title_text().c_str());
    return 0;
  }

  auto ctx = std::make_unique<tv::Context>();
  int iprint = 0, ispecs = 0;
  int isumm = a.quiet ? kUnitQuiet : kUnitStdout;
  if (a.quiet) ctx->io.attach_buffer(kUnitQuiet);
  if (!a.print.empty()) {
    if (!ctx->io.attach(kUnitPrint, a.print, "w")) return fail("cannot open the print file " + a.print, kExitInput);
    iprint = kUnitPrint;
  }
  if (!a.specs.empty()) {
    if (!ctx->io.attach(kUnitSpecs, a.specs, "r")) return fail("cannot open the SPECS file " + a.specs, kExitInput);
    ispecs = kUnitSpecs;
  }
  // Show what the quiet summary file collected when something went wrong.
  auto quiet_dump = [&]() {
    if (a.quiet) std::fputs(ctx->io.buffer(kUnitQuiet).c_str(), stderr);
  };

  tv::tvstart(*ctx, iprint, isumm, ispecs);
  if (ispecs > 0) {
    int r = tv::tvspec(*ctx, ispecs);
    if (r != 0) {
      quiet_dump();
      return fail(a.specs + ": errors in the SPECS file (result " + std::to_string(r) + ")", kExitInput);
    }
    attach_specs_units(*ctx);
  }

  tv::MpsModel model;
  int inform = tv::mps_read(*ctx, a.model, model, a.format);
  if (inform != 0) {
    quiet_dump();
    return fail(a.model + ": " + tvcli::result_text(inform) + " (result " + std::to_string(inform) + ")",
                kExitInput);
  }
  if (!a.write.empty() && tv::mps_write(*ctx, model, a.write) != 0) {
    quiet_dump();
    return fail("cannot write " + a.write, kExitInput);
  }
  std::printf("\n Problem          %s\n", model.name.c_str());
  std::printf(" Rows        %10d\n Columns     %10d\n Elements    %10d\n", model.m, model.n, model.ne);
  if (a.check) return 0;

  // Settings that follow the file: the sense stated in it, then the command line.
  int errors = 0;
  const int p = ctx->par.prtfile, s = ctx->par.sumfile;
  int sense = a.sense != 0 ? a.sense : model.objsense;
  if (sense != 0) tv::tvopt(*ctx, sense < 0 ? "Maximize" : "Minimize", p, s, errors);
  if (a.iterations >= 0) tv::tvopti(*ctx, "Iterations limit", static_cast<int>(a.iterations), p, s, errors);
  if (a.log_frequency >= 0) tv::tvopti(*ctx, "Log frequency", static_cast<int>(a.log_frequency), p, s, errors);
  if (a.pricing > 0) tv::tvopt(*ctx, "IPARM 6 " + std::to_string(a.pricing), p, s, errors);
  if (errors != 0) return fail("an option of the command line was rejected", kExitUsage);
  g_time.limit = a.time_limit;

  tv::EntryResult r;
  std::signal(SIGINT, on_interrupt);
  solve(*ctx, model, 1, r);
  std::signal(SIGINT, SIG_DFL);

  std::printf("\n Result      %10d  %s\n", r.inform, tvcli::result_text(r.inform));
  std::printf(" Objective value  %.15g\n", r.obj);
  if (r.ninf > 0) std::printf(" Infeasibilities %6d  sum %.6E\n", r.ninf, r.sinf);
  std::printf(" Iterations  %10d\n", r.nitns);
  if (!a.solution.empty() && !tvcli::write_solution(a.solution, model, r))
    return fail("cannot write the solution file " + a.solution, kExitInput);
  std::fflush(stdout);
  return tvcli::exit_status(r.inform);
}

}  // namespace

// Memory that cannot be allocated (the workspace of a very large problem)
// ends the command with a message instead of an abort.
int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    return fail("not enough memory", tvcli::kExitFailure);
  } catch (const std::exception& e) {
    return fail(std::string("failure: ") + e.what(), tvcli::kExitFailure);
  }
}

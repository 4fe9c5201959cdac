// tarvo: solve a linear program given as an MPS file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
#include <utility>
#include <vector>

#include <unistd.h>

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
    "  -i, --iterations N      iteration limit of the whole run (0 to 2147483647)\n"
    "  -t, --time-limit SEC    CPU time limit of the whole run, in seconds\n"
    "  -l, --log-frequency N   one iteration log line every N iterations, on\n"
    "                          standard output and in the print file\n"
    "      --pricing RULE      steepest (steepest-edge weights), devex, partial\n"
    "                          (largest reduced cost by sections) or\n"
    "                          partial-devex (Devex weights by sections); the\n"
    "                          default is steepest, partial-devex when the\n"
    "                          problem has more than 20 columns a row\n"
    "  -w, --write FILE        write the problem as read (MPS; FILE.gz compresses)\n"
    "      --check             read the MPS file only; do not solve\n"
    "      --fixed, --free     read the MPS file in this format (default: detected)\n"
    "  -q, --quiet             no solver log on standard output\n"
    "  -h, --help              show this text\n"
    "  -V, --version           show the version\n"
    "\n"
    "Basis files (read one; write any):\n"
    "      --old-basis FILE    start from a basis saved by --new-basis\n"
    "      --insert FILE       start from a basis saved by --punch\n"
    "      --load FILE         start from a basis saved by --dump\n"
    "      --new-basis FILE    save the basis (every --save-frequency iterations\n"
    "                          and at the end)\n"
    "      --backup-basis FILE a second copy of the periodic saves\n"
    "      --punch FILE        save the final basis by names (for --insert)\n"
    "      --dump FILE         save every variable's state and value (for --load)\n"
    "      --save-frequency N  save the NEW basis file every N iterations\n"
    "\n"
    "Exit status: 0 optimal, 1 infeasible, 2 unbounded, 3 iteration or time\n"
    "limit reached (or interrupted), 4 any other solver failure, 5 input error\n"
    "(MPS or SPECS file, a file that cannot be opened or written), 6 bad usage.\n"
    "Ctrl-C stops the solve at the next iteration (result 19, exit status 3).\n"
    "When the basis factors outgrow the workspace, the solve goes on from the\n"
    "basis reached with twice the workspace; -i and -t hold for the whole run.\n";

// Units of the command's files.
constexpr int kUnitSpecs = 4;
constexpr int kUnitStdout = 6;
constexpr int kUnitQuiet = 8;   // summary file collected in memory with --quiet
constexpr int kUnitPrint = 9;

// The basis-file options: option, SPECS phrase, unit, read (true) or written.
struct BasisOption {
  const char* option;
  const char* phrase;
  int unit;
  bool input;
};
constexpr BasisOption kBasisOptions[] = {
    {"--old-basis", "Old basis file", 101, true},   {"--insert", "Insert file", 102, true},
    {"--load", "Load file", 103, true},             {"--new-basis", "New basis file", 104, false},
    {"--backup-basis", "Backup basis file", 105, false}, {"--punch", "Punch file", 106, false},
    {"--dump", "Dump file", 107, false},
};

struct Args {
  std::string model, specs, print, solution, write;
  int sense = 0;          // 1 --min, -1 --max
  long iterations = -1;
  double time_limit = 0.0;
  long log_frequency = -1;
  int pricing = 0;        // 1 partial, 2 Devex, 3 partial Devex, 4 steepest edge (the IPARM 6 values); 0 the default
  bool check = false, quiet = false, help = false, version = false;
  tv::MpsFormat format = tv::MpsFormat::Auto;
  // Basis files and their paths, and the Save frequency.
  std::vector<std::pair<const BasisOption*, std::string>> basis;
  long save_frequency = -1;
};

// A count of 0 .. INT_MAX; returns an error text, empty when fine.
std::string parse_count(const std::string& opt, const std::string& s, long& v) {
  char* end = nullptr;
  errno = 0;
  const long long x = std::strtoll(s.c_str(), &end, 10);
  if (s.empty() || *end != '\0') return opt + " needs a whole number";
  if (x < 0) return opt + " " + s + ": a negative value has no meaning here";
  if (errno == ERANGE || x > INT_MAX) return opt + " " + s + ": too large; the largest value is " + std::to_string(INT_MAX);
  v = static_cast<long>(x);
  return std::string();
}

bool parse_seconds(const std::string& s, double& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return *end == '\0' && v > 0.0 && v < 1e12;
}

const BasisOption* basis_option(const std::string& option) {
  for (const BasisOption& b : kBasisOptions)
    if (option == b.option) return &b;
  return nullptr;
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
      if (!value(v)) return arg + " needs a whole number";
      if (std::string e = parse_count(arg, v, a.iterations); !e.empty()) return e;
    } else if (arg == "-l" || arg == "--log-frequency") {
      if (!value(v)) return arg + " needs a whole number";
      if (std::string e = parse_count(arg, v, a.log_frequency); !e.empty()) return e;
    } else if (arg == "--pricing") {
      if (!value(v) || (v != "partial" && v != "devex" && v != "partial-devex" && v != "steepest"))
        return arg + " needs steepest, devex, partial or partial-devex";
      a.pricing = v == "partial" ? 1 : v == "partial-devex" ? 3 : v == "steepest" ? 4 : 2;
    } else if (arg == "--save-frequency") {
      if (!value(v)) return arg + " needs a whole number";
      if (std::string e = parse_count(arg, v, a.save_frequency); !e.empty()) return e;
    } else if (const BasisOption* b = basis_option(arg)) {
      if (!value(v) || v.empty()) return arg + " needs a file name";
      for (const auto& [other, path] : a.basis) {
        if (other == b) return arg + " given twice";
        if (b->input && other->input) return "only one basis can be read (" + arg + ")";
      }
      a.basis.emplace_back(b, v);
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
// It is the CPU time of the whole process, so a solve continued with more
// workspace does not start the clock again.  The callback has no user
// argument, so the limit lives here.
double g_time_limit = 0.0;

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
  else if (g_time_limit > 0.0 && cpu_seconds() > g_time_limit) *stop = 1;
  (void)kind;
}

// Can `path` be written?  Checked before the work, so that a file that
// cannot be written is found before a long solve rather than after it.  An
// existing file is left as it is; one created for the test is removed.
std::string cannot_write(const std::string& path) {
  struct stat st {};
  const bool existed = stat(path.c_str(), &st) == 0;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0666);
  if (fd < 0) return std::strerror(errno);
  close(fd);
  if (!existed) unlink(path.c_str());
  return std::string();
}

// Units named in the SPECS file that nothing attached yet go to fort.N: a
// file read is opened as it is; one written is checked now (a file that
// cannot be written is found before the solve, not after it) and created at
// its first write; one both read and written (an OLD basis file that the NEW
// one replaces) is read first and rewritten in place.  Returns an error
// text, empty when fine.
std::string attach_specs_units(tv::Context& ctx, bool quiet) {
  const tv::Params& p = ctx.par;
  const struct {
    int unit;
    const char* what;
  } out[] = {{p.prtfile, "Print file"},    {p.sumfile, "Summary file"},  {p.bkpfile, "Backup basis file"},
             {p.dumpfile, "Dump file"},    {p.newbfile, "New basis file"}, {p.pchfile, "Punch file"},
             {p.solfile, "Solution file"}, {p.repfile, "Report file"}};
  const int in[] = {p.oldbfile, p.insfile, p.loadfile};
  auto free_unit = [&](int u) { return u > 0 && u != 5 && u != kUnitStdout && !ctx.io.attached(u); };
  auto written = [&](int u) {
    for (const auto& f : out)
      if (f.unit == u) return true;
    return false;
  };
  for (int u : in) {
    if (!free_unit(u)) continue;
    const std::string path = "fort." + std::to_string(u);
    if (!written(u)) {
      ctx.io.attach(u, path, "r");
    } else if (!ctx.io.attach(u, path, "r+")) {
      ctx.io.attach(u, path, "w+");
    }
  }
  for (const auto& f : out) {
    const int u = f.unit;
    if (!free_unit(u)) continue;
    const std::string path = "fort." + std::to_string(u);
    if (std::string why = cannot_write(path); !why.empty())
      return "cannot write " + path + ", the " + f.what + " of the SPECS file: " + why;
    ctx.io.attach_on_write(u, path);
    if (!quiet) std::printf(" tarvo: the %s of the SPECS file (unit %d) is %s\n", f.what, u, path.c_str());
  }
  return std::string();
}

// The basis files of the command line.  A file read is taken into memory,
// so the same path can be written by another option; a file written is
// checked now and created at its first write, so a run that ends early
// leaves an earlier file of that name as it was.  The command line takes
// precedence over a SPECS file: one basis read from it replaces the SPECS
// file's.  Returns an error text, empty when fine.
std::string attach_basis_files(tv::Context& ctx, const Args& a, int& errors) {
  const int p = ctx.par.prtfile, s = ctx.par.sumfile;
  for (const auto& [b, path] : a.basis) {
    if (b->input) {
      std::FILE* f = std::fopen(path.c_str(), "rb");
      if (!f) return "cannot open the basis file " + path;
      std::string text;
      char buf[65536];
      size_t got;
      while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, got);
      std::fclose(f);
      ctx.io.attach_text(b->unit, text);
      for (const BasisOption& other : kBasisOptions)
        if (other.input) tv::tvopti(ctx, other.phrase, 0, p, s, errors);
    } else {
      if (std::string why = cannot_write(path); !why.empty()) return "cannot write the basis file " + path + ": " + why;
      ctx.io.attach_on_write(b->unit, path);
    }
    tv::tvopti(ctx, b->phrase, b->unit, p, s, errors);
  }
  if (a.save_frequency >= 0) tv::tvopti(ctx, "Save frequency", static_cast<int>(a.save_frequency), p, s, errors);
  return std::string();
}

int fail(const std::string& what, int status) {
  std::fprintf(stderr, "tarvo: %s\n", what.c_str());
  return status;
}

// The SPECS file reader returns the number of rejected phrases of a set that
// was read to its End line, and otherwise a code (2 end of file inside the
// set, 3 no set, 4 Endrun) that can look like such a number.  The phrase
// routine below tells the two apart for the command's message.
struct SpecsRead {
  int errors = 0;
  bool ended = false;
} g_specs;

void counted_phrase(tv::Context& ctx, std::string_view line, std::string& key, int iprint, int isumm,
                    int& errors) {
  tv::m3key(ctx, line, key, iprint, isumm, errors);
  g_specs.errors = errors;
  if (key == "END") g_specs.ended = true;
}

// Read the SPECS file on `unit`; returns the message for the user, empty
// when every option was accepted.
std::string read_specs(tv::Context& ctx, int unit, const std::string& path) {
  ctx.par.specfile = unit;
  g_specs = SpecsRead();
  const int r = tv::m3file(ctx, 1, unit, counted_phrase, ctx.par.prtfile, ctx.par.sumfile);
  if (g_specs.ended) {
    if (g_specs.errors == 0) return std::string();
    return path + ": " + std::to_string(g_specs.errors) +
           (g_specs.errors == 1 ? " option was rejected" : " options were rejected") + " (shown above with the reason)";
  }
  std::string msg = path;
  switch (r) {
    case 2: msg += ": the file ends before the End line of its options"; break;
    case 3: msg += ": no options read: the file has no Begin line"; break;
    case 4: msg += ": no options read: Endrun comes before any Begin line"; break;
    default: msg += ": the SPECS file cannot be read"; break;
  }
  if (g_specs.errors > 0) msg += "; " + std::to_string(g_specs.errors) + " rejected before that";
  return msg;
}

// Solve with enough workspace: one call to learn the minimum (result 42,
// files switched off and parameters restored afterwards), then the solve.
// When the basis factors run out of room (result 20) the solve goes on from
// the basis it reached, a warm start from the states and values it returned,
// with twice the workspace; the iteration limit, like the time limit, holds
// for all the calls together.
void solve(tv::Context& ctx, tv::MpsModel& M, tv::EntryResult& r) {
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
    tv::tvnose(ctx, "Cold", P, names.data(), ns, zsmall, 1, 0, nullptr, r);
    return;
  }

  const long long est = tv::tvcore(M.m, M.n, M.ne, M.n + M.m, 1, 1, 0, 0, 0, 1);
  long long nwork = std::min<long long>(std::max<long long>(r.minwork, est), INT_MAX);
  const char* start = "Cold";
  int itnmax = -1;  // the limit of the whole run, once the first call has resolved it
  int nitns = 0, nmajor = 0;
  while (true) {
    std::vector<double> z;
    try {
      z.assign(static_cast<size_t>(nwork), 0.0);
    } catch (const std::bad_alloc&) {
      if (itnmax < 0) throw;  // the first call: nothing to report yet
      ctx.both(tv::strf(" tarvo: no memory for %lld words of workspace; the solve stops where it is", nwork));
      break;
    }
    ctx.par = saved;
    if (itnmax >= 0) ctx.par.itnmax = std::max(itnmax - nitns, 0);
    tv::tvnose(ctx, start, P, names.data(), ns, z.data(), static_cast<int>(nwork), 1, log_callback, r);
    if (itnmax < 0) itnmax = ctx.par.itnmax;
    nitns += r.nitns;
    nmajor += r.nmajor;
    if (r.inform != TV_LU_STORAGE || nwork >= INT_MAX) break;
    nwork = std::min<long long>(2 * nwork, INT_MAX);
    start = "Warm";
    ctx.both(tv::strf(" tarvo: more room for the basis factors: the solve goes on from the basis reached"
                      " after%8d iterations, with %lld words of workspace", nitns, nwork));
  }
  r.nitns = nitns;
  r.nmajor = nmajor;
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
  // Output files are checked before the work (--write's file is written
  // before the solve, the solution file after it).
  if (!a.solution.empty() && !a.check)
    if (std::string why = cannot_write(a.solution); !why.empty())
      return fail("cannot write the solution file " + a.solution + ": " + why, kExitInput);
  if (!a.write.empty())
    if (std::string why = cannot_write(a.write); !why.empty())
      return fail("cannot write " + a.write + ": " + why, kExitInput);

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
  auto quiet_dump = [&](size_t from = 0) {
    if (a.quiet) std::fputs(ctx->io.buffer(kUnitQuiet).substr(from).c_str(), stderr);
  };

  tv::tvstart(*ctx, iprint, isumm, ispecs);
  if (ispecs > 0) {
    const size_t from = ctx->io.buffer(kUnitQuiet).size();
    std::string msg = read_specs(*ctx, ispecs, a.specs);
    if (!msg.empty()) {
      quiet_dump(from);
      return fail(msg, kExitInput);
    }
    // Warnings (values cut at column 72 or read as 0) reach a quiet user too.
    if (ctx->io.buffer(kUnitQuiet).find(" XXX", from) != std::string::npos) quiet_dump(from);
    msg = attach_specs_units(*ctx, a.quiet);
    if (!msg.empty()) return fail(msg, kExitInput);
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
  // Dropped coefficients can change the answer: say so where the user looks.
  if (model.ndropped > 0)
    std::printf(" Dropped     %10d  coefficients below the Aij tolerance %.1E, the largest %.3E\n", model.ndropped,
                ctx->par.aijdrop, model.maxdropped);
  if (a.check) return 0;

  // Settings that follow the file: the sense stated in it, then the command line.
  int errors = 0;
  const int p = ctx->par.prtfile, s = ctx->par.sumfile;
  int sense = a.sense != 0 ? a.sense : model.objsense;
  if (sense != 0) tv::tvopt(*ctx, sense < 0 ? "Maximize" : "Minimize", p, s, errors);
  // Counts are set directly: a SPECS phrase would read 1e8 and more as 0.
  if (a.iterations >= 0) ctx->par.itnmax = static_cast<int>(a.iterations);
  // The log the user sees is the summary file's (standard output); the print
  // file's follows the same frequency.
  if (a.log_frequency >= 0) ctx->par.logfreq = ctx->par.sumfreq = static_cast<int>(a.log_frequency);
  if (a.pricing > 0) tv::tvopt(*ctx, "IPARM 6 " + std::to_string(a.pricing), p, s, errors);
  err = attach_basis_files(*ctx, a, errors);
  if (!err.empty()) return fail(err, kExitInput);
  if (a.save_frequency >= 0 && ctx->par.newbfile <= 0) return fail("--save-frequency needs --new-basis", kExitUsage);
  if (errors != 0) return fail("an option of the command line was rejected", kExitUsage);
  g_time_limit = a.time_limit;

  tv::EntryResult r;
  std::signal(SIGINT, on_interrupt);
  solve(*ctx, model, r);
  std::signal(SIGINT, SIG_DFL);

  const double feastol = ctx->par.feastol > 0.0 ? ctx->par.feastol : 1.0E-6;  // unset when refused before any work
  const tvcli::Infeasibilities inf = tvcli::primal_infeasibilities(model, feastol);
  std::printf("\n Result      %10d  %s\n", r.inform, tvcli::result_text(r.inform));
  std::printf(" Objective value  %.15g\n", tvcli::no_negative_zero(r.obj));
  if (r.ninf > 0 || inf.count > 0)
    std::printf(" Infeasibilities %6d  sum %.6E  largest %.3E\n", inf.count, inf.sum, inf.largest);
  std::printf(" Iterations  %10d\n", r.nitns);
  if (!a.solution.empty() && !tvcli::write_solution(a.solution, model, r, inf))
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

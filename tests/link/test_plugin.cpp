// The plug-in as the host sees it: its exported symbols, and the entry
// points driven through the host driver and through dlopen in this process.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "control.h"
#include "core/entry.h"
#include "core/m2core.h"
#include "core/units.h"
#include "link_test_util.h"

namespace {

using linktest::count;
using DriverRun = linktest::Run;
using linktest::run_driver;
using linktest::TempDir;

// Defined global symbols of a shared library's dynamic symbol table.
std::set<std::string> exported_symbols(const std::string& path) {
  const std::string data = linktest::read_file(path);
  std::set<std::string> out;
  Elf64_Ehdr eh;
  if (data.size() < sizeof eh) return out;
  std::memcpy(&eh, data.data(), sizeof eh);
  if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64) return out;
  auto section = [&](size_t i) {
    Elf64_Shdr sh;
    std::memcpy(&sh, data.data() + eh.e_shoff + i * eh.e_shentsize, sizeof sh);
    return sh;
  };
  for (size_t i = 0; i < eh.e_shnum; ++i) {
    const Elf64_Shdr sh = section(i);
    if (sh.sh_type != SHT_DYNSYM) continue;
    const Elf64_Shdr strtab = section(sh.sh_link);
    for (size_t k = 0; k < sh.sh_size / sizeof(Elf64_Sym); ++k) {
      Elf64_Sym sym;
      std::memcpy(&sym, data.data() + sh.sh_offset + k * sizeof sym, sizeof sym);
      const int bind = ELF64_ST_BIND(sym.st_info);
      if (sym.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK && bind != STB_GNU_UNIQUE))
        continue;
      out.insert(data.c_str() + strtab.sh_offset + sym.st_name);
    }
  }
  return out;
}

TEST(Plugin, ExportsOnlyTheFourEntryPoints) {
  const auto syms = exported_symbols(TVHOST_PLUGIN);
  EXPECT_EQ(syms, (std::set<std::string>{"tvlCallSolver", "tvlCreate", "tvlFree", "tvlReadyAPI"}));
}

// ---- through the host driver ------------------------------------------------

class Driver : public ::testing::Test {
 protected:
  // Write a model (with its scratch directory set to the test's) and run it.
  DriverRun run(const std::string& extra, const std::string& flags = "") {
    const std::string model =
        dir.write("model.txt", linktest::small_model("env ScratchDir " + dir.path() + "\n" + extra));
    return run_driver(flags + " '" + model + "'");
  }
  DriverRun run_control(const std::string& control, const std::string& extra = "") {
    return run(extra, "--control '" + dir.write("control.txt", control) + "'");
  }
  std::string print_file() { return linktest::read_file(dir.file("tarvo55Print.dat")); }
  TempDir dir;
};

const char kBanner[] = "T A R V O  5.6      (Jul 2016)\n\n    ORBA/TARVO 5.6, Large Scale Nonlinear Solver\n";
const char kContact[] = "*** Contact support@tarvo-solver.org for help.";

// The sizing lines for the small model (2 columns, 1 row, 2 nonzeros, linear).
double solver_mb() {
  const long long est = tv::tvcore(1, 2, 2, 3, 3, 3, 2, 1, 2, 2) + 100000;
  return static_cast<double>(est) / 131072.0;
}

TEST_F(Driver, BannerAndWorkspaceLines) {
  DriverRun r = run("");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find(std::string("=== tvlCreate 0\n") + kBanner), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(tv::strf("\n\n Work space allocated           -- %9.2f Mb\n\n=== tvlReadyAPI 0\n",
                                solver_mb())),
            std::string::npos)
      << r.out;
  EXPECT_EQ(count(r.out, "requested"), 0);

  r = run("env WorkSpace 0.5\n");
  EXPECT_NE(r.out.find(tv::strf(" Work space requested by solver -- %9.2f Mb\n"
                                " Work space requested by user   --      0.50 Mb\n"
                                " Work space allocated           --      0.50 Mb\n",
                                solver_mb())),
            std::string::npos)
      << r.out;

  r = run("env WorkFactor 2\n");
  EXPECT_NE(r.out.find(tv::strf("\n\n Work space requested by solver -- %9.2f Mb\n"
                                " Work space allocated           -- %9.2f Mb\n",
                                solver_mb(), 2 * solver_mb())),
            std::string::npos)
      << r.out;

  r = run("env WorkFactor 2\nenv WorkSpace 1\n");
  EXPECT_NE(r.out.find(" workspace and workfactor both set: workfactor ignored\n"
                       " Work space requested by solver"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(" Work space allocated           --      1.00 Mb\n"), std::string::npos) << r.out;

  // More than a 32-bit workspace length can address is capped, with a warning.
  r = run("env WorkSpace 20000\n", "--no-call");
  EXPECT_NE(r.out.find("*** WARNING: internal allocation limit exceeded: work space request was capped\n\n"
                       " Work space requested by solver"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(" Work space allocated           --  16384.00 Mb\n"), std::string::npos) << r.out;
}

TEST_F(Driver, MoreThan2To31NonzerosIsACapabilityError) {
  for (const char* count_line : {"count nz64 2147483648\n", "count nlnz64 2147483648\n"}) {
    DriverRun r = run(count_line);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("*** CAPABILITY ERROR: More than 2^31 nonzeros not supported.\n=== tvlReadyAPI 1\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(count(r.out, "Contact"), 0) << r.out;
    EXPECT_EQ(count(r.out, "ORBA/TARVO"), 0) << r.out;
    EXPECT_NE(r.out.find("=== model status 14\n=== solve status 6\n"), std::string::npos) << r.out;
  }
  DriverRun r = run("count nz64 2147483647\n");
  EXPECT_NE(r.out.find("=== tvlReadyAPI 0\n"), std::string::npos) << r.out;
}

TEST_F(Driver, CallSolverSolvesAndEndsWithAnEmptyLine) {
  DriverRun r = run("", "--values");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("\n\n EXIT - Optimal Solution found, objective: 2\n\n=== tvlCallSolver 0\n"
                       "=== model status 1\n=== solve status 1\n=== objective 2\n=== iterations 0\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("=== row r1 1 2 0 0\n=== col x 1 0 2 0\n=== col y 0 1 0 0\n=== solution completed\n"),
            std::string::npos)
      << r.out;
}

TEST_F(Driver, FreeWithoutReadyFreesOnlyTheLink) {
  DriverRun r = run("", "--no-ready");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out,
            "=== tvlCreate 0\n=== model status 0\n=== solve status 0\n=== records 0 rows 0 columns\n"
            "=== tvlFree 0\n");
}

TEST_F(Driver, LinkDefaultsAndHostLimitsReachTheSolver) {
  DriverRun r = run("");
  // The link's settings, then those of the solve (sense, superbasics limit).
  EXPECT_EQ(print_file().substr(0, print_file().find("\n\n")),
            "      ==============================\n"
            "      T A R V O  5.6      (Jul 2016)\n"
            "      ==============================\n"
            "      Print Level 1\n"
            "      Jacobian Sparse\n"
            "      Solution No\n"
            "      Verify Level              -1\n"
            "      Iterations Limit        10000000\n"
            "      Major Iterations Limit        10000000\n"
            "      Minimize\n"
            "      Superbasics Limit               3");
  r = run("env IterLim 10000001\n");
  EXPECT_NE(print_file().find("      Iterations Limit        10000000\n"), std::string::npos);
  r = run("env IterLim 500\n");
  EXPECT_NE(print_file().find("      Iterations Limit             500\n"
                              "      Major Iterations Limit             500\n"),
            std::string::npos)
      << print_file();
}

TEST_F(Driver, OptionFileValuesReachTheSolverAsPhrases) {
  dir.write("tarvo.opt",
            "* user options\n"
            "iterations_limit 200\n"
            "feasibility_tolerance 0.000123456789\n"
            "jacobian dense\n"
            "lu rook\n"
            "print_level 5\n"
            "start_column_for_objective_check 3\n");
  DriverRun r = run("optfile tarvo.opt\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("=== tvlReadyAPI 0\n"), std::string::npos) << r.out;
  // The host's echo of the file reaches the log; its internal note does not.
  EXPECT_NE(r.out.find(">>  iterations_limit 200\n"), std::string::npos) << r.out;
  EXPECT_EQ(count(r.out, "lines, 0 errors"), 0) << r.out;
  // The link's defaults come first, then the user's settings in definition order.
  const std::string p = print_file();
  EXPECT_NE(p.find("      Major Iterations Limit        10000000\n"
                   "      print level               5\n"
                   "      iterations limit             200\n"
                   "      feasibility tolerance 0.000123457\n"
                   "      lu rook\n"
                   "      start column for objective check               3\n"
                   "      jacobian dense\n"),
            std::string::npos)
      << p;
  EXPECT_EQ(count(p, "XXX"), 0) << p;
}

TEST_F(Driver, UnknownOptionInTheOptionFileIsTheHostsMessage) {
  dir.write("tarvo.opt", "iterations_limit 200\nbogus_option 3\nfeasibility_tolerance 1e-7\n");
  DriverRun r = run("optfile tarvo.opt\n");
  EXPECT_NE(r.out.find("*** Error line 2: unknown option \"bogus_option\"\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("=== tvlReadyAPI 0\n"), std::string::npos) << r.out;
  const std::string p = print_file();
  EXPECT_NE(p.find("      iterations limit             200\n      feasibility tolerance 1e-07\n"),
            std::string::npos)
      << p;
}

TEST_F(Driver, OptionTheParserRejectsEndsTheApplication) {
  // Definitions of our own, with an option the parser does not know.
  dir.write("opttarvo.def",
            "iterations_limit       integer 1 100\n"
            "nonsense_keyword       integer 1 0\n"
            "feasibility_tolerance  double  1 1e-6\n"
            "summary_frequency      integer 0 100\n");
  dir.write("tarvo.opt", "iterations_limit 200\nnonsense_keyword 5\nfeasibility_tolerance 1e-7\n");
  DriverRun r = run("optfile tarvo.opt\nenv NameSysDir " + dir.path() + "/\n");
  EXPECT_NE(r.out.find(std::string("*** SOLVER ERROR: set option 'nonsense keyword'\n") + kContact +
                       "\n=== tvlReadyAPI 1\n=== model status 13\n=== solve status 10\n"),
            std::string::npos)
      << r.out;
  const std::string p = print_file();
  EXPECT_NE(p.find("      iterations limit             200\n"), std::string::npos) << p;
  EXPECT_EQ(count(p, "feasibility"), 0) << p;
}

TEST_F(Driver, UnopenablePrintFileIsWarnedOncePerStartAndStaysOff) {
  TempDir good;
  const std::string bad_model = dir.write("bad.txt", linktest::small_model("env ScratchDir /nonexistent/x\n"));
  const std::string good_model =
      dir.write("good.txt", linktest::small_model("env ScratchDir " + good.path() + "\n"));
  const std::string warning =
      "*** WARNING: Can't open TARVO print file (/nonexistent/x/tarvo55Print.dat). It will be suppressed "
      "from the sysout file\n";
  DriverRun r = run_driver("'" + bad_model + "'");
  EXPECT_EQ(count(r.out, warning), 2) << r.out;
  EXPECT_NE(r.out.find("=== tvlReadyAPI 0\n"), std::string::npos) << r.out;
  // A later model in the same process: printing stays off.
  r = run_driver("'" + bad_model + "' '" + good_model + "'");
  EXPECT_EQ(count(r.out, warning), 2) << r.out;
  EXPECT_EQ(count(r.out, "*** WARNING: Can't open TARVO print file (" + good.path() + "/tarvo55Print.dat)"), 2)
      << r.out;
  EXPECT_FALSE(linktest::exists(good.file("tarvo55Print.dat")));
}

TEST_F(Driver, InterfaceFailuresStopBeforeAnyFurtherCall) {
  struct Case {
    const char* control;
    const char* line;
    const char* status;
  };
  const Case cases[] = {
      {"version hmo 28\n",
       "*** INIT ERROR: Can't initialize HMO: Client API version 29 does not match the hmo library's API "
       "version 28\n",
       "=== model status 0\n=== solve status 0\n"},
      {"version hev 8\n",
       "*** INIT ERROR: Can't initialize HEV: Client API version 9 does not match the hev library's API "
       "version 8\n",
       "=== model status 13\n=== solve status 9\n"},
      {"fail hmoEnvironment\n", "*** INIT ERROR: Can't initialize HEV: the model object has no environment\n",
       "=== model status 13\n=== solve status 9\n"},
      {"version opt 3\n",
       "*** INIT ERROR: Can't initialize OPT: Client API version 4 does not match the opt library's API "
       "version 3\n",
       "=== model status 13\n=== solve status 9\n"},
      {"fail XCreate\n", "*** INIT ERROR: Can't initialize OPT: Error while creating object\n",
       "=== model status 13\n=== solve status 9\n"},
      {"fail optReadDefinition\n",
       "*** Reading the definition file failed on request\n*** OPT ERROR: Can't read 'opttarvo.def'\n",
       "=== model status 0\n=== solve status 0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    DriverRun r = run_control(c.control);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(std::string(c.line) + kContact + "\n=== tvlReadyAPI 1\n" + c.status), std::string::npos)
        << r.out;
    EXPECT_EQ(count(r.out, "ORBA/TARVO"), 0) << r.out;
    EXPECT_EQ(count(r.out, "Work space"), 0) << r.out;
    EXPECT_FALSE(linktest::exists(dir.file("tarvo55Print.dat")));
  }
  // A definition file that is not there.
  DriverRun r = run("env NameSysDir /nonexistent/\n");
  EXPECT_NE(r.out.find("*** Could not open definition file /nonexistent/opttarvo.def\n"
                       "*** OPT ERROR: Can't read 'opttarvo.def'\n"),
            std::string::npos)
      << r.out;
}

TEST_F(Driver, MissingHostFunctionsNeverEndTheHost) {
  DriverRun r = run_control("omit optEOLOnlySet\nomit hevSynchronizeOpt\nomit hmoNZ64\n");
  EXPECT_EQ(r.status, 0) << r.out;  // not 123: the host lives on
  EXPECT_NE(r.out.find("optEOLOnlySet could not be loaded: optEOLOnlySet is not offered by this library\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("hevSynchronizeOpt could not be loaded: hevSynchronizeOpt is not offered by this "
                       "library\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("hmoNZ64 could not be loaded: hmoNZ64 is not offered by this library\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("=== tvlReadyAPI 0\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("=== tvlFree 0\n"), std::string::npos) << r.out;
}

// ---- in this process, through dlopen -----------------------------------------

class InProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    tvhost_control_reset();
    // The host's libraries are loaded first, as in the host; the plug-in's
    // loads by name find them.
    vosk = dlopen((std::string(TVHOST_LIBDIR) + "/libvoskdclib64.so").c_str(), RTLD_NOW);
    optlib = dlopen((std::string(TVHOST_LIBDIR) + "/liboptdclib64.so").c_str(), RTLD_NOW);
    plugin = dlopen(TVHOST_PLUGIN, RTLD_NOW);
    ASSERT_TRUE(vosk && optlib && plugin) << dlerror();
    get(vosk, "ChmoXCreateD", model_create);
    get(vosk, "hmoXFree", model_free);
    get(plugin, "tvlCreate", create);
    get(plugin, "tvlFree", release);
    get(plugin, "tvlReadyAPI", ready);
    get(plugin, "tvlCallSolver", call);
    const std::string file =
        dir.write("model.txt", linktest::small_model("env ScratchDir " + dir.path() + "\n"));
    model_create(&model, file.c_str());
    ASSERT_NE(model, nullptr);
    tvhost_capture_start();
  }
  void TearDown() override {
    tvhost_capture_stop();
    if (model) model_free(&model);
    if (plugin) dlclose(plugin);
    if (optlib) dlclose(optlib);
    if (vosk) dlclose(vosk);
  }
  template <class F>
  void get(void* lib, const char* name, F& f) {
    void* p = dlsym(lib, name);
    ASSERT_NE(p, nullptr) << name;
    std::memcpy(&f, &p, sizeof f);
  }
  void* new_link() {
    void* link = nullptr;
    char msg[64] = "x";
    EXPECT_EQ(create(&link, msg, static_cast<int>(sizeof msg)), 0);
    EXPECT_STREQ(msg, "");
    return link;
  }
  std::string log() { return tvhost_capture_text(); }

  TempDir dir;
  void *vosk = nullptr, *optlib = nullptr, *plugin = nullptr, *model = nullptr;
  void (*model_create)(void**, const char*) = nullptr;
  void (*model_free)(void**) = nullptr;
  int (*create)(void**, char*, int) = nullptr;
  void (*release)(void**) = nullptr;
  int (*ready)(void*, void*) = nullptr;
  int (*call)(void*) = nullptr;
};

TEST_F(InProcess, FreeingAnOlderLinkKeepsTheNewestReachable) {
  void* a = new_link();
  void* b = new_link();
  release(&a);
  EXPECT_EQ(a, nullptr);
  ASSERT_EQ(ready(b, model), 0) << log();
  EXPECT_EQ(call(b), 0) << log();
  EXPECT_NE(log().find(" EXIT - Optimal Solution found, objective: 2\n"), std::string::npos) << log();
  EXPECT_EQ(linktest::count(log(), "most recently created"), 0) << log();
  release(&b);
}

TEST_F(InProcess, OnlyTheNewestLinkSolves) {
  void* a = new_link();
  ASSERT_EQ(ready(a, model), 0) << log();
  void* b = new_link();
  EXPECT_EQ(call(a), 1);
  EXPECT_NE(log().find(std::string("*** ERROR: Only the most recently created link object can solve\n") + kContact),
            std::string::npos)
      << log();
  release(&b);
  release(&a);
}

// The evaluation errors of one solve do not count against the next solve of
// the same link object: one error per solve, DomLim 1.
TEST_F(InProcess, DomLimLimitsEachSolve) {
  void* nl = nullptr;
  model_create(&nl, dir.write("nl.txt", "col x -10 10 level 0.9\nnlobj -log(x) - log(1 - x)\nenv DomLim 1\n"
                                        "env ScratchDir " + dir.path() + "\n").c_str());
  ASSERT_NE(nl, nullptr);
  void* link = new_link();
  for (int solve = 1; solve <= 2; ++solve) {
    ASSERT_EQ(ready(link, nl), 0) << log();
    EXPECT_EQ(call(link), 0) << log();
  }
  EXPECT_EQ(linktest::count(log(), " EXIT - Optimal Solution found, objective: 1.38629\n"), 2) << log();
  release(&link);
  model_free(&nl);
}

TEST_F(InProcess, NullHandlesAndCallWithoutReady) {
  release(nullptr);
  void* none = nullptr;
  release(&none);
  EXPECT_EQ(ready(nullptr, model), 1);
  EXPECT_EQ(call(nullptr), 1);
  char msg[8];
  EXPECT_EQ(create(nullptr, msg, static_cast<int>(sizeof msg)), 1);
  void* link = new_link();
  testing::internal::CaptureStderr();
  EXPECT_EQ(call(link), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            std::string("*** INIT ERROR: The link is not ready: tvlReadyAPI must succeed before tvlCallSolver\n") +
                kContact + "\n");
  // A model handle that is null fails readiness, and a second ready on the same link works.
  EXPECT_EQ(ready(link, nullptr), 1);
  EXPECT_EQ(ready(link, model), 0) << log();
  EXPECT_EQ(ready(link, model), 0) << log();
  release(&link);
}

}  // namespace

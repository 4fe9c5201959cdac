// LP benchmark: solves every MPS file of the given directories with the
// tarvo command and with the peer LP solvers packaged by Debian (Clp primal
// without and with presolve, Clp dual, GLPK primal), each solve a separate
// process.  Records status, objective, error against optimal.csv, iterations,
// whole-process wall time (median of repeated runs for short solves) and peak
// memory; writes CSV and Markdown under the results folder, prints the table,
// the shifted geometric-mean time ratios, and draws a performance profile
// with gnuplot.
//
// usage: bench_lp [options] [DIR ...]   (bench_lp -h lists the options)
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kTol = 1e-6;    // relative error that counts as solved
constexpr double kShift = 0.01;  // seconds added to both times of a ratio
const double kNaN = std::nan("");

// ---------------------------------------------------------------- options

struct Options {
  std::string tarvo = TARVO_CLI;
  std::vector<std::string> tarvo_args;  // e.g. -i N for another iteration limit
  std::vector<std::string> solvers = {"tarvo", "clp-p0", "clp-p", "clp-d", "glpk-p"};
  std::set<std::string> only;
  std::set<std::string> larger = {"25fv47", "pilotnov", "d2q06c", "80bau3b", "nesm"};
  double timeout = 1800;
  int max_runs = 5;
  std::string out = std::string(TARVO_SOURCE_DIR) + "/bench/results";
  std::string plot = std::string(TARVO_SOURCE_DIR) + "/bench/lp/profile.png";
  std::string scaling = std::string(TARVO_SOURCE_DIR) + "/bench/lp/scaling.png";
  std::vector<std::string> dirs;
  std::vector<std::string> more_defaults;  // --default-dir: added to the default directories
  std::string label;  // what was measured, for the Markdown heading (e.g. the commit)
};

std::vector<std::string> split(const std::string& s, const char* seps) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = s.find_first_of(seps, i);
    if (j == std::string::npos) j = s.size();
    if (j > i) out.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  return out;
}

void usage() {
  std::printf(
      "usage: bench_lp [options] [DIR ...]\n"
      "Solves every DIR/*.mps and DIR/*.mps.gz with tarvo and the peers (default DIRs:\n"
      "../shared/data/netlib and ../shared/data/netlib-large beside the source tree).\n"
      "  --tarvo PATH        the tarvo command (default: the one built beside this program)\n"
      "  --tarvo-args ARGS   extra arguments for tarvo, e.g. \"-i 1000000\" (default none)\n"
      "  --solvers LIST      comma list of tarvo,clp-p0,clp-p,clp-d,glpk-p (default all)\n"
      "  --only LIST         comma list of problem names\n"
      "  --larger LIST       problems given their own ratio line besides every *large* DIR\n"
      "  --timeout SEC       wall-time limit of one solve (default 1800)\n"
      "  --runs N            at most N timed runs per solve (default 5: 5 under 1 s, 3 under 10 s, else 1)\n"
      "  --out DIR           results folder (default bench/results)\n"
      "  --plot FILE         performance profile PNG ('' for none; default bench/lp/profile.png)\n"
      "  --scaling FILE      time against nonzeros of the generated families, log-log PNG\n"
      "                      ('' for none; default bench/lp/scaling.png)\n"
      "  --default-dir DIR   one more directory for the default list (run.sh: the generated set)\n"
      "  --label TEXT        heading of the Markdown results (run.sh passes the commit)\n");
}

bool parse_options(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };
    std::string v;
    if (a == "-h" || a == "--help") {
      usage();
      std::exit(0);
    } else if (a == "--tarvo" && value(v)) {
      o.tarvo = v;
    } else if (a == "--tarvo-args" && value(v)) {
      o.tarvo_args = split(v, " \t");
    } else if (a == "--solvers" && value(v)) {
      o.solvers = split(v, ",");
    } else if (a == "--only" && value(v)) {
      for (auto& s : split(v, ",")) o.only.insert(s);
    } else if (a == "--larger" && value(v)) {
      o.larger.clear();
      for (auto& s : split(v, ",")) o.larger.insert(s);
    } else if (a == "--timeout" && value(v)) {
      o.timeout = std::atof(v.c_str());
    } else if (a == "--runs" && value(v)) {
      o.max_runs = std::max(1, std::atoi(v.c_str()));
    } else if (a == "--out" && value(v)) {
      o.out = v;
    } else if (a == "--plot" && value(v)) {
      o.plot = v;
    } else if (a == "--scaling" && value(v)) {
      o.scaling = v;
    } else if (a == "--default-dir" && value(v)) {
      o.more_defaults.push_back(v);
    } else if (a == "--label" && value(v)) {
      o.label = v;
    } else if (!a.empty() && a[0] != '-') {
      o.dirs.push_back(a);
    } else {
      std::fprintf(stderr, "bench_lp: bad option %s\n", a.c_str());
      usage();
      return false;
    }
  }
  if (o.dirs.empty()) {
    std::string data = std::string(TARVO_SOURCE_DIR) + "/../shared/data";
    o.dirs = {data + "/netlib", data + "/netlib-large"};
    o.dirs.insert(o.dirs.end(), o.more_defaults.begin(), o.more_defaults.end());
  }
  return true;
}

// ---------------------------------------------------------------- problems

struct Problem {
  std::string group;  // directory name, e.g. netlib-large
  std::string name;
  std::string path;   // as found (may be .gz)
  std::string plain;  // uncompressed file that every solver reads
  double opt = kNaN;
  long rows = -1, cols = -1, nz = -1;
  bool larger = false;
};

// optimal.csv: name,rows,cols,nonzeros,optimal_objective,source
std::vector<Problem> read_known(const fs::path& dir) {
  std::vector<Problem> out;
  std::ifstream f(dir / "optimal.csv");
  std::string line;
  bool header = true;
  while (std::getline(f, line)) {
    if (header) {
      header = false;
      continue;
    }
    auto c = split(line, ",");
    if (c.size() < 5) continue;
    Problem p;
    p.name = c[0];
    p.rows = std::atol(c[1].c_str());
    p.cols = std::atol(c[2].c_str());
    p.nz = std::atol(c[3].c_str());
    p.opt = std::strtod(c[4].c_str(), nullptr);
    out.push_back(p);
  }
  return out;
}

// The problems of one directory, in optimal.csv order, then files it does not list.
std::vector<Problem> list_problems(const fs::path& dir, const Options& o) {
  std::vector<Problem> known = read_known(dir);
  std::map<std::string, std::string> files;
  for (auto& e : fs::directory_iterator(dir)) {
    std::string f = e.path().filename().string();
    for (const char* ext : {".mps", ".mps.gz"}) {
      size_t n = std::strlen(ext);
      if (f.size() > n && f.compare(f.size() - n, n, ext) == 0) files[f.substr(0, f.size() - n)] = e.path().string();
    }
  }
  std::vector<Problem> out;
  std::string group = dir.filename().string();
  if (group.empty()) group = dir.parent_path().filename().string();
  auto add = [&](Problem p) {
    auto it = files.find(p.name);
    if (it == files.end()) return;
    if (!o.only.empty() && !o.only.count(p.name)) return;
    p.group = group;
    p.path = it->second;
    p.larger = o.larger.count(p.name) || group.find("large") != std::string::npos ||
               group.find("generated") != std::string::npos;
    out.push_back(p);
    files.erase(it);
  };
  for (auto& p : known) add(p);
  std::vector<std::string> rest;
  for (auto& [name, path] : files) rest.push_back(name);
  for (auto& name : rest) {
    Problem p;
    p.name = name;
    add(p);
  }
  return out;
}

bool gunzip(const std::string& from, const std::string& to) {
  gzFile in = gzopen(from.c_str(), "rb");
  if (!in) return false;
  std::FILE* out = std::fopen(to.c_str(), "wb");
  bool ok = out != nullptr;
  char buf[1 << 16];
  int n = 0;
  while (ok && (n = gzread(in, buf, sizeof buf)) > 0) ok = std::fwrite(buf, 1, n, out) == size_t(n);
  if (n < 0) ok = false;
  gzclose(in);
  if (out && std::fclose(out) != 0) ok = false;
  return ok;
}

// Right-hand side of the objective row (the first N row), 0 when none.
// Only used to undo the opposite sign convention of one peer.
double objective_rhs(const std::string& path) {
  std::ifstream f(path);
  std::string line, section, objrow;
  double rhs = 0;
  while (std::getline(f, line)) {
    if (line.empty() || line[0] == '*') continue;
    auto t = split(line, " \t\r");
    if (t.empty()) continue;
    if (line[0] != ' ' && line[0] != '\t') {
      section = t[0];
      if (section == "RANGES" || section == "BOUNDS" || section == "ENDATA") break;  // past RHS
      continue;
    }
    if (section == "ROWS" && objrow.empty() && t.size() >= 2 && (t[0] == "N" || t[0] == "n")) {
      objrow = t[1];
    } else if (section == "RHS" && !objrow.empty()) {
      // [set] row value [row value]: an odd count has a set name first
      for (size_t k = t.size() % 2; k + 1 < t.size(); k += 2)
        if (t[k] == objrow) rhs = std::strtod(t[k + 1].c_str(), nullptr);
    }
  }
  return rhs;
}

// ---------------------------------------------------------------- processes

struct Run {
  bool timed_out = false;
  int wstatus = 0;
  double wall = 0;
  double cpu = 0;  // user + system seconds of the child
  long maxrss_kb = 0;
  std::string output;
};

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// Runs argv in cwd with stdout and stderr to a file; wall time from fork to
// reaping, peak memory from the child's own rusage.  SIGCHLD is blocked in
// this process (main), so sigtimedwait wakes as soon as the child ends.
Run run_process(const std::vector<std::string>& argv, const std::string& cwd, double timeout) {
  Run r;
  std::string out_path = cwd + "/output.txt";
  sigset_t chld;
  sigemptyset(&chld);
  sigaddset(&chld, SIGCHLD);
  auto t0 = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(); };
  pid_t pid = fork();
  if (pid < 0) {
    r.wstatus = -1;
    return r;
  }
  if (pid == 0) {
    sigprocmask(SIG_UNBLOCK, &chld, nullptr);
    if (chdir(cwd.c_str()) != 0) _exit(126);
    int fd = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (fd < 0 || in < 0) _exit(126);
    dup2(in, 0);
    dup2(fd, 1);
    dup2(fd, 2);
    close(fd);
    close(in);
    std::vector<char*> a;
    for (auto& s : argv) a.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    execvp(a[0], a.data());
    _exit(127);
  }
  struct rusage ru {};
  for (;;) {
    pid_t w = wait4(pid, &r.wstatus, WNOHANG, &ru);
    if (w == pid) break;
    double left = timeout - elapsed();
    if (left <= 0) {
      kill(pid, SIGKILL);
      wait4(pid, &r.wstatus, 0, &ru);
      r.timed_out = true;
      break;
    }
    left = std::min(left, 1.0);
    struct timespec ts;
    ts.tv_sec = time_t(left);
    ts.tv_nsec = long((left - double(ts.tv_sec)) * 1e9);
    sigtimedwait(&chld, nullptr, &ts);
  }
  r.wall = elapsed();
  r.maxrss_kb = ru.ru_maxrss;
  r.cpu = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + 1e-6 * double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
  r.output = slurp(out_path);
  return r;
}

bool on_path(const std::string& cmd) {
  if (cmd.find('/') != std::string::npos) return access(cmd.c_str(), X_OK) == 0;
  const char* p = std::getenv("PATH");
  for (auto& d : split(p ? p : "", ":"))
    if (access((d + "/" + cmd).c_str(), X_OK) == 0) return true;
  return false;
}

// ---------------------------------------------------------------- solvers

struct Outcome {
  std::string status = "error";  // optimal, wrong, infeasible, unbounded, iterations, timeout, ...
  int exit_code = 0;
  double obj = kNaN;
  double err = kNaN;
  long iters = -1;
  double time = kNaN;  // median wall time
  std::vector<double> times;
  double cpu = kNaN;  // median CPU time (less disturbed by other load)
  std::vector<double> cpus;
  long rss_kb = 0;
  bool solved = false;
  std::string note;
};

struct Solver {
  std::string id;
  std::string label;  // legend of the profile
  std::string colour;
};

const std::vector<Solver> kSolvers = {
    {"tarvo", "TARVO", "#000000"},
    {"clp-p0", "Clp primal, presolve off", "#1f77b4"},
    {"clp-p", "Clp primal, presolve on", "#2ca02c"},
    {"clp-d", "Clp dual, presolve on", "#ff7f0e"},
    {"glpk-p", "GLPK primal", "#9467bd"},
};

const Solver& solver(const std::string& id) {
  return *std::find_if(kSolvers.begin(), kSolvers.end(), [&](const Solver& s) { return s.id == id; });
}

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

// " Result   0  optimal solution found", " Objective value  X", " Iterations  N"
void parse_tarvo(const std::string& text, Outcome& o) {
  std::istringstream in(text);
  std::string line;
  int result = -1;
  while (std::getline(in, line)) {
    std::string t = trim(line);
    if (t.rfind("Result ", 0) == 0) result = std::atoi(t.c_str() + 7);
    else if (t.rfind("Objective value ", 0) == 0) o.obj = std::strtod(t.c_str() + 16, nullptr);
    else if (t.rfind("Iterations ", 0) == 0) o.iters = std::atol(t.c_str() + 11);
  }
  switch (result) {
    case 0: o.status = "optimal"; break;
    case 1: o.status = "infeasible"; break;
    case 2: o.status = "unbounded"; break;
    case 3: o.status = "iterations"; break;
    case -1: o.status = "error"; break;
    default: o.status = "result " + std::to_string(result);
  }
}

// "Optimal objective 122784.2108 - 7220 iterations time 2.022"
void parse_clp(const std::string& text, Outcome& o) {
  static const std::regex re(R"(^(.*?)\s*objective\s+(\S+)\s+-\s+(\d+)\s+iterations)");
  std::istringstream in(text);
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (!std::regex_search(line, m, re)) continue;
    std::string s = m[1].str();
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    o.status = s.empty() ? "error" : s;
    o.obj = std::strtod(m[2].str().c_str(), nullptr);
    o.iters = std::atol(m[3].str().c_str());
  }
}

// "*   237: obj =  -2.586492907e+01 inf =   1.014e-14 (0)" then "OPTIMAL LP SOLUTION FOUND"
void parse_glpk(const std::string& text, Outcome& o) {
  static const std::regex re(R"(^[ *]\s*(\d+):\s+obj\s+=\s+(\S+))");
  std::istringstream in(text);
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (std::regex_search(line, m, re)) {
      o.iters = std::atol(m[1].str().c_str());
      o.obj = std::strtod(m[2].str().c_str(), nullptr);
    } else if (line.find("OPTIMAL LP SOLUTION FOUND") != std::string::npos) {
      o.status = "optimal";
    } else if (line.find("NO PRIMAL FEASIBLE") != std::string::npos) {
      o.status = "infeasible";
    } else if (line.find("UNBOUNDED") != std::string::npos) {
      o.status = "unbounded";
    } else if (line.find("LIMIT EXCEEDED") != std::string::npos) {
      o.status = "limit";
    }
  }
}

struct Prepared {
  std::string glpk_format;  // --mps or --freemps
  double obj_rhs = 0;
};

std::vector<std::string> command(const std::string& id, const Problem& p, const Prepared& prep, const Options& opt) {
  const std::string& f = p.plain;
  if (id == "tarvo") {
    std::vector<std::string> a = {opt.tarvo, "-q"};
    a.insert(a.end(), opt.tarvo_args.begin(), opt.tarvo_args.end());
    a.push_back(f);
    return a;
  }
  if (id == "clp-p0") return {"clp", f, "-presolve", "off", "-primalsimplex"};
  if (id == "clp-p") return {"clp", f, "-primalsimplex"};
  if (id == "clp-d") return {"clp", f, "-dualsimplex"};
  return {"glpsol", prep.glpk_format, f, "--simplex", "--primal"};
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

Outcome solve(const std::string& id, const Problem& p, const Prepared& prep, const Options& opt,
              const std::string& work) {
  Outcome o;
  auto argv = command(id, p, prep, opt);
  Run r = run_process(argv, work, opt.timeout);
  o.times.push_back(r.wall);
  o.cpus.push_back(r.cpu);
  o.rss_kb = r.maxrss_kb;
  if (r.timed_out) {
    o.status = "timeout";
    o.time = r.wall;
    return o;
  }
  if (WIFSIGNALED(r.wstatus)) {
    o.status = std::string("signal ") + std::to_string(WTERMSIG(r.wstatus));
    o.time = r.wall;
    return o;
  }
  o.exit_code = WIFEXITED(r.wstatus) ? WEXITSTATUS(r.wstatus) : -1;
  if (id == "tarvo") parse_tarvo(r.output, o);
  else if (id == "glpk-p") parse_glpk(r.output, o);
  else parse_clp(r.output, o);
  if (o.exit_code == 127) o.status = "not run";
  if (id == "glpk-p" && prep.obj_rhs != 0 && !std::isnan(o.obj)) {
    // GLPK adds the objective row's right-hand side as the constant; the data
    // (and the other solvers) take its negative.
    o.obj -= 2 * prep.obj_rhs;
    o.note = "objective constant sign adjusted";
  }
  if (!std::isnan(p.opt) && !std::isnan(o.obj)) o.err = std::fabs(o.obj - p.opt) / std::max(1.0, std::fabs(p.opt));
  if (o.status == "optimal") {
    o.solved = std::isnan(p.opt) || o.err <= kTol;
    if (!o.solved) o.status = "wrong";
  }
  // Repeat short solves; the status and objective come from the first run.
  int runs = r.wall < 1 ? 5 : r.wall < 10 ? 3 : 1;
  runs = std::min(runs, opt.max_runs);
  for (int k = 1; k < runs; ++k) {
    Run again = run_process(argv, work, opt.timeout);
    o.times.push_back(again.wall);
    o.cpus.push_back(again.cpu);
    o.rss_kb = std::max(o.rss_kb, again.maxrss_kb);
  }
  o.time = median(o.times);
  o.cpu = median(o.cpus);
  return o;
}

// ---------------------------------------------------------------- tables

struct Table {
  std::vector<std::string> head;
  std::vector<std::vector<std::string>> rows;

  std::string text() const {
    std::vector<size_t> w(head.size());
    for (size_t c = 0; c < head.size(); ++c) w[c] = head[c].size();
    for (auto& r : rows)
      for (size_t c = 0; c < r.size() && c < w.size(); ++c) w[c] = std::max(w[c], r[c].size());
    auto line = [&](const std::vector<std::string>& r) {
      std::string s;
      for (size_t c = 0; c < w.size(); ++c) {
        std::string v = c < r.size() ? r[c] : "";
        std::string pad(w[c] - v.size(), ' ');
        s += c == 0 ? v + pad : "  " + pad + v;  // first column left, others right
      }
      return s + "\n";
    };
    std::string s = line(head);
    for (auto& r : rows) s += line(r);
    return s;
  }

  std::string markdown() const {
    auto line = [](const std::vector<std::string>& r) {
      std::string s = "|";
      for (auto& v : r) s += " " + v + " |";
      return s + "\n";
    };
    std::string s = line(head) + "|";
    for (size_t c = 0; c < head.size(); ++c) s += c == 0 ? "---|" : "---:|";
    s += "\n";
    for (auto& r : rows) s += line(r);
    return s;
  }
};

std::string fmt(const char* f, double x) {
  char b[64];
  std::snprintf(b, sizeof b, f, x);
  return b;
}

std::string time_cell(const Outcome& o) {
  if (std::isnan(o.time)) return "-";
  std::string t = fmt(o.time < 10 ? "%.3f" : o.time < 100 ? "%.2f" : "%.1f", o.time);
  return o.solved ? t : t + " (" + o.status + ")";
}

double shifted_ratio(double t, double peer) { return (t + kShift) / (peer + kShift); }

// ---------------------------------------------------------------- main

struct Result {
  Problem p;
  std::map<std::string, Outcome> by;
};

std::string stamp() {
  std::time_t t = std::time(nullptr);
  char b[32];
  std::strftime(b, sizeof b, "%Y%m%d-%H%M%S", std::localtime(&t));
  return b;
}

void write_csv(const std::string& path, const std::vector<Result>& res, const std::vector<std::string>& ids) {
  std::ofstream f(path);
  f << "group,problem,rows,cols,nonzeros,solver,status,exit_code,objective,optimum,rel_error,solved,iterations,"
       "time_s,cpu_s,runs,times_s,max_rss_kb,note\n";
  for (auto& r : res)
    for (auto& id : ids) {
      auto it = r.by.find(id);
      if (it == r.by.end()) continue;
      const Outcome& o = it->second;
      std::string times;
      for (double t : o.times) {
        if (!times.empty()) times += ';';
        times += fmt("%.6f", t);
      }
      f << r.p.group << ',' << r.p.name << ',' << r.p.rows << ',' << r.p.cols << ',' << r.p.nz << ',' << id << ','
        << o.status << ',' << o.exit_code << ',' << fmt("%.12g", o.obj) << ',' << fmt("%.12g", r.p.opt) << ','
        << fmt("%.3g", o.err) << ',' << (o.solved ? 1 : 0) << ',' << o.iters << ',' << fmt("%.6f", o.time) << ','
        << fmt("%.6f", o.cpu) << ',' << o.times.size() << ',' << times << ',' << o.rss_kb << ',' << o.note << '\n';
    }
}

// A problem without a known optimum (the generated ones): the reference is
// the median objective of the solvers that report optimal, and a solve
// counts as solved when it is within the tolerance of it.
void consensus(Result& r) {
  std::vector<double> objs;
  for (auto& [id, o] : r.by)
    if (o.status == "optimal" && !std::isnan(o.obj)) objs.push_back(o.obj);
  if (objs.empty()) return;
  r.p.opt = median(objs);
  for (auto& [id, o] : r.by) {
    if (std::isnan(o.obj)) continue;
    o.err = std::fabs(o.obj - r.p.opt) / std::max(1.0, std::fabs(r.p.opt));
    if (o.status == "optimal" || o.status == "wrong") {
      o.solved = o.err <= kTol;
      o.status = o.solved ? "optimal" : "wrong";
    }
  }
}

// Family of a generated problem: its name without the trailing digits.
std::string family(const std::string& name) {
  size_t k = name.find_last_not_of("0123456789");
  return k == std::string::npos ? name : name.substr(0, k + 1);
}

// Time against nonzeros, log-log, for the problems of groups named
// "generated" (one panel of points and lines per family, a colour per
// solver; an unsolved problem is left out).
bool draw_scaling(const std::vector<Result>& res, const std::vector<std::string>& ids, const Options& opt,
                  const std::string& work) {
  std::map<std::string, std::vector<const Result*>> fams;
  for (auto& r : res)
    if (r.p.group.find("generated") != std::string::npos && r.p.nz > 0) fams[family(r.p.name)].push_back(&r);
  if (fams.empty()) return false;
  std::string dat = opt.out + "/lp-scaling.dat", gp = opt.out + "/lp-scaling.gp";
  std::ofstream d(dat);
  std::vector<std::pair<std::string, std::string>> blocks;  // family, solver
  for (auto& [fam, rs] : fams) {
    std::vector<const Result*> v = rs;
    std::sort(v.begin(), v.end(), [](auto* a, auto* b) { return a->p.nz < b->p.nz; });
    for (auto& id : ids) {
      d << "# " << fam << " " << id << "\n";
      for (auto* r : v) {
        auto it = r->by.find(id);
        if (it != r->by.end() && it->second.solved) d << r->p.nz << ' ' << std::max(it->second.time, 1e-3) << '\n';
      }
      d << "\n\n";
      blocks.push_back({fam, id});
    }
  }
  d.close();
  std::ofstream g(gp);
  g << "set terminal pngcairo size 1200,420 font 'sans,10'\n"
    << "set output '" << opt.scaling << "'\n"
    << "set logscale xy\nset grid\nset key left top\n"
    << "set multiplot layout 1," << fams.size() << " title 'Time against size: generated problems, whole-process wall time'\n";
  size_t k = 0;
  for (auto& [fam, rs] : fams) {
    g << "set title '" << fam << "'\nset xlabel 'nonzeros'\nset ylabel 'seconds'\nplot ";
    for (size_t s = 0; s < ids.size(); ++s, ++k)
      g << (s ? ", " : "") << "'" << dat << "' index " << k << " using 1:2 with linespoints lw " << (s == 0 ? 3 : 2)
        << " lc rgb '" << solver(ids[s]).colour << "' title '" << solver(ids[s]).label << "'";
    g << "\n";
  }
  g << "unset multiplot\n";
  g.close();
  Run r = run_process({"gnuplot", gp}, work, 120);
  if (r.timed_out || !WIFEXITED(r.wstatus) || WEXITSTATUS(r.wstatus) != 0) {
    std::fprintf(stderr, "gnuplot failed:\n%s\n", r.output.c_str());
    return false;
  }
  return true;
}

// Shifted geometric mean of tarvo/peer over the problems both solve.
struct Geo {
  double mean = kNaN;
  int n = 0;
};
Geo geomean(const std::vector<const Result*>& set, const std::string& peer, double Outcome::*time) {
  Geo g;
  double s = 0;
  for (auto* r : set) {
    auto a = r->by.find("tarvo"), b = r->by.find(peer);
    if (a == r->by.end() || b == r->by.end() || !a->second.solved || !b->second.solved) continue;
    s += std::log(shifted_ratio(a->second.*time, b->second.*time));
    ++g.n;
  }
  if (g.n) g.mean = std::exp(s / g.n);
  return g;
}

// Dolan-More profile: rho_s(tau) = share of problems with t_s <= tau * best.
bool draw_profile(const std::vector<Result>& res, const std::vector<std::string>& ids, const Options& opt,
                  const std::string& work) {
  std::map<std::string, std::vector<double>> lg;  // log2 ratios of solved problems
  double xmax = 1;
  for (auto& r : res) {
    double best = INFINITY;
    for (auto& [id, o] : r.by)
      if (o.solved) best = std::min(best, o.time);
    if (!std::isfinite(best)) continue;
    for (auto& [id, o] : r.by)
      if (o.solved) {
        double x = std::log2(std::max(o.time, 1e-9) / std::max(best, 1e-9));
        lg[id].push_back(x);
        xmax = std::max(xmax, x);
      }
  }
  xmax = std::ceil(xmax * 1.05 + 0.01);
  size_t n = res.size();
  std::string dat = opt.out + "/lp-profile.dat", gp = opt.out + "/lp-profile.gp";
  std::ofstream d(dat);
  for (auto& id : ids) {
    auto v = lg[id];
    std::sort(v.begin(), v.end());
    d << "# " << id << "\n0 0\n";
    for (size_t k = 0; k < v.size(); ++k) d << v[k] << ' ' << double(k + 1) / n << '\n';
    d << xmax << ' ' << double(v.size()) / n << "\n\n\n";
  }
  d.close();
  std::ofstream g(gp);
  g << "set terminal pngcairo size 900,540 font 'sans,11'\n"
    << "set output '" << opt.plot << "'\n"
    << "set title 'Performance profile: " << n << " LPs, whole-process wall time'\n"
    << "set xlabel 'log2(tau): time within a factor tau of the fastest solver'\n"
    << "set ylabel 'fraction of problems solved'\n"
    << "set key right bottom\nset grid\nset yrange [0:1.02]\n"
    << "set xrange [0:" << xmax << "]\n"
    << "plot ";
  for (size_t k = 0; k < ids.size(); ++k)
    g << (k ? ", " : "") << "'" << dat << "' index " << k << " using 1:2 with steps lw " << (k == 0 ? 3 : 2)
      << " lc rgb '" << solver(ids[k]).colour << "' title '" << solver(ids[k]).label << "'";
  g << "\n";
  g.close();
  Run r = run_process({"gnuplot", gp}, work, 120);
  if (r.timed_out || !WIFEXITED(r.wstatus) || WEXITSTATUS(r.wstatus) != 0) {
    std::fprintf(stderr, "gnuplot failed:\n%s\n", r.output.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!parse_options(argc, argv, opt)) return 2;
  sigset_t chld;
  sigemptyset(&chld);
  sigaddset(&chld, SIGCHLD);
  sigprocmask(SIG_BLOCK, &chld, nullptr);

  std::vector<std::string> ids;
  for (auto& id : opt.solvers) {
    bool known = std::any_of(kSolvers.begin(), kSolvers.end(), [&](const Solver& s) { return s.id == id; });
    std::string exe = id == "tarvo" ? opt.tarvo : id == "glpk-p" ? "glpsol" : "clp";
    if (!known) std::fprintf(stderr, "bench_lp: unknown solver %s\n", id.c_str());
    else if (!on_path(exe)) std::fprintf(stderr, "bench_lp: %s not found; %s skipped\n", exe.c_str(), id.c_str());
    else ids.push_back(id);
  }
  if (ids.empty() || ids[0] != "tarvo") {
    std::fprintf(stderr, "bench_lp: tarvo (%s) must be available and listed first\n", opt.tarvo.c_str());
    return 2;
  }

  std::vector<Problem> problems;
  for (auto& d : opt.dirs) {
    if (!fs::is_directory(d)) {
      std::printf("skipping %s: no such directory\n", d.c_str());
      continue;
    }
    auto ps = list_problems(fs::path(d).lexically_normal(), opt);
    problems.insert(problems.end(), ps.begin(), ps.end());
  }
  if (problems.empty()) {
    std::fprintf(stderr, "bench_lp: no problems\n");
    return 2;
  }
  char tmpl[] = "/tmp/bench_lp.XXXXXX";
  if (!mkdtemp(tmpl)) {
    std::perror("mkdtemp");
    return 2;
  }
  std::string work = tmpl;
  fs::create_directories(opt.out);

  std::printf("tarvo: %s", opt.tarvo.c_str());
  for (auto& a : opt.tarvo_args) std::printf(" %s", a.c_str());
  std::printf("\n%zu problems, solvers:", problems.size());
  for (auto& id : ids) std::printf(" %s", id.c_str());
  std::printf("\n");

  std::vector<Result> results;
  for (auto& p : problems) {
    // Decompress outside the timed runs; every solver reads the same plain file.
    bool gz = p.path.size() > 3 && p.path.compare(p.path.size() - 3, 3, ".gz") == 0;
    p.plain = gz ? work + "/" + p.name + ".mps" : p.path;
    if (gz && !gunzip(p.path, p.plain)) {
      std::fprintf(stderr, "bench_lp: cannot decompress %s\n", p.path.c_str());
      continue;
    }
    Prepared prep;
    if (std::count(ids.begin(), ids.end(), "glpk-p")) {
      Run chk = run_process({"glpsol", "--mps", p.plain, "--check"}, work, 120);
      prep.glpk_format = (WIFEXITED(chk.wstatus) && WEXITSTATUS(chk.wstatus) == 0) ? "--mps" : "--freemps";
      prep.obj_rhs = objective_rhs(p.plain);
    }
    Result r;
    r.p = p;
    std::printf("%-10s", p.name.c_str());
    std::fflush(stdout);
    for (auto& id : ids) {
      Outcome o = solve(id, p, prep, opt, work);
      std::printf("  %s %s", id.c_str(), time_cell(o).c_str());
      std::fflush(stdout);
      r.by[id] = o;
    }
    std::printf("\n");
    if (gz) fs::remove(p.plain);
    if (std::isnan(p.opt)) consensus(r);
    results.push_back(r);
  }

  // Main table: tarvo's status, iterations, time, memory; each peer's time; ratios.
  Table t;
  t.head = {"problem", "group", "tarvo it", "tarvo s", "tarvo MB"};
  for (size_t k = 1; k < ids.size(); ++k) t.head.push_back(ids[k] + " s");
  for (size_t k = 1; k < ids.size(); ++k) t.head.push_back("T/" + ids[k]);
  for (auto& r : results) {
    const Outcome& o = r.by["tarvo"];
    std::vector<std::string> row = {r.p.name, r.p.group, std::to_string(o.iters), time_cell(o),
                                    fmt("%.1f", o.rss_kb / 1024.0)};
    for (size_t k = 1; k < ids.size(); ++k) row.push_back(time_cell(r.by[ids[k]]));
    for (size_t k = 1; k < ids.size(); ++k) {
      const Outcome& q = r.by[ids[k]];
      row.push_back(o.solved && q.solved ? fmt("%.2f", shifted_ratio(o.time, q.time)) : "-");
    }
    t.rows.push_back(row);
  }

  // Geometric means: all problems, each group, and the larger problems one by one.
  std::vector<std::pair<std::string, std::vector<const Result*>>> sets;
  sets.push_back({"all", {}});
  for (auto& r : results) {
    sets[0].second.push_back(&r);
    auto it = std::find_if(sets.begin() + 1, sets.end(), [&](auto& s) { return s.first == r.p.group; });
    if (it == sets.end()) sets.push_back({r.p.group, {&r}});
    else it->second.push_back(&r);
  }
  Table g;
  g.head = {"problems"};
  for (size_t k = 1; k < ids.size(); ++k) g.head.push_back("T/" + ids[k]);
  // CPU time as a check: wall time suffers from other load on a shared machine.
  for (auto [what, time] : {std::pair{"", &Outcome::time}, std::pair{", CPU", &Outcome::cpu}})
    for (auto& [label, set] : sets) {
      std::vector<std::string> row = {label + what};
      for (size_t k = 1; k < ids.size(); ++k) {
        Geo m = geomean(set, ids[k], time);
        row.push_back(m.n ? fmt("%.2f", m.mean) + " (" + std::to_string(m.n) + ")" : "-");
      }
      g.rows.push_back(row);
    }
  Table big;
  big.head = {"problem", "tarvo it", "tarvo s"};
  for (size_t k = 1; k < ids.size(); ++k) big.head.push_back("T/" + ids[k]);
  for (size_t k = 1; k < ids.size(); ++k) big.head.push_back(ids[k] + " it");
  for (auto& r : results) {
    if (!r.p.larger) continue;
    const Outcome& o = r.by["tarvo"];
    std::vector<std::string> row = {r.p.name, std::to_string(o.iters), time_cell(o)};
    for (size_t k = 1; k < ids.size(); ++k) {
      const Outcome& q = r.by[ids[k]];
      row.push_back(o.solved && q.solved ? fmt("%.2f", shifted_ratio(o.time, q.time)) : "-");
    }
    for (size_t k = 1; k < ids.size(); ++k) row.push_back(std::to_string(r.by[ids[k]].iters));
    big.rows.push_back(row);
  }
  Table solved;
  solved.head = {"solver", "solved", "not solved"};
  for (auto& id : ids) {
    int n = 0;
    std::string miss;
    for (auto& r : results) {
      const Outcome& o = r.by[id];
      if (o.solved) ++n;
      else miss += (miss.empty() ? "" : ", ") + r.p.name + " (" + o.status +
                   (std::isnan(o.err) ? "" : fmt(" err %.1e", o.err)) + ")";
    }
    solved.rows.push_back({id, std::to_string(n) + "/" + std::to_string(results.size()), miss.empty() ? "-" : miss});
  }

  std::string s = stamp();
  std::string csv = opt.out + "/lp-" + s + ".csv";
  write_csv(csv, results, ids);
  fs::copy_file(csv, opt.out + "/lp-latest.csv", fs::copy_options::overwrite_existing);

  const char* gnote =
      "Shifted geometric mean of (t_tarvo + 0.01 s) / (t_peer + 0.01 s) over the problems both solve to 1e-6 "
      "relative error (count in brackets); above 1 means tarvo is slower.";
  std::printf("\n%s\n%s\n%s\n%s\nLarger problems:\n%s\nSolved:\n%s", t.text().c_str(),
              "Times: whole-process wall seconds, median of up to 5 runs; a status in brackets means not solved. "
              "T/peer: shifted time ratio.",
              g.text().c_str(), gnote, big.text().c_str(), solved.text().c_str());

  std::ofstream md(opt.out + "/lp-latest.md");
  md << "Run " << s;
  if (!opt.label.empty()) md << ", " << opt.label;
  md << ", tarvo " << (opt.tarvo_args.empty() ? "with its default options" : "with");
  for (auto& a : opt.tarvo_args) md << ' ' << a;
  md << ".\n\n" << t.markdown() << "\nGeometric means of the shifted time ratio tarvo/peer (problems both solve):\n\n"
     << g.markdown() << "\nLarger problems:\n\n" << big.markdown() << "\nSolved:\n\n" << solved.markdown();
  md.close();

  if (!opt.plot.empty() && on_path("gnuplot")) {
    if (draw_profile(results, ids, opt, work)) std::printf("\nprofile: %s\n", opt.plot.c_str());
  }
  if (!opt.scaling.empty() && on_path("gnuplot")) {
    if (draw_scaling(results, ids, opt, work)) std::printf("scaling: %s\n", opt.scaling.c_str());
  }
  std::printf("results: %s (and lp-latest.csv, lp-latest.md)\n", csv.c_str());
  fs::remove_all(work);
  return 0;
}

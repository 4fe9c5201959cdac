// NLP benchmark: every problem of the nonlinear test-problem library through
// tvnose (default options, counted callbacks) and through Ipopt's C interface
// (limited-memory Hessian approximation, default tolerances).
//
// Every solve runs in a child process forked from this one, so that a crash
// or a hang of a solver costs one table cell: the parent kills the child at
// the time limit.  The child times only the solve (from the problem in memory
// to the answer) with a steady clock and repeats short solves (5 runs under
// 1 s, 3 under 10 s, else 1; median time); it sends one record per run
// through a pipe.  Records status, objective, error against the known optimum
// |f - f*| / max(1, |f*|), function evaluations, iterations and time, prints
// the table and the shifted geometric means of the time ratio TARVO/Ipopt
// per problem set, and writes CSV and Markdown under bench/results.
//
// usage: bench_nlp [options]   (bench_nlp -h lists the options)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
#include <set>
#include <string>
#include <vector>

#include "problems.h"

#ifdef TARVO_BENCH_IPOPT
#include <IpStdCInterface.h>
#endif

namespace fs = std::filesystem;
using tvnlp::NlpProblem;

namespace {

constexpr double kTol = 1e-6;    // relative error that counts as solved
constexpr double kShift = 0.01;  // seconds added to both times of a ratio
const double kNaN = std::nan("");

// ---------------------------------------------------------------- options

struct Options {
  std::vector<std::string> solvers = {"tarvo", "ipopt"};
  std::set<std::string> only;
  double timeout = 120;  // seconds for one solve (all its timed runs)
  int max_runs = 5;
  int itnlimit = 0;      // tvnose Iterations limit (0: the solver's default)
  int majlimit = 0;      // tvnose Major iterations limit (0: default)
  std::vector<std::string> specs;  // further SPECS phrases for tvnose
  double ipopt_tol = 0;  // Ipopt tol (0: its default 1e-8)
  std::string out = std::string(TARVO_SOURCE_DIR) + "/bench/results";
  std::string label;
  bool write = true;
  bool cpu = true;       // time solves by the child's CPU clock (else elapsed time)
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
      "usage: bench_nlp [options]\n"
      "Solves every problem of the nonlinear test-problem library (tests/nlp) with\n"
      "tvnose and with Ipopt (limited-memory Hessian), one child process per solve.\n"
      "  --solvers LIST     comma list of tarvo,ipopt (default both)\n"
      "  --only LIST        comma list of problem names\n"
      "  --timeout SEC      wall-time limit of one solve with its repeats (default 120)\n"
      "  --runs N           at most N timed runs per solve (default 5: 5 under 1 s, 3 under 10 s, else 1)\n"
      "  --itn N            tvnose Iterations limit (default: the solver's own)\n"
      "  --major N          tvnose Major iterations limit (default: the solver's own)\n"
      "  --option PHRASE    a SPECS phrase for tvnose, e.g. \"Multiple price 10\" (repeatable)\n"
      "  --ipopt-tol X      Ipopt's tol (default: its own, 1e-8); e.g. 1e-12 to establish optima\n"
      "  --out DIR          results folder (default bench/results)\n"
      "  --no-files         print the table only\n"
      "  --clock cpu|wall   time solves by CPU time (default; steady on a shared machine) or elapsed time\n"
      "  --label TEXT       heading of the Markdown results (run.sh passes the commit)\n"
      "  --list             list the problems and exit\n");
}

bool parse_options(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i], v;
    auto value = [&](std::string& s) {
      if (i + 1 >= argc) return false;
      s = argv[++i];
      return true;
    };
    if (a == "-h" || a == "--help") {
      usage();
      std::exit(0);
    } else if (a == "--list") {
      for (auto& p : tvnlp::all_problems())
        std::printf("%-14s %-9s n=%-6d m=%-6d nncon=%-5d f*=%.10g (%s)\n", p.name.c_str(), p.group.c_str(), p.n,
                    p.m, p.nncon, p.fstar, p.source.c_str());
      std::exit(0);
    } else if (a == "--solvers" && value(v)) {
      o.solvers = split(v, ",");
    } else if (a == "--only" && value(v)) {
      for (auto& s : split(v, ",")) o.only.insert(s);
    } else if (a == "--timeout" && value(v)) {
      o.timeout = std::atof(v.c_str());
    } else if (a == "--runs" && value(v)) {
      o.max_runs = std::max(1, std::atoi(v.c_str()));
    } else if (a == "--itn" && value(v)) {
      o.itnlimit = std::atoi(v.c_str());
    } else if (a == "--major" && value(v)) {
      o.majlimit = std::atoi(v.c_str());
    } else if (a == "--option" && value(v)) {
      o.specs.push_back(v);
    } else if (a == "--ipopt-tol" && value(v)) {
      o.ipopt_tol = std::atof(v.c_str());
    } else if (a == "--clock" && value(v) && (v == "cpu" || v == "wall")) {
      o.cpu = v == "cpu";
    } else if (a == "--out" && value(v)) {
      o.out = v;
    } else if (a == "--no-files") {
      o.write = false;
    } else if (a == "--label" && value(v)) {
      o.label = v;
    } else {
      std::fprintf(stderr, "bench_nlp: bad option %s\n", a.c_str());
      usage();
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------- one run

std::string fmt(const char* f, double x) {
  char b[64];
  std::snprintf(b, sizeof b, f, x);
  return b;
}


// What a child sends back for one timed run (plain data through a pipe).
struct Record {
  char status[32];
  double obj;   // as the solver reports it
  double fx;    // the objective recomputed at the returned point
  double time;
  long iters;
  long nf, ng;  // objective evaluations: values, gradients
  long nc, nj;  // constraint evaluations: values, Jacobians
  double cviol; // largest violation of a row or bound at the final point
};

void set_status(Record& r, const std::string& s) {
  std::snprintf(r.status, sizeof r.status, "%s", s.c_str());
}

using Clock = std::chrono::steady_clock;
double since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// The clock of a solve: the process's CPU time, which other work on a busy
// machine does not inflate (both solvers run single-threaded here), or the
// elapsed time.
double solve_clock(const Options& o) {
  if (!o.cpu) return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// Largest violation of the bounds and rows at x, each relative to
// max(1, |bound|) (NaN where undefined).
double violation(const NlpProblem& p, const std::vector<double>& x) {
  if (static_cast<int>(x.size()) != p.n) return kNaN;
  auto rel = [](double by, double bound) { return by / std::max(1.0, std::fabs(bound)); };
  double v = 0.0;
  for (int j = 0; j < p.n; ++j) v = std::max({v, rel(p.xlo[j] - x[j], p.xlo[j]), rel(x[j] - p.xup[j], p.xup[j])});
  std::vector<double> r(p.m);
  if (!p.activities(x.data(), r.data())) return kNaN;
  for (int i = 0; i < p.m; ++i) v = std::max({v, rel(p.rlo[i] - r[i], p.rlo[i]), rel(r[i] - p.rup[i], p.rup[i])});
  return v;
}

std::string tarvo_status(int inform) {
  switch (inform) {
    case 0: return "optimal";
    case 1: return "infeasible";
    case 2: return "unbounded";
    case 3: return "iterations";
    case 6: return "stopped by function";
    case 9: return "cannot improve";
    case 13: return "near optimal";
    default: return "inform " + std::to_string(inform);
  }
}

Record run_tarvo(const NlpProblem& p, const Options& o) {
  Record r{};
  const double t0 = solve_clock(o);
  tvnlp::TvRun t = tvnlp::solve_tvnose(p, o.itnlimit, o.majlimit, o.specs);
  r.time = solve_clock(o) - t0;
  set_status(r, tarvo_status(t.inform));
  r.obj = t.obj;
  r.iters = t.itns;
  r.nf = t.calls.funobj;
  r.nc = t.calls.funcon;
  r.ng = t.calls.funobj_grad;
  r.nj = t.calls.funcon_grad;
  r.cviol = violation(p, t.x);
  r.fx = t.x.size() == size_t(p.n) ? p.objective(t.x.data()) : kNaN;
  return r;
}

#ifdef TARVO_BENCH_IPOPT
// The problem as Ipopt sees it: rows are the activities, the Jacobian is the
// union of the nonlinear pattern and the linear entries.
struct IpoptData {
  const NlpProblem* p;
  std::vector<int> irow, jcol;
  std::vector<int> src;  // >= 0: index into p->jac, < 0: -1 - index into p->lin
  std::vector<double> J, g;
  long nf = 0, ng = 0, nc = 0, nj = 0, iters = 0;
};

Bool ip_f(Index n, Number* x, Bool, Number* f, UserDataPtr u) {
  auto& d = *static_cast<IpoptData*>(u);
  ++d.nf;
  *f = d.p->objective(x);
  return std::isfinite(*f);
}

Bool ip_grad(Index n, Number* x, Bool, Number* g, UserDataPtr u) {
  auto& d = *static_cast<IpoptData*>(u);
  const NlpProblem& p = *d.p;
  ++d.ng;
  std::fill(g, g + n, 0.0);
  double f = 0.0;
  if (p.nnobj > 0 && !p.fobj(x, f, g)) return FALSE;
  for (size_t j = 0; j < p.cobj.size(); ++j) g[j] += p.cobj[j];
  return TRUE;
}

Bool ip_g(Index, Number* x, Bool, Index, Number* g, UserDataPtr u) {
  auto& d = *static_cast<IpoptData*>(u);
  ++d.nc;
  return d.p->activities(x, g) ? TRUE : FALSE;
}

Bool ip_jac(Index, Number* x, Bool, Index, Index nele, Index* irow, Index* jcol, Number* v, UserDataPtr u) {
  auto& d = *static_cast<IpoptData*>(u);
  if (!x) {
    std::copy(d.irow.begin(), d.irow.end(), irow);
    std::copy(d.jcol.begin(), d.jcol.end(), jcol);
    return TRUE;
  }
  ++d.nj;
  const NlpProblem& p = *d.p;
  if (p.nncon > 0) {
    std::vector<double> c(p.nncon);
    if (!p.fcon(x, c.data(), d.J.data())) return FALSE;
  }
  for (Index k = 0; k < nele; ++k) v[k] = d.src[k] >= 0 ? d.J[d.src[k]] : p.lin[-1 - d.src[k]].val;
  return TRUE;
}

Bool ip_h(Index, Number*, Bool, Number, Index, Number*, Bool, Index, Index*, Index*, Number*, UserDataPtr) {
  return FALSE;  // never called with the limited-memory approximation
}

Bool ip_iter(Index, Index iter, Number, Number, Number, Number, Number, Number, Number, Number, Index,
             UserDataPtr u) {
  static_cast<IpoptData*>(u)->iters = iter;
  return TRUE;
}

std::string ipopt_status(int s) {
  switch (s) {
    case Solve_Succeeded: return "optimal";
    case Solved_To_Acceptable_Level: return "acceptable";
    case Infeasible_Problem_Detected: return "infeasible";
    case Search_Direction_Becomes_Too_Small: return "small step";
    case Diverging_Iterates: return "unbounded";
    case Maximum_Iterations_Exceeded: return "iterations";
    case Maximum_CpuTime_Exceeded: return "time limit";
    case Restoration_Failed: return "restoration failed";
    case Error_In_Step_Computation: return "step error";
    case Invalid_Number_Detected: return "invalid number";
    default: return "status " + std::to_string(s);
  }
}

Record run_ipopt(const NlpProblem& p, const Options& o) {
  Record r{};
  IpoptData d;
  d.p = &p;
  for (size_t k = 0; k < p.jac.size(); ++k) {
    d.irow.push_back(p.jac[k].first);
    d.jcol.push_back(p.jac[k].second);
    d.src.push_back(static_cast<int>(k));
  }
  for (size_t k = 0; k < p.lin.size(); ++k) {
    d.irow.push_back(p.lin[k].row);
    d.jcol.push_back(p.lin[k].col);
    d.src.push_back(-1 - static_cast<int>(k));
  }
  d.J.assign(p.jac.size(), 0.0);
  std::vector<double> xlo = p.xlo, xup = p.xup, rlo = p.rlo, rup = p.rup, x = p.x0;
  const double t0 = solve_clock(o);
  IpoptProblem ip = CreateIpoptProblem(p.n, xlo.data(), xup.data(), p.m, rlo.data(), rup.data(),
                                       static_cast<Index>(d.irow.size()), 0, 0, ip_f, ip_g, ip_grad, ip_jac, ip_h);
  if (!ip) {
    set_status(r, "create failed");
    return r;
  }
  AddIpoptStrOption(ip, const_cast<char*>("hessian_approximation"), const_cast<char*>("limited-memory"));
  AddIpoptIntOption(ip, const_cast<char*>("print_level"), 0);
  AddIpoptStrOption(ip, const_cast<char*>("sb"), const_cast<char*>("yes"));
  AddIpoptNumOption(ip, const_cast<char*>("max_cpu_time"), o.timeout);
  if (o.ipopt_tol > 0) {
    AddIpoptNumOption(ip, const_cast<char*>("tol"), o.ipopt_tol);
    AddIpoptNumOption(ip, const_cast<char*>("acceptable_tol"), o.ipopt_tol);
    AddIpoptIntOption(ip, const_cast<char*>("max_iter"), 100000);
  }
  SetIntermediateCallback(ip, ip_iter);
  double obj = kNaN;
  std::vector<double> g(std::max(1, p.m));
  int status = IpoptSolve(ip, x.data(), g.data(), &obj, nullptr, nullptr, nullptr, &d);
  FreeIpoptProblem(ip);
  r.time = solve_clock(o) - t0;
  set_status(r, ipopt_status(status));
  r.obj = obj;
  r.iters = d.iters;
  r.nf = d.nf;
  r.ng = d.ng;
  r.nc = d.nc;
  r.nj = d.nj;
  r.cviol = violation(p, x);
  r.fx = p.objective(x.data());
  return r;
}
#endif

// ---------------------------------------------------------------- one solve

struct Outcome {
  std::string status = "not run";
  double obj = kNaN, fx = kNaN, err = kNaN, cviol = kNaN;
  long iters = -1, nf = -1, ng = -1, nc = -1, nj = -1;
  std::vector<double> times;
  double time = kNaN;
  bool solved = false;
  std::string note;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

// Forks a child that solves p up to max_runs times and sends a Record per
// run; kills it at the time limit.  Status and counts come from the first run.
Outcome solve(const std::string& id, const NlpProblem& p, const Options& o) {
  Outcome out;
  int fd[2];
  if (pipe(fd) != 0) {
    out.status = "pipe failed";
    return out;
  }
  std::fflush(stdout);
  pid_t pid = fork();
  if (pid < 0) {
    out.status = "fork failed";
    return out;
  }
  if (pid == 0) {
    close(fd[0]);
    int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) {  // a solver's own printing stays out of the table
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    auto t0 = Clock::now();
    double first = 0.0;
    for (int run = 0; run < o.max_runs; ++run) {
      Record r = id == "tarvo" ? run_tarvo(p, o) :
#ifdef TARVO_BENCH_IPOPT
                               run_ipopt(p, o);
#else
                               Record{};
#endif
      if (write(fd[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) _exit(3);
      if (run == 0) first = r.time;
      const double used = since(t0);
      const int runs = first < 1 ? 5 : first < 10 ? 3 : 1;
      if (run + 1 >= runs || used + first > 0.5 * o.timeout) break;
    }
    _exit(0);
  }
  close(fd[1]);
  std::vector<Record> recs;
  Record buf{};
  size_t have = 0;
  auto t0 = Clock::now();
  bool timed_out = false;
  for (;;) {
    const double left = o.timeout - since(t0);
    if (left <= 0) {
      timed_out = true;
      break;
    }
    struct pollfd pf = {fd[0], POLLIN, 0};
    int ready = poll(&pf, 1, static_cast<int>(std::min(left, 1.0) * 1000) + 1);
    if (ready <= 0) continue;
    ssize_t got = read(fd[0], reinterpret_cast<char*>(&buf) + have, sizeof buf - have);
    if (got <= 0) break;  // child finished or died
    have += static_cast<size_t>(got);
    if (have == sizeof buf) {
      recs.push_back(buf);
      have = 0;
    }
  }
  close(fd[0]);
  if (timed_out) kill(pid, SIGKILL);
  int ws = 0;
  waitpid(pid, &ws, 0);
  if (recs.empty()) {
    out.status = timed_out ? "timeout" : WIFSIGNALED(ws) ? "signal " + std::to_string(WTERMSIG(ws)) : "no answer";
    if (timed_out) out.time = o.timeout;
    return out;
  }
  const Record& r = recs[0];
  out.status = r.status;
  if (out.status.empty()) out.status = "not built";
  out.obj = r.obj;
  out.fx = r.fx;
  out.iters = r.iters;
  out.nf = r.nf;
  out.ng = r.ng;
  out.nc = r.nc;
  out.nj = r.nj;
  out.cviol = r.cviol;
  for (auto& q : recs) out.times.push_back(q.time);
  out.time = median(out.times);
  // Judged by the objective at the returned point, not by the reported value.
  if (!std::isnan(p.fstar) && std::isfinite(out.fx))
    out.err = std::fabs(out.fx - p.fstar) / std::max(1.0, std::fabs(p.fstar));
  if (p.expect == tvnlp::Expect::Unbounded) {
    out.solved = out.status == "unbounded";
  } else if (out.status == "optimal" || out.status == "acceptable") {
    // A success must also be feasible.
    const bool feasible = !(out.cviol > 1e-6);
    out.solved = (std::isnan(p.fstar) || out.err <= kTol) && feasible;
    if (!out.solved) out.status = feasible ? "wrong" : "infeasible point";
  }
  if (std::isfinite(out.fx) && !(std::fabs(out.obj - out.fx) <= 1e-6 * std::max(1.0, std::fabs(out.fx)))) {
    out.note = "reported objective " + fmt("%.10g", out.obj) + " is not f(x)";
    out.solved = false;
  }
  return out;
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
        s += c == 0 ? v + pad : "  " + pad + v;
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

std::string num(double x) { return std::isnan(x) ? "-" : fmt("%.10g", x); }
std::string count(long c) { return c < 0 ? "-" : std::to_string(c); }
std::string secs(double t) { return std::isnan(t) ? "-" : fmt(t < 10 ? "%.4f" : "%.2f", t); }

double shifted_ratio(double t, double peer) { return (t + kShift) / (peer + kShift); }

std::string stamp() {
  std::time_t t = std::time(nullptr);
  char b[32];
  std::strftime(b, sizeof b, "%Y%m%d-%H%M%S", std::localtime(&t));
  return b;
}

struct Result {
  NlpProblem p;
  std::string set;  // "small, linear constraints", ...
  std::map<std::string, Outcome> by;
};

std::string set_of(const NlpProblem& p) {
  return std::string(p.group == "scalable" ? "scalable" : "small") +
         (p.linear_constraints ? ", linear constraints" : ", nonlinear constraints");
}

void write_csv(const std::string& path, const std::vector<Result>& res, const std::vector<std::string>& ids) {
  std::ofstream f(path);
  f << "problem,set,n,m,nncon,optimum,source,solver,status,solved,objective_at_x,reported_objective,rel_error,"
       "violation,iterations,obj_calls,obj_grad_calls,con_calls,con_grad_calls,time_s,runs,times_s,note\n";
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
      f << r.p.name << ",\"" << r.set << "\"," << r.p.n << ',' << r.p.m << ',' << r.p.nncon << ','
        << fmt("%.12g", r.p.fstar) << ",\"" << r.p.source << "\"," << id << ',' << o.status << ','
        << (o.solved ? 1 : 0) << ',' << fmt("%.12g", o.fx) << ',' << fmt("%.12g", o.obj) << ','
        << fmt("%.3g", o.err) << ','
        << fmt("%.3g", o.cviol) << ',' << o.iters << ',' << o.nf << ',' << o.ng << ',' << o.nc << ',' << o.nj
        << ',' << fmt("%.6f", o.time) << ',' << o.times.size() << ',' << times << ",\"" << o.note << "\"\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!parse_options(argc, argv, opt)) return 2;
  signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> ids;
  for (auto& id : opt.solvers) {
    if (id == "tarvo") ids.push_back(id);
#ifdef TARVO_BENCH_IPOPT
    else if (id == "ipopt") ids.push_back(id);
#else
    else if (id == "ipopt") std::fprintf(stderr, "bench_nlp: built without Ipopt; ipopt skipped\n");
#endif
    else std::fprintf(stderr, "bench_nlp: unknown solver %s\n", id.c_str());
  }
  if (ids.empty()) return 2;

  std::vector<Result> results;
  for (auto& p : tvnlp::all_problems()) {
    if (!opt.only.empty() && !opt.only.count(p.name)) continue;
    Result r;
    r.set = set_of(p);
    std::printf("%-14s", p.name.c_str());
    std::fflush(stdout);
    for (auto& id : ids) {
      Outcome o = solve(id, p, opt);
      std::printf("  %s %s %s", id.c_str(), o.status.c_str(), secs(o.time).c_str());
      std::fflush(stdout);
      r.by[id] = o;
    }
    std::printf("\n");
    r.p = std::move(p);
    results.push_back(std::move(r));
  }
  if (results.empty()) {
    std::fprintf(stderr, "bench_nlp: no problems\n");
    return 2;
  }

  const bool both = ids.size() == 2;
  Table t;
  t.head = {"problem", "n", "m", "nncon", "f*"};
  for (auto& id : ids)
    for (const char* c : {" status", " objective", " error", " viol", " it", " nf", " nc", " s"}) t.head.push_back(id + c);
  if (both) t.head.push_back("T/I");
  for (auto& r : results) {
    std::vector<std::string> row = {r.p.name, std::to_string(r.p.n), std::to_string(r.p.m),
                                    std::to_string(r.p.nncon), num(r.p.fstar)};
    for (auto& id : ids) {
      const Outcome& o = r.by[id];
      row.insert(row.end(), {o.status + (o.note.empty() ? "" : " *"), num(o.fx), std::isnan(o.err) ? "-" : fmt("%.1e", o.err),
                             std::isnan(o.cviol) ? "-" : fmt("%.0e", o.cviol), count(o.iters),
                             count(o.nf), count(o.nc), secs(o.time)});
    }
    if (both) {
      const Outcome &a = r.by[ids[0]], &b = r.by[ids[1]];
      row.push_back(a.solved && b.solved ? fmt("%.2f", shifted_ratio(a.time, b.time)) : "-");
    }
    t.rows.push_back(row);
  }

  // Shifted geometric means of the time ratio over the problems both solve.
  const std::vector<std::string> sets = {"small, linear constraints", "small, nonlinear constraints",
                                         "scalable, linear constraints", "scalable, nonlinear constraints", "all"};
  Table g;
  g.head = {"problems", "count"};
  for (auto& id : ids) g.head.push_back(id + " solved");
  if (both) g.head.insert(g.head.end(), {"both solved", "T/I geo. mean"});
  for (auto& s : sets) {
    int n = 0, nboth = 0;
    std::map<std::string, int> solved;
    double logsum = 0.0;
    for (auto& r : results) {
      if (s != "all" && r.set != s) continue;
      ++n;
      for (auto& id : ids) solved[id] += r.by[id].solved ? 1 : 0;
      if (both && r.by[ids[0]].solved && r.by[ids[1]].solved) {
        ++nboth;
        logsum += std::log(shifted_ratio(r.by[ids[0]].time, r.by[ids[1]].time));
      }
    }
    if (n == 0) continue;
    std::vector<std::string> row = {s, std::to_string(n)};
    for (auto& id : ids) row.push_back(std::to_string(solved[id]));
    if (both) row.insert(row.end(), {std::to_string(nboth), nboth ? fmt("%.2f", std::exp(logsum / nboth)) : "-"});
    g.rows.push_back(row);
  }

  std::string how =
      std::string(opt.cpu ? "Times: CPU seconds of the solve alone (the CPU clock of a child process per solve)"
                              : "Times: seconds of the solve alone (steady clock in a child process per solve)") +
      ", median of up to 5 runs. "
      "objective: f(x) at the returned point; error = |f(x) - f*| / max(1, |f*|); a * after the status: the "
      "reported objective is not f(x) (not solved; see the CSV); viol: largest violation of a row or bound, relative to max(1, |bound|); "
      "solved = optimal status, error <= 1e-6 and viol <= 1e-6 (an unbounded problem is solved when reported "
      "unbounded). nf, nc: objective and constraint function "
      "calls (Ipopt's nf counts objective values only; gradients in the CSV). T/I: (t_tarvo + 0.01 s) / "
      "(t_ipopt + 0.01 s).";
  std::printf("\n%s\n%s\n\n%s\n", t.text().c_str(), how.c_str(), g.text().c_str());
  if (opt.write) {
    fs::create_directories(opt.out);
    std::string s = stamp();
    std::string csv = opt.out + "/nlp-" + s + ".csv";
    write_csv(csv, results, ids);
    fs::copy_file(csv, opt.out + "/nlp-latest.csv", fs::copy_options::overwrite_existing);
    std::ofstream md(opt.out + "/nlp-latest.md");
    md << "Run " << s;
    if (!opt.label.empty()) md << ", " << opt.label;
    md << ": tvnose with its default options"
       << (opt.itnlimit > 0 ? ", Iterations limit " + std::to_string(opt.itnlimit) : std::string());
    for (const std::string& s : opt.specs) md << ", \"" << s << "\"";
    md
       << "; Ipopt with the limited-memory Hessian and "
       << (opt.ipopt_tol > 0 ? "tol " + fmt("%g", opt.ipopt_tol) : std::string("default tolerances"))
       << ".\n\n" << t.markdown() << "\n" << how << "\n\nShifted geometric means by problem set:\n\n"
       << g.markdown();
    std::printf("results: %s (and nlp-latest.csv, nlp-latest.md)\n", csv.c_str());
  }
  return 0;
}

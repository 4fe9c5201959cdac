// The catalogue of test problems and the helpers that the families use to
// state them.
#include "problems.h"

#include <algorithm>
#include <stdexcept>

#include "problems_impl.h"

namespace tvnlp {

namespace detail {

NlpProblem base(const std::string& name, const std::string& group, int n, std::vector<double> x0) {
  NlpProblem p;
  p.name = name;
  p.group = group;
  p.n = n;
  p.nnobj = n;
  p.xlo.assign(n, -kInf);
  p.xup.assign(n, kInf);
  p.x0 = std::move(x0);
  if (static_cast<int>(p.x0.size()) != n) throw std::logic_error(name + ": start point of wrong size");
  return p;
}

void bounds(NlpProblem& p, double lo, double up) {
  std::fill(p.xlo.begin(), p.xlo.end(), lo);
  std::fill(p.xup.begin(), p.xup.end(), up);
}

void bound(NlpProblem& p, int j, double lo, double up) {
  p.xlo.at(j - 1) = lo;
  p.xup.at(j - 1) = up;
}

void nonlinear_rows(NlpProblem& p, int nnjac, std::vector<double> lo, std::vector<double> up,
                    std::vector<std::pair<int, int>> pattern) {
  if (p.m != 0) throw std::logic_error(p.name + ": nonlinear rows must come first");
  p.nncon = static_cast<int>(lo.size());
  p.nnjac = nnjac;
  p.m = p.nncon;
  p.linear_constraints = false;
  p.rlo = std::move(lo);
  p.rup = std::move(up);
  p.jac.clear();
  if (pattern.empty()) {
    for (int i = 0; i < p.nncon; ++i)
      for (int j = 0; j < nnjac; ++j) p.jac.push_back({i, j});
  } else {
    for (auto [i, j] : pattern) p.jac.push_back({i - 1, j - 1});
  }
}

int linear_row(NlpProblem& p, double lo, double up, std::initializer_list<std::pair<int, double>> terms) {
  const int i = p.m++;
  p.rlo.push_back(lo);
  p.rup.push_back(up);
  for (auto [j, v] : terms) p.lin.push_back({i, j - 1, v});
  return i + 1;
}

void linear_term(NlpProblem& p, int i, int j, double a) {
  if (i > p.nncon || j <= p.nnjac) throw std::logic_error(p.name + ": linear term inside the Jacobian block");
  p.lin.push_back({i - 1, j - 1, a});
}

void optimum(NlpProblem& p, double fstar, std::vector<double> xstar, const std::string& source,
             double xstar_tol) {
  p.fstar = fstar;
  p.xstar = std::move(xstar);
  p.source = source;
  p.xstar_tol = xstar_tol;
}

}  // namespace detail

double NlpProblem::objective(const double* x) const {
  double f = objconst;
  if (nnobj > 0) {
    double v = 0.0;
    if (!fobj(x, v, nullptr)) return kNaN;
    f += v;
  }
  for (size_t j = 0; j < cobj.size(); ++j) f += cobj[j] * x[j];
  return f;
}

bool NlpProblem::activities(const double* x, double* r) const {
  std::fill(r, r + m, 0.0);
  if (nncon > 0) {
    std::vector<double> c(nncon);
    if (!fcon(x, c.data(), nullptr)) return false;
    std::copy(c.begin(), c.end(), r);
  }
  for (const Entry& e : lin) r[e.row] += e.val * x[e.col];
  return true;
}

namespace {

const std::vector<detail::Maker>& catalogue() {
  static const std::vector<detail::Maker> all = [] {
    std::vector<detail::Maker> v;
    for (auto family : {detail::hs_linear, detail::hs_nonlinear, detail::qp_known, detail::scalable, detail::bad}) {
      auto f = family();
      v.insert(v.end(), f.begin(), f.end());
    }
    return v;
  }();
  return all;
}

}  // namespace

std::vector<std::string> problem_names() {
  std::vector<std::string> v;
  for (auto& mk : catalogue()) v.push_back(mk.name);
  return v;
}

NlpProblem make_problem(const std::string& name, int size) {
  for (auto& mk : catalogue())
    if (mk.name == name) return mk.make(size);
  throw std::out_of_range("no test problem named " + name);
}

std::vector<NlpProblem> all_problems() {
  std::vector<NlpProblem> v;
  for (auto& mk : catalogue()) v.push_back(mk.make(0));
  return v;
}

}  // namespace tvnlp

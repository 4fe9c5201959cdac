// Test host: value and exact gradient of an expression (reverse mode).
#include <cmath>
#include <limits>

#include "expr.h"

namespace tvhost {

int expr_eval(const Expr& e, const double* x, const int* pos, double* f, double* g) {
  const size_t n = e.nodes.size();
  if (n == 0) {
    if (f) *f = 0.0;
    return 0;
  }
  // Forward: the value of every node.  An operation counts as an error only
  // where its operands are defined, so an undefined value is counted once
  // however far it travels.
  std::vector<double> v(n);
  int errors = 0;
  for (size_t k = 0; k < n; ++k) {
    const ExprNode& t = e.nodes[k];
    bool defined_in = true;
    if (t.op == Op::Const) {
      v[k] = t.c;
    } else if (t.op == Op::Var) {
      v[k] = x[pos[t.col]];
    } else {
      const double a = v[static_cast<size_t>(t.a)];
      const double b = t.b >= 0 ? v[static_cast<size_t>(t.b)] : 0.0;
      defined_in = std::isfinite(a) && std::isfinite(b);
      v[k] = expr_apply(t.op, a, b);
    }
    if (defined_in && !std::isfinite(v[k])) ++errors;
  }
  if (errors > 0) {
    if (f) *f = std::numeric_limits<double>::quiet_NaN();
    return errors;
  }
  if (f) *f = v[n - 1];
  if (!g) return 0;

  // Backward: adjoints w = d(root)/d(node).  A zero adjoint passes nothing on
  // (so 0*sqrt(x) at x = 0 is not an error), nor does any adjoint into a
  // constant.
  std::vector<double> w(n, 0.0);
  w[n - 1] = 1.0;
  std::vector<std::pair<int, double>> grad;  // (position, adjoint) of each variable occurrence
  for (size_t k = n; k-- > 0;) {
    const ExprNode& t = e.nodes[k];
    const double wk = w[k];
    if (wk == 0.0 || t.op == Op::Const) continue;
    if (t.op == Op::Var) {
      grad.emplace_back(pos[t.col], wk);
      continue;
    }
    const size_t ia = static_cast<size_t>(t.a);
    const double a = v[ia], vk = v[k];
    const size_t ib = t.b >= 0 ? static_cast<size_t>(t.b) : 0;
    const double b = t.b >= 0 ? v[ib] : 0.0;
    const bool bvar = t.b >= 0 && e.nodes[ib].op != Op::Const;
    switch (t.op) {
      case Op::Neg: w[ia] -= wk; break;
      case Op::Add: w[ia] += wk; w[ib] += wk; break;
      case Op::Sub: w[ia] += wk; w[ib] -= wk; break;
      case Op::Mul: w[ia] += wk * b; w[ib] += wk * a; break;
      case Op::Div: w[ia] += wk / b; w[ib] -= wk * vk / b; break;
      case Op::Pow:
        w[ia] += wk * b * std::pow(a, b - 1.0);
        // d(a^b)/db = a^b log a, which is 0 where a^b is 0 (a = 0, b > 0).
        if (bvar) w[ib] += vk == 0.0 ? 0.0 : wk * vk * std::log(a);
        break;
      case Op::Exp: w[ia] += wk * vk; break;
      case Op::Log: w[ia] += wk / a; break;
      case Op::Sqrt: w[ia] += wk * 0.5 / vk; break;
      case Op::Sin: w[ia] += wk * std::cos(a); break;
      case Op::Cos: w[ia] -= wk * std::sin(a); break;
      default: break;
    }
  }
  for (const auto& [p, d] : grad)
    if (!std::isfinite(d)) {
      if (f) *f = std::numeric_limits<double>::quiet_NaN();
      return 1;
    }
  for (const auto& [p, d] : grad) g[p] += d;
  return 0;
}

}  // namespace tvhost

// Test host: splitting an expression into its linear and nonlinear parts.
#include <map>
#include <set>

#include "expr.h"

namespace tvhost {

// One pass from the root down (the tape backwards: a parent comes after its
// operands).  Each node carries whether every operation above it keeps it
// linear, and then the constant factor by which it enters the whole.
void expr_split(Expr& e, std::vector<std::pair<int, double>>& linear, std::vector<int>& nonlinear) {
  linear.clear();
  nonlinear.clear();
  const int n = static_cast<int>(e.nodes.size());
  if (n == 0) return;
  std::vector<char> lin(static_cast<size_t>(n), 0);
  std::vector<double> scale(static_cast<size_t>(n), 0.0);
  std::map<int, double> coef;
  std::set<int> nl;
  lin[static_cast<size_t>(n - 1)] = 1;
  scale[static_cast<size_t>(n - 1)] = 1.0;
  auto pass = [&](int child, bool keeps, double factor, int parent) {
    lin[static_cast<size_t>(child)] = keeps && lin[static_cast<size_t>(parent)];
    scale[static_cast<size_t>(child)] = scale[static_cast<size_t>(parent)] * factor;
  };
  for (int k = n - 1; k >= 0; --k) {
    ExprNode& x = e.nodes[static_cast<size_t>(k)];
    const bool bconst = x.b >= 0 && e.nodes[static_cast<size_t>(x.b)].op == Op::Const;
    const bool aconst = x.a >= 0 && e.nodes[static_cast<size_t>(x.a)].op == Op::Const;
    const double cb = bconst ? e.nodes[static_cast<size_t>(x.b)].c : 0.0;
    const double ca = aconst ? e.nodes[static_cast<size_t>(x.a)].c : 0.0;
    switch (x.op) {
      case Op::Const:
        break;
      case Op::Var:
        if (lin[static_cast<size_t>(k)]) {
          coef[x.col] += scale[static_cast<size_t>(k)];
          x = ExprNode{};  // the constant 0
        } else {
          nl.insert(x.col);
        }
        break;
      case Op::Neg:
        pass(x.a, true, -1.0, k);
        break;
      case Op::Add:
      case Op::Sub:
        pass(x.a, true, 1.0, k);
        pass(x.b, true, x.op == Op::Add ? 1.0 : -1.0, k);
        break;
      case Op::Mul:
        pass(x.a, bconst, cb, k);
        pass(x.b, aconst, ca, k);
        break;
      case Op::Div:
        pass(x.a, bconst && cb != 0.0, bconst ? 1.0 / cb : 0.0, k);
        pass(x.b, false, 0.0, k);
        break;
      case Op::Pow:
        pass(x.a, bconst && cb == 1.0, 1.0, k);
        pass(x.b, false, 0.0, k);
        break;
      default:  // functions
        pass(x.a, false, 0.0, k);
        break;
    }
  }
  linear.assign(coef.begin(), coef.end());
  nonlinear.assign(nl.begin(), nl.end());
}

}  // namespace tvhost

// Test host: nonlinear expressions of the model file.
//
// Syntax (one expression per directive, to the end of the line):
//   expr    := term { (+|-) term }
//   term    := unary { (*|/) unary }
//   unary   := (-|+) unary | power
//   power   := primary [ ^ unary ]            right-associative: 2^x^2 = 2^(x^2)
//   primary := number | column | 'column' | function ( expr ) | ( expr )
//   function: exp log sqrt sin cos
// A column name in an expression starts with a letter or '_' and goes on with
// letters, digits and _ . ~ # $ @; any other name is written in single quotes.
// -x^2 is -(x^2).  Constant subexpressions are folded when read; one that is
// undefined (1/0, log(-1), ...) is an error of the model file.
//
// An expression is kept as a tape: nodes in postfix order, each node after its
// operands, the root last.  Every node has exactly one parent (a tree), which
// lets a single backward pass over the tape both split off the linear
// occurrences of variables and accumulate reverse-mode adjoints.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tvhost {

enum class Op : unsigned char { Const, Var, Neg, Add, Sub, Mul, Div, Pow, Exp, Log, Sqrt, Sin, Cos };

struct ExprNode {
  Op op = Op::Const;
  int a = -1, b = -1;  // operands (tape positions)
  int col = -1;        // Var: host column
  double c = 0.0;      // Const: value
};

struct Expr {
  std::vector<ExprNode> nodes;
  bool empty() const { return nodes.empty(); }
};

// Column number of a name, or -1 when the model has no such column.
using ColumnLookup = std::function<int(const std::string&)>;

// Parse `text` and add it to `e` (a sum when `e` already holds an expression).
// False with a reason in `why`; `e` is then unchanged.
bool expr_parse(Expr& e, const std::string& text, const ColumnLookup& column, std::string& why);

// Add the term coef * x(col)^power to `e`.
void expr_add_term(Expr& e, double coef, int col, double power);

// The value of one operation, also used to fold constants.
double expr_apply(Op op, double a, double b);

// Split `e` into its linear and nonlinear parts.  A variable occurs linearly
// when the path from it to the root passes only through + - and through * or /
// by a constant (and ^1); each such occurrence is replaced by the constant 0
// and its constant multiplier added to `linear` (host column, coefficient, in
// column order).  `nonlinear` gets the columns that still occur, in column
// order.  What is left is the nonlinear part, whose derivative with respect to
// every column in `linear` is zero.
void expr_split(Expr& e, std::vector<std::pair<int, double>>& linear, std::vector<int>& nonlinear);

// Value of `e` at x (indexed by position: pos[col]) and, when g is not null,
// its gradient added into g (indexed by position).  Returns the number of
// evaluation errors: operations with finite operands and an undefined or
// infinite result (log of x <= 0, sqrt or a fractional power of a negative
// number, division by zero, overflow), non-finite variable values, and one more
// when the value is defined but its gradient is not (sqrt at 0).  After an error
// *f is NaN and g is left as it was.
int expr_eval(const Expr& e, const double* x, const int* pos, double* f, double* g);

// Rewrite the column names of an expression text with `rename` (which gets a
// name and returns the new one); quotes are added where the new name needs
// them.  False with a reason when the text does not scan.
bool expr_rename(const std::string& text, const std::function<std::string(const std::string&)>& rename,
                 std::string& out, std::string& why);

}  // namespace tvhost

// Test host: reading nonlinear expressions (recursive descent onto a tape).
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "expr.h"

namespace tvhost {

namespace {

struct Token {
  enum Kind { End, Number, Name, Quoted, Punct, Bad } kind = End;
  std::string text;
  double value = 0.0;
  size_t at = 0;  // offset in the text
};

bool name_start(char ch) { return std::isalpha(static_cast<unsigned char>(ch)) || ch == '_'; }
bool name_char(char ch) {
  return std::isalnum(static_cast<unsigned char>(ch)) || std::strchr("_.~#$@", ch) != nullptr;
}

class Lexer {
 public:
  explicit Lexer(const std::string& s) : s_(s) { advance(); }
  const Token& peek() const { return tok_; }
  Token take() {
    Token t = tok_;
    advance();
    return t;
  }

 private:
  void advance() {
    while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_]))) ++p_;
    tok_ = Token{};
    tok_.at = p_;
    if (p_ >= s_.size()) return;
    const char ch = s_[p_];
    if (std::isdigit(static_cast<unsigned char>(ch)) || (ch == '.' && p_ + 1 < s_.size() &&
                                                         std::isdigit(static_cast<unsigned char>(s_[p_ + 1])))) {
      const char* begin = s_.c_str() + p_;
      char* end = nullptr;
      tok_.value = std::strtod(begin, &end);
      tok_.kind = Token::Number;
      tok_.text.assign(begin, static_cast<size_t>(end - begin));
      p_ += static_cast<size_t>(end - begin);
    } else if (name_start(ch)) {
      size_t q = p_;
      while (q < s_.size() && name_char(s_[q])) ++q;
      tok_.kind = Token::Name;
      tok_.text = s_.substr(p_, q - p_);
      p_ = q;
    } else if (ch == '\'') {
      const size_t q = s_.find('\'', p_ + 1);
      if (q == std::string::npos || q == p_ + 1) {
        tok_.kind = Token::Bad;
        tok_.text.assign(1, '\'');
        p_ = s_.size();
        return;
      }
      tok_.kind = Token::Quoted;
      tok_.text = s_.substr(p_ + 1, q - p_ - 1);
      p_ = q + 1;
    } else if (std::strchr("+-*/^()", ch)) {
      tok_.kind = Token::Punct;
      tok_.text = std::string(1, ch);
      ++p_;
    } else {
      tok_.kind = Token::Bad;
      tok_.text = std::string(1, ch);
      ++p_;
    }
  }

  const std::string& s_;
  size_t p_ = 0;
  Token tok_;
};

struct Function {
  const char* name;
  Op op;
};
const Function kFunctions[] = {{"exp", Op::Exp}, {"log", Op::Log}, {"sqrt", Op::Sqrt}, {"sin", Op::Sin},
                               {"cos", Op::Cos}};

bool is_punct(const Token& t, char ch) { return t.kind == Token::Punct && t.text[0] == ch; }

class Parser {
 public:
  Parser(const std::string& text, const ColumnLookup& column, std::vector<ExprNode>& out)
      : lex_(text), column_(column), out_(out) {}

  // The root's position, or -1 with a reason.
  int parse(std::string& why) {
    int root = sum();
    if (root >= 0 && lex_.peek().kind != Token::End) root = error("unexpected '" + lex_.peek().text + "'");
    if (root < 0) why = why_;
    return root;
  }

 private:
  int sum() {
    int a = product();
    while (a >= 0 && (is_punct(lex_.peek(), '+') || is_punct(lex_.peek(), '-'))) {
      const Op op = lex_.take().text[0] == '+' ? Op::Add : Op::Sub;
      const int b = product();
      a = b < 0 ? -1 : node(op, a, b);
    }
    return a;
  }

  int product() {
    int a = unary();
    while (a >= 0 && (is_punct(lex_.peek(), '*') || is_punct(lex_.peek(), '/'))) {
      const Op op = lex_.take().text[0] == '*' ? Op::Mul : Op::Div;
      const int b = unary();
      a = b < 0 ? -1 : node(op, a, b);
    }
    return a;
  }

  int unary() {
    if (is_punct(lex_.peek(), '-')) {
      lex_.take();
      const int a = unary();
      return a < 0 ? -1 : node(Op::Neg, a, -1);
    }
    if (is_punct(lex_.peek(), '+')) {
      lex_.take();
      return unary();
    }
    return power();
  }

  int power() {
    const int a = primary();
    if (a < 0 || !is_punct(lex_.peek(), '^')) return a;
    lex_.take();
    const int b = unary();
    return b < 0 ? -1 : node(Op::Pow, a, b);
  }

  int primary() {
    const Token t = lex_.take();
    switch (t.kind) {
      case Token::Number: {
        ExprNode n;
        n.c = t.value;
        return push(n);
      }
      case Token::Name:
        if (is_punct(lex_.peek(), '(')) {
          for (const Function& f : kFunctions)
            if (t.text == f.name) {
              lex_.take();
              const int a = sum();
              if (a < 0) return -1;
              if (!is_punct(lex_.peek(), ')')) return error("missing ')' after the argument of " + t.text);
              lex_.take();
              return node(f.op, a, -1);
            }
          return error("unknown function " + t.text);
        }
        [[fallthrough]];
      case Token::Quoted: {
        ExprNode n;
        n.op = Op::Var;
        n.col = column_(t.text);
        if (n.col < 0) return error("unknown column " + t.text);
        return push(n);
      }
      case Token::Punct:
        if (t.text[0] == '(') {
          const int a = sum();
          if (a < 0) return -1;
          if (!is_punct(lex_.peek(), ')')) return error("missing ')'");
          lex_.take();
          return a;
        }
        return error("unexpected '" + t.text + "'");
      case Token::End:
        return error("expression ends too early");
      default:
        return error("unexpected '" + t.text + "'");
    }
  }

  int push(const ExprNode& n) {
    out_.push_back(n);
    return static_cast<int>(out_.size()) - 1;
  }

  // A new operation node; one whose operands are all constants is folded into
  // a constant, and its operands (the last nodes of the tape) dropped.
  int node(Op op, int a, int b) {
    const bool unary = b < 0;
    if (op == Op::Div && out_[b].op == Op::Const && out_[b].c == 0.0) return error("division by zero");
    const bool folds = out_[a].op == Op::Const && (unary || out_[b].op == Op::Const);
    if (!folds) {
      ExprNode n;
      n.op = op;
      n.a = a;
      n.b = b;
      return push(n);
    }
    const double v = expr_apply(op, out_[a].c, unary ? 0.0 : out_[b].c);
    if (!std::isfinite(v)) return error("a constant part is undefined");
    out_.resize(static_cast<size_t>(a));  // a is the first node of the operands
    ExprNode n;
    n.c = v;
    return push(n);
  }

  int error(const std::string& why) {
    if (why_.empty()) why_ = why;
    return -1;
  }

  Lexer lex_;
  const ColumnLookup& column_;
  std::vector<ExprNode>& out_;
  std::string why_;
};

// Join a new root to the sum of the earlier ones.
void join(Expr& e, int old_root) {
  if (old_root < 0) return;
  ExprNode n;
  n.op = Op::Add;
  n.a = old_root;
  n.b = static_cast<int>(e.nodes.size()) - 1;
  e.nodes.push_back(n);
}

}  // namespace

double expr_apply(Op op, double a, double b) {
  switch (op) {
    case Op::Neg: return -a;
    case Op::Add: return a + b;
    case Op::Sub: return a - b;
    case Op::Mul: return a * b;
    case Op::Div: return a / b;
    case Op::Pow: return std::pow(a, b);
    case Op::Exp: return std::exp(a);
    case Op::Log: return std::log(a);
    case Op::Sqrt: return std::sqrt(a);
    case Op::Sin: return std::sin(a);
    case Op::Cos: return std::cos(a);
    default: return a;
  }
}

bool expr_parse(Expr& e, const std::string& text, const ColumnLookup& column, std::string& why) {
  const size_t before = e.nodes.size();
  const int old_root = static_cast<int>(before) - 1;
  Parser p(text, column, e.nodes);
  if (p.parse(why) < 0) {
    e.nodes.resize(before);
    return false;
  }
  join(e, old_root);
  return true;
}

void expr_add_term(Expr& e, double coef, int col, double power) {
  const int old_root = static_cast<int>(e.nodes.size()) - 1;
  auto push = [&](ExprNode n) {
    e.nodes.push_back(n);
    return static_cast<int>(e.nodes.size()) - 1;
  };
  ExprNode k, x, p, pw, mul;
  k.c = coef;
  const int ik = push(k);
  x.op = Op::Var;
  x.col = col;
  int term = push(x);
  if (power != 1.0) {
    p.c = power;
    const int ip = push(p);
    pw.op = Op::Pow;
    pw.a = term;
    pw.b = ip;
    term = push(pw);
  }
  mul.op = Op::Mul;
  mul.a = ik;
  mul.b = term;
  push(mul);
  join(e, old_root);
}

bool expr_rename(const std::string& text, const std::function<std::string(const std::string&)>& rename,
                 std::string& out, std::string& why) {
  std::vector<Token> toks;
  for (Lexer lex(text);;) {
    toks.push_back(lex.take());
    if (toks.back().kind == Token::Bad) {
      why = "unexpected '" + toks.back().text + "'";
      return false;
    }
    if (toks.back().kind == Token::End) break;
  }
  out.clear();
  size_t copied = 0;
  for (size_t k = 0; k + 1 < toks.size(); ++k) {
    const Token& t = toks[k];
    const bool function = t.kind == Token::Name && is_punct(toks[k + 1], '(');
    if ((t.kind != Token::Name && t.kind != Token::Quoted) || function) continue;
    const std::string name = rename(t.text);
    bool plain = !name.empty() && name_start(name[0]);
    for (char ch : name) plain = plain && name_char(ch);
    out += text.substr(copied, t.at - copied);
    out += plain ? name : "'" + name + "'";
    copied = t.at + t.text.size() + (t.kind == Token::Quoted ? 2 : 0);
  }
  out += text.substr(copied);
  return true;
}

}  // namespace tvhost

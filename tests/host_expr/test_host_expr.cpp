// The test host's nonlinear models, through the model library's C functions:
// expressions and their exact gradients, evaluation errors, the Jacobian
// entries and counts that a solver link queries, and failure injection.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "control.h"

extern "C" {
void ChmoXCreateD(void** h, const char* data);
void hmoXFree(void** h);
int hmoN(void* m);
int hmoNZ(void* m);
int hmoNLNZ(void* m);
int hmoObjNLNZ(void* m);
int hmoNLN(void* m);
int hmoNLM(void* m);
int hmoModelType(void* m);
double hmoObjConst(void* m);
double hmoGetRhsOne(void* m, int i);
int hmoGetEquOrderOne(void* m, int i);
void hmoIndexBaseSet(void* m, int base);
int hmoSetRvVarPermutation(void* m, int* perm, int n);
int hmoGetRowSparse(void* m, int i, int* cols, double* vals, int* nl, int* count, int* nlcount);
int hmoGetObjSparse(void* m, int* cols, double* vals, int* nl, int* count, int* nlcount);
int hmoEvalNewPoint(void* m, double* x);
int hmoEvalGradNL(void* m, int i, double* x, double* f, double* g, double* gx, int* errors);
int hmoEvalGradNLObj(void* m, double* x, double* f, double* g, double* gx, int* errors);
void tvhostReport(void* m, int detail);
}

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A model read from text through a scratch file; null when the host refuses it.
class Model {
 public:
  explicit Model(const std::string& text) {
    char name[] = "/tmp/tvhostexprXXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    path_ = name;
    std::ofstream(path_) << text;
    ChmoXCreateD(&h_, path_.c_str());
  }
  ~Model() {
    hmoXFree(&h_);
    unlink(path_.c_str());
  }
  void* get() const { return h_; }

 private:
  std::string path_;
  void* h_ = nullptr;
};

struct Sparse {
  std::vector<int> cols, nl;
  std::vector<double> vals;
  int count = -1, nlcount = -1;
};

// Row i (-1: the objective) of the host.
Sparse row(void* m, int i) {
  Sparse s;
  s.cols.assign(16, -1), s.nl.assign(16, -1), s.vals.assign(16, 0.0);
  const int rc = i < 0 ? hmoGetObjSparse(m, s.cols.data(), s.vals.data(), s.nl.data(), &s.count, &s.nlcount)
                       : hmoGetRowSparse(m, i, s.cols.data(), s.vals.data(), s.nl.data(), &s.count, &s.nlcount);
  EXPECT_EQ(rc, 0);
  return s;
}

std::string tv_fmt(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

// "column:value" per entry, ~ for a nonlinear one, then (count, nlcount).
std::string entries(void* m, int i) {
  const Sparse s = row(m, i);
  std::string out;
  for (int k = 0; k < s.count; ++k)
    out += tv_fmt(k ? " %g" : "%g", s.cols[k]) + tv_fmt(":%g", s.vals[k]) + (s.nl[k] ? "~" : "");
  return out + " (" + std::to_string(s.count) + ", " + std::to_string(s.nlcount) + ")";
}

const char* kColumns = "col x -inf inf\ncol y -inf inf\ncol z -inf inf\n";

// The whole objective (nonlinear part plus linear entries) and its gradient
// at p, as a link would assemble it from the host's answers.
struct Full {
  double f = 0.0;
  std::vector<double> g;
  int errors = -1;
};
Full objective(void* m, std::vector<double> p) {
  Full r;
  std::vector<double> g(p.size(), kNaN);
  double gx = 0.0;
  EXPECT_EQ(hmoEvalGradNLObj(m, p.data(), &r.f, g.data(), &gx, &r.errors), 0);
  Sparse s = row(m, -1);
  for (int k = 0; k < s.count; ++k)
    if (!s.nl[k]) {
      r.f += s.vals[k] * p[s.cols[k]];
      g[s.cols[k]] = s.vals[k];
    }
  r.g = g;
  return r;
}

TEST(HostExpr, ValuesAndGradientsAgainstCentralDifferences) {
  struct Case {
    const char* text;
    std::function<double(double, double, double)> f;
  };
  const Case cases[] = {
      {"2+3*x^2", [](double x, double, double) { return 2 + 3 * x * x; }},
      {"-x^2 + y", [](double x, double y, double) { return -(x * x) + y; }},
      {"2^x^2", [](double x, double, double) { return std::pow(2.0, x * x); }},
      {"x-y-z", [](double x, double y, double z) { return x - y - z; }},
      {"x/y/z*x", [](double x, double y, double z) { return x / y / z * x; }},
      {"x*y^-1 + .5e1*z*z", [](double x, double y, double z) { return x / y + 5 * z * z; }},
      {"exp(x)*log(y) + sqrt(z)", [](double x, double y, double z) { return std::exp(x) * std::log(y) + std::sqrt(z); }},
      {"sin(x*y) - cos(z)/2", [](double x, double y, double z) { return std::sin(x * y) - std::cos(z) / 2; }},
      {"(x + y)*(y - z)^3 - 4*(x - 1)", [](double x, double y, double z) { return (x + y) * std::pow(y - z, 3) - 4 * (x - 1); }},
      {"y^x + y^(z/2)", [](double x, double y, double z) { return std::pow(y, x) + std::pow(y, z / 2); }},
      {"log(exp(x) + exp(y)) - (2*x + 3)/4", [](double x, double y, double) { return std::log(std::exp(x) + std::exp(y)) - (2 * x + 3) / 4; }},
  };
  const std::vector<std::vector<double>> points = {{0.7, 1.3, 2.1}, {-1.2, 0.4, 0.9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Model m(std::string(kColumns) + "nlobj " + c.text + "\n");
    ASSERT_NE(m.get(), nullptr);
    for (const auto& p : points) {
      const Full at = objective(m.get(), p);
      EXPECT_EQ(at.errors, 0);
      EXPECT_NEAR(at.f, c.f(p[0], p[1], p[2]), 1e-12 * (1 + std::fabs(at.f)));
      for (int j = 0; j < 3; ++j) {
        const double h = 1e-5 * (1 + std::fabs(p[j]));
        std::vector<double> lo = p, hi = p;
        lo[j] -= h, hi[j] += h;
        const double diff = (objective(m.get(), hi).f - objective(m.get(), lo).f) / (2 * h);
        EXPECT_NEAR(at.g[j], diff, 1e-6 * (1 + std::fabs(diff))) << "column " << j;
      }
    }
  }
}

TEST(HostExpr, UndefinedPointsAreEvaluationErrors) {
  struct Case {
    const char* text;
    std::vector<double> p;
    int errors;
  };
  const Case cases[] = {
      {"log(x)", {0, 1, 1}, 1},
      {"log(x)", {-1, 1, 1}, 1},
      {"sqrt(x)", {-1, 1, 1}, 1},
      {"sqrt(x)", {0, 1, 1}, 1},  // the value is defined, the derivative is not
      {"x^0.5", {-4, 1, 1}, 1},
      {"y/x", {0, 1, 1}, 1},
      {"exp(x)", {800, 1, 1}, 1},
      {"x*y*z", {1e200, 1e200, 1}, 1},
      {"y^x", {2, -2, 1}, 1},       // (-2)^x has no derivative in x
      {"exp(log(x))", {-1, 1, 1}, 1},  // counted where it arises only
      {"log(x) + log(y) + z^2", {-1, 0, 1}, 2},
      {"0*sqrt(x) + sqrt(y)*sqrt(y)", {0, 4, 1}, 0},
      {"log(x)", {kNaN, 1, 1}, 1},
      {"sqrt(x)", {4, 1, 1}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Model m(std::string(kColumns) + "col u 0 1\nrow r =l= 0\ncoef r u 1\nnlrow r " + c.text + "\n");
    ASSERT_NE(m.get(), nullptr);
    std::vector<double> x = c.p, g(4, 7.0);
    x.push_back(0.0);
    double f = 7.0, gx = 7.0;
    int errors = -1;
    EXPECT_EQ(hmoEvalGradNL(m.get(), 0, x.data(), &f, g.data(), &gx, &errors), 0);
    EXPECT_EQ(errors, c.errors);
    EXPECT_EQ(std::isnan(f), c.errors > 0) << f;
    EXPECT_EQ(std::isnan(gx), c.errors > 0) << gx;
    EXPECT_EQ(g[3], 0.0);  // the dense gradient covers every column
  }
}

TEST(HostExpr, BadModelFilesAreRefused) {
  const std::string head = std::string(kColumns) + "row r =e= 1\n";
  for (const char* text : {"nlobj x +", "nlobj (x + y", "nlobj foo(x)", "nlobj w^2", "nlobj log(-1)*x",
                           "nlobj x/0", "nlobj x/(2-2)", "nlobj x $ y", "nlobj 'x", "nlobj", "nlobj x y",
                           "nlrow q x^2", "nlrow r", "nlobj sqrt x"}) {
    SCOPED_TRACE(text);
    Model m(head + text + "\n");
    EXPECT_EQ(m.get(), nullptr);
  }
  // A comment line, a quoted name and a product on an expression line.
  Model ok(head + "* nlobj w\nnlobj 'x' * y\n");
  EXPECT_NE(ok.get(), nullptr);
}

const char* kMixed =
    "col x 0 10 level 1\ncol y 0 10 level 2\ncol z 0 10 level 3\ncol w 0 10 level 4\ncol u 0 1\n"
    "row c1 =l= 10\nrow c2 =e= 4\nrow c3 =g= 0\nrow f1 =n= 0\n"
    "coef c1 x 2\n"
    "nlrow c1 x*y + 3*z - z/2 + x\n"  // x and y nonlinear, z linear
    "nlrow c2 2*(w - 1) + 6\n"        // linear: 2 w, constant 4
    "coef c3 u 1\ncoef c3 w 1 nl\n"   // u linear, w^2
    "nlobj exp(z) + 5*u - (y - y)\n"  // z nonlinear, u and y linear
    "objconst 1\n";

TEST(HostExpr, JacobianEntriesAndCountsOfAMixedModel) {
  Model mm(kMixed);
  void* m = mm.get();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(hmoModelType(m), 2);
  EXPECT_EQ(hmoNZ(m), 6);
  EXPECT_EQ(hmoNLNZ(m), 3);
  EXPECT_EQ(hmoObjNLNZ(m), 1);
  EXPECT_EQ(hmoNLN(m), 4);  // x y w z
  EXPECT_EQ(hmoNLM(m), 2);
  EXPECT_EQ(hmoGetEquOrderOne(m, 0), 2);
  EXPECT_EQ(hmoGetEquOrderOne(m, 1), 1);
  EXPECT_EQ(hmoGetEquOrderOne(m, 2), 2);
  EXPECT_EQ(hmoGetEquOrderOne(m, 3), 1);
  EXPECT_DOUBLE_EQ(hmoGetRhsOne(m, 1), 0.0);  // the constant went to the right-hand side
  EXPECT_DOUBLE_EQ(hmoObjConst(m), 1.0);

  // Nonlinear entries (marked ~) carry the derivative at the levels of the
  // file: d/dx (x*y + 3x) = y + 3, d/dy = x, d/dw w^2 = 2w, d/dz exp(z).
  EXPECT_EQ(entries(m, 0), "0:5~ 1:1~ 2:2.5 (3, 2)");
  EXPECT_EQ(entries(m, 1), "3:2 (1, 0)");
  EXPECT_EQ(entries(m, 2), "3:8~ 4:1 (2, 1)");
  EXPECT_EQ(entries(m, 3), " (0, 0)");
  EXPECT_EQ(entries(m, -1), tv_fmt("1:0 2:%g~ 4:5 (3, 1)", std::exp(3.0)));

  // In the order a link makes (constraint-nonlinear y x w, objective-only z,
  // linear u) and 1-based, the evaluator reads only the nonlinear columns: the
  // others are NaN here.
  hmoIndexBaseSet(m, 1);
  int perm[] = {2, 1, 4, 3, 5};
  ASSERT_EQ(hmoSetRvVarPermutation(m, perm, 5), 0);
  std::vector<double> x = {2, 1, 4, kNaN, kNaN}, g(5, kNaN);
  double f = 0, gx = 0;
  int errors = -1;
  ASSERT_EQ(hmoEvalNewPoint(m, x.data()), 0);
  ASSERT_EQ(hmoEvalGradNL(m, 1, x.data(), &f, g.data(), &gx, &errors), 0);
  EXPECT_EQ(errors, 0);
  EXPECT_DOUBLE_EQ(f, 1 * 2 + 3 * 1);
  EXPECT_EQ(g, (std::vector<double>{1, 5, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(gx, 1 * 2 + 5 * 1);
  ASSERT_EQ(hmoEvalGradNL(m, 3, x.data(), &f, g.data(), &gx, &errors), 0);
  EXPECT_DOUBLE_EQ(f, 16);
  EXPECT_EQ(g, (std::vector<double>{0, 0, 8, 0, 0}));
  x[3] = 0.5;
  ASSERT_EQ(hmoEvalGradNLObj(m, x.data(), &f, g.data(), &gx, &errors), 0);
  EXPECT_DOUBLE_EQ(f, std::exp(0.5));
  EXPECT_EQ(g, (std::vector<double>{0, 0, 0, std::exp(0.5), 0}));
  // A linear row has no nonlinear part; a row out of range is a failure.
  ASSERT_EQ(hmoEvalGradNL(m, 2, x.data(), &f, g.data(), &gx, &errors), 0);
  EXPECT_EQ(f, 0.0);
  EXPECT_EQ(hmoEvalGradNL(m, 0, x.data(), &f, g.data(), &gx, &errors), 1);
  EXPECT_EQ(hmoEvalGradNL(m, 5, x.data(), &f, g.data(), &gx, &errors), 1);

  // The driver's report counts every evaluation call and error.
  std::vector<double> bad = {kNaN, 1, 1, 1, 1};
  ASSERT_EQ(hmoEvalGradNL(m, 1, bad.data(), &f, g.data(), &gx, &errors), 0);
  EXPECT_EQ(errors, 1);
  tvhost_capture_start();
  tvhostReport(m, 0);
  const std::string report = tvhost_capture_text();
  tvhost_capture_stop();
  EXPECT_NE(report.find("=== evaluations 1 points 6 rows 1 objective 1 errors\n"), std::string::npos) << report;
}

TEST(HostExpr, ModelTypeFollowsTheTermsUnlessGiven) {
  const std::string lin = std::string(kColumns) + "row r =e= 1\ncoef r x 1\n";
  const std::pair<std::string, int> cases[] = {
      {lin, 1},
      {lin + "nlrow r 3*(y - 2*z)/4\n", 1},
      {lin + "nlobj x*y\n", 2},
      {lin + "nlrow r x^2\n", 2},
      {lin + "coef r y 1 nl\n", 2},
      {lin + "modeltype 8\nnlrow r x^2\n", 8},
      {lin + "modeltype 1\nnlobj x*y\n", 1},
  };
  for (const auto& [text, type] : cases) {
    Model m(text);
    ASSERT_NE(m.get(), nullptr) << text;
    EXPECT_EQ(hmoModelType(m.get()), type) << text;
  }
}

class Control : public ::testing::Test {
 protected:
  void SetUp() override { tvhost_control_reset(); }
  void TearDown() override { tvhost_control_reset(); }
};

TEST_F(Control, FailAndFailAfterMakeEvaluationCallsFail) {
  Model mm(std::string(kColumns) + "row r =e= 1\nnlrow r x*y\nnlobj z^2\n");
  void* m = mm.get();
  ASSERT_NE(m, nullptr);
  double x[3] = {1, 2, 3}, f = 42, g[3], gx;
  int errors = 9;
  // The results of k calls of each function, one digit per call.
  auto calls = [&](int k) {
    std::string r;
    for (int c = 0; c < k; ++c) r += std::to_string(hmoEvalGradNL(m, 0, x, &f, g, &gx, &errors));
    r += ' ';
    for (int c = 0; c < k; ++c) r += std::to_string(hmoEvalGradNLObj(m, x, &f, g, &gx, &errors));
    r += ' ';
    for (int c = 0; c < k; ++c) r += std::to_string(hmoEvalNewPoint(m, x));
    return r;
  };
  ASSERT_EQ(tvhost_control_add("fail hmoEvalGradNL\n"), 0);
  f = 42, errors = 9;
  EXPECT_EQ(hmoEvalGradNL(m, 0, x, &f, g, &gx, &errors), 1);
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(f, 42);  // nothing else written
  EXPECT_EQ(calls(2), "11 00 00");

  tvhost_control_reset();
  ASSERT_EQ(tvhost_control_add("failafter hmoEvalGradNLObj 2\nfailafter hmoEvalNewPoint 0\n"), 0);
  EXPECT_EQ(calls(4), "0000 0011 1111");
  // Adding the directive again starts the count again.
  ASSERT_EQ(tvhost_control_add("failafter hmoEvalGradNLObj 1\n"), 0);
  EXPECT_EQ(calls(2), "00 01 11");
  tvhost_control_reset();
  EXPECT_EQ(calls(1), "0 0 0");
  EXPECT_EQ(tvhost_control_add("failafter hmoEvalGradNL\nfailafter hmoEvalGradNL -1\n"), 2);
}

}  // namespace

namespace {

std::string slurp(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

TEST(HostExpr, ConverterAddsNonlinearTermsInTheMpsNames) {
  char dir[] = "/tmp/tvhostmpsXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string d = dir;
  std::ofstream(d + "/tiny.mps") << "NAME          TINY\nROWS\n N  COST\n L  LIM1\n G  LIM2\nCOLUMNS\n"
                                    "    X*1       COST         1.0   LIM1         1.0\n"
                                    "    Y         COST         2.0   LIM2         1.0\n"
                                    "RHS\n    RHS       LIM1         4.0   LIM2         1.0\nENDATA\n";
  std::ofstream(d + "/terms") << "* the objective row by name and as nlobj\nnlobj 'X*1'^2 + exp(Y)\n"
                                 "nlrow LIM1 Y*'X*1'\nnlrow COST 3*Y^2\n";
  std::ofstream(d + "/bad1") << "nlrow LIM1 Z^2\n";
  std::ofstream(d + "/bad2") << "nlrow LIM9 Y^2\n";
  auto convert = [&](const std::string& args) {
    const std::string cmd = std::string("'") + TVHOST_MPS2HOST + "' " + args + " '" + d + "/tiny.mps' '" + d +
                            "/out.txt' 2>/dev/null";
    return std::system(cmd.c_str());
  };
  for (const bool negate : {false, true}) {
    SCOPED_TRACE(negate);
    ASSERT_EQ(convert(std::string(negate ? "--negate " : "") + "--nl '" + d + "/terms'"), 0);
    const std::string text = slurp(d + "/out.txt");
    EXPECT_NE(text.find(negate ? "nlobj -( X_1^2 + exp(Y))\n" : "nlobj X_1^2 + exp(Y)\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("nlrow LIM1 Y*X_1\n"), std::string::npos) << text;
    Model m(text);
    ASSERT_NE(m.get(), nullptr) << text;
    EXPECT_EQ(hmoObjNLNZ(m.get()), 2);
    EXPECT_EQ(hmoNLNZ(m.get()), 2);
    EXPECT_EQ(hmoModelType(m.get()), 2);
    std::vector<double> x = {1, 2}, g(2);
    double f = 0, gx = 0;
    int errors = -1;
    ASSERT_EQ(hmoEvalGradNLObj(m.get(), x.data(), &f, g.data(), &gx, &errors), 0);
    // Both columns are nonlinear in the objective, so their costs x + 2y are
    // part of it too.
    const double s = negate ? -1 : 1;
    EXPECT_DOUBLE_EQ(f, s * (1 + std::exp(2.0) + 12 + 1 + 4));
    EXPECT_DOUBLE_EQ(g[0], s * (2 + 1));
    EXPECT_DOUBLE_EQ(g[1], s * (std::exp(2.0) + 12 + 2));
  }
  EXPECT_NE(convert("--nl '" + d + "/bad1'"), 0);
  EXPECT_NE(convert("--nl '" + d + "/bad2'"), 0);
  EXPECT_NE(convert("--nl '" + d + "/missing'"), 0);
  std::system(("rm -rf '" + d + "'").c_str());
}

}  // namespace

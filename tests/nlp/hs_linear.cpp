// Problems of the Hock-Schittkowski collection whose constraints are bounds
// and linear rows only.  Start points and optimal values are those of the
// collection; the point x* is given where it is exact or printed there.
#include <cmath>

#include "problems_impl.h"

namespace tvnlp::detail {

namespace {

const double kSqrt3 = std::sqrt(3.0);
const double kPi = std::acos(-1.0);

// 100 (x2 - x1^2)^2 + (1 - x1)^2 and its gradient.
double rosen2(double x1, double x2, double* g) {
  const double t = x2 - x1 * x1;
  if (g) {
    g[0] = -400.0 * x1 * t - 2.0 * (1.0 - x1);
    g[1] = 200.0 * t;
  }
  return 100.0 * t * t + (1.0 - x1) * (1.0 - x1);
}

NlpProblem hs001(int) {
  NlpProblem p = base("hs001", "hs", 2, {-2.0, 1.0});
  bound(p, 2, -1.5, kInf);
  p.fobj = [](const double* x, double& f, double* g) {
    f = rosen2(x[0], x[1], g);
    return true;
  };
  optimum(p, 0.0, {1.0, 1.0}, "published");
  return p;
}

NlpProblem hs002(int) {
  NlpProblem p = base("hs002", "hs", 2, {-2.0, 1.0});
  bound(p, 2, 1.5, kInf);
  p.fobj = [](const double* x, double& f, double* g) {
    f = rosen2(x[0], x[1], g);
    return true;
  };
  optimum(p, 0.0504261879, {1.224370749, 1.5}, "published");
  return p;
}

NlpProblem hs003(int) {
  NlpProblem p = base("hs003", "hs", 2, {10.0, 1.0});
  bound(p, 2, 0.0, kInf);
  p.fobj = [](const double* x, double& f, double* g) {
    const double d = x[1] - x[0];
    f = x[1] + 1e-5 * d * d;
    if (g) {
      g[0] = -2e-5 * d;
      g[1] = 1.0 + 2e-5 * d;
    }
    return true;
  };
  optimum(p, 0.0, {0.0, 0.0}, "published");
  return p;
}

// (x1 + 1)^3 / 3 + x2: x2 enters linearly and stays a linear column.
NlpProblem hs004(int) {
  NlpProblem p = base("hs004", "hs", 2, {1.125, 0.125});
  p.nnobj = 1;
  p.cobj = {0.0, 1.0};
  bound(p, 1, 1.0, kInf);
  bound(p, 2, 0.0, kInf);
  p.fobj = [](const double* x, double& f, double* g) {
    const double t = x[0] + 1.0;
    f = t * t * t / 3.0;
    if (g) g[0] = t * t;
    return true;
  };
  optimum(p, 8.0 / 3.0, {1.0, 0.0}, "published");
  return p;
}

// sin(x1 + x2) + (x1 - x2)^2 - 1.5 x1 + 2.5 x2 + 1; the linear part sits in
// the objective row over nonlinear columns.
NlpProblem hs005(int) {
  NlpProblem p = base("hs005", "hs", 2, {0.0, 0.0});
  bound(p, 1, -1.5, 4.0);
  bound(p, 2, -3.0, 3.0);
  p.cobj = {-1.5, 2.5};
  p.objconst = 1.0;
  p.fobj = [](const double* x, double& f, double* g) {
    const double s = std::sin(x[0] + x[1]), c = std::cos(x[0] + x[1]), d = x[0] - x[1];
    f = s + d * d;
    if (g) {
      g[0] = c + 2.0 * d;
      g[1] = c - 2.0 * d;
    }
    return true;
  };
  optimum(p, -0.5 * kSqrt3 - kPi / 3.0, {0.5 - kPi / 3.0, -0.5 - kPi / 3.0}, "published", 1e-12);
  return p;
}

NlpProblem hs009(int) {
  NlpProblem p = base("hs009", "hs", 2, {0.0, 0.0});
  linear_row(p, 0.0, 0.0, {{1, 4.0}, {2, -3.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double a = kPi * x[0] / 12.0, b = kPi * x[1] / 16.0;
    f = std::sin(a) * std::cos(b);
    if (g) {
      g[0] = kPi / 12.0 * std::cos(a) * std::cos(b);
      g[1] = -kPi / 16.0 * std::sin(a) * std::sin(b);
    }
    return true;
  };
  optimum(p, -0.5, {-3.0, -4.0}, "published", 1e-12);
  return p;
}

NlpProblem hs021(int) {
  NlpProblem p = base("hs021", "hs", 2, {-1.0, -1.0});
  bound(p, 1, 2.0, 50.0);
  bound(p, 2, -50.0, 50.0);
  linear_row(p, 10.0, kInf, {{1, 10.0}, {2, -1.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    f = 0.01 * x[0] * x[0] + x[1] * x[1] - 100.0;
    if (g) {
      g[0] = 0.02 * x[0];
      g[1] = 2.0 * x[1];
    }
    return true;
  };
  optimum(p, -99.96, {2.0, 0.0}, "published", 1e-12);
  return p;
}

NlpProblem hs024(int) {
  NlpProblem p = base("hs024", "hs", 2, {1.0, 0.5});
  bounds(p, 0.0, kInf);
  linear_row(p, 0.0, kInf, {{1, 1.0 / kSqrt3}, {2, -1.0}});
  linear_row(p, 0.0, kInf, {{1, 1.0}, {2, kSqrt3}});
  linear_row(p, -kInf, 6.0, {{1, 1.0}, {2, kSqrt3}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double c = 1.0 / (27.0 * kSqrt3), d = x[0] - 3.0, y3 = x[1] * x[1] * x[1];
    f = c * (d * d - 9.0) * y3;
    if (g) {
      g[0] = c * 2.0 * d * y3;
      g[1] = c * (d * d - 9.0) * 3.0 * x[1] * x[1];
    }
    return true;
  };
  optimum(p, -1.0, {3.0, kSqrt3}, "published", 1e-12);
  return p;
}

NlpProblem hs028(int) {
  NlpProblem p = base("hs028", "hs", 3, {-4.0, 1.0, 1.0});
  linear_row(p, 1.0, 1.0, {{1, 1.0}, {2, 2.0}, {3, 3.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double a = x[0] + x[1], b = x[1] + x[2];
    f = a * a + b * b;
    if (g) {
      g[0] = 2.0 * a;
      g[1] = 2.0 * a + 2.0 * b;
      g[2] = 2.0 * b;
    }
    return true;
  };
  optimum(p, 0.0, {0.5, -0.5, 0.5}, "published", 1e-12);
  return p;
}

NlpProblem hs035(int) {
  NlpProblem p = base("hs035", "hs", 3, {0.5, 0.5, 0.5});
  bounds(p, 0.0, kInf);
  linear_row(p, -kInf, 3.0, {{1, 1.0}, {2, 1.0}, {3, 2.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double x1 = x[0], x2 = x[1], x3 = x[2];
    f = 9.0 - 8.0 * x1 - 6.0 * x2 - 4.0 * x3 + 2.0 * x1 * x1 + 2.0 * x2 * x2 + x3 * x3 + 2.0 * x1 * x2 +
        2.0 * x1 * x3;
    if (g) {
      g[0] = -8.0 + 4.0 * x1 + 2.0 * x2 + 2.0 * x3;
      g[1] = -6.0 + 4.0 * x2 + 2.0 * x1;
      g[2] = -4.0 + 2.0 * x3 + 2.0 * x1;
    }
    return true;
  };
  optimum(p, 1.0 / 9.0, {4.0 / 3.0, 7.0 / 9.0, 4.0 / 9.0}, "published", 1e-12);
  return p;
}

bool minus_product3(const double* x, double& f, double* g) {
  f = -x[0] * x[1] * x[2];
  if (g) {
    g[0] = -x[1] * x[2];
    g[1] = -x[0] * x[2];
    g[2] = -x[0] * x[1];
  }
  return true;
}

NlpProblem hs036(int) {
  NlpProblem p = base("hs036", "hs", 3, {10.0, 10.0, 10.0});
  bound(p, 1, 0.0, 20.0);
  bound(p, 2, 0.0, 11.0);
  bound(p, 3, 0.0, 42.0);
  linear_row(p, -kInf, 72.0, {{1, 1.0}, {2, 2.0}, {3, 2.0}});
  p.fobj = minus_product3;
  optimum(p, -3300.0, {20.0, 11.0, 15.0}, "published", 1e-12);
  return p;
}

NlpProblem hs037(int) {
  NlpProblem p = base("hs037", "hs", 3, {10.0, 10.0, 10.0});
  bounds(p, 0.0, 42.0);
  linear_row(p, 0.0, 72.0, {{1, 1.0}, {2, 2.0}, {3, 2.0}});
  p.fobj = minus_product3;
  optimum(p, -3456.0, {24.0, 12.0, 12.0}, "published", 1e-12);
  return p;
}

NlpProblem hs038(int) {
  NlpProblem p = base("hs038", "hs", 4, {-3.0, -1.0, -3.0, -1.0});
  bounds(p, -10.0, 10.0);
  p.fobj = [](const double* x, double& f, double* g) {
    const double x1 = x[0], x2 = x[1], x3 = x[2], x4 = x[3];
    const double a = x2 - x1 * x1, b = x4 - x3 * x3;
    f = 100.0 * a * a + (1 - x1) * (1 - x1) + 90.0 * b * b + (1 - x3) * (1 - x3) +
        10.1 * ((x2 - 1) * (x2 - 1) + (x4 - 1) * (x4 - 1)) + 19.8 * (x2 - 1) * (x4 - 1);
    if (g) {
      g[0] = -400.0 * x1 * a - 2.0 * (1 - x1);
      g[1] = 200.0 * a + 20.2 * (x2 - 1) + 19.8 * (x4 - 1);
      g[2] = -360.0 * x3 * b - 2.0 * (1 - x3);
      g[3] = 180.0 * b + 20.2 * (x4 - 1) + 19.8 * (x2 - 1);
    }
    return true;
  };
  optimum(p, 0.0, {1.0, 1.0, 1.0, 1.0}, "published", 1e-12);
  return p;
}

NlpProblem hs044(int) {
  NlpProblem p = base("hs044", "hs", 4, {0.0, 0.0, 0.0, 0.0});
  bounds(p, 0.0, kInf);
  linear_row(p, -kInf, 8.0, {{1, 1.0}, {2, 2.0}});
  linear_row(p, -kInf, 12.0, {{1, 4.0}, {2, 1.0}});
  linear_row(p, -kInf, 12.0, {{1, 3.0}, {2, 4.0}});
  linear_row(p, -kInf, 8.0, {{3, 2.0}, {4, 1.0}});
  linear_row(p, -kInf, 8.0, {{3, 1.0}, {4, 2.0}});
  linear_row(p, -kInf, 5.0, {{3, 1.0}, {4, 1.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double x1 = x[0], x2 = x[1], x3 = x[2], x4 = x[3];
    f = x1 - x2 - x3 - x1 * x3 + x1 * x4 + x2 * x3 - x2 * x4;
    if (g) {
      g[0] = 1.0 - x3 + x4;
      g[1] = -1.0 + x3 - x4;
      g[2] = -1.0 - x1 + x2;
      g[3] = x1 - x2;
    }
    return true;
  };
  optimum(p, -15.0, {0.0, 3.0, 0.0, 4.0}, "published", 1e-12);
  return p;
}

NlpProblem hs045(int) {
  NlpProblem p = base("hs045", "hs", 5, {2.0, 2.0, 2.0, 2.0, 2.0});
  for (int j = 1; j <= 5; ++j) bound(p, j, 0.0, double(j));
  p.fobj = [](const double* x, double& f, double* g) {
    double prod = 1.0;
    for (int j = 0; j < 5; ++j) prod *= x[j];
    f = 2.0 - prod / 120.0;
    if (g) {
      for (int j = 0; j < 5; ++j) {
        double q = 1.0;
        for (int k = 0; k < 5; ++k)
          if (k != j) q *= x[k];
        g[j] = -q / 120.0;
      }
    }
    return true;
  };
  optimum(p, 1.0, {1.0, 2.0, 3.0, 4.0, 5.0}, "published", 1e-12);
  return p;
}

NlpProblem hs048(int) {
  NlpProblem p = base("hs048", "hs", 5, {3.0, 5.0, -3.0, 2.0, -2.0});
  linear_row(p, 5.0, 5.0, {{1, 1.0}, {2, 1.0}, {3, 1.0}, {4, 1.0}, {5, 1.0}});
  linear_row(p, -3.0, -3.0, {{3, 1.0}, {4, -2.0}, {5, -2.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double a = x[0] - 1.0, b = x[1] - x[2], c = x[3] - x[4];
    f = a * a + b * b + c * c;
    if (g) {
      g[0] = 2.0 * a;
      g[1] = 2.0 * b;
      g[2] = -2.0 * b;
      g[3] = 2.0 * c;
      g[4] = -2.0 * c;
    }
    return true;
  };
  optimum(p, 0.0, {1.0, 1.0, 1.0, 1.0, 1.0}, "published", 1e-12);
  return p;
}

NlpProblem hs049(int) {
  NlpProblem p = base("hs049", "hs", 5, {10.0, 7.0, 2.0, -3.0, 0.8});
  linear_row(p, 7.0, 7.0, {{1, 1.0}, {2, 1.0}, {3, 1.0}, {4, 4.0}});
  linear_row(p, 6.0, 6.0, {{3, 1.0}, {5, 5.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double a = x[0] - x[1], b = x[2] - 1.0, c = x[3] - 1.0, d = x[4] - 1.0;
    f = a * a + b * b + std::pow(c, 4) + std::pow(d, 6);
    if (g) {
      g[0] = 2.0 * a;
      g[1] = -2.0 * a;
      g[2] = 2.0 * b;
      g[3] = 4.0 * c * c * c;
      g[4] = 6.0 * std::pow(d, 5);
    }
    return true;
  };
  optimum(p, 0.0, {1.0, 1.0, 1.0, 1.0, 1.0}, "published", 1e-12);
  return p;
}

NlpProblem hs050(int) {
  NlpProblem p = base("hs050", "hs", 5, {35.0, -31.0, 11.0, 5.0, -5.0});
  linear_row(p, 6.0, 6.0, {{1, 1.0}, {2, 2.0}, {3, 3.0}});
  linear_row(p, 6.0, 6.0, {{2, 1.0}, {3, 2.0}, {4, 3.0}});
  linear_row(p, 6.0, 6.0, {{3, 1.0}, {4, 2.0}, {5, 3.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double a = x[0] - x[1], b = x[1] - x[2], c = x[2] - x[3], d = x[3] - x[4];
    f = a * a + b * b + std::pow(c, 4) + d * d;
    if (g) {
      g[0] = 2.0 * a;
      g[1] = -2.0 * a + 2.0 * b;
      g[2] = -2.0 * b + 4.0 * c * c * c;
      g[3] = -4.0 * c * c * c + 2.0 * d;
      g[4] = -2.0 * d;
    }
    return true;
  };
  optimum(p, 0.0, {1.0, 1.0, 1.0, 1.0, 1.0}, "published", 1e-12);
  return p;
}

// (x1 - x2)^2 + (x2 + x3 - 2)^2 + (x4 - 1)^2 + (x5 - 1)^2, shared by 51 and 53;
// hs052 weighs the first term as (4 x1 - x2)^2.
bool obj51(double w, const double* x, double& f, double* g) {
  const double a = w * x[0] - x[1], b = x[1] + x[2] - 2.0, c = x[3] - 1.0, d = x[4] - 1.0;
  f = a * a + b * b + c * c + d * d;
  if (g) {
    g[0] = 2.0 * w * a;
    g[1] = -2.0 * a + 2.0 * b;
    g[2] = 2.0 * b;
    g[3] = 2.0 * c;
    g[4] = 2.0 * d;
  }
  return true;
}

NlpProblem hs051(int) {
  NlpProblem p = base("hs051", "hs", 5, {2.5, 0.5, 2.0, -1.0, 0.5});
  linear_row(p, 4.0, 4.0, {{1, 1.0}, {2, 3.0}});
  linear_row(p, 0.0, 0.0, {{3, 1.0}, {4, 1.0}, {5, -2.0}});
  linear_row(p, 0.0, 0.0, {{2, 1.0}, {5, -1.0}});
  p.fobj = [](const double* x, double& f, double* g) { return obj51(1.0, x, f, g); };
  optimum(p, 0.0, {1.0, 1.0, 1.0, 1.0, 1.0}, "published", 1e-12);
  return p;
}

NlpProblem hs052(int) {
  NlpProblem p = base("hs052", "hs", 5, {2.0, 2.0, 2.0, 2.0, 2.0});
  linear_row(p, 0.0, 0.0, {{1, 1.0}, {2, 3.0}});
  linear_row(p, 0.0, 0.0, {{3, 1.0}, {4, 1.0}, {5, -2.0}});
  linear_row(p, 0.0, 0.0, {{2, 1.0}, {5, -1.0}});
  p.fobj = [](const double* x, double& f, double* g) { return obj51(4.0, x, f, g); };
  const double d = 349.0;
  optimum(p, 1859.0 / d, {-33.0 / d, 11.0 / d, 180.0 / d, -158.0 / d, 11.0 / d}, "published", 1e-12);
  return p;
}

NlpProblem hs053(int) {
  NlpProblem p = base("hs053", "hs", 5, {2.0, 2.0, 2.0, 2.0, 2.0});
  bounds(p, -10.0, 10.0);
  linear_row(p, 0.0, 0.0, {{1, 1.0}, {2, 3.0}});
  linear_row(p, 0.0, 0.0, {{3, 1.0}, {4, 1.0}, {5, -2.0}});
  linear_row(p, 0.0, 0.0, {{2, 1.0}, {5, -1.0}});
  p.fobj = [](const double* x, double& f, double* g) { return obj51(1.0, x, f, g); };
  const double d = 43.0;
  optimum(p, 176.0 / d, {-33.0 / d, 11.0 / d, 27.0 / d, -5.0 / d, 11.0 / d}, "published", 1e-12);
  return p;
}

NlpProblem hs076(int) {
  NlpProblem p = base("hs076", "hs", 4, {0.5, 0.5, 0.5, 0.5});
  bounds(p, 0.0, kInf);
  linear_row(p, -kInf, 5.0, {{1, 1.0}, {2, 2.0}, {3, 1.0}, {4, 1.0}});
  linear_row(p, -kInf, 4.0, {{1, 3.0}, {2, 1.0}, {3, 2.0}, {4, -1.0}});
  linear_row(p, 1.5, kInf, {{2, 1.0}, {3, 4.0}});
  p.cobj = {-1.0, -3.0, 1.0, -1.0};
  p.fobj = [](const double* x, double& f, double* g) {
    const double x1 = x[0], x2 = x[1], x3 = x[2], x4 = x[3];
    f = x1 * x1 + 0.5 * x2 * x2 + x3 * x3 + 0.5 * x4 * x4 - x1 * x3 + x3 * x4;
    if (g) {
      g[0] = 2.0 * x1 - x3;
      g[1] = x2;
      g[2] = 2.0 * x3 - x1 + x4;
      g[3] = x4 + x3;
    }
    return true;
  };
  optimum(p, -103.0 / 22.0, {3.0 / 11.0, 23.0 / 11.0, 0.0, 6.0 / 11.0}, "published", 1e-12);
  return p;
}

// Colville's first problem: cubic objective, ten linear rows a x >= b.
NlpProblem hs086(int) {
  NlpProblem p = base("hs086", "hs", 5, {0.0, 0.0, 0.0, 0.0, 1.0});
  bounds(p, 0.0, kInf);
  static const double a[10][5] = {{-16, 2, 0, 1, 0},   {0, -2, 0, 4, 2},       {-3.5, 0, 2, 0, 0},
                                  {0, -2, 0, -4, -1},  {0, -9, -2, 1, -2.8},   {2, 0, -4, 0, 0},
                                  {-1, -1, -1, -1, -1}, {-1, -2, -3, -2, -1}, {1, 2, 3, 4, 5},
                                  {1, 1, 1, 1, 1}};
  static const double b[10] = {-40, -2, -0.25, -4, -4, -1, -40, -60, 5, 1};
  for (int i = 0; i < 10; ++i) {
    const int r = linear_row(p, b[i], kInf, {});
    for (int j = 0; j < 5; ++j)
      if (a[i][j] != 0.0) p.lin.push_back({r - 1, j, a[i][j]});
  }
  p.cobj = {-15, -27, -36, -18, -12};
  p.fobj = [](const double* x, double& f, double* g) {
    static const double c[5][5] = {{30, -20, -10, 32, -10},
                                   {-20, 39, -6, -31, 32},
                                   {-10, -6, 10, -6, -10},
                                   {32, -31, -6, 39, -20},
                                   {-10, 32, -10, -20, 30}};
    static const double d[5] = {4, 8, 10, 6, 2};
    f = 0.0;
    for (int j = 0; j < 5; ++j) {
      double cx = 0.0;
      for (int i = 0; i < 5; ++i) cx += c[i][j] * x[i];
      f += cx * x[j] + d[j] * x[j] * x[j] * x[j];
      if (g) g[j] = 2.0 * cx + 3.0 * d[j] * x[j] * x[j];
    }
    return true;
  };
  optimum(p, -32.34867897, {0.3, 0.33346761, 0.4, 0.42831010, 0.22396487}, "published");
  return p;
}

NlpProblem hs110(int) {
  NlpProblem p = base("hs110", "hs", 10, std::vector<double>(10, 9.0));
  bounds(p, 2.001, 9.999);
  p.fobj = [](const double* x, double& f, double* g) {
    double prod = 1.0, s = 0.0;
    for (int j = 0; j < 10; ++j) {
      if (x[j] <= 2.0 || x[j] >= 10.0) return false;
      const double a = std::log(x[j] - 2.0), b = std::log(10.0 - x[j]);
      s += a * a + b * b;
      prod *= x[j];
    }
    const double p2 = std::pow(prod, 0.2);
    f = s - p2;
    if (g)
      for (int j = 0; j < 10; ++j)
        g[j] = 2.0 * std::log(x[j] - 2.0) / (x[j] - 2.0) - 2.0 * std::log(10.0 - x[j]) / (10.0 - x[j]) -
               0.2 * p2 / x[j];
    return true;
  };
  optimum(p, -45.77846971, std::vector<double>(10, 9.35025655), "published");
  return p;
}

// Quadratic over five periods of three columns with ramp limits between
// consecutive periods and a demand per period.
NlpProblem hs118(int) {
  NlpProblem p = base("hs118", "hs", 15,
                      {20, 55, 15, 20, 60, 20, 20, 60, 20, 20, 60, 20, 20, 60, 20});
  bound(p, 1, 8.0, 21.0);
  bound(p, 2, 43.0, 57.0);
  bound(p, 3, 3.0, 16.0);
  for (int k = 1; k <= 4; ++k) {
    bound(p, 3 * k + 1, 0.0, 90.0);
    bound(p, 3 * k + 2, 0.0, 120.0);
    bound(p, 3 * k + 3, 0.0, 60.0);
  }
  for (int j = 1; j <= 4; ++j) {
    linear_row(p, -7.0, 6.0, {{3 * j + 1, 1.0}, {3 * j - 2, -1.0}});
    linear_row(p, -7.0, 7.0, {{3 * j + 2, 1.0}, {3 * j - 1, -1.0}});
    linear_row(p, -7.0, 6.0, {{3 * j + 3, 1.0}, {3 * j, -1.0}});
  }
  const double demand[5] = {60, 50, 70, 85, 100};
  for (int k = 0; k < 5; ++k)
    linear_row(p, demand[k], kInf, {{3 * k + 1, 1.0}, {3 * k + 2, 1.0}, {3 * k + 3, 1.0}});
  p.cobj.resize(15);
  for (int k = 0; k < 5; ++k) {
    p.cobj[3 * k] = 2.3;
    p.cobj[3 * k + 1] = 1.7;
    p.cobj[3 * k + 2] = 2.2;
  }
  p.fobj = [](const double* x, double& f, double* g) {
    f = 0.0;
    for (int j = 0; j < 15; ++j) {
      const double q = j % 3 == 2 ? 0.00015 : 0.0001;
      f += q * x[j] * x[j];
      if (g) g[j] = 2.0 * q * x[j];
    }
    return true;
  };
  optimum(p, 664.8204500, {}, "published");
  return p;
}

}  // namespace

std::vector<Maker> hs_linear() {
  return {{"hs001", hs001}, {"hs002", hs002}, {"hs003", hs003}, {"hs004", hs004}, {"hs005", hs005},
          {"hs009", hs009}, {"hs021", hs021}, {"hs024", hs024}, {"hs028", hs028}, {"hs035", hs035},
          {"hs036", hs036}, {"hs037", hs037}, {"hs038", hs038}, {"hs044", hs044}, {"hs045", hs045},
          {"hs048", hs048}, {"hs049", hs049}, {"hs050", hs050}, {"hs051", hs051}, {"hs052", hs052},
          {"hs053", hs053}, {"hs076", hs076}, {"hs086", hs086}, {"hs110", hs110}, {"hs118", hs118}};
}

}  // namespace tvnlp::detail

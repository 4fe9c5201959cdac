// A small nonlinear problem with scriptable callbacks for the evaluation and
// verification tests.
//
//   f(x)  = x1^2 + 3 x1 x2 + sin(x3)                   (nnobj = 3)
//   c1(x) = x1^2 + x2 x3,   c2(x) = exp(x1) + x3^3     (nncon = 2, nnjac = 3)
//
// Matrix pattern (4 columns, 3 rows; row 3 is linear):
//   column 1: rows 1 2      gcon 1 2
//   column 2: rows 1 3      gcon 3
//   column 3: rows 1 2 3    gcon 4 5
//   column 4: row 3
#pragma once

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "nonlinear/evaluator.h"

namespace evaltest {

using tv::CIvec;
using tv::Dvec;

struct Script {
  // Which entries the callbacks set (1-based masks; true = set).
  bool gset[4] = {false, true, true, true};
  bool jset[6] = {false, true, true, true, true, true};
  bool jset_first_only[6] = {};  // entries set only when nstate == 1
  // Run after each call has written its values: (call number, mode, f or
  // fcon, gobj or gcon).  Tests make a call fail or return bad values here.
  std::function<void(int, int&, double*, double*)> obj_after, con_after;
  // What the callbacks saw.
  int nobj = 0, ncon = 0;
  std::vector<int> obj_nstate, con_nstate, obj_modes;
  std::vector<double> obj_x1;  // x(1) at every funobj call
  std::vector<double> con_x;   // x at the last funcon call
};

inline Script* g_script = nullptr;

// Hook: call number k returns `mode`.
inline auto fail_at(int k, int mode) {
  return [=](int call, int& m, double*, double*) { if (call == k) m = mode; };
}

inline double fval(const double* x) { return x[0] * x[0] + 3 * x[0] * x[1] + std::sin(x[2]); }
inline void gval(const double* x, double* g) {
  g[0] = 2 * x[0] + 3 * x[1], g[1] = 3 * x[0], g[2] = std::cos(x[2]);
}
inline void cval(const double* x, double* c) {
  c[0] = x[0] * x[0] + x[1] * x[2], c[1] = std::exp(x[0]) + x[2] * x[2] * x[2];
}
inline void jval(const double* x, double* j) {
  j[0] = 2 * x[0], j[1] = std::exp(x[0]), j[2] = x[2], j[3] = x[1], j[4] = 3 * x[2] * x[2];
}

// The callbacks read every x they are given and write exactly the documented
// lengths, so an array shorter than that shows up in the sanitizer build.
inline void funobj(int* mode, int* nnobj, double* x, double* fobj, double* gobj, int* nstate,
                   int*, double*, int*) {
  Script& s = *g_script;
  ++s.nobj;
  s.obj_nstate.push_back(*nstate);
  s.obj_modes.push_back(*mode);
  s.obj_x1.push_back(x[0]);
  double xs[3] = {};
  for (int j = 0; j < *nnobj; ++j) xs[j] = x[j];
  *fobj = fval(xs);
  if (*mode == 2) {
    double g[3];
    gval(xs, g);
    for (int j = 0; j < *nnobj; ++j) {
      if (s.gset[j + 1]) gobj[j] = g[j];
    }
  }
  if (s.obj_after) s.obj_after(s.nobj, *mode, fobj, gobj);
}

inline void funcon(int* mode, int* nncon, int* nnjac, int* njac, double* x, double* fcon,
                   double* gcon, int* nstate, int*, double*, int*) {
  Script& s = *g_script;
  ++s.ncon;
  s.con_nstate.push_back(*nstate);
  s.con_x.assign(x, x + *nnjac);
  double c[2];
  cval(x, c);
  for (int i = 0; i < *nncon; ++i) fcon[i] = c[i];
  if (*mode == 2) {
    double jv[5];
    jval(x, jv);
    for (int l = 0; l < *njac; ++l) {
      const bool set = s.jset[l + 1] || (s.jset_first_only[l + 1] && *nstate == 1);
      if (set) gcon[l] = jv[l];
    }
  }
  if (s.con_after) s.con_after(s.ncon, *mode, fcon, gcon);
}

// The problem's arrays, each of exactly its documented length.
struct Fixture {
  static constexpr int kPrt = 9, kSum = 10;
  static constexpr int nnobj = 3, nncon = 2, nnjac = 3, njac = 5, n = 4;
  std::vector<int> ha{1, 2, 1, 3, 1, 2, 3, 3};
  std::vector<int> ka{1, 3, 5, 8, 9};
  std::vector<double> x{0.5, -1.25, 1.0};
  std::vector<double> gobj = std::vector<double>(3), gwork = std::vector<double>(3);
  std::vector<double> fcon = std::vector<double>(2), gcon = std::vector<double>(5);
  std::vector<double> cplus = std::vector<double>(2), cminus = std::vector<double>(2);
  std::vector<double> keep = std::vector<double>(5), xsave = std::vector<double>(3);
  std::vector<double> scales{2.0, 4.0, 0.5, 1.0, 10.0, 0.1, 1.0};
  double fobj = 0.0;
  tv::Units io;
  Script script;
  tv::Evaluator ev;

  Fixture() {
    g_script = &script;
    io.attach_buffer(kPrt);
    io.attach_buffer(kSum);
    ev.funobj = funobj;
    ev.funcon = funcon;
    ev.io = &io;
    ev.prtfile = kPrt;
    ev.sumfile = kSum;
    ev.fwdint = std::sqrt(3.000213634488528E-13);
    ev.cenint = std::pow(3.000213634488528E-13, 0.333333);
    ev.gconkeep = Dvec(keep.data(), 5);
    ev.xsave = Dvec(xsave.data(), 3);
    ev.n = n;
    ev.scales = tv::CDvec(scales.data(), 7);
    tv::m6start(ev);
  }
  ~Fixture() { g_script = nullptr; }

  static Dvec v(std::vector<double>& a) { return Dvec(a.data(), static_cast<int>(a.size())); }
  CIvec hav() const { return CIvec(ha.data(), static_cast<int>(ha.size())); }
  CIvec kav() const { return CIvec(ka.data(), static_cast<int>(ka.size())); }

  void fobj_call(int mode) { tv::m6fobj(ev, mode, nnobj, fobj, v(gobj), v(x)); }
  void fcon_call(int mode) {
    tv::m6fcon(ev, mode, nncon, nnjac, njac, hav(), kav(), v(x), v(fcon), v(gcon));
  }
  void dobj() { tv::m6dobj(ev, nnobj, fobj, v(gobj), v(x), v(gwork)); }
  void dcon() {
    tv::m6dcon(ev, nncon, nnjac, njac, hav(), kav(), v(fcon), v(x), v(gcon), v(cplus), v(cminus));
  }
  std::string prt() const { return io.buffer(kPrt); }
  std::string sum() const { return io.buffer(kSum); }
};

inline bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace evaltest

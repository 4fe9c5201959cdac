// Helpers of the option tests: a context with buffer units, resolving the
// defaults for a problem of given size, and output split into lines.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "core/context.h"
#include "options/options.h"
#include "options/params.h"

namespace optest {

constexpr int kPrint = 9;
constexpr int kSumm = 10;
constexpr int kSpecs = 4;

// A fresh context: print and summary buffers, every parameter reset.
inline void fresh(tv::Context& ctx, int iprint = kPrint, int isumm = kSumm) {
  if (iprint > 0) ctx.io.attach_buffer(iprint);
  if (isumm > 0) ctx.io.attach_buffer(isumm);
  ctx.par.prtfile = iprint;
  ctx.par.sumfile = isumm;
  tv::m3dflt(ctx, 1);
}

// Store a problem's dimensions as the entry does, then resolve the defaults.
inline void resolve(tv::Context& ctx, int m, int n, int ne, int nncon = 0, int nnobj = 0, int nnjac = 0,
                    int nwork = 100000) {
  tv::Params& p = ctx.par;
  p.rowlim = m;
  p.collim = n;
  p.elmlim = ne;
  p.nncon = nncon;
  p.nnobj = nnobj;
  p.nnjac = nnjac;
  p.wstotal = nwork;
  tv::m3dflt(ctx, 2);
}

inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string s;
  while (std::getline(in, s)) out.push_back(s);
  return out;
}

// Apply one phrase with the buffer units; returns the errors counted.
inline int phrase(tv::Context& ctx, const std::string& text) {
  int errors = 0;
  tv::tvopt(ctx, text, kPrint, kSumm, errors);
  return errors;
}

}  // namespace optest

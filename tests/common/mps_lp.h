// A test problem read from an MPS file, as a TestLP.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/lp.h"
#include "core/context.h"
#include "files/mps.h"

namespace tvtest {

// Netlib problem `name` from the test data (EXPECTs a clean read).
inline TestLP netlib_lp(const std::string& name) {
  tv::Context ctx;
  tv::MpsModel M;
  const int rc = tv::mps_read(ctx, std::string(TARVO_TEST_DATA) + "/netlib/" + name + ".mps", M);
  if (rc != 0) ADD_FAILURE() << "cannot read " << name << ": " << rc;
  TestLP lp;
  lp.m = M.m;
  lp.n = M.n;
  lp.objrow = M.objrow;
  lp.objconst = M.objconst;
  lp.a = M.a;
  lp.ha = M.ha;
  lp.ka = M.ka;
  lp.bl = M.bl;
  lp.bu = M.bu;
  lp.hs = M.hs;
  lp.xn = M.xn;
  lp.rc = M.rc;
  lp.pi.assign(M.m, 0.0);
  lp.name1.assign(1, 0);
  lp.name2.assign(1, 0);
  return lp;
}

}  // namespace tvtest

// The start-up sequence of a cold cycle in the real workspace: row types in
// bsfeas, scales from the y and y2 regions, crash with kbs as row states.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/m2amat.h"
#include "core/run_state.h"
#include "core/setup.h"
#include "files/mps.h"
#include "lu/m2crsh.h"
#include "lu/m2scal.h"
#include "options/params.h"
#include "simplex/simplex_state.h"

using namespace tv;

namespace {

struct Startup {
  Context ctx;
  MpsModel M;
  std::vector<double> z;

  Startup(const std::string& name, int scaleopt) {
    EXPECT_EQ(mps_read(ctx, std::string(TARVO_TEST_DATA) + "/netlib/" + name + ".mps", M), 0);
    ctx.run.m = M.m;
    ctx.run.n = M.n;
    ctx.run.ne = M.ne;
    ctx.run.njac = 0;
    ctx.par.scaleopt = scaleopt;
    ctx.par.scaletol = 0.9;
    ctx.par.feastol = 1.0E-6;
    ctx.par.crashtol = 0.1;
    ctx.par.maxs = 1;
    ctx.par.hdim = 1;
    ctx.par.wsuser = 0;
    const int nwork = static_cast<int>(partition_workspace(ctx, 0));
    partition_workspace(ctx, nwork);
    z.assign(nwork, 0.0);
    bind_workspace(ctx, z.data(), nwork);
  }
};

}  // namespace

TEST(Startup, ScaleThenCrashInTheWorkspace) {
  for (const char* name : {"afiro", "blend", "share2b", "boeing1", "degen2"}) {
    for (int crashopt = 0; crashopt <= 3; ++crashopt) {
      Startup s(name, 2);
      SCOPED_TRACE(strf("%s, Crash option %d", name, crashopt));
      const MpsModel orig = s.M;
      Problem P = s.M.problem();
      const int m = P.m;
      s.ctx.par.crashopt = crashopt;
      s.ctx.spx.jobj = P.objrow > 0 ? P.n + P.objrow : 0;

      Ivec rowtype = s.ctx.ws.ivec(s.ctx.part.bsfeas);
      m2amat(s.ctx, 2, P, rowtype);
      const std::vector<int32_t> types(rowtype.begin(), rowtype.begin() + m);

      Dvec sc = s.ctx.ws.dvec(s.ctx.part.scales);
      m2scal(s.ctx, P, rowtype, sc, s.ctx.ws.dvec(s.ctx.part.y).head(m), s.ctx.ws.dvec(s.ctx.part.y2).head(m));
      m2scla(s.ctx, 1, P, sc);
      EXPECT_EQ(s.ctx.run.objscale, sc(P.n + P.objrow));

      const CrashStats st = m2crsh(s.ctx, crashopt, P, rowtype, s.ctx.ws.ivec(s.ctx.part.kbs));
      EXPECT_EQ(std::vector<int32_t>(rowtype.begin(), rowtype.begin() + m), types);  // row types intact
      EXPECT_EQ(std::count(s.M.hs.begin(), s.M.hs.end(), 3), m);
      EXPECT_EQ(st.nbasic, m);
      if (crashopt > 0) {
        // Every crashed row is covered once: by its slack, a column or padding.
        EXPECT_EQ(st.slacks + st.freecols + st.preferred + st.unit + st.dbl + st.triangle + st.pad, st.ncrash);
      }
      for (int j = 1; j <= P.nb; ++j) {
        ASSERT_TRUE(P.hs(j) >= -1 && P.hs(j) <= 3) << j;
      }

      m2scla(s.ctx, 0, P, sc);
      EXPECT_EQ(s.ctx.run.objscale, 1.0);
      int bad = 0;
      for (int j = 0; j < P.nb; ++j) {
        if (std::fabs(s.M.bl[j] - orig.bl[j]) > 1e-15 * std::fabs(orig.bl[j])) ++bad;
        if (std::fabs(s.M.bu[j] - orig.bu[j]) > 1e-15 * std::fabs(orig.bu[j])) ++bad;
      }
      for (int k = 0; k < P.ne; ++k) {
        if (std::fabs(s.M.a[k] - orig.a[k]) > 1e-15 * std::fabs(orig.a[k])) ++bad;
      }
      EXPECT_EQ(bad, 0);
    }
  }
}

// Netlib problems handed to the plug-in by the host driver: the optimum
// against the known value and the command-line solver, and the solution the
// host receives against the optimality conditions in the host's convention
// (marginal of a column = its cost minus the row marginals times its
// coefficients; for a minimisation >= 0 at a lower bound, <= 0 at an upper
// bound, 0 when basic; row marginals >= 0 on =g=, <= 0 on =l= rows and 0
// off their limits; every sign the other way round for a maximisation).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/netlib.h"
#include "host_result.h"
#include "link_test_util.h"

namespace {

using linktest::HostResult;
using linktest::Record;
using linktest::TempDir;

// The model file as written by the converter.
struct HostModel {
  struct Col {
    double lo, up;
  };
  struct Row {
    std::string type;
    double rhs;
  };
  bool maximize = false;
  double objconst = 0.0;
  std::map<std::string, Col> cols;
  std::map<std::string, Row> rows;
  std::map<std::string, double> cost;
  std::map<std::string, std::vector<std::pair<std::string, double>>> colent;  // column -> (row, value)
};

HostModel read_model(const std::string& path) {
  HostModel h;
  std::ifstream f(path);
  for (std::string l; std::getline(f, l);) {
    std::istringstream in(l);
    std::string w, a, b, c;
    in >> w;
    if (w == "sense") {
      in >> a;
      h.maximize = a == "max";
    } else if (w == "objconst") {
      in >> h.objconst;
    } else if (w == "col") {
      in >> a >> b >> c;
      h.cols[a] = {std::strtod(b.c_str(), nullptr), std::strtod(c.c_str(), nullptr)};
    } else if (w == "row") {
      in >> a >> b >> c;
      h.rows[a] = {b, std::strtod(c.c_str(), nullptr)};
    } else if (w == "coef") {
      double v;
      in >> a >> b >> v;
      if (a == "obj") h.cost[b] += v;
      else h.colent[b].push_back({a, v});
    }
  }
  return h;
}

double cli_objective(const std::string& mps) {
  linktest::Run r = linktest::run_command(std::string("'") + TARVO_CLI + "' -q '" + mps + "'");
  const size_t at = r.out.find(" Objective value");
  EXPECT_NE(at, std::string::npos) << r.out;
  return at == std::string::npos ? NAN : std::strtod(r.out.c_str() + at + 16, nullptr);
}

struct Case {
  const char* name;
  bool negate;  // maximise the negated objective
};

class NetlibThroughHost : public ::testing::TestWithParam<Case> {};

TEST_P(NetlibThroughHost, OptimumAndOptimalityConditions) {
  const Case c = GetParam();
  TempDir dir;
  const std::string mps = std::string(TARVO_TEST_DATA) + "/netlib/" + c.name + ".mps";
  const std::string file = dir.file("model.txt");
  linktest::Run conv = linktest::run_command(std::string("'") + TVHOST_MPS2HOST + "' " +
                                             (c.negate ? "--negate " : "") + "'" + mps + "' '" + file + "'");
  ASSERT_EQ(conv.status, 0) << conv.out;
  std::ofstream(file, std::ios::app) << "env ScratchDir " << dir.path() << "\n";
  const HostModel M = read_model(file);

  linktest::Run r = linktest::run_driver("--values '" + file + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  const HostResult h = linktest::parse_result(r.out);
  ASSERT_EQ(h.modelstat, 1) << r.out;
  ASSERT_EQ(h.solvestat, 1);
  ASSERT_TRUE(h.has_objective);

  // The optimum: known value and the command-line solver.
  const double sign = c.negate ? -1.0 : 1.0;
  const double opt = sign * tvtest::netlib_optimum(c.name);
  EXPECT_NEAR(h.objective, opt, 1e-6 * std::max(1.0, std::fabs(opt)));
  const double cli = sign * cli_objective(mps);
  EXPECT_NEAR(h.objective, cli, 1e-6 * std::max(1.0, std::fabs(cli)));

  // Every row but the free ones, every column.
  size_t nfree = 0;
  for (const auto& [name, row] : M.rows) nfree += row.type == "=n=";
  ASSERT_EQ(h.rows.size(), M.rows.size() - nfree);
  ASSERT_EQ(h.cols.size(), M.cols.size());

  double ymax = 1.0;
  for (const auto& [name, rec] : h.rows) ymax = std::max(ymax, std::fabs(rec.marginal));
  const double told = 1e-6 * ymax;  // dual tolerance, relative to the largest price
  auto tolp = [](double v) { return 1e-5 * std::max(1.0, std::fabs(v)); };
  const double dir_sign = M.maximize ? -1.0 : 1.0;  // marginals of a maximisation are negated

  // Objective and row activities from the levels.
  double obj = M.objconst, objscale = 1.0;
  std::map<std::string, double> activity, actscale;
  for (const auto& [name, col] : M.cols) {
    const double x = h.cols.at(name).level;
    auto it = M.cost.find(name);
    if (it != M.cost.end()) {
      obj += it->second * x;
      objscale += std::fabs(it->second * x);
    }
    auto ent = M.colent.find(name);
    if (ent == M.colent.end()) continue;
    for (const auto& [row, v] : ent->second) {
      activity[row] += v * x;
      actscale[row] += std::fabs(v * x);
    }
  }
  EXPECT_NEAR(obj, h.objective, 1e-9 * objscale);

  int checked = 0;
  for (const auto& [name, row] : M.rows) {
    if (row.type == "=n=") continue;
    SCOPED_TRACE("row " + name);
    const Record& rec = h.rows.at(name);
    // The level is the solver's basic value: the activity up to rounding.
    EXPECT_NEAR(rec.level, activity[name], 1e-7 * (1.0 + actscale[name]));
    const double y = dir_sign * rec.marginal;
    const bool at_limit = std::fabs(rec.level - row.rhs) <= tolp(row.rhs);
    if (row.type == "=g=") {
      EXPECT_GE(rec.level, row.rhs - tolp(row.rhs));
      EXPECT_GE(y, -told);
    } else if (row.type == "=l=") {
      EXPECT_LE(rec.level, row.rhs + tolp(row.rhs));
      EXPECT_LE(y, told);
    } else {
      EXPECT_TRUE(at_limit) << rec.level << " " << row.rhs;
    }
    if (std::fabs(y) > told) {
      EXPECT_TRUE(at_limit) << rec.level << " " << row.rhs << " " << y;
    }
    if (rec.basis == 2) {
      EXPECT_EQ(rec.marginal, 0.0);
    } else if (rec.basis == 0 || rec.basis == 1) {
      EXPECT_TRUE(at_limit) << rec.level << " " << row.rhs;
    }
    EXPECT_EQ(rec.cond, 0);
    ++checked;
  }
  for (const auto& [name, col] : M.cols) {
    SCOPED_TRACE("column " + name);
    const Record& rec = h.cols.at(name);
    EXPECT_GE(rec.level, col.lo - tolp(col.lo));
    EXPECT_LE(rec.level, col.up + tolp(col.up));
    // Cost minus prices times the column: the marginal the host must get.
    double d = M.cost.count(name) ? M.cost.at(name) : 0.0, dscale = std::fabs(d);
    auto ent = M.colent.find(name);
    if (ent != M.colent.end())
      for (const auto& [row, v] : ent->second) {
        d -= v * h.rows.at(row).marginal;
        dscale += std::fabs(v * h.rows.at(row).marginal);
      }
    EXPECT_NEAR(d, rec.marginal, told + 1e-9 * dscale);
    const double dj = dir_sign * d;
    switch (rec.basis) {
      case 0:
        EXPECT_NEAR(rec.level, col.lo, tolp(col.lo));
        EXPECT_GE(dj, -told);
        break;
      case 1:
        EXPECT_NEAR(rec.level, col.up, tolp(col.up));
        EXPECT_LE(dj, told);
        break;
      case 2:
        EXPECT_EQ(rec.marginal, 0.0);
        break;
      default:
        EXPECT_NEAR(dj, 0.0, told);
    }
    // Off both bounds a column must not be able to improve the objective.
    if (rec.level > col.lo + tolp(col.lo)) {
      EXPECT_LE(dj, told);
    }
    if (rec.level < col.up - tolp(col.up)) {
      EXPECT_GE(dj, -told);
    }
    EXPECT_EQ(rec.cond, 0);
    ++checked;
  }
  EXPECT_EQ(checked, static_cast<int>(h.rows.size() + h.cols.size()));
}

const Case kCases[] = {
    {"adlittle", false}, {"afiro", false},    {"agg", false},      {"bandm", false},   {"beaconfd", false},
    {"blend", false},    {"boeing1", false},  {"bore3d", false},   {"degen2", false},  {"e226", false},
    {"etamacro", false}, {"forplan", false},  {"grow7", false},    {"israel", false},  {"lotfi", false},
    {"recipe", false},   {"sc105", false},    {"sc205", false},    {"sc50a", false},   {"sc50b", false},
    {"scagr7", false},   {"scfxm1", false},   {"scorpion", false}, {"sctap1", false},  {"share2b", false},
    {"tuff", false},     {"afiro", true},     {"blend", true},     {"e226", true},     {"boeing1", true},
    {"israel", true},
};

INSTANTIATE_TEST_SUITE_P(Netlib, NetlibThroughHost, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) {
                           return std::string(i.param.name) + (i.param.negate ? "_max" : "");
                         });

}  // namespace

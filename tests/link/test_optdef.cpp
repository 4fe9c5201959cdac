// The option definitions the link ships for the host: every option, as the
// host passes it, is a phrase the SPECS parser accepts, and does what its
// name says.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/units.h"
#include "options/options.h"
#include "options/params.h"

namespace {

struct Def {
  std::string name, type, dflt;
  int group = -1;
  std::vector<std::string> allowed;
};

std::vector<Def> read_defs() {
  std::ifstream f(TVLINK_DEF);
  std::vector<Def> defs;
  for (std::string line; std::getline(f, line);) {
    line = line.substr(0, line.find('*'));
    std::istringstream ls(line);
    Def d;
    if (!(ls >> d.name)) continue;
    ls >> d.type >> d.group >> d.dflt;
    for (std::string a; ls >> a;) d.allowed.push_back(a);
    defs.push_back(d);
  }
  return defs;
}

std::string blanks(std::string s) {
  for (auto& c : s)
    if (c == '_') c = ' ';
  return s;
}

// The phrase the link builds for a value, applied to ctx; returns the errors.
int apply(tv::Context& ctx, const Def& d, const std::string& value) {
  int errors = 0;
  const std::string name = blanks(d.name);
  if (d.type == "integer") {
    tv::tvopti(ctx, name, std::stoi(value), 0, 0, errors);
  } else if (d.type == "double") {
    tv::tvopt(ctx, tv::strf("%s %g", name.c_str(), std::stod(value)), 0, 0, errors);
  } else {
    tv::tvopt(ctx, name + " " + value, 0, 0, errors);
  }
  return errors;
}

TEST(OptionDefinitions, EveryOptionIsAPhraseTheParserAccepts) {
  const auto defs = read_defs();
  ASSERT_GE(defs.size(), 50u);
  std::set<std::string> names;
  int errors = 0, phrases = 0;
  for (const Def& d : defs) {
    SCOPED_TRACE(d.name);
    EXPECT_TRUE(names.insert(d.name).second) << "defined twice";
    EXPECT_TRUE(d.type == "integer" || d.type == "double" || d.type == "string");
    EXPECT_GE(d.group, 0);
    EXPECT_EQ(d.name.find(' '), std::string::npos);
    std::vector<std::string> values{d.dflt};
    if (d.type == "string") {
      ASSERT_FALSE(d.allowed.empty());
      values = d.allowed;
    }
    for (const auto& v : values) {
      tv::Context ctx;
      const int e = apply(ctx, d, v);
      EXPECT_EQ(e, 0) << "value " << v;
      errors += e;
      ++phrases;
    }
  }
  EXPECT_EQ(errors, 0) << "of " << phrases << " phrases";
  EXPECT_TRUE(names.count("summary_frequency"));
}

// The derivative-check phrases: START reads its fourth word, STOP its second.
TEST(OptionDefinitions, OptionsSetTheirParameters) {
  const auto defs = read_defs();
  auto def = [&](const std::string& name) {
    for (const auto& d : defs)
      if (d.name == name) return d;
    ADD_FAILURE() << name << " missing";
    return Def{};
  };
  tv::Context ctx;
  EXPECT_EQ(apply(ctx, def("start_column_for_objective_check"), "3"), 0);
  EXPECT_EQ(apply(ctx, def("stop_objective_check_at_column"), "7"), 0);
  EXPECT_EQ(apply(ctx, def("start_column_for_constraint_check"), "4"), 0);
  EXPECT_EQ(apply(ctx, def("stop_constraint_check_at_column"), "9"), 0);
  EXPECT_EQ(ctx.par.objchk1, 3);
  EXPECT_EQ(ctx.par.objchk2, 7);
  EXPECT_EQ(ctx.par.conchk1, 4);
  EXPECT_EQ(ctx.par.conchk2, 9);
  EXPECT_EQ(apply(ctx, def("start_assigned_nonlinears"), "basic"), 0);
  EXPECT_EQ(ctx.par.nlstart, 3);
  EXPECT_EQ(apply(ctx, def("iterations_limit"), "200"), 0);
  EXPECT_EQ(ctx.par.itnmax, 200);
  EXPECT_EQ(apply(ctx, def("major_iterations_limit"), "20"), 0);
  EXPECT_EQ(ctx.par.majmax, 20);
  EXPECT_EQ(apply(ctx, def("feasibility_tolerance"), "0.000123456789"), 0);
  EXPECT_EQ(ctx.par.feastol, 0.000123457);  // "%g" keeps six digits
  EXPECT_EQ(apply(ctx, def("row_tolerance"), "1e-7"), 0);
  EXPECT_EQ(ctx.par.rowtol, 1e-7);
  EXPECT_EQ(apply(ctx, def("lu"), "rook"), 0);
  EXPECT_EQ(ctx.par.lupivot(), 1);
  EXPECT_EQ(apply(ctx, def("lu_factor_tolerance"), "4.5"), 0);
  EXPECT_EQ(ctx.par.lufactol(), 4.5);
  EXPECT_EQ(apply(ctx, def("print_frequency"), "10"), 0);
  EXPECT_EQ(ctx.par.logfreq, 10);
  EXPECT_EQ(apply(ctx, def("summary_frequency"), "5"), 0);
  EXPECT_EQ(ctx.par.sumfreq, 5);
  EXPECT_EQ(apply(ctx, def("jacobian"), "dense"), 0);
  EXPECT_EQ(ctx.par.jacform, 1);
  EXPECT_EQ(apply(ctx, def("scale_tolerance"), "0.8"), 0);
  EXPECT_EQ(ctx.par.scaletol, 0.8);
  EXPECT_EQ(apply(ctx, def("unbounded_objective_value"), "1e+15"), 0);
  EXPECT_EQ(ctx.par.bigobj, 1e15);
  // The word order matters: the obvious spelling of a START phrase is rejected.
  int errors = 0;
  tv::tvopti(ctx, "start objective check at column", 3, 0, 0, errors);
  EXPECT_EQ(errors, 1);
}

}  // namespace

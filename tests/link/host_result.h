// What the host driver reports after a solve, parsed from its "===" lines.
#pragma once

#include <map>
#include <sstream>
#include <string>

#include "link_test_util.h"

namespace linktest {

struct Record {
  double level = 0.0, marginal = 0.0;
  int basis = -1, cond = -1;
};

struct HostResult {
  int modelstat = -1, solvestat = -1;
  bool has_objective = false;
  double objective = 0.0;
  int iterations = -1;
  int nrows = -1, ncols = -1;  // records written
  std::map<std::string, Record> rows, cols;
  std::string column_order, row_order;
  bool completed = false;
};

inline HostResult parse_result(const std::string& out) {
  HostResult h;
  for (const std::string& l : lines(out)) {
    if (l.rfind("=== ", 0) != 0) continue;
    if (l.rfind("=== column order ", 0) == 0) {
      h.column_order = l.substr(17);
      continue;
    }
    if (l.rfind("=== row order ", 0) == 0) {
      h.row_order = l.substr(14);
      continue;
    }
    std::istringstream in(l.substr(4));
    std::string w;
    in >> w;
    if (w == "model") {
      in >> w >> h.modelstat;
    } else if (w == "solve") {
      in >> w >> h.solvestat;
    } else if (w == "objective") {
      h.has_objective = static_cast<bool>(in >> h.objective);
    } else if (w == "iterations") {
      in >> h.iterations;
    } else if (w == "records") {
      in >> h.nrows >> w >> h.ncols;
    } else if (w == "row" || w == "col") {
      std::string name;
      Record r;
      in >> name >> r.level >> r.marginal >> r.basis >> r.cond;
      (w == "row" ? h.rows : h.cols)[name] = r;
    } else if (w == "solution") {
      h.completed = true;
    }
  }
  return h;
}

}  // namespace linktest

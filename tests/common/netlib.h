// The Netlib test problems in tests/data/netlib and their published optima
// (optimal.csv: name,rows,cols,nonzeros,optimal_objective,source), read once.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tvtest {

inline std::string netlib_dir() { return std::string(TARVO_TEST_DATA) + "/netlib"; }

struct NetlibRow {
  std::string name;
  int rows = 0, cols = 0, nonzeros = 0;
  double optimal = 0.0;
};

inline const std::vector<NetlibRow>& netlib_table() {
  static const std::vector<NetlibRow> table = [] {
    std::vector<NetlibRow> out;
    std::ifstream f(netlib_dir() + "/optimal.csv");
    std::string line;
    std::getline(f, line);  // header
    while (std::getline(f, line)) {
      std::stringstream ss(line);
      std::string cell[5];
      for (std::string& c : cell) std::getline(ss, c, ',');
      if (cell[0].empty() || cell[4].empty()) continue;
      out.push_back({cell[0], std::stoi(cell[1]), std::stoi(cell[2]), std::stoi(cell[3]), std::stod(cell[4])});
    }
    return out;
  }();
  return table;
}

// The published optimum of problem `name` (a failure when it is not listed).
inline double netlib_optimum(const std::string& name) {
  for (const NetlibRow& r : netlib_table()) {
    if (r.name == name) return r.optimal;
  }
  ADD_FAILURE() << name << " is not in optimal.csv";
  return 0.0;
}

}  // namespace tvtest

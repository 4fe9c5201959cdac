// Golden-text comparison of print and summary files.
//
// The expected text lives in tests/<area>/golden/<name>.txt.  Run the tests
// with TARVO_UPDATE_GOLDEN=1 in the environment to rewrite the files after a
// deliberate change of a layout (then review the difference with git).
// Timing lines are masked before the comparison and before writing.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace tvtest {

// Replace the seconds of every timing line by a fixed marker.
inline std::string mask_timing(const std::string& text) {
  std::istringstream in(text);
  std::string line, out;
  while (std::getline(in, line)) {
    const bool timing = line.rfind(" Time for ", 0) == 0 || line.rfind(" Last time for ", 0) == 0 ||
                        line.rfind(" Mean time for ", 0) == 0;
    if (timing && line.size() > 37) line = line.substr(0, 37) + "    <seconds> seconds";
    out += line;
    out += '\n';
  }
  return out;
}

inline std::string golden_path(const std::string& area, const std::string& name) {
  return std::string(TARVO_TEST_DATA) + "/../" + area + "/golden/" + name + ".txt";
}

// Compare `actual` (timing masked) with the golden file, or rewrite it.
inline void expect_golden(const std::string& area, const std::string& name, const std::string& actual) {
  const std::string text = mask_timing(actual);
  const std::string path = golden_path(area, name);
  const char* update = std::getenv("TARVO_UPDATE_GOLDEN");
  if (update && *update && std::string(update) != "0") {
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(out.good()) << "cannot write " << path;
    out << text;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in.good()) << "missing golden file " << path
                         << " (run with TARVO_UPDATE_GOLDEN=1 to create it)";
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string expected = ss.str();
  if (expected == text) return;
  // Report the first differing line.
  std::istringstream a(expected), b(text);
  std::string la, lb;
  int line = 0;
  while (true) {
    ++line;
    const bool ga = static_cast<bool>(std::getline(a, la));
    const bool gb = static_cast<bool>(std::getline(b, lb));
    if (!ga && !gb) break;
    if (!ga || !gb || la != lb) {
      ADD_FAILURE() << name << ": first difference at line " << line << "\n expected: [" << (ga ? la : "<end>")
                    << "]\n actual:   [" << (gb ? lb : "<end>") << "]\n(set TARVO_UPDATE_GOLDEN=1 to rewrite "
                    << path << ")";
      return;
    }
  }
  ADD_FAILURE() << name << ": texts differ in line ends";
}

}  // namespace tvtest

// Running the tarvo command from the tests: its path, output and status,
// the test data, temporary files and fields of the command's summary.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace clitest {

// build/tests/test_cli -> build/cli/tarvo, unless TARVO_CLI says otherwise.
inline std::string tarvo_path() {
  if (const char* p = std::getenv("TARVO_CLI")) return p;
  char buf[PATH_MAX] = {};
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string exe(buf, n > 0 ? static_cast<size_t>(n) : 0);
  std::string dir = exe.substr(0, exe.rfind('/'));
  dir = dir.substr(0, dir.rfind('/'));
  return dir + "/cli/tarvo";
}

struct Cmd {
  int status = -1;
  std::string out;  // standard output and standard error
};

inline Cmd run(const std::string& args) {
  Cmd r;
  std::string cmd = tarvo_path() + " " + args + " 2>&1 </dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t got;
  while ((got = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, got);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

inline std::string data(const std::string& f) { return std::string(TARVO_TEST_DATA) + "/netlib/" + f; }
inline std::string example(const std::string& f) { return std::string(TARVO_TEST_DATA) + "/../../examples/" + f; }

inline std::string slurp(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline std::string temp(const std::string& name) { return testing::TempDir() + "tarvo_cli_" + name; }

// The value after a label on a line of the command's summary.
inline bool field(const std::string& out, const std::string& label, std::string& value) {
  size_t p = out.find("\n " + label);
  if (p == std::string::npos) return false;
  p += label.size() + 2;
  size_t e = out.find('\n', p);
  std::stringstream ss(out.substr(p, e - p));
  ss >> value;
  return !value.empty();
}

// Result code printed by the command, -1 if none.
inline int result_of(const Cmd& r) {
  std::string v;
  return field(r.out, "Result", v) ? std::atoi(v.c_str()) : -1;
}

}  // namespace clitest

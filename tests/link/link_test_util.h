// Helpers of the link tests: scratch directories, files, the host driver.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace linktest {

// A fresh directory under /tmp, removed with its files at the end.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/tvlinkXXXXXX";
    const char* d = mkdtemp(tmpl);
    path_ = d ? d : "/tmp";
  }
  ~TempDir() {
    if (path_ != "/tmp") {
      std::string cmd = "rm -rf '" + path_ + "'";
      if (std::system(cmd.c_str()) != 0) {
      }
    }
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::string write(const std::string& name, const std::string& text) const {
    std::ofstream(file(name)) << text;
    return file(name);
  }

 private:
  std::string path_;
};

inline std::string read_file(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

struct Run {
  int status = -1;  // exit code, or -1 when the driver did not exit normally
  std::string out;  // standard output and standard error
};

// Run a command line (already quoted as needed), output and errors together.
inline Run run_command(const std::string& command) {
  Run r;
  std::string cmd = command + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  // Under the sanitizers a report must not pass for an ordinary exit code.
  EXPECT_EQ(r.out.find("Sanitizer"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("runtime error:"), std::string::npos) << r.out;
  return r;
}

// Run the host driver with the given arguments (already quoted as needed).
inline Run run_driver(const std::string& args) { return run_command(std::string("'") + TVHOST_DRIVER + "' " + args); }

inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

inline int count(const std::string& text, const std::string& what) {
  int k = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++k;
  return k;
}

// A small linear model: two columns, one row, an objective.
inline std::string small_model(const std::string& extra) {
  return "name small\n"
         "col x 0 inf\n"
         "col y 0 10\n"
         "row r1 =g= 1\n"
         "coef r1 x 1\n"
         "coef r1 y 1\n"
         "coef obj x 2\n"
         "coef obj y 3\n" +
         extra;
}

}  // namespace linktest

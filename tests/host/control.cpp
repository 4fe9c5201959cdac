#include "control.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <map>
#include <sstream>
#include <string>

namespace {

struct Control {
  std::mutex mu;
  std::set<std::string> omit, fail, failjunk;
  std::map<std::string, int> overcount;
  std::map<std::string, int> version;
  // failafter: calls that succeed before the function fails, and calls so far.
  std::map<std::string, long> fail_after, calls;
  bool capturing = false;
  std::string captured, snapshot;
};

Control& ctl() {
  static Control* c = new Control;  // lives until the process ends
  return *c;
}

int add_lines(Control& c, const std::string& text) {
  std::istringstream in(text);
  std::string line;
  int bad = 0;
  while (std::getline(in, line)) {
    auto star = line.find('*');
    if (star != std::string::npos) line.erase(star);
    std::istringstream ls(line);
    std::string word, arg;
    if (!(ls >> word)) continue;
    if (word == "omit" && ls >> arg) {
      c.omit.insert(arg);
    } else if (word == "fail" && ls >> arg) {
      c.fail.insert(arg);
    } else if (word == "failafter" && ls >> arg) {
      long k;
      if (ls >> k && k >= 0) {
        c.fail_after[arg] = k;
        c.calls[arg] = 0;
      } else {
        ++bad;
      }
    } else if (word == "failjunk" && ls >> arg) {
      c.failjunk.insert(arg);
    } else if (word == "overcount" && ls >> arg) {
      int k;
      if (ls >> k && k >= 0) c.overcount[arg] = k; else ++bad;
    } else if (word == "version" && ls >> arg) {
      int v;
      if (ls >> v) c.version[arg] = v; else ++bad;
    } else {
      ++bad;
    }
  }
  return bad;
}

__attribute__((constructor)) void load_from_environment() {
  const char* path = std::getenv("TVHOST_CONTROL");
  if (path && *path) {
    if (tvhost_control_file(path) != 0)
      std::fprintf(stderr, "tvhost: bad control file %s\n", path);
  }
}

}  // namespace

extern "C" {

void tvhost_control_reset(void) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  c.omit.clear();
  c.fail.clear();
  c.failjunk.clear();
  c.overcount.clear();
  c.version.clear();
  c.fail_after.clear();
  c.calls.clear();
}

int tvhost_control_add(const char* text) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  return add_lines(c, text ? text : "");
}

int tvhost_control_file(const char* path) {
  std::ifstream f(path ? path : "");
  if (!f) return -1;
  std::stringstream ss;
  ss << f.rdbuf();
  return tvhost_control_add(ss.str().c_str());
}

int tvhost_omitted(const char* function) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  return c.omit.count(function ? function : "") ? 1 : 0;
}

int tvhost_fails(const char* function) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  const std::string fn = function ? function : "";
  if (c.fail.count(fn)) return 1;
  auto k = c.fail_after.find(fn);
  return k != c.fail_after.end() && ++c.calls[fn] > k->second ? 1 : 0;
}

int tvhost_fails_junk(const char* function) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  return c.failjunk.count(function ? function : "") ? 1 : 0;
}

int tvhost_overcount(const char* function) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  auto it = c.overcount.find(function ? function : "");
  return it == c.overcount.end() ? 0 : it->second;
}

int tvhost_version(const char* layer, int own) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  auto it = c.version.find(layer ? layer : "");
  return it == c.version.end() ? own : it->second;
}

void tvhost_out(const char* text) {
  if (!text) return;
  std::fputs(text, stdout);
  std::fflush(stdout);
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  if (c.capturing) c.captured += text;
}

void tvhost_capture_start(void) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  c.capturing = true;
  c.captured.clear();
}

const char* tvhost_capture_text(void) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  c.snapshot = c.captured;
  return c.snapshot.c_str();
}

void tvhost_capture_stop(void) {
  Control& c = ctl();
  std::lock_guard<std::mutex> g(c.mu);
  c.capturing = false;
  c.captured.clear();
}

}  // extern "C"

#include "fuzz_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

#include "core/context.h"
#include "options/params.h"

namespace tvfuzz {

namespace {

// Kept until the very end: the exit handler that removes the files runs
// after static objects are destroyed.
std::set<std::string>& made() {
  static auto* paths = new std::set<std::string>;
  return *paths;
}

void remove_all() {
  for (const std::string& p : made()) std::remove(p.c_str());
}

}  // namespace

std::string scratch_path(const std::string& tag) {
  static const std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string path = dir + "/tvfuzz-" + std::to_string(getpid()) + "-" + tag;
  static std::once_flag once;
  std::call_once(once, [] { std::atexit(remove_all); });
  made().insert(path);
  return path;
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

void catch_units(tv::Context& ctx) {
  tv::Params& p = ctx.par;
  p.oldbfile = p.insfile = p.loadfile = 0;
  for (int u : {p.prtfile, p.sumfile, p.solfile, p.repfile, p.newbfile, p.bkpfile, p.pchfile, p.dumpfile, 6})
    if (u > 0 && !ctx.io.attached(u)) ctx.io.attach_buffer(u);
}

}  // namespace tvfuzz

// Allocation failure inside the plug-in's four entry points, loaded with
// dlopen as the host loads it: each allocation the plug-in makes (not those
// of the test host's libraries) is made to fail in turn.  The entry point
// must return, report the failure through the host (its return code, or the
// solve's "Systems error" status), and the next link must solve as usual.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "alloc/fail_alloc.h"
#include "control.h"
#include "link/link_test_util.h"

namespace {

constexpr char kPlugin[] = "libtarvolink";
constexpr char kOptimal[] = " EXIT - Optimal Solution found, objective: 2\n";

std::vector<long> trials(long count) {
  std::vector<long> ks;
  const long step = count <= 120 ? 1 : count / 100;
  for (long k = 1; k <= count; k += step) ks.push_back(k);
  if (!ks.empty() && ks.back() != count) ks.push_back(count);
  return ks;
}

class PluginAllocFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    tvhost_control_reset();
    vosk = dlopen((std::string(TVHOST_LIBDIR) + "/libvoskdclib64.so").c_str(), RTLD_NOW);
    optlib = dlopen((std::string(TVHOST_LIBDIR) + "/liboptdclib64.so").c_str(), RTLD_NOW);
    ASSERT_TRUE(vosk && optlib) << dlerror();
    get(vosk, "ChmoXCreateD", model_create);
    get(vosk, "hmoXFree", model_free);
    const std::string file = dir.write("model.txt", linktest::small_model("env ScratchDir " + dir.path() + "\n"));
    model_create(&model, file.c_str());
    ASSERT_NE(model, nullptr);
  }
  void TearDown() override {
    if (model) model_free(&model);
    if (optlib) dlclose(optlib);
    if (vosk) dlclose(vosk);
  }
  template <class F>
  void get(void* lib, const char* name, F& f) {
    void* p = dlsym(lib, name);
    ASSERT_NE(p, nullptr) << name;
    std::memcpy(&f, &p, sizeof f);
  }

  // Create, ready, call, free; `arm` runs just before step `at` (0..3) and
  // the counting stops right after it.  Returns the log.
  struct Run {
    int result = -1;  // of the armed step
    long count = 0;
    bool failed = false;
    std::string log;
    std::string msg;  // of tvlCreate
  };
  // Each run loads the plug-in afresh: a failure may leave a setting of
  // its own for the rest of the process (a print file that could not be
  // opened stays off), which would change the allocations of the next run.
  Run run(int at, const std::function<void()>& arm) {
    Run r;
    void* plugin = dlopen(TVHOST_PLUGIN, RTLD_NOW);
    EXPECT_NE(plugin, nullptr) << dlerror();
    if (!plugin) return r;
    get(plugin, "tvlCreate", create);
    get(plugin, "tvlFree", release);
    get(plugin, "tvlReadyAPI", ready);
    get(plugin, "tvlCallSolver", call);
    tvhost_capture_start();
    testing::internal::CaptureStderr();  // errors before the host's log is known
    void* link = nullptr;
    char msg[64] = "x";
    auto step = [&](int k, const std::function<int()>& f) {
      if (k == at) arm();
      const int v = f();
      if (k == at) {
        r.count = tvtest::alloc_disarm();
        r.failed = tvtest::alloc_failed();
        r.result = v;
      }
      return v;
    };
    const int created = step(0, [&] { return create(&link, msg, static_cast<int>(sizeof msg)); });
    r.msg = msg;
    if (created == 0 && step(1, [&] { return ready(link, model); }) == 0) step(2, [&] { return call(link); });
    step(3, [&] {
      release(&link);
      return link == nullptr ? 0 : 1;
    });
    const std::string err = testing::internal::GetCapturedStderr();
    r.log = tvhost_capture_text() + err;
    tvhost_capture_stop();
    dlclose(plugin);
    return r;
  }

  linktest::TempDir dir;
  void *vosk = nullptr, *optlib = nullptr, *model = nullptr;
  void (*model_create)(void**, const char*) = nullptr;
  void (*model_free)(void**) = nullptr;
  int (*create)(void**, char*, int) = nullptr;
  void (*release)(void**) = nullptr;
  int (*ready)(void*, void*) = nullptr;
  int (*call)(void*) = nullptr;
};

}  // namespace

TEST_F(PluginAllocFailure, EveryEntryPointReportsAndTheNextLinkSolves) {
  const char* names[] = {"tvlCreate", "tvlReadyAPI", "tvlCallSolver", "tvlFree"};
  for (int at = 0; at < 4; ++at) {
    SCOPED_TRACE(names[at]);
    const Run full = run(at, [] { tvtest::alloc_arm(0, false, kPlugin); });
    ASSERT_EQ(full.result, 0) << full.log;
    ASSERT_NE(full.log.find(kOptimal), std::string::npos) << full.log;
    for (long k : trials(full.count)) {
      SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(full.count));
      const Run r = run(at, [k] { tvtest::alloc_arm(k, false, kPlugin); });
      ASSERT_TRUE(r.failed);
      if (at == 0) {
        // No link object: the reason is in the message buffer.
        EXPECT_EQ(r.result, 1);
        EXPECT_STREQ(r.msg.c_str(), "Out of memory!");
      } else if (at == 3) {
        EXPECT_EQ(r.result, 0);  // freed all the same
      } else {
        // A failed entry point with its error, a warning (a print file that
        // could not be opened is left out), a solve that ended with the
        // system error's status, or a failure the link recovered from (the
        // title box of a print file that is opened again later) and a solve
        // that is right.
        const bool reported = (r.result == 1 && r.log.find("*** ") != std::string::npos) ||
                              r.log.find("*** WARNING: ") != std::string::npos ||
                              r.log.find(" EXIT - Systems error.") != std::string::npos ||
                              r.log.find(kOptimal) != std::string::npos;
        EXPECT_TRUE(reported) << r.log;
      }
      // Nothing unprintable reaches the log (a banner that could not be
      // made is blank, not whatever the buffer held).
      EXPECT_TRUE(std::all_of(r.log.begin(), r.log.end(),
                              [](unsigned char ch) { return ch == '\n' || (ch >= 32 && ch < 127); }))
          << r.log;
      const Run next = run(-1, [] {});
      EXPECT_NE(next.log.find(kOptimal), std::string::npos) << next.log;
    }
  }
}

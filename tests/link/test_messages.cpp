// The link's error slot and message routines, with the test host's model
// object and environment bound through the binding layers.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

#include "clinkutils.h"
#include "control.h"
#include "link_test_util.h"

namespace {

using tvl::clinkutilsRec;

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    tvhost_control_reset();
    char msg[256];
    ASSERT_EQ(hmoCreateD(&model, TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
    ASSERT_EQ(hevGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
    hmoSetExitIndicator(0);
    hevSetExitIndicator(0);
    env = static_cast<hevHandle_t>(hmoEnvironment(model));
    ASSERT_NE(env, nullptr);
    slot = tvl::clinkutilsCreate();
    slot->model = model;
    slot->env = env;
    // The host library is loaded (by the layer); reach its test entries.
    void* lib = dlopen((std::string(TVHOST_LIBDIR) + "/libvoskdclib64.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(lib, nullptr);
    solvestat = reinterpret_cast<int (*)(void*)>(dlsym(lib, "tvhostSolveStat"));
    envset = reinterpret_cast<void (*)(void*, const char*, const char*)>(dlsym(lib, "tvhostEnvSet"));
    dlclose(lib);
    ASSERT_NE(solvestat, nullptr);
    ASSERT_NE(envset, nullptr);
    tvhost_capture_start();
  }
  void TearDown() override {
    tvhost_capture_stop();
    tvl::clinkutilsFree(slot);
    hmoFree(&model);
  }
  std::string log() { return tvhost_capture_text(); }

  hmoHandle_t model = nullptr;
  hevHandle_t env = nullptr;
  clinkutilsRec* slot = nullptr;
  int (*solvestat)(void*) = nullptr;
  void (*envset)(void*, const char*, const char*) = nullptr;
};

const char kContact[] = "*** Contact support@tarvo-solver.org for help.\n";

TEST_F(Messages, TwoErrorsArePrintedInOrder) {
  tvl::raiseError(slot, 10, "first %d", 1);
  EXPECT_EQ(log(), "");  // pending, not yet printed
  EXPECT_EQ(hmoModelStat(model), 13);
  EXPECT_EQ(solvestat(model), 10);
  tvl::raiseError(slot, 5, "Failed calling HMO: %s", "get sparse row");
  EXPECT_EQ(log(), std::string("*** SOLVER ERROR: first 1\n") + kContact);
  EXPECT_EQ(solvestat(model), 9);  // the later error's status
  EXPECT_EQ(tvl::reportPending(slot), 1);
  EXPECT_EQ(log(), std::string("*** SOLVER ERROR: first 1\n") + kContact +
                       "*** HMO ERROR: Failed calling HMO: get sparse row\n" + kContact);
  // Reported once: neither a later report nor a later error prints it again.
  EXPECT_EQ(tvl::reportPending(slot), 0);
  tvl::raiseError(slot, 11, "third");
  EXPECT_EQ(linktest::count(log(), "HMO ERROR"), 1);
  EXPECT_EQ(slot->code, 11);
}

TEST_F(Messages, CodeZeroAndUnknownCodesChangeNothing) {
  hmoModelStatSet(model, 1);
  hmoSolveStatSet(model, 1);
  tvl::raiseError(slot, 0, "nothing");
  EXPECT_EQ(hmoModelStat(model), 1);
  EXPECT_EQ(solvestat(model), 1);
  EXPECT_EQ(slot->code, 0);
  EXPECT_STREQ(slot->msg, "");
  tvl::raiseError(slot, 9, "pending");
  testing::internal::CaptureStderr();
  tvl::raiseError(slot, 3, "unknown");
  tvl::printError(env, 7, "unknown");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "### UNKNOWN ERROR CODE: 3\n### UNKNOWN ERROR CODE: 7\n");
  EXPECT_EQ(slot->code, 9);
  EXPECT_STREQ(slot->msg, "pending");
  EXPECT_EQ(hmoModelStat(model), 13);
  EXPECT_EQ(solvestat(model), 9);
  tvl::printError(env, 0, "nothing");
  EXPECT_EQ(log(), "");
}

TEST_F(Messages, CapabilityErrorHasNoContactLineInTheLog) {
  tvl::printError(env, 6, "More than 2^31 nonzeros not supported.");
  EXPECT_EQ(log(), "*** CAPABILITY ERROR: More than 2^31 nonzeros not supported.\n");
  // Without an environment both lines go to standard error, contact line included.
  testing::internal::CaptureStderr();
  tvl::printError(nullptr, 6, "no env");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string("*** CAPABILITY ERROR: no env\n") + kContact);
}

TEST_F(Messages, LongMessagesAreBoundedAndNeverFormats) {
  const std::string longmsg(400, 'm');
  tvl::raiseError(slot, 6, "%s", longmsg.c_str());
  EXPECT_EQ(std::string(slot->msg), std::string(255, 'm'));
  tvl::reportPending(slot);
  // "*** CAPABILITY ERROR: " plus all 255 characters: nothing cut, nothing overrun.
  EXPECT_EQ(log(), "*** CAPABILITY ERROR: " + std::string(255, 'm') + "\n");
  tvhost_capture_start();
  // A stored message with conversions is printed as text.
  tvl::raiseError(slot, 14, "%s", "100%s done %n %d");
  tvl::reportPending(slot);
  EXPECT_EQ(log(), std::string("*** IO ERROR: 100%s done %n %d\n") + kContact);
  tvhost_capture_start();
  tvl::printWarning(env, "%s", longmsg.c_str());
  tvl::printInfo(env, "%s", longmsg.c_str());
  tvl::println(env, "%s", longmsg.c_str());
  tvl::print(env, "%s", longmsg.c_str());
  EXPECT_EQ(log(), "*** WARNING: " + std::string(242, 'm') + "\n" + "--- " + std::string(251, 'm') + "\n" +
                       std::string(255, 'm') + "\n" + std::string(255, 'm'));
}

TEST_F(Messages, StatusLinesGoToTheStatusStream) {
  linktest::TempDir dir;
  const std::string status = dir.file("status.txt");
  // The host copies log-and-status lines, and no-copy lines only between
  // hevStatCon and hevStatCoff, to its status file.
  hevLogStat(env, "ignored: no status file yet");
  envset(env, "StatusFile", status.c_str());
  hevLogStatNoC(env, "log only");
  tvl::printWarning(env, "careful");
  tvl::printError(env, 1, "bad");
  EXPECT_EQ(linktest::read_file(status), std::string("*** WARNING: careful\n*** ERROR: bad\n") + kContact);
}

}  // namespace

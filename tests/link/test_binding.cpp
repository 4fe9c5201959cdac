// The host binding layers against the test host's libraries, loaded by the
// real dynamic loader.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "control.h"
#include "hevapi.h"
#include "hmoapi.h"
#include "optapi.h"

namespace {

class Binding : public ::testing::Test {
 protected:
  void SetUp() override {
    tvhost_control_reset();
    ASSERT_EQ(optLibraryUnload(), 1);
    optSetExitIndicator(1);
    optSetScreenIndicator(1);
    optSetErrorCallback(nullptr);
  }
  void TearDown() override {
    tvhost_control_reset();
    optSetErrorCallback(nullptr);
    optLibraryUnload();
    hmoLibraryUnload();
    hevLibraryUnload();
  }
  char msg[256] = "";
};

TEST_F(Binding, SecondGetReadyIsANoOp) {
  ASSERT_EQ(optGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  EXPECT_STREQ(msg, "");
  EXPECT_EQ(optLibraryLoaded(), 1);
  // Already bound: neither the directory nor the library is looked at again.
  std::strcpy(msg, "stale");
  EXPECT_EQ(optGetReadyD("/nonexistent/dir", msg, sizeof msg), 1);
  EXPECT_STREQ(msg, "");
  EXPECT_EQ(optGetReadyD(TVHOST_NOSYM_DIR, msg, sizeof msg), 1);
  EXPECT_NE(optGetIntStr, nullptr);
}

TEST_F(Binding, UnloadIsRefusedWhileAnObjectLives) {
  optHandle_t h = nullptr;
  ASSERT_EQ(optCreateD(&h, TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(optLibraryUnload(), 0);
  EXPECT_EQ(optLibraryLoaded(), 1);
  EXPECT_EQ(optCount(h), 0);  // still bound and callable
  EXPECT_EQ(optFree(&h), 1);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(optLibraryUnload(), 1);
  EXPECT_EQ(optLibraryLoaded(), 0);
  EXPECT_EQ(optCount, nullptr);
}

TEST_F(Binding, MissingFunctionBindsItsStub) {
  tvhost_control_add("omit optEOLOnlySet\nomit optCount\n");
  ASSERT_EQ(optGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  optHandle_t h = nullptr;
  ASSERT_EQ(optCreate(&h, msg, sizeof msg), 1) << msg;
  optSetExitIndicator(0);
  const int before = optGetAPIErrorCount();
  testing::internal::CaptureStdout();
  optEOLOnlySet(h, 1);
  const int count = optCount(h);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(count, 0);
  EXPECT_EQ(out,
            "optEOLOnlySet could not be loaded: optEOLOnlySet is not offered by this library\n"
            "optCount could not be loaded: optCount is not offered by this library\n");
  EXPECT_EQ(optGetAPIErrorCount(), before + 2);
  // The offered functions are the library's own.
  EXPECT_EQ(optReadDefinition(h, TVLINK_DEF), 0);
  EXPECT_EQ(optGetIntStr(h, "summary_frequency"), 100);
  optFree(&h);
}

TEST_F(Binding, StubWithDefaultIndicatorsEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  tvhost_control_add("omit optEchoSet\n");
  ASSERT_EQ(optGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  EXPECT_EXIT(optEchoSet(nullptr, 1), ::testing::ExitedWithCode(123), "");
}

int g_calls = 0;
std::string g_last;
int keep_going(int count, const char* message) {
  ++g_calls;
  g_last = std::to_string(count) + ":" + message;
  return 0;
}

TEST_F(Binding, ErrorCallbackDecidesInsteadOfTheExitIndicator) {
  tvhost_control_add("omit optResetAllRecent\n");
  ASSERT_EQ(optGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  optSetAPIErrorCount(0);
  optSetScreenIndicator(0);
  optSetErrorCallback(keep_going);
  EXPECT_EQ(optGetErrorCallback(), keep_going);
  g_calls = 0;
  testing::internal::CaptureStdout();
  optResetAllRecent(nullptr);  // exit indicator still set: the callback's 0 wins
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(g_calls, 1);
  EXPECT_EQ(g_last, "1:optResetAllRecent could not be loaded: optResetAllRecent is not offered by this library");
}

TEST_F(Binding, OfferedSymbolMissingFailsTheBinding) {
  EXPECT_EQ(optGetReadyD(TVHOST_NOSYM_DIR, msg, sizeof msg), 0);
  EXPECT_EQ(std::string(msg).rfind("Could not load symbol 'CoptGetIntStr': ", 0), 0u) << msg;
  EXPECT_EQ(optLibraryLoaded(), 0);
  EXPECT_EQ(optCount, nullptr);
  // A good library binds afterwards.
  EXPECT_EQ(optGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
}

TEST_F(Binding, WrongInterfaceVersionIsRefused) {
  tvhost_control_add("version opt 3\n");
  EXPECT_EQ(optGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 0);
  EXPECT_STREQ(msg, "Client API version 4 does not match the opt library's API version 3");
  EXPECT_EQ(optLibraryLoaded(), 0);
  EXPECT_EQ(optCorrectLibraryVersion(msg, sizeof msg), 0);
  EXPECT_STREQ(msg, "Library needs to be initialized first");
  tvhost_control_reset();
  ASSERT_EQ(optGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  EXPECT_EQ(optCorrectLibraryVersion(msg, sizeof msg), 1);
  tvhost_control_add("version opt 5\n");
  EXPECT_EQ(optCorrectLibraryVersion(msg, sizeof msg), 0);
  EXPECT_STREQ(msg, "Client API version 4 does not match the opt library's API version 5");
}

TEST_F(Binding, LibraryPathsAndLoaderMessages) {
  EXPECT_EQ(optGetReadyD("/nonexistent/dir", msg, sizeof msg), 0);
  EXPECT_EQ(std::string(msg).rfind("Could not load shared library /nonexistent/dir/liboptdclib64.so: ", 0), 0u)
      << msg;
  // A path of more than 511 characters is refused, not cut and loaded.
  std::string dir = TVHOST_LIBDIR;
  while (dir.size() < 520) dir += "/.";
  EXPECT_EQ(optGetReadyD(dir.c_str(), msg, sizeof msg), 0);
  EXPECT_STREQ(msg, "Could not load shared library: its path is longer than 511 characters");
  EXPECT_EQ(optLibraryLoaded(), 0);
  // Just under the limit loads (the same directory spelled with "/." steps).
  dir = TVHOST_LIBDIR;
  while (dir.size() + 2 + std::strlen("/liboptdclib64.so") <= 511) dir += "/.";
  EXPECT_EQ(optGetReadyD(dir.c_str(), msg, sizeof msg), 1) << msg;
  optLibraryUnload();
  // The L form takes the full path of the library file.
  const std::string full = std::string(TVHOST_LIBDIR) + "/liboptdclib64.so";
  EXPECT_EQ(optGetReadyL(full.c_str(), msg, sizeof msg), 1) << msg;
}

TEST_F(Binding, FailedCreationKeepsTheCount) {
  tvhost_control_add("fail XCreate\n");
  optHandle_t h = nullptr;
  EXPECT_EQ(optCreateD(&h, TVHOST_LIBDIR, msg, sizeof msg), 0);
  EXPECT_STREQ(msg, "Error while creating object");
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(optLibraryLoaded(), 1);
  EXPECT_EQ(optLibraryUnload(), 1);  // no live object was counted
}

TEST_F(Binding, ModelAndEnvironmentLayersShareOneLibrary) {
  hmoHandle_t mh = nullptr;
  ASSERT_EQ(hmoCreateD(&mh, TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  ASSERT_EQ(hevGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  auto env = static_cast<hevHandle_t>(hmoEnvironment(mh));
  ASSERT_NE(env, nullptr);
  EXPECT_EQ(hevGetIntOpt(env, "IterLim"), 2000000000);
  EXPECT_EQ(hevGetDblOpt(env, "WorkFactor"), 1.0);
  EXPECT_EQ(hmoN(mh), 0);
  EXPECT_EQ(hmoNZ64(mh), 0);
  hmoModelStatSet(mh, 13);
  EXPECT_EQ(hmoModelStat(mh), 13);
  EXPECT_EQ(hevLibraryUnload(), 1);  // the environment came from the model: no object counted
  EXPECT_EQ(hmoLibraryUnload(), 0);
  EXPECT_EQ(hmoFree(&mh), 1);
  EXPECT_EQ(hmoLibraryUnload(), 1);
}

// The link's signatures and the host's, written apart, agree on every function.
TEST_F(Binding, EveryFunctionBindsAgainstTheFullHost) {
  ASSERT_EQ(optGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  ASSERT_EQ(hmoGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  ASSERT_EQ(hevGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  EXPECT_EQ(optStubCount(), 0);
  EXPECT_EQ(hmoStubCount(), 0);
  EXPECT_EQ(hevStubCount(), 0);
  hevLibraryUnload();
  tvhost_control_add("omit hevSynchronizeOpt\nomit hevTerminateGet\n");
  ASSERT_EQ(hevGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  EXPECT_EQ(hevStubCount(), 2);
}

TEST_F(Binding, IndicatorSettersStoreOneOrZero) {
  EXPECT_EQ(hevSetScreenIndicator(7), 1);
  EXPECT_EQ(hevGetScreenIndicator(), 1);
  EXPECT_EQ(hevSetExceptionIndicator(-2), 1);
  EXPECT_EQ(hevGetExceptionIndicator(), 1);
  EXPECT_EQ(hevSetExceptionIndicator(0), 0);
  EXPECT_EQ(hevSetExitIndicator(0), 0);
  EXPECT_EQ(hevGetExitIndicator(), 0);
  EXPECT_EQ(hevSetExitIndicator(1), 1);
  // Mutexes: a second initialisation is a no-op, and they can be made again.
  hevInitMutexes();
  hevFiniMutexes();
  hevFiniMutexes();
  hevInitMutexes();
  ASSERT_EQ(hevGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
  EXPECT_EQ(hevLibraryLoaded(), 1);
}

}  // namespace

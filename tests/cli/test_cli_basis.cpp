// The tarvo command's basis files: each writer's file read back restarts
// optimal in 0 iterations, through the options and through a SPECS file;
// usage and input errors; a run that ends early leaves files as they were.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string tarvo_path() {
  if (const char* p = std::getenv("TARVO_CLI")) return p;
  char buf[PATH_MAX] = {};
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string exe(buf, n > 0 ? static_cast<size_t>(n) : 0);
  std::string dir = exe.substr(0, exe.rfind('/'));
  return dir.substr(0, dir.rfind('/')) + "/cli/tarvo";
}

struct Cmd {
  int status = -1;
  std::string out;
};

// Runs the command in `dir` (standard output and standard error together).
Cmd run(const std::string& args, const std::string& dir = ".") {
  Cmd r;
  FILE* p = popen(("cd " + dir + " && " + tarvo_path() + " " + args + " 2>&1 </dev/null").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t got;
  while ((got = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, got);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string data(const std::string& f) { return std::string(TARVO_TEST_DATA) + "/netlib/" + f; }
std::string temp(const std::string& name) { return testing::TempDir() + "tarvo_basis_" + name; }

std::string slurp(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

}  // namespace

TEST(CliBasis, EachPairRestartsOptimalInZeroIterations) {
  const std::string newb = temp("sc105.new"), pch = temp("sc105.pch"), dmp = temp("sc105.dmp");
  Cmd r = run("-q --new-basis " + newb + " --punch " + pch + " --dump " + dmp + " " + data("sc105.mps"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(has(slurp(pch), "NAME          SC105     PUNCH/INSERT\n")) << slurp(pch);
  for (const std::string& opt : {"--old-basis " + newb, "--insert " + pch, "--load " + dmp}) {
    SCOPED_TRACE(opt);
    // The NEW file is read and rewritten by the same run.
    r = run(opt + " --new-basis " + newb + " " + data("sc105.mps"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "\n Iterations           0\n")) << r.out;
    EXPECT_TRUE(has(r.out, " NEW BASIS file saved on file 104    itn =      0\n"));
    EXPECT_TRUE(has(r.out, " Objective value  -52.2020612")) << r.out;
    EXPECT_TRUE(has(slurp(newb), "SC105     ITN       0    OPTIMAL SOLN")) << slurp(newb);
  }
  for (const std::string& f : {newb, pch, dmp}) std::remove(f.c_str());
}

TEST(CliBasis, PeriodicSavesAndTheBackupFile) {
  const std::string newb = temp("bandm.new"), bak = temp("bandm.bak");
  Cmd r = run("--new-basis " + newb + " --backup-basis " + bak + " --save-frequency 50 " + data("bandm.mps"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(has(r.out, " NEW BASIS file saved on file 104    itn =     50\n")) << r.out;
  EXPECT_TRUE(has(r.out, " NEW BASIS file saved on file 105    itn =    100\n"));
  EXPECT_TRUE(has(slurp(newb), "OPTIMAL SOLN"));
  EXPECT_TRUE(has(slurp(bak), "PROCEEDING"));
  std::remove(newb.c_str());
  std::remove(bak.c_str());
}

TEST(CliBasis, SpecsFileNamesTheBasisByUnit) {
  // Old and New basis file on one unit: read at the start, rewritten at the end.
  const std::string dir = testing::TempDir();
  const std::string specs = temp("units.spc");
  std::ofstream(specs) << "BEGIN\n  New basis file 31\nEND\n";
  Cmd r = run("-q -s " + specs + " " + data("adlittle.mps"), dir);
  ASSERT_EQ(r.status, 0) << r.out;
  std::ofstream(specs) << "BEGIN\n  Old basis file 31\n  New basis file 31\nEND\n";
  r = run("-s " + specs + " " + data("adlittle.mps"), dir);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(has(r.out, " OLD BASIS file to be input from file  31\n")) << r.out;
  EXPECT_TRUE(has(r.out, "\n Iterations           0\n"));
  EXPECT_TRUE(has(slurp(dir + "fort.31"), "ITN       0    OPTIMAL SOLN"));
  std::remove((dir + "fort.31").c_str());
  std::remove(specs.c_str());
}

TEST(CliBasis, ErrorsAndEarlyEndsLeaveFilesAlone) {
  const std::string afiro = temp("afiro.new"), keep = temp("keep.new");
  ASSERT_EQ(run("-q --new-basis " + afiro + " " + data("afiro.mps")).status, 0);
  std::ofstream(keep) << "an earlier basis\n";

  Cmd r = run("--old-basis " + afiro + " --insert x.pch " + data("afiro.mps"));
  EXPECT_EQ(r.status, 6);
  EXPECT_TRUE(has(r.out, "only one basis can be read (--insert)")) << r.out;
  r = run("--new-basis " + keep + " --new-basis " + keep + " " + data("afiro.mps"));
  EXPECT_EQ(r.status, 6);
  r = run("--save-frequency 10 " + data("afiro.mps"));
  EXPECT_EQ(r.status, 6);
  EXPECT_TRUE(has(r.out, "--save-frequency needs --new-basis")) << r.out;
  r = run("--load " + temp("no_such.dmp") + " " + data("afiro.mps"));
  EXPECT_EQ(r.status, 5);
  EXPECT_TRUE(has(r.out, "cannot open the basis file")) << r.out;
  r = run("--dump /nonexistent-dir/x.dmp " + data("afiro.mps"));
  EXPECT_EQ(r.status, 5);
  EXPECT_TRUE(has(r.out, "cannot write the basis file /nonexistent-dir/x.dmp")) << r.out;

  // An OLD file of another problem: result 30, and the NEW file named is not touched.
  r = run("--old-basis " + afiro + " --new-basis " + keep + " " + data("sc50a.mps"));
  EXPECT_EQ(r.status, 5);
  EXPECT_TRUE(has(r.out, " EXIT -- the basis file dimensions do not match this problem\n")) << r.out;
  EXPECT_TRUE(has(r.out, " Result              30")) << r.out;
  EXPECT_EQ(slurp(keep), "an earlier basis\n");
  std::remove(afiro.c_str());
  std::remove(keep.c_str());
}

// `hc11flow-cli run` as scripts see it: whole outputs against golden files
// (regenerate with HC11_UPDATE_GOLDEN=1), exit codes and error lines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = HC11_SOURCE_DIR;
// The example is copied into each test's directory, so the files the CLI
// writes beside the listing never land in the source tree.
const std::string kLoop = "loop";

struct Result {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

class RunCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) /
          ("hc11_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    for (const char* file : {"loop.lst", "loop.HEX"})
      fs::copy_file(kSource / "examples/loop" / file, dir / file, fs::copy_options::overwrite_existing);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs the CLI from the temporary directory, so nothing depends on the
  // caller's current directory.
  Result Cli(const std::vector<std::string>& args) {
    std::string cmd = "cd " + Quote(dir.string()) + " && " + Quote(HC11_CLI_PATH);
    for (const std::string& a : args) cmd += " " + Quote(a);
    cmd += " >out.txt 2>err.txt";
    const int raw = std::system(cmd.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(dir / "out.txt");
    r.err = Slurp(dir / "err.txt");
    return r;
  }

  void ExpectGolden(const std::string& name, const std::string& actual) {
    const fs::path golden = kSource / "tests/cli/golden" / (name + ".txt");
    const char* update = std::getenv("HC11_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
      std::ofstream(golden, std::ios::binary) << actual;
      return;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden << " missing; run with HC11_UPDATE_GOLDEN=1";
    EXPECT_EQ(actual, Slurp(golden)) << "differs from " << golden;
  }

  fs::path dir;
};

TEST_F(RunCliTest, GoldenOutputs) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const std::vector<Case> cases = {
      {"loop_steps_history", {"run", kLoop, "--steps", "20", "--history"}},
      {"loop_single_steps_dump",
       {"run", kLoop + ".HEX", "--mode", "v", "--repeat", "3", "--dump", "10:1", "--dump", "$E000:23"}},
      {"loop_breakpoints", {"run", kLoop, "--break", "E010", "--break", "e009:3", "--repeat", "2"}},
      {"loop_run_to_target", {"run", kLoop, "--mode", "s", "--target", "0xE010", "--repeat", "2"}},
      {"loop_step_over", {"run", kLoop, "--mode", "w", "--repeat", "18"}},
      {"loop_return_up", {"run", kLoop, "--mode", "u", "--repeat", "2"}},
      // Without ldS the call pushes at SP 0 and wraps into the forbidden top of memory.
      {"loop_stack_wrap", {"run", kLoop, "--start", "E007", "--dump", "FFF8:8", "--dump", "0:2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result r = Cli(c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ExpectGolden(c.name, r.out);
  }
}

TEST_F(RunCliTest, BadArgumentsExitWithOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"run"},
      {"run", kLoop, "--mode", "z"},
      {"run", kLoop, "--mode", "s"},
      {"run", kLoop, "--start", "10000"},
      {"run", kLoop, "--steps", "0"},
      {"run", kLoop, "--steps"},
      {"run", kLoop, "--repeat", "x"},
      {"run", kLoop, "--break", "E000:9"},
      {"run", kLoop, "--dump", "E000"},
      {"run", kLoop, "--bogus", "1"},
      {"run", kLoop, kLoop},
      {"run", "absent"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.back());
    const Result r = Cli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

TEST_F(RunCliTest, BrokenImageIsReportedAndStillRuns) {
  const fs::path hex = dir / "broken.HEX";
  std::ofstream(hex) << ":01E000004CD3\n\n:00000001FF\n";
  const Result r = Cli({"run", hex.string(), "--start", "E000", "--mode", "v"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("broken.HEX, ligne 2 : ligne vide"), std::string::npos) << r.err;
  // The byte before the blank line loaded, but the code end was never set.
  EXPECT_NE(r.out.find("status: adr>fin E000\n"), std::string::npos) << r.out;
}

}  // namespace

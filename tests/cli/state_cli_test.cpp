// hc11flow-cli run --save-state and --load-state: a run cut in two through a
// state file ends where the whole run ends.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/cli/cli_runner.h"

namespace hc11::test {
namespace {

const std::string kLoop = std::string(HC11_SOURCE_DIR) + "/examples/loop/loop.lst";
const std::string kDemo = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.lst";

std::string LineOf(const std::string& text, const std::string& prefix) {
  std::istringstream in(text);
  std::string found;
  for (std::string line; std::getline(in, line);)
    if (line.starts_with(prefix)) found = line;
  return found;
}

std::vector<std::string> Args(std::vector<std::string> first, const std::vector<std::string>& extra) {
  first.insert(first.end(), extra.begin(), extra.end());
  return first;
}

TEST(StateCli, ARunSplitByAStateFileEndsAsTheWholeRun) {
  const auto dir = FreshTestFolder("state_cli_");
  struct Case {
    std::string program;
    std::uint64_t first, second;
    std::vector<std::string> extra;
  };
  const Case cases[] = {
      {kLoop, 5003, 777, {}},
      {kDemo, 150000, 90000, {}},
      {kDemo, 120000, 60001, {"--key", "Menu", "--signal", "90"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + " " + std::to_string(c.first));
    const std::string state = (dir / "run.etat").string();
    const CliResult a = RunCli(dir, Args({"run", c.program, "--no-workspace", "--steps",
                                          std::to_string(c.first), "--digest", "--save-state", state},
                                         c.extra));
    ASSERT_EQ(a.status, 0) << a.err;
    const CliResult b = RunCli(dir, Args({"run", c.program, "--no-workspace", "--load-state", state,
                                          "--steps", std::to_string(c.second), "--digest"},
                                         c.extra));
    ASSERT_EQ(b.status, 0) << b.err;
    const CliResult whole = RunCli(dir, Args({"run", c.program, "--no-workspace", "--steps",
                                              std::to_string(c.first + c.second), "--digest"},
                                             c.extra));
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(LineOf(b.out, "digest: "), LineOf(whole.out, "digest: "));
    EXPECT_EQ(LineOf(b.out, "trace: "), LineOf(whole.out, "trace: "));
    EXPECT_NE(LineOf(a.out, "digest: "), LineOf(whole.out, "digest: "));
  }
}

TEST(StateCli, ARefusedStateStopsBeforeAnyRun) {
  const auto dir = FreshTestFolder("state_cli_");
  const std::string loopState = (dir / "loop.etat").string();
  ASSERT_EQ(RunCli(dir, {"run", kLoop, "--no-workspace", "--steps", "10", "--save-state", loopState}).status,
            0);
  std::filesystem::create_directory(dir / "ro");
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string says;
    bool runs;  // the runs took place before the refusal
  };
  const Case cases[] = {
      {"another program's state",
       {"run", kDemo, "--no-workspace", "--load-state", loopState},
       1,
       "--load-state: " + loopState + ": état d'un autre programme",
       false},
      {"no such file",
       {"run", kLoop, "--no-workspace", "--load-state", "absent.etat"},
       1,
       "--load-state: absent.etat: lecture impossible (fichier introuvable)",
       false},
      {"no file named", {"run", kLoop, "--load-state", ""}, 2, "--load-state: expected a file name", false},
      {"saving over the code image",
       {"run", kLoop, "--steps", "5", "--save-state", kLoop},
       2,
       "--save-state",
       false},
      {"a folder that is not there",
       {"run", kLoop, "--no-workspace", "--steps", "5", "--save-state", "no/such/x.etat"},
       1,
       "--save-state: no/such/x.etat: écriture impossible",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CliResult r = RunCli(dir, c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("status: ") != std::string::npos, c.runs) << r.out;
  }
}

}  // namespace
}  // namespace hc11::test

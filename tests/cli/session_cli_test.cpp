// run --record and replay as a script uses them: the exact lines printed and
// the exit status of a same replay, a difference and a refused file.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace hc11::test {
namespace {

struct Recorded {
  std::filesystem::path dir;
  std::string session;  // its text
};

Recorded RecordDemo(bool exact = false) {
  Recorded r{FreshTestFolder("session_cli"), {}};
  CopyExampleInto(r.dir, "demo");
  std::vector<std::string> args = {"run",     "demo",  "--steps", "300000",   "--inject",
                                   "Ecr ram", "--key", "Menu",    "--record", "s.session"};
  if (exact) args.push_back("--exact");
  const CliResult run = RunCli(r.dir, args);
  EXPECT_EQ(run.status, 0) << run.err;
  r.session = Slurp(r.dir / "s.session");
  return r;
}

TEST(SessionCli, ARecordedRunReplaysTheSameInEitherClock) {
  for (const bool exact : {false, true}) {
    SCOPED_TRACE(exact ? "exact" : "designed");
    const Recorded r = RecordDemo(exact);
    ASSERT_NE(r.session.find("in 0 key 9 down\n"), std::string::npos) << r.session;
    ASSERT_NE(r.session.find("in 0 serial \"\\xa4\\x08"), std::string::npos) << r.session;
    std::size_t outputs = 0;
    for (std::size_t at = r.session.find("\nout "); at != std::string::npos;
         at = r.session.find("\nout ", at + 1))
      ++outputs;
    const CliResult replay = RunCli(r.dir, {"replay", "s.session"});
    EXPECT_EQ(replay.status, 0) << replay.err;
    const std::string digest = r.session.substr(r.session.find("digest ") + 7, 16);
    EXPECT_EQ(replay.out, "session: demo " + digest + (exact ? " exact" : " designed") +
                              "\nsame: " + std::to_string(outputs) + " outputs\n");
    EXPECT_EQ(replay.err, "");
  }
}

TEST(SessionCli, ADifferenceIsPrintedWithExitOneAndItsStateSaved) {
  const Recorded r = RecordDemo();
  // The session says the write's reply status was 07: the demo answers 00.
  std::string edited = r.session;
  const std::size_t at = edited.find("tx 00\n", edited.find("tx a4\n"));
  ASSERT_NE(at, std::string::npos);
  edited.replace(at, 6, "tx 07\n");
  std::ofstream(r.dir / "t.session") << edited;
  const CliResult replay = RunCli(r.dir, {"replay", "t.session", "demo", "--save-state", "x.state"});
  EXPECT_EQ(replay.status, 1) << replay.err;
  EXPECT_NE(replay.out.find(
                "\ndiffer: output 21\nrecorded: tx 07 at 3892\nnew: tx 00 at 3892\npc: E48F @tx_wait\n"),
            std::string::npos)
      << replay.out;
  EXPECT_NE(replay.out.find("\ninput: 0 key 9 down\n"), std::string::npos) << replay.out;
  EXPECT_TRUE(std::filesystem::exists(r.dir / "x.state"));
}

TEST(SessionCli, RefusedFilesAndArgumentsExitTwo) {
  const Recorded r = RecordDemo();
  std::ofstream(r.dir / "bad.session") << "hc11flow session 1\nprogram demo\ndigest 1\nclock designed\n"
                                          "in 5 key 1 sideways\nend 9\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"replay", "bad.session"}, "hc11flow-cli replay: 'bad.session' line 5: expected down or up\n"},
      {{"replay", "none.session"}, "hc11flow-cli replay: cannot read 'none.session': no such file\n"},
      {{"replay"},
       "hc11flow-cli replay: usage: hc11flow-cli replay SESSION [PROGRAM] [--timing MS] "
       "[--save-state FILE]\n"},
      {{"replay", "s.session", "--timing", "soon"},
       "hc11flow-cli replay: --timing: bad milliseconds 'soon'\n"},
      {{"run", "demo", "--record", "demo.lst"}, ""},
  };
  for (const Case& c : cases) {
    const CliResult res = RunCli(r.dir, c.args);
    EXPECT_EQ(res.status, 2) << c.args.back() << ": " << res.err;
    if (!c.err.empty()) {
      EXPECT_EQ(res.err, c.err);
    }
  }
  EXPECT_EQ(Slurp(r.dir / "demo.lst"), Slurp(std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.lst"))
      << "--record never writes over the program";
}

}  // namespace
}  // namespace hc11::test

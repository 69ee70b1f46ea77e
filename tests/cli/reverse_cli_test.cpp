// hc11flow-cli run --back, --back-run and --digest, as a script uses them.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/cli/cli_runner.h"

namespace hc11::test {
namespace {

const std::string kLoop = std::string(HC11_SOURCE_DIR) + "/examples/loop/loop.lst";
const std::string kDemo = std::string(HC11_SOURCE_DIR) + "/examples/demo/demo.lst";

std::vector<std::string> Lines(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.starts_with(prefix)) found.push_back(line);
  return found;
}

std::string LastLine(const std::string& text) {
  const std::size_t end = text.find_last_not_of('\n');
  const std::size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1) + 1);
}

// N steps then K back print the digest and trace line of a plain run of N - K.
TEST(ReverseCli, StepsThenBackEqualsFewerSteps) {
  const auto dir = FreshTestFolder("reverse_cli_");
  struct Case {
    std::string program;
    std::uint64_t steps, back;
    std::vector<std::string> extra;
  };
  const Case cases[] = {
      {kLoop, 100003, 3, {}},
      {kLoop, 5000, 4999, {}},
      {kDemo, 300000, 123456, {"--key", "Menu", "--inject", "LecE2P", "--signal", "90"}},
      {kDemo, 250000, 1, {"--oc", "--inject", "Sauv Cfg"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + " " + std::to_string(c.steps) + " " + std::to_string(c.back));
    std::vector<std::string> back = {"run",
                                     c.program,
                                     "--no-workspace",
                                     "--steps",
                                     std::to_string(c.steps),
                                     "--back",
                                     std::to_string(c.back),
                                     "--digest"};
    std::vector<std::string> plain = {
        "run", c.program, "--no-workspace", "--steps", std::to_string(c.steps - c.back), "--digest"};
    back.insert(back.end(), c.extra.begin(), c.extra.end());
    plain.insert(plain.end(), c.extra.begin(), c.extra.end());
    const CliResult b = RunCli(dir, back);
    const CliResult p = RunCli(dir, plain);
    ASSERT_EQ(b.status, 0) << b.err;
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_TRUE(LastLine(b.out).starts_with("digest: ")) << b.out;
    EXPECT_EQ(LastLine(b.out), LastLine(p.out));
    EXPECT_EQ(LastLine(b.out).size(), std::string("digest: ").size() + 16);
    // The reverse prints the moment it reached after the run's own lines.
    const auto traces = Lines(b.out, "trace: ");
    ASSERT_EQ(traces.size(), 2u);
    EXPECT_EQ(traces.back(), Lines(p.out, "trace: ").back());
    EXPECT_EQ(Lines(b.out, "status: ").back(), "status: stop arrière");
    EXPECT_EQ(Lines(b.out, "back: ").back(),
              "back: " + std::to_string(c.back) + " steps, retour possible jusqu'à cycle 0");
  }
}

TEST(ReverseCli, BackRunStopsAtThePreviousBreakThenAtTheStart) {
  const auto dir = FreshTestFolder("reverse_cli_");
  const CliResult r =
      RunCli(dir, {"run", kLoop, "--no-workspace", "--break", "E014", "--repeat", "3", "--back-run"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto status = Lines(r.out, "status: ");
  const auto trace = Lines(r.out, "trace: ");
  ASSERT_EQ(status.size(), 4u);
  EXPECT_EQ(status[3], "status: Break e014 C Break    nom");
  EXPECT_EQ(trace[3], trace[1]);  // the second stop, X=0001
  // One pass: incX, ret, jr, ldB, three times addA stA decB bne, callr.
  EXPECT_EQ(Lines(r.out, "back: ").front(), "back: 17 steps, retour possible jusqu'à cycle 0");

  const CliResult none =
      RunCli(dir, {"run", kLoop, "--no-workspace", "--steps", "500", "--back-run", "--back", "1"});
  ASSERT_EQ(none.status, 0) << none.err;
  const auto noneStatus = Lines(none.out, "status: ");
  EXPECT_EQ(noneStatus[1], "status: début enregistrement");
  EXPECT_EQ(noneStatus[2], "status: début enregistrement");  // nothing before the start
  EXPECT_TRUE(Lines(none.out, "trace: ")[1].starts_with("trace: PC=E000 ")) << none.out;
}

// The demo's periodic interrupt handler, isr_tick at E5EC: a breakpoint on its
// first instruction stops every run there, and going back stops at the
// previous entry, the same moment the second run showed.
TEST(ReverseCli, ABreakpointOnTheInterruptHandlerStopsForwardAndBack) {
  const auto dir = FreshTestFolder("reverse_cli_");
  const CliResult r =
      RunCli(dir, {"run", kDemo, "--no-workspace", "--break", "E5EC", "--repeat", "3", "--back-run"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto status = Lines(r.out, "status: ");
  const auto trace = Lines(r.out, "trace: ");
  ASSERT_EQ(status.size(), 4u) << r.out;
  ASSERT_EQ(trace.size(), 4u) << r.out;
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(status[i].starts_with("status: Break e5ec ")) << status[i];
    EXPECT_TRUE(trace[i].starts_with("trace: PC=E5EC ")) << trace[i];
  }
  EXPECT_NE(trace[0], trace[1]);
  EXPECT_EQ(status[3], status[1]);
  EXPECT_EQ(trace[3], trace[1]);
}

// The profile and the tracefile printed after going back describe the moment
// reached, as a plain run to it does: not the undone future.
TEST(ReverseCli, ProfileAndCoverageAfterGoingBackAreThoseOfTheMoment) {
  const auto dir = FreshTestFolder("reverse_cli_");
  struct Case {
    const char* name;
    std::vector<std::string> back, plain;
  };
  const std::vector<std::string> demo = {"run", kDemo, "--no-workspace", "--key", "Menu"};
  const Case cases[] = {
      {"--back with --profile",
       {"--steps", "300000", "--back", "100000", "--profile"},
       {"--steps", "200000", "--profile"}},
      {"--back with --coverage",
       {"--steps", "300000", "--back", "299000", "--coverage", "c.info"},
       {"--steps", "1000", "--coverage", "c.info"}},
      // From the fourth stop at the tick back to the third.
      {"--back-run with both",
       {"--break", "E069", "--repeat", "4", "--back-run", "--profile", "--coverage", "c.info"},
       {"--break", "E069", "--repeat", "3", "--profile", "--coverage", "c.info"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> back = demo, plain = demo;
    back.insert(back.end(), c.back.begin(), c.back.end());
    plain.insert(plain.end(), c.plain.begin(), c.plain.end());
    const CliResult b = RunCli(dir, back);
    ASSERT_EQ(b.status, 0) << b.err;
    const std::string backInfo = Slurp(dir / "c.info");
    std::filesystem::remove(dir / "c.info");
    const CliResult p = RunCli(dir, plain);
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(Lines(b.out, "trace: ").back(), Lines(p.out, "trace: ").back());
    EXPECT_EQ(Lines(b.out, "profile: "), Lines(p.out, "profile: "));
    EXPECT_EQ(backInfo, Slurp(dir / "c.info"));
    std::filesystem::remove(dir / "c.info");
  }
}

TEST(ReverseCli, RefusesBadStepCounts) {
  const auto dir = FreshTestFolder("reverse_cli_");
  for (const char* bad : {"0", "-3", "x", ""}) {
    const CliResult r = RunCli(dir, {"run", kLoop, "--back", bad});
    EXPECT_NE(r.status, 0) << bad;
    EXPECT_NE(r.err.find("--back: expected a positive decimal number of steps"), std::string::npos) << r.err;
  }
  const CliResult missing = RunCli(dir, {"run", kLoop, "--back"});
  EXPECT_NE(missing.status, 0);
}

// Ctrl+C or SIGTERM stops the run back as it stops a forward run, and every
// line after it still prints.
TEST(ReverseCli, ASignalStopsTheRunBackAndTheSummaryFollows) {
  const auto dir = FreshTestFolder("reverse_cli_signal_");
  for (const char* signal : {"INT", "TERM"}) {
    const CliResult r = RunCli(dir, {"run", kLoop, "--no-workspace", "--back-run", "--digest"}, 1, signal);
    EXPECT_EQ(r.status, 0) << signal << ": " << r.err;
    EXPECT_EQ(Lines(r.out, "status: "), (std::vector<std::string>{"status: stop ", "status: stop arrière"}))
        << signal;
    EXPECT_EQ(Lines(r.out, "back: ").size(), 1u) << signal;
    EXPECT_TRUE(LastLine(r.out).starts_with("digest: ")) << signal;
  }
}

}  // namespace
}  // namespace hc11::test

// `hc11flow-cli run --exact` as scripts see it: the mode said first, the
// demo's tick at its TICK_PERIOD of E cycles, the trace's time in E cycles,
// and the designed mode's output without the line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace {

namespace fs = std::filesystem;

constexpr double kTickPeriod = 20000;  // the demo's TICK_PERIOD, in E cycles

class ExactCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = hc11::test::FreshTestFolder("hc11_exact_cli_");
    for (const char* ext : {".lst", ".HEX"})
      fs::copy_file(fs::path(HC11_SOURCE_DIR) / "examples/demo" / (std::string("demo") + ext),
                    dir / (std::string("demo") + ext));
  }
  void TearDown() override { fs::remove_all(dir); }
  hc11::test::CliResult Cli(const std::vector<std::string>& args) {
    return hc11::test::RunCli(dir, args, 120);
  }

  fs::path dir;
};

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

// The number after `key` in the last line holding it.
double NumberAfter(const std::string& text, const std::string& key, int base = 10) {
  const auto at = text.rfind(key);
  if (at == std::string::npos) return -1;
  const std::string rest = text.substr(at + key.size());
  return base == 10 ? std::stod(rest) : static_cast<double>(std::stoll(rest, nullptr, base));
}

TEST_F(ExactCliTest, TheModeIsSaidFirstWhenOnAndOnlyThen) {
  std::ofstream(dir / "exact.ini") << "[EnvironForm]\nProcesseurExact=1\n";
  struct Case {
    const char* name;
    std::vector<std::string> extra;
    bool exact;
  } const cases[] = {
      {"designed", {}, false},
      {"--exact", {"--exact"}, true},
      {"the settings file's mark", {"--settings", "exact.ini"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"run", "demo", "--no-workspace", "--steps", "1000"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto r = Cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FirstLine(r.out) == "mode: exact", c.exact) << r.out;
    EXPECT_EQ(r.out.find("mode: exact") != std::string::npos, c.exact);
  }
}

TEST_F(ExactCliTest, TheDemosTickRunsAtItsPeriodOfECycles) {
  // Short of 256 ticks: the count is one byte.
  const auto r = Cli({"run", "demo", "--no-workspace", "--exact", "--steps", "800000", "--watch", "ticks"});
  ASSERT_EQ(r.status, 0) << r.err;
  const double cycles = NumberAfter(r.out, "cycle=");
  const double ms = NumberAfter(r.out, " T=");
  // "watch: I  ticks  0=  7c": the count in hexadecimal after the address.
  const double ticks = NumberAfter(r.out, "0=", 16);
  ASSERT_GT(cycles, 20 * kTickPeriod);
  EXPECT_NEAR(ticks, cycles / kTickPeriod, 1.5) << r.out;
  // One E cycle is 4 / 3.58 MHz.
  EXPECT_NEAR(ms, cycles * 4000.0 / 3580000.0, 1.0);
}

}  // namespace

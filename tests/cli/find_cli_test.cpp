// `run --find PATTERN` and the `stack-low:` line, with the "Pile basse"
// warning of a --settings file, as scripts see them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace {

namespace fs = std::filesystem;

class FindCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = hc11::test::FreshTestFolder("hc11_find_cli_");
    for (const char* ext : {".lst", ".HEX"})
      fs::copy_file(fs::path(HC11_SOURCE_DIR) / "examples/loop" / (std::string("loop") + ext),
                    dir / (std::string("loop") + ext));
  }
  void TearDown() override { fs::remove_all(dir); }

  std::vector<std::string> Lines(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
      const std::size_t end = text.find('\n', from);
      const std::string line = text.substr(from, end - from);
      if (line.find(prefix) != std::string::npos) lines.push_back(line);
      if (end == std::string::npos) break;
      from = end + 1;
    }
    return lines;
  }

  fs::path dir;
};

TEST_F(FindCliTest, EachPatternPrintsTheAddressesWhereItLies) {
  // e000 8E 00 FF CE 00 00 4F C6 03 8B 01 97 10 5A 26 F9 8D 02 20 F3 ...
  const hc11::test::CliResult r =
      hc11::test::RunCli(dir, {"run", "loop", "--steps", "20", "--find", "8E 00 FF", "--find", "\"zz\"",
                               "--find", "?? @E000-E002", "--find", ".w $00FF", "--find", "00 @E000-E005"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(
      Lines(r.out, "find: "),
      (std::vector<std::string>{"find: 8E 00 FF e000", "find: \"zz\"", "find: ?? @E000-E002 e000 e001 e002",
                                "find: .w $00FF e001", "find: 00 @E000-E005 e001 e004 e005"}));
  // After the dumps and before the lists.
  EXPECT_LT(r.out.find("find: "), r.out.find("stack-low: "));
  EXPECT_LT(r.out.find("trace: "), r.out.find("find: "));
}

TEST_F(FindCliTest, ABadPatternIsRefusedBeforeAnyRun) {
  for (const char* pattern : {"86 zz", "\"open", "", "86 @2-1"}) {
    SCOPED_TRACE(pattern);
    const hc11::test::CliResult r = hc11::test::RunCli(dir, {"run", "loop", "--find", pattern});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("hc11flow-cli run: --find: ", 0), 0u) << r.err;
  }
}

TEST_F(FindCliTest, StackLowNamesTheRoutineAndTheSettingWarnsOncePerCrossing) {
  std::ofstream(dir / "reglages.ini") << "[Reglages]\nPile basse=$FE\n";
  const struct {
    std::vector<std::string> extra;
    const char* low;
    std::size_t warnings;
  } cases[] = {
      {{"--steps", "16"}, "stack-low: 00ff debprog_", 0},  // before the first call
      {{"--steps", "20"}, "stack-low: 00fd debprog_", 0},
      {{"--steps", "20", "--settings", "reglages.ini"}, "stack-low: 00fd debprog_", 1},
      {{"--steps", "40", "--settings", "reglages.ini"}, "stack-low: 00fd debprog_", 2},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"run", "loop"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    SCOPED_TRACE(args.back());
    const hc11::test::CliResult r = hc11::test::RunCli(dir, args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out, "stack-low: "), std::vector<std::string>{c.low});
    const std::vector<std::string> warnings = Lines(r.out, "Pile basse");
    ASSERT_EQ(warnings.size(), c.warnings) << r.out;
    for (const std::string& w : warnings) EXPECT_TRUE(w.ends_with("ms Pile basse: SP=00FD sous 00FE")) << w;
  }
}

}  // namespace

// `run --profile` and `run --coverage` as a user runs them: the profile lines,
// the tracefile read back line by line against the listing, genhtml's report
// and lcov's merge of two runs.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "tests/cli/cli_runner.h"
#include "tests/profile/profile_fixture.h"

namespace hc11 {
namespace {

using test::RunCli;
using test::Slurp;

// A macro (two code lines per expansion), a call, a loop, data lines.
constexpr const char* kProgram = R"(deux    macro
        incA
        incA
        endm
        org     $E000
debprog_
        ldS     #$00FF
        ldB     #3
boucle
        deux
        call    Affiche
        decB
        bne     boucle
        jmp     $F000
Affiche
        incX
        ret
table   db      1,2,3
mots    dw      Affiche
        fill    0,4
)";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

int Shell(const std::filesystem::path& dir, const std::string& command, std::string& output) {
  const std::string cmd = "cd '" + dir.string() + "' && " + command + " >tool.txt 2>&1";
  const int raw = std::system(cmd.c_str());
  output = Slurp(dir / "tool.txt");
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class CoverageCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = test::ProfileFolder();
    test::Assemble(dir, "prog", kProgram);
    lst = Lines(Slurp(dir / "prog.lst"));
  }
  std::filesystem::path dir;
  std::vector<std::string> lst;
};

TEST_F(CoverageCli, ProfileLinesSortedByExclusiveAndSummingToTheRunsCycles) {
  const test::CliResult r = RunCli(dir, {"run", "prog", "--no-workspace", "--profile"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::smatch match;
  ASSERT_TRUE(std::regex_search(r.out, match, std::regex("cycle=(\\d+)")));
  const std::uint64_t cycles = std::stoull(match[1]);
  const std::regex row(R"(profile: (\S+|\(hors fonction\)) calls=(\d+) excl=(\d+) incl=(\d+) (\d+\.\d\d)%)");
  std::vector<std::string> names;
  std::uint64_t sum = 0, previous = UINT64_MAX;
  for (const std::string& line : Lines(r.out)) {
    if (!line.starts_with("profile: ")) continue;
    ASSERT_TRUE(std::regex_match(line, match, row)) << line;
    names.push_back(match[1]);
    const std::uint64_t excl = std::stoull(match[3]);
    if (match[1] != "(hors fonction)") {
      EXPECT_LE(excl, previous) << line;
    }
    previous = excl;
    sum += excl;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"debprog_", "Affiche", "(hors fonction)"}));
  EXPECT_EQ(sum, cycles);
  EXPECT_NE(r.out.find("profile: Affiche calls=3 excl=9 incl=9 "), std::string::npos) << r.out;
}

// Every DA names a physical .lst line holding an instruction at the address
// whose count it gives; data lines and the call line of the macro get none.
TEST_F(CoverageCli, TracefileNamesPhysicalListingLinesWithTheirCounts) {
  const test::CliResult r = RunCli(dir, {"run", "prog", "--no-workspace", "--coverage", "prog.info"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> info = Lines(Slurp(dir / "prog.info"));
  ASSERT_GE(info.size(), 3u);
  EXPECT_EQ(info[1], "SF:" + std::filesystem::absolute(dir / "prog.lst").lexically_normal().string());
  EXPECT_EQ(info.back(), "end_of_record");

  std::map<std::string, std::uint64_t> countBySource;  // "mnemonic@address" -> count
  std::size_t da = 0, brda = 0;
  for (const std::string& line : info) {
    std::smatch m;
    if (std::regex_match(line, m, std::regex(R"(DA:(\d+),(\d+))"))) {
      ++da;
      const std::size_t n = std::stoul(m[1]);
      ASSERT_LE(n, lst.size());
      const std::string& source = lst[n - 1];
      EXPECT_EQ(source.find(" db "), std::string::npos) << source;
      EXPECT_EQ(source.find(" dw "), std::string::npos) << source;
      EXPECT_EQ(source.find(" fill "), std::string::npos) << source;
      std::istringstream words(source.substr(28));
      std::string mnemonic;
      words >> mnemonic;
      if (mnemonic.ends_with(":") || mnemonic == "table") words >> mnemonic;
      countBySource[mnemonic + "@" + source.substr(0, 4)] += std::stoull(m[2]);
    } else if (std::regex_match(line, m, std::regex(R"(BRDA:(\d+),0,([01]),(\d+))"))) {
      ++brda;
      EXPECT_NE(lst[std::stoul(m[1]) - 1].find("bne"), std::string::npos);
      EXPECT_EQ(m[3], m[2] == "0" ? "2" : "1");  // taken twice, not taken once
    }
  }
  EXPECT_EQ(brda, 2u);
  // ldS ldB, two incA per expansion, call decB bne jmp, incX ret.
  EXPECT_EQ(da, 2u + 2u + 4u + 2u);
  EXPECT_EQ(countBySource["incA@E005"], 3u);
  EXPECT_EQ(countBySource["incA@E006"], 3u);
  EXPECT_EQ(countBySource["ldS@E000"], 1u);
  EXPECT_EQ(countBySource["incX@E010"], 3u);
  EXPECT_NE(std::find(info.begin(), info.end(), "FNDA:3,Affiche"), info.end());
  EXPECT_NE(std::find(info.begin(), info.end(), "FNDA:1,debprog_"), info.end());
}

// A listing with lone CR endings, which the listing reader accepts, gives
// the tracefile of the same listing with LF endings.
TEST_F(CoverageCli, LoneCrLineEndingsGiveTheSameTracefile) {
  const test::CliResult lf = RunCli(dir, {"run", "prog", "--no-workspace", "--coverage", "lf.info"});
  ASSERT_EQ(lf.status, 0) << lf.err;
  std::string lone;
  for (std::string line : lst) {
    if (line.ends_with('\r')) line.pop_back();
    lone += line + "\r";
  }
  std::ofstream(dir / "prog.lst", std::ios::binary) << lone;
  const test::CliResult cr = RunCli(dir, {"run", "prog", "--no-workspace", "--coverage", "cr.info"});
  ASSERT_EQ(cr.status, 0) << cr.err;
  const std::string expected = Slurp(dir / "lf.info");
  EXPECT_NE(expected.find("LF:10\n"), std::string::npos) << expected;
  EXPECT_EQ(Slurp(dir / "cr.info"), expected);
}

TEST_F(CoverageCli, GenhtmlRendersTheListingAndLcovMergesTwoRuns) {
  if (!Have("genhtml") || !Have("lcov"))
    GTEST_SKIP() << "genhtml or lcov is not installed (Debian package lcov)";
  ASSERT_EQ(RunCli(dir, {"run", "prog", "--no-workspace", "--coverage", "a.info"}).status, 0);
  ASSERT_EQ(RunCli(dir, {"run", "prog", "--no-workspace", "--coverage", "b.info"}).status, 0);

  std::string output;
  ASSERT_EQ(Shell(dir, "genhtml --branch-coverage --quiet -o html a.info", output), 0) << output;
  EXPECT_EQ(output.find("WARNING"), std::string::npos) << output;
  const std::string page = Slurp(dir / "html" / dir.filename() / "prog.lst.gcov.html");
  EXPECT_NE(page.find("Affiche"), std::string::npos);

  ASSERT_EQ(Shell(dir, "lcov --quiet --rc lcov_branch_coverage=1 -a a.info -a b.info -o sum.info", output), 0)
      << output;
  const std::string sum = Slurp(dir / "sum.info");
  EXPECT_NE(sum.find("FNDA:6,Affiche"), std::string::npos) << sum;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(sum, m, std::regex(R"(BRDA:\d+,0,0,(\d+))")));
  EXPECT_EQ(m[1], "4");
}

TEST_F(CoverageCli, UnwritableTracefileFailsWithTheReason) {
  const test::CliResult r = RunCli(dir, {"run", "prog", "--no-workspace", "--coverage", "absent/x.info"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--coverage: absent/x.info: "), std::string::npos) << r.err;
}

}  // namespace
}  // namespace hc11

// run on a workspace saved before the program was assembled again: the
// entries that moved with their line are said, the one whose line went stays
// and is reported, and the run stops on the instruction it stopped on before.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/cli_runner.h"
#include "tests/support/reassembled.h"

namespace hc11::test {
namespace {

namespace fs = std::filesystem;

class ReassembledCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("hc11_reassembled_cli_");
    AssembleAs((dir / "prog").string(), kFirstVersion);
    const CliResult saved = RunCli(dir, {"run", "prog", "--steps", "1", "--break", "E006:2:C:store",
                                         "--break", "E008:2:C:jump", "--save-workspace", "prog.Zan"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    ASSERT_EQ(saved.out.find("moved:"), std::string::npos) << saved.out;
    AssembleAs((dir / "prog").string(), kSecondVersion);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(ReassembledCli, MovedEntriesArePrintedOnceEachBeforeTheRun) {
  const CliResult r = RunCli(dir, {"run", "prog", "--steps", "100"}, 30);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("moved: E006 E008 boucle+1\n", 0), 0u) << r.out;
  EXPECT_EQ(r.out.find("moved:", 1), std::string::npos) << r.out;  // the lost one is no move
  EXPECT_NE(r.out.find("status: Break e008 C Break    store\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("break: e008 C Break    jump déplacé?"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("jump : boucle+2 'jmp boucle' introuvable"), std::string::npos) << r.err;
}

TEST_F(ReassembledCli, WithoutTheWorkspaceNothingMoves) {
  const CliResult r = RunCli(dir, {"run", "prog", "--steps", "5", "--no-workspace"}, 30);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("moved:"), std::string::npos) << r.out;
  EXPECT_EQ(r.err.find("introuvable"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace hc11::test
